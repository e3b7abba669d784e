// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace veyla::view {

// The word tables of code colouring, in lookup order: a word's class is
// the first table holding it.
enum class KeywordTable { True, Control, Int, Fun, Var, DFun };
inline constexpr std::size_t kKeywordTableCount = 6;

// Word tables for C and C++ code, shared by the reading view (which adds
// the functions and variables it learns while painting to DFun and Var) and
// the code-to-HTML output.
class KeywordTables {
public:
    // Empty tables.
    KeywordTables() = default;
    // TRUE: boolean and null words; Control: control-flow keywords; Int:
    // type words and declaration keywords; Fun: common library functions
    // and objects; Var and DFun empty.
    static KeywordTables cAndCpp();

    // The table's name as the colour attributes call it ("TRUE", "Control", "Int", "Fun", "Var", "DFun").
    static std::u16string_view tableName(KeywordTable table);

    bool contains(KeywordTable table, std::u16string_view word) const;
    // The first table in lookup order that holds the word.
    std::optional<KeywordTable> find(std::u16string_view word) const;
    void add(KeywordTable table, std::u16string_view word);
    const std::unordered_set<std::u16string>& words(KeywordTable table) const;

private:
    std::array<std::unordered_set<std::u16string>, kKeywordTableCount> m_tables;
};

}  // namespace veyla::view
