#include <gtest/gtest.h>

#include <allegro.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_flow.h"
#include "app/notice.h"

namespace {

// A title that answers with the scripted choices in turn; 0 means the player
// left it with ESC, which is still held when the flow looks again.
std::vector<int> Choices;
size_t NextChoice = 0;
int TitleShown = 0;
int MapShown = 0;

int ScriptedTitle() {
  ++TitleShown;
  const int iChoice = NextChoice < Choices.size() ? Choices[NextChoice++] : 3;
  if (iChoice == 0) key[KEY_ESC] = 1;
  return iChoice;
}

void CountedWorldMap() { ++MapShown; }

// A world map that fails in the way the case names.
int Failure = 0;
void FailingWorldMap() {
  switch (Failure) {
    case 1: throw std::bad_alloc();
    case 2: throw std::runtime_error("the screen broke");
    case 3: throw 7;
    case 4: ExitGame();
    case 5: ExitGame(2);
    default: break;
  }
}

int Shutdowns = 0;
void CountedShutDown() { ++Shutdowns; }

}  // namespace

TEST(MainFlow, EachTitleChoiceLeadsWhereItSays) {
  struct Case {
    std::vector<int> choices;
    int titles;
    int maps;
  };
  const Case cases[] = {
      {{3}, 1, 0},           // Exit at once
      {{2, 2, 3}, 3, 0},     // Options shows the title again, never the map
      {{1, 2, 1, 3}, 4, 2},  // Play opens the map, then the title comes back
      {{1, 0, 1}, 2, 1},     // ESC held on the title ends the flow there
  };
  for (const Case &c : cases) {
    Choices = c.choices;
    NextChoice = 0;
    TitleShown = MapShown = 0;
    key[KEY_ESC] = 0;
    RunMainFlow(ScriptedTitle, CountedWorldMap);
    EXPECT_EQ(TitleShown, c.titles) << "choices from " << c.choices.front();
    EXPECT_EQ(MapShown, c.maps) << "choices from " << c.choices.front();
  }
  key[KEY_ESC] = 0;
}

TEST(MainFlow, AnyFailureShutsDownOnceAndOnlyAnUnexpectedOneEndsWithStatusOne) {
  struct Case {
    int failure;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {0, 0, ""},                               // Exit chosen after the map
      {1, 1, "ERROR:  std::bad_alloc\n"},
      {2, 1, "ERROR:  the screen broke\n"},
      {3, 1, "ERROR:  an unknown failure\n"},
      {4, 0, ""},                               // a fatal message already answered
      {5, 2, ""},                               // a start-up failure's own status
  };
  for (const Case &c : cases) {
    Choices = {1, 3};
    NextChoice = 0;
    key[KEY_ESC] = 0;
    Failure = c.failure;
    Shutdowns = 0;
    testing::internal::CaptureStderr();
    const int iStatus = RunGuarded([] { RunMainFlow(ScriptedTitle, FailingWorldMap); }, CountedShutDown);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message) << c.failure;
    EXPECT_EQ(iStatus, c.status) << c.failure;
    EXPECT_EQ(Shutdowns, 1) << c.failure;
  }
}
