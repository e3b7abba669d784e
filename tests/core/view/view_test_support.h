// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/library/chapter.h"
#include "core/platform/app_folders.h"
#include "core/view/layout_engine.h"
#include "support/test_support.h"

namespace veyla::view::test {

// A program folder and a data folder of their own, removed with the object.
struct TempAppFolders {
    ::veyla::test::TempDir program;
    ::veyla::test::TempDir data;
    platform::AppFolders folders{program.path(), data.path()};
};

// Small round numbers that make the layout arithmetic easy to follow.
inline LayoutParams smallParams()
{
    LayoutParams params;
    params.textSize = 20;
    params.codeSize = 10;
    params.rowSpacing = 5;
    params.paragraphSpacing = 7;
    params.pageWidth = 400;
    params.leftMargin = 100;
    params.topMargin = 50;
    params.indentCount = 2;
    return params;
}

struct ParagraphSpec {
    std::u16string text;
    int code = 0;
};

// A chapter with one run per paragraph.
inline library::Chapter chapterOf(const std::vector<ParagraphSpec>& paragraphs)
{
    library::Chapter chapter;
    for (const auto& entry : paragraphs) {
        library::Paragraph paragraph;
        paragraph.code = entry.code;
        paragraph.runs.push_back({entry.text, {}});
        chapter.paragraphs.push_back(std::move(paragraph));
    }
    return chapter;
}

// The characters of a line without its line end.
inline std::u16string lineText(const TextLine& line)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < line.glyphs.size(); ++i)
        text += line.glyphs[i].text();
    return text;
}

// The text of a paragraph's logical glyphs ("\r" for a code line break).
inline std::u16string paragraphText(const ParagraphBox& paragraph)
{
    std::u16string text;
    for (std::size_t l = 0; l < paragraph.lines.size(); ++l) {
        if (l > 0 && !paragraph.lines[l].continuation)
            text += u'\r';
        text += lineText(paragraph.lines[l]);
    }
    return text;
}

// The first n characters of the corpus novel (西遊記), or an empty text without the corpus.
std::u16string corpusText(std::size_t n);

}  // namespace veyla::view::test
