// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "core/output/json_reader.h"

namespace veyla::output {

// The English word lists: "all.json" alone when it exists, else the seven
// level files merged in this order, the first gloss of a word kept.
inline constexpr std::string_view kAllWordsFile = "all.json";
inline constexpr std::string_view kLevelFiles[] = {"1junior.json", "2high.json",  "3CET4.json", "4CET6.json",
                                                   "5kaoyan.json", "6toefl.json", "7SAT.json"};
// A word list larger than this is not read.
inline constexpr std::uintmax_t kMaxWordListBytes = 64u << 20;

// English words and their Chinese glosses, with the annotation of
// paragraphs that wraps known words in strong elements.
class Vocabulary {
public:
    // Reads the word lists of a folder (control/eng of the program folder).
    // Missing, unreadable or oversized files are skipped silently; a
    // malformed file gives the entries read before the error.
    static Vocabulary load(const std::filesystem::path& folder);

    // Adds the entries of a word list (an array of objects with the string
    // members "w" and "t"): words of more than 3 bytes, keys lower-cased, a
    // word already present keeps its gloss. A member that is an object or
    // an array, or missing, counts as empty; an entry whose "w" is not a
    // string is skipped.
    void addWordList(const JsonValue& list);
    // Adds one word unless it is already present; the key is lower-cased.
    void add(std::u16string_view word, std::u16string_view gloss);

    bool empty() const { return m_words.empty(); }
    std::size_t size() const { return m_words.size(); }
    // The gloss of a word given in lower case, or nullptr.
    const std::u16string* gloss(std::u16string_view lowerWord) const;
    // The gloss of a token: looked up lower-cased and trimmed to its
    // letters, then by one inflection rule (-ed, -ing, -s/-es); nullptr
    // when none applies.
    const std::u16string* glossOfToken(std::u16string_view token) const;

    // The paragraph as HTML: split into tokens at white space, each known
    // token (as it stood, punctuation and case kept) wrapped as
    // <strong data-explanation="(gloss)">token</strong>, tokens joined by
    // single blanks. Tokens and glosses are escaped, so text never becomes
    // markup.
    std::u16string annotate(std::u16string_view paragraph) const;

private:
    std::map<std::u16string, std::u16string, std::less<>> m_words;
};

// Simple per-character lower-casing (Latin, Greek and Cyrillic letters).
std::u16string lowerCased(std::u16string_view text);

}  // namespace veyla::output
