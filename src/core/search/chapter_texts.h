// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::search {

// The paragraph texts of a chapter (each paragraph's runs joined), exactly
// as the chapter reader gives them, for searching many chapters quickly.

// Reads the chapter XML. FileUnavailable when the file cannot be read,
// NotChapterFormat when it has no Page element.
Result<std::vector<std::u16string>> readParagraphTexts(const std::filesystem::path& path);
Result<std::vector<std::u16string>> paragraphTexts(std::u16string_view xml);

// The quick path behind paragraphTexts: a single pass that accepts only
// the plain shape the program writes (Page > Body > paragraph Chunk > text
// Chunk, blanks between tags, well-formed attributes, entity references in
// text) and gives nullopt for anything else (comments, CDATA, other
// elements, stray text, nesting beyond runs), which the full reader then
// reads. What it accepts, it reads as the full reader does.
std::optional<std::vector<std::u16string>> plainChapterParagraphs(std::u16string_view xml);

}  // namespace veyla::search
