#include <gtest/gtest.h>

#include <allegro.h>

#include <vector>

#include "app/main_flow.h"

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
