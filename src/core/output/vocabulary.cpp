// SPDX-License-Identifier: MIT
#include "core/output/vocabulary.h"

#include <system_error>

#include "core/output/html_text.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::output {

namespace {

char16_t lowerChar(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    // Latin Extended-A pairs an upper-case letter with the lower-case one after it.
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return static_cast<char16_t>(c + 1);
    if (c == 0x178)
        return 0xFF;
    return c;
}

// The characters a wide-character alphabetic test accepts: letters of the
// Latin, Greek and Cyrillic scripts, kana, hangul and CJK ideographs
// (surrogate halves count, as characters beyond U+FFFF are mostly ideographs).
bool isLetter(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return true;
    if (c < 0xC0)
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7)
        return false;
    return c <= 0x24F || (c >= 0x370 && c <= 0x3FF && c != 0x37E && c != 0x387) || (c >= 0x400 && c <= 0x52F) ||
           (c >= 0x3040 && c <= 0x30FF && c != 0x30A0 && c != 0x30FB) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xD800 && c <= 0xDFFF) ||
           (c >= 0xF900 && c <= 0xFAFF);
}

// White space as a wide-character space test sees it.
bool isSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == 0x1680 || (c >= 0x2000 && c <= 0x2006) ||
           (c >= 0x2008 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x205F || c == 0x3000;
}

// A member's text: strings and literals as their text, anything else empty.
std::u16string memberText(const JsonValue& entry, std::string_view key)
{
    const JsonValue* value = entry.member(key);
    if (value == nullptr || value->kind() == JsonValue::Kind::Object || value->kind() == JsonValue::Kind::Array)
        return {};
    return utf16::fromUtf8(value->text());
}

}  // namespace

std::u16string lowerCased(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = lowerChar(c);
    return out;
}

Vocabulary Vocabulary::load(const std::filesystem::path& folder)
{
    Vocabulary vocabulary;
    auto readList = [&vocabulary](const std::filesystem::path& file) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        if (ec || size > kMaxWordListBytes)
            return;
        const auto bytes = platform::readWholeFile(file);
        if (bytes)
            vocabulary.addWordList(parseJson(*bytes).root);
    };
    std::error_code ec;
    if (std::filesystem::exists(folder / kAllWordsFile, ec)) {
        readList(folder / kAllWordsFile);
        return vocabulary;
    }
    for (const auto name : kLevelFiles)
        readList(folder / name);
    return vocabulary;
}

void Vocabulary::addWordList(const JsonValue& list)
{
    for (const auto& entry : list.items()) {
        const JsonValue* word = entry.member("w");
        if (word == nullptr || !word->isString() || word->text().size() <= 3)
            continue;
        add(utf16::fromUtf8(word->text()), memberText(entry, "t"));
    }
}

void Vocabulary::add(std::u16string_view word, std::u16string_view gloss)
{
    m_words.try_emplace(lowerCased(word), gloss);
}

const std::u16string* Vocabulary::gloss(std::u16string_view lowerWord) const
{
    const auto it = m_words.find(lowerWord);
    return it == m_words.end() ? nullptr : &it->second;
}

const std::u16string* Vocabulary::glossOfToken(std::u16string_view token) const
{
    std::u16string w = lowerCased(token);
    std::size_t first = 0;
    while (first < w.size() && !isLetter(w[first]))
        ++first;
    std::size_t last = w.size();
    while (last > first && !isLetter(w[last - 1]))
        --last;
    w = w.substr(first, last - first);
    const std::size_t n = w.size();
    if (const auto* found = gloss(w))
        return found;
    if (n >= 3 && w.ends_with(u"ed")) {
        std::u16string stem = w.substr(0, n - 2);
        if (n >= 4 && w.ends_with(u"ied"))
            stem = w.substr(0, n - 3) + u"y";
        else if (n > 3 && w[n - 4] == w[n - 3])
            stem = w.substr(0, n - 3);
        return gloss(stem);
    }
    if (n >= 4 && w.ends_with(u"ing")) {
        if (n > 4 && w[n - 5] == w[n - 4])
            return gloss(std::u16string_view(w).substr(0, n - 4));
        return gloss(std::u16string_view(w).substr(0, n - 3));
    }
    if (n > 1 && w.ends_with(u"s")) {
        if (const auto* found = gloss(std::u16string_view(w).substr(0, n - 1)))
            return found;
        if (n >= 3 && w.ends_with(u"es"))
            return gloss(std::u16string_view(w).substr(0, n - 2));
    }
    return nullptr;
}

std::u16string Vocabulary::annotate(std::u16string_view paragraph) const
{
    std::u16string out;
    std::size_t i = 0;
    while (i < paragraph.size()) {
        if (isSpace(paragraph[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < paragraph.size() && !isSpace(paragraph[end]))
            ++end;
        const std::u16string_view token = paragraph.substr(i, end - i);
        if (!out.empty())
            out += u' ';
        if (const auto* found = glossOfToken(token)) {
            out += u"<strong data-explanation=\"(" + escapeAttribute(*found) + u")\">";
            appendEscapedHtml(out, token);
            out += u"</strong>";
        } else {
            appendEscapedHtml(out, token);
        }
        i = end;
    }
    return out;
}

}  // namespace veyla::output
