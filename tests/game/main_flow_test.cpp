#include <gtest/gtest.h>

#include <allegro.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/main_flow.h"
#include "app/notice.h"

namespace {

// A title that answers with the scripted choices in turn; Nothing means the
// player left it with ESC, which is still held when the flow looks again.
std::vector<TitleChoice> Choices;
size_t NextChoice = 0;
int TitleShown = 0;
int MapShown = 0;

TitleChoice ScriptedTitle() {
  ++TitleShown;
  const TitleChoice choice =
      NextChoice < Choices.size() ? Choices[NextChoice++] : TitleChoice::Exit;
  if (choice == TitleChoice::Nothing) key[KEY_ESC] = 1;
  return choice;
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
    std::vector<TitleChoice> choices;
    int titles;
    int maps;
  };
  using C = TitleChoice;
  const Case cases[] = {
      // Play opens the map and the title comes back; Options shows the title
      // again, never the map; Exit ends the flow.
      {{C::Play, C::Options, C::Play, C::Exit}, 4, 2},
      // ESC held on the title ends the flow there.
      {{C::Play, C::Nothing, C::Play}, 2, 1},
  };
  for (const Case &c : cases) {
    Choices = c.choices;
    NextChoice = 0;
    TitleShown = MapShown = 0;
    key[KEY_ESC] = 0;
    RunMainFlow(ScriptedTitle, CountedWorldMap);
    EXPECT_EQ(TitleShown, c.titles) << "case of " << c.choices.size() << " choices";
    EXPECT_EQ(MapShown, c.maps) << "case of " << c.choices.size() << " choices";
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
    Choices = {TitleChoice::Play, TitleChoice::Exit};
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
