// The effect recipes: what the parser refuses, and renders that repeat.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sfx.h"
#include "synth.h"

namespace {

TEST(SfxRecipes, MalformedRecipesAreRefusedWithTheirLine) {
  struct Case {
    const char *cText;
    const char *cError;
  };
  const Case cases[] = {
      {"noise gain 1\n", "line 1: \"noise\" before the first effect"},
      {"effect A 0.2 seed 1\n", "line 1: A has no layer"},
      {"effect A 0.2\nnoise\n", "line 1: effect NAME SECONDS seed N"},
      {"effect A 0.2 seed 1\nnoise\neffect A 0.1 seed 2\n", "line 3: a second effect A"},
      {"effect A 0.2 seed 1\n\nsaw gain 1\n", "line 3: saw needs its pitch in Hz"},
      {"effect A 0.2 seed 1\nnoise band 900 q 2\n", "line 2: bad value after \"q\""},
      {"effect A 0.2 seed 1\nnotes kazoo C5:0.1\n", "line 2: notes need one of the music's instruments"},
      {"effect A 0.2 seed 1\nnotes harp H5:0.1\n", "line 2: bad value after \"H5:0.1\""},
      {"effect A 0.2 seed 1\nnoise at 0.3\n", "line 2: the layer starts after the effect ends"},
  };
  for (const Case &c : cases) {
    std::vector<SfxRecipe> recipes;
    std::string cError;
    EXPECT_FALSE(ParseSfx(c.cText, &recipes, &cError)) << c.cText;
    EXPECT_EQ(cError, c.cError) << c.cText;
  }
}

TEST(SfxRecipes, ARecipeRendersTheSameSamplesEveryTimeAtItsLength) {
  const char *cText =
      "effect HIT 0.25 seed 9  # a comment\n"
      "noise band 900>300 q 0.4 env 0.002 0.05 0.2 0.05\n"
      "notes harp F#5:0.05 r:0.02 A5:0.1 gain 0.5\n"
      "saw 200>80 low 700 wobble 6 0.5 at 0.05 for 0.1\n"
      "reverb 0.2\n";
  std::vector<SfxRecipe> recipes;
  std::string cError;
  ASSERT_TRUE(ParseSfx(cText, &recipes, &cError)) << cError;
  ASSERT_EQ(recipes.size(), 1u);
  ASSERT_EQ(recipes[0].vLayers.size(), 3u);
  EXPECT_EQ(recipes[0].vLayers[1].vNotes.size(), 3u) << "F#5 is a note, not a comment";
  const std::vector<float> a = RenderSfx(recipes[0]), b = RenderSfx(recipes[0]);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.size(), static_cast<size_t>(0.25 * kSampleRate));
  EXPECT_EQ(a.back(), 0.0f) << "no click at the end";
  std::vector<std::vector<float>> set = {a, std::vector<float>(a.size(), 0.0f)};
  for (float &f : set[1]) f = 0.01f;
  MatchLoudness(set, 0.2, 0.9);
  EXPECT_NEAR(LoudestRms(set[0]), 0.2, 0.01);
  EXPECT_NEAR(LoudestRms(set[1]), 0.2, 0.01);
}

}  // namespace
