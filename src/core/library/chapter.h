// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace veyla::library {

// One run of text inside a paragraph. The text may hold the inline marks
// "[F%d]…[/F]" and "[T%d]…[/T]" of annotations; they are kept as written.
struct Run {
    std::u16string text;
    std::u16string frameStyle;  // read from files, never written
};

// A paragraph of a chapter and its display attributes (0 = none/default).
struct Paragraph {
    int code = 0;                // non-zero marks a code paragraph
    int lineSpacing = 0;         // never negative
    int fontSize = 0;
    std::optional<std::u16string> fontFace;
    int verticalBar = 0;         // index of the vertical-bar picture
    int horizontalLine = 0;      // index of the horizontal-line picture
    int paragraphPicture = 0;    // index of the paragraph picture
    int annotation = 0;          // paragraph annotation style number, 0 = none
    std::vector<Run> runs;

    // The paragraph's text: its runs joined.
    std::u16string text() const;
};

// What reading a chapter file could not take as the file has it: text the
// parser could not read, or text in places outside the chapter shape that
// was kept by moving it into runs. Writing such a chapter back would change
// the file beyond the user's edits.
struct ReadProblems {
    static constexpr std::size_t kKeptDescriptions = 8;

    std::size_t count = 0;
    std::vector<std::string> descriptions;  // the first few, in English

    void add(std::string description)
    {
        if (descriptions.size() < kKeptDescriptions)
            descriptions.push_back(std::move(description));
        ++count;
    }
    bool any() const { return count > 0; }
};

// The in-memory chapter: what a chapter file holds, in document order.
struct Chapter {
    int version = 1;
    int columnDistance = 50;
    int publishStatus = 0;
    std::vector<Paragraph> paragraphs;
    // Set by editing. Reading never sets it: opening a chapter never writes it.
    bool modified = false;
    ReadProblems problems;
};

}  // namespace veyla::library
