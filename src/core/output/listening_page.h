// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

#include "core/library/chapter.h"
#include "core/output/page_templates.h"
#include "core/util/result.h"
#include "core/view/colour_schemes.h"

namespace veyla::output {

// The listening page of the data folder, for the browser's own read-aloud.
inline constexpr std::u16string_view kListeningPageName = u"听小说.html";

// The page of a chapter: each text paragraph as "<p>" + its text (escaped,
// inline marks taken out) + "</p>\n", each code paragraph as its coloured
// pre block (colours inline, so the page needs no style block).
std::u16string listeningPageFor(const library::Chapter& chapter, const PageStyle& style,
                                const view::ColourSet& colours, bool codeBackground);

// Writes dataFolder/听小说.html (UTF-16LE with a byte-order mark, atomically)
// and returns its path.
Result<std::filesystem::path> writeListeningPage(const std::filesystem::path& dataFolder,
                                                 const library::Chapter& chapter, const PageStyle& style,
                                                 const view::ColourSet& colours, bool codeBackground);

}  // namespace veyla::output
