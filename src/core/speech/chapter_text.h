// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/library/chapter.h"
#include "core/util/result.h"

namespace veyla::speech {

// Text without the inline marks of annotations: "[F%d]" and "[/F]" around
// annotated runs and "[T%d]" and "[/T]" around decorated paragraphs are
// removed, their contents kept. Brackets that do not form such a mark stay.
std::u16string removeInlineMarks(std::u16string_view text);

// The text of a chapter as it is spoken: its paragraphs joined with line
// breaks, inline marks removed.
std::u16string chapterPlainText(const library::Chapter& chapter);

// Reads a chapter file and returns its spoken text.
Result<std::u16string> readChapterPlainText(const std::filesystem::path& path);

}  // namespace veyla::speech
