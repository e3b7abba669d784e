// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/mining_query.h"

namespace veyla::search {

// A CJK run is a stretch of consecutive units in U+4E00-U+DFFF; any other
// character (punctuation and spaces included) ends it. The range takes in
// the surrogates, so a character beyond U+FFFF stays inside a run.
bool isRunUnit(char16_t c);

// One hit of a paragraph: the group it belongs to (the character's index
// in an acrostic, else 0) and its text.
struct ParagraphHit {
    std::size_t group = 0;
    std::u16string text;
};

// Finds the hits of one paragraph for a query. Positions and window sizes
// count UTF-16 units; a window never ends in the middle of a surrogate pair.
//  - Word: for each occurrence of the search text at a, the CJK run around
//    it: back from a (a included) over at most 80 units, forward from a + 1
//    over at most 80; the occurrence itself always belongs to the hit. The
//    search goes on after the forward part.
//  - Sentence: the same with 50 units, the part before the occurrence
//    trimmed on the left and the part after it on the right of
//    - _ U+FF0D U+2014 . space U+3000 tab.
//  - Acrostic: each character of the search text on its own (a surrogate
//    pair is one character); an occurrence counts when it starts a run (at
//    0 or after a unit outside the run range), and the hit is the run from
//    it, at most 80 units.
//  - Paragraph: the whole paragraph once it holds the required number of
//    keywords; an empty paragraph never matches.
class HitFinder {
public:
    explicit HitFinder(MiningQuery query);

    const MiningQuery& query() const { return m_query; }
    // The name of each group: the acrostic's distinct characters in order,
    // else the search text (paragraph mode: the keywords joined by "、").
    const std::vector<std::u16string>& groups() const { return m_groups; }

    // Appends the hits of paragraph to out, in the order found.
    void findHits(std::u16string_view paragraph, std::vector<ParagraphHit>& out) const;

private:
    void findWindows(std::u16string_view text, std::size_t width, bool trim, std::vector<ParagraphHit>& out) const;
    void findRunStarts(std::u16string_view text, std::vector<ParagraphHit>& out) const;
    void findParagraph(std::u16string_view text, std::vector<ParagraphHit>& out) const;

    MiningQuery m_query;
    std::vector<std::u16string> m_groups;
};

}  // namespace veyla::search
