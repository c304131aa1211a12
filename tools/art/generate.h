// Writes every picture, the icons, the story font's glyph sheet and the
// previews. Used by the build tool and by the tests.
#pragma once
#include <string>

namespace art {

// Needs the library started (SYSTEM_NONE will do) with colour depth 32.
// Returns false, after naming the file on stderr, when anything fails.
bool GenerateAll(const std::string &dataDir, const std::string &previewDir, const std::string &fontSheet);

// Pixel size at which the story font is rendered, and its source file.
constexpr int StoryFontSize = 16;
std::string StoryFontFile();

}  // namespace art
