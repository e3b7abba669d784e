// SPDX-License-Identifier: MIT
#include "core/view/code_colouring.h"

namespace veyla::view {

namespace {

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordChar(char16_t c)
{
    return isLetter(c) || isDigit(c);
}

bool isOneOf(char16_t c, std::u16string_view set)
{
    return set.find(c) != std::u16string_view::npos;
}

CodeRole roleOf(KeywordTable table)
{
    switch (table) {
    case KeywordTable::True: return CodeRole::Boolean;
    case KeywordTable::Control: return CodeRole::Control;
    case KeywordTable::Int: return CodeRole::Type;
    case KeywordTable::Fun: return CodeRole::Function;
    case KeywordTable::Var: return CodeRole::Variable;
    case KeywordTable::DFun: return CodeRole::OwnFunction;
    }
    return CodeRole::Text;
}

// Where the line's code ends: at "\r" or "\b".
std::size_t codeEnd(std::u16string_view line)
{
    const std::size_t end = line.find_first_of(u"\r\b");
    return end == std::u16string_view::npos ? line.size() : end;
}

struct LineState {
    bool declaration = false;
    bool afterTypeWord = false;  // the previous word on the line was a type word
};

// Adds the word at [begin, end) to DFun or Var when the learning rules say so.
void learn(std::u16string_view line, std::size_t begin, std::size_t end, const LineState& state,
           KeywordTables& tables)
{
    const std::u16string_view word = line.substr(begin, end - begin);
    if (tables.find(word))
        return;
    const char16_t before = begin > 0 ? line[begin - 1] : u'\0';
    const char16_t after = end < line.size() ? line[end] : u'\0';
    if (state.declaration && after == u'(') {
        tables.add(KeywordTable::DFun, word);
        return;
    }
    if ((state.declaration || state.afterTypeWord) && isOneOf(before, u" &*,") && after != u'\0' &&
        isOneOf(after, u",; )=["))
        tables.add(KeywordTable::Var, word);
}

}  // namespace

Colour colourOf(CodeRole role, const ColourSet& colours)
{
    switch (role) {
    case CodeRole::Text: return colours.codeText;
    case CodeRole::String: return colours.string;
    case CodeRole::Comment: return colours.comment;
    case CodeRole::Boolean: return colours.boolean;
    case CodeRole::Control: return colours.control;
    case CodeRole::Type: return colours.type;
    case CodeRole::Function: return colours.function;
    case CodeRole::Variable: return colours.variable;
    case CodeRole::OwnFunction: return colours.ownFunction;
    case CodeRole::Parenthesis: return colours.parenthesis;
    case CodeRole::Brace: return colours.brace;
    case CodeRole::Digit: return colours.digit;
    }
    return colours.codeText;
}

bool isDeclarationLine(std::u16string_view line, const KeywordTables& tables)
{
    line = line.substr(0, codeEnd(line));
    std::size_t begin = line.find_first_not_of(u" \t");
    if (begin == std::u16string_view::npos || !isLetter(line[begin]))
        return false;
    std::size_t end = begin;
    while (end < line.size() && isWordChar(line[end]))
        ++end;
    return end < line.size() && isOneOf(line[end], u" &*") &&
           tables.contains(KeywordTable::Int, line.substr(begin, end - begin));
}

std::vector<CodeGlyphStyle> colourCodeLine(std::u16string_view line, KeywordTables& tables)
{
    std::vector<CodeGlyphStyle> styles(line.size());
    const std::size_t end = codeEnd(line);
    if (end > 0 && line[0] > 255) {
        for (std::size_t i = 0; i < end; ++i)
            styles[i].role = CodeRole::Comment;
        return styles;
    }
    LineState state;
    state.declaration = isDeclarationLine(line, tables);
    int quotesSinceParenthesis = 0;
    bool comment = false;
    for (std::size_t i = 0; i < end; ++i) {
        const char16_t c = line[i];
        CodeGlyphStyle& style = styles[i];
        if (comment) {
            style.role = CodeRole::Comment;
        } else if (quotesSinceParenthesis % 2 == 1) {
            style.role = CodeRole::String;
        } else if (c == u'/') {
            comment = true;
            style.role = CodeRole::Comment;
        } else if (isLetter(c)) {
            std::size_t wordEnd = i;
            while (wordEnd < end && isWordChar(line[wordEnd]))
                ++wordEnd;
            learn(line.substr(0, end), i, wordEnd, state, tables);
            const auto table = tables.find(line.substr(i, wordEnd - i));
            state.afterTypeWord = table == KeywordTable::Int;
            for (std::size_t k = i; k < wordEnd; ++k)
                styles[k] = table ? CodeGlyphStyle{roleOf(*table), true} : CodeGlyphStyle{};
            i = wordEnd - 1;
            continue;
        } else if (c == u'(' || c == u')') {
            style = {CodeRole::Parenthesis, true};
        } else if (c == u'{' || c == u'}') {
            style = {CodeRole::Brace, true};
        } else if (isDigit(c)) {
            style.role = CodeRole::Digit;
        }
        if (c == u'(')
            quotesSinceParenthesis = 0;
        else if (c == u'"')
            ++quotesSinceParenthesis;
    }
    return styles;
}

std::vector<CodeGlyphStyle> colourCodeLine(const TextLine& line, KeywordTables& tables)
{
    std::u16string text;
    text.reserve(line.glyphs.size());
    for (const auto& glyph : line.glyphs)
        text += glyph.ch;
    return colourCodeLine(text, tables);
}

}  // namespace veyla::view
