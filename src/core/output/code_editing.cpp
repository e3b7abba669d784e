// SPDX-License-Identifier: MIT
#include "core/output/code_editing.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::output {

namespace {

constexpr int kIndentWidth = 4;

bool isWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

bool startsWithWord(std::u16string_view text, std::u16string_view word)
{
    return text.starts_with(word) && (text.size() == word.size() || !isWordChar(text[word.size()]));
}

// The line's code with strings, character literals and comments blanked
// out, so that braces and endings are read from code alone.
std::u16string codeOnly(std::u16string_view line, bool& inBlockComment)
{
    std::u16string out;
    char16_t quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        const char16_t next = i + 1 < line.size() ? line[i + 1] : u'\0';
        if (inBlockComment) {
            if (c == u'*' && next == u'/') {
                inBlockComment = false;
                ++i;
            }
            out += u' ';
        } else if (quote != 0) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = 0;
            out += u' ';
        } else if (c == u'/' && next == u'/') {
            break;
        } else if (c == u'/' && next == u'*') {
            inBlockComment = true;
            ++i;
            out += u' ';
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            out += u' ';
        } else {
            out += c;
        }
    }
    return out;
}

// A control statement whose statement follows on the next line: it starts
// with if, for, while, else or do and its code does not end with "{", ";" or "}".
bool isBracelessControl(std::u16string_view code)
{
    code = utf16::trim(code, u" \t");
    const std::u16string_view opening = utf16::trimLeft(code, u"} \t");
    if (code.empty() || code.back() == u'{' || code.back() == u';' || code.back() == u'}')
        return false;
    for (const std::u16string_view word : {u"if", u"for", u"while", u"else", u"do"})
        if (startsWithWord(opening, word))
            return true;
    return false;
}

std::vector<std::u16string> splitLines(std::u16string_view text)
{
    std::vector<std::u16string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            lines.back() += text[i];
            continue;
        }
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        lines.emplace_back();
    }
    return lines;
}

}  // namespace

std::vector<std::u16string> pastedCodeLines(std::u16string_view text)
{
    std::u16string code(utf16::trim(text, u"\r\n\u3000"));
    if (code.empty())
        return {};
    code = utf16::replaceAll(code, u"\t", u"    ");
    code = utf16::replaceAll(code, u"[cpp] view plaincopy", u"\n\u3000\n");
    std::erase(code, u'\u00AC');
    std::erase(code, u'\r');
    std::vector<std::u16string> lines(1);
    for (const char16_t c : code) {
        if (c == u'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

std::size_t insertCodeParagraphs(library::Chapter& chapter, std::size_t at, const std::vector<std::u16string>& lines)
{
    at = std::min(at, chapter.paragraphs.size());
    std::vector<library::Paragraph> added;
    for (const auto& line : lines) {
        library::Paragraph paragraph;
        paragraph.code = 1;
        // An empty line keeps a line end, so that reading keeps the paragraph.
        paragraph.runs.push_back({line.empty() ? std::u16string(u"\r") : line, {}});
        added.push_back(std::move(paragraph));
    }
    chapter.paragraphs.insert(chapter.paragraphs.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    if (!added.empty())
        chapter.modified = true;
    return added.size();
}

std::vector<std::u16string> reindentCodeLines(const std::vector<std::u16string>& lines, IndentState& state)
{
    std::vector<std::u16string> out;
    out.reserve(lines.size());
    for (const auto& line : lines) {
        const bool commentBefore = state.inBlockComment;
        const std::u16string_view trimmed = utf16::trimLeft(line, u" \t");
        const std::u16string code = codeOnly(trimmed, state.inBlockComment);
        if (trimmed.empty() || commentBefore) {
            out.emplace_back(commentBefore ? line : std::u16string());
            continue;
        }
        const auto closers = static_cast<int>(code.find_first_not_of(u'}') == std::u16string::npos
                                                  ? code.size()
                                                  : code.find_first_not_of(u'}'));
        const int extra = code.starts_with(u'{') ? 0 : state.pendingStatements;
        const int level = std::max(0, state.depth - closers + extra);
        out.push_back(std::u16string(static_cast<std::size_t>(level * kIndentWidth), u' ') + std::u16string(trimmed));
        for (const char16_t c : code) {
            if (c == u'{')
                ++state.depth;
            else if (c == u'}')
                state.depth = std::max(0, state.depth - 1);
        }
        state.pendingStatements = isBracelessControl(code) ? extra + 1 : 0;
    }
    return out;
}

std::size_t reindentCodeParagraphs(library::Chapter& chapter)
{
    IndentState state;
    std::size_t changed = 0;
    for (auto& paragraph : chapter.paragraphs) {
        if (paragraph.code == 0) {
            state = IndentState{};
            continue;
        }
        const std::u16string text = paragraph.text();
        // The paragraph's own line end stays as it was.
        std::u16string_view body = text;
        std::u16string_view end;
        if (body.ends_with(u"\r\n"))
            end = u"\r\n";
        else if (body.ends_with(u"\r") || body.ends_with(u"\n"))
            end = body.substr(body.size() - 1);
        body.remove_suffix(end.size());
        std::u16string rebuilt;
        const auto lines = reindentCodeLines(splitLines(body), state);
        for (std::size_t i = 0; i < lines.size(); ++i)
            rebuilt += (i > 0 ? u"\r\n" : u"") + lines[i];
        rebuilt += end;
        if (rebuilt == text)
            continue;
        paragraph.runs.assign(1, library::Run{rebuilt, {}});
        chapter.modified = true;
        ++changed;
    }
    return changed;
}

}  // namespace veyla::output
