// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::search {

// The four kinds of knowledge mining, numbered as the settings store them.
enum class MiningMode { Word = 0, Acrostic = 1, Sentence = 2, Paragraph = 3 };

// "词", "藏头诗", "句", "段": the name of a mode's result folder.
std::u16string_view miningModeName(MiningMode mode);

// How many books a mining walk searches at most: 1, 4, 10, or no limit;
// numbered as the settings store them.
enum class BookLimit { One = 0, Four = 1, Ten = 2, All = 3 };
// 1, 4 or 10; 0 for no limit.
std::size_t bookLimitCount(BookLimit limit);

// What a mining search looks for.
struct MiningQuery {
    MiningMode mode = MiningMode::Word;
    // Word, sentence and acrostic modes: the one search text. Paragraph
    // mode: every keyword a paragraph is tested for, in order.
    std::vector<std::u16string> keywords;
    // Paragraph mode: how many of the keywords a paragraph must hold.
    std::size_t required = 0;

    const std::u16string& searchText() const { return keywords.front(); }
};

// The keywords of a keyword text: the pieces between ',', '，' and '、',
// each without the blanks, tabs and ideographic spaces around it; empty
// pieces are dropped.
std::vector<std::u16string> splitKeywords(std::u16string_view text);

// Makes the query of a mode from the keyword text. Except in paragraph mode
// only the first keyword is searched for. In paragraph mode a last keyword
// made of the digits 0-9 alone, after at least one other keyword, is no
// keyword but the number of keywords a paragraph must hold, taken as at
// least 1 and at most the number of the other keywords; otherwise a
// paragraph must hold them all. A text without any keyword is
// InvalidArgument.
Result<MiningQuery> makeMiningQuery(MiningMode mode, std::u16string_view keywordText);

}  // namespace veyla::search
