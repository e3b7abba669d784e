// SPDX-License-Identifier: MIT
#include "core/search/hit_finder.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::search {

namespace {

constexpr std::size_t kWordWindow = 80;
constexpr std::size_t kSentenceWindow = 50;
constexpr std::size_t kAcrosticWindow = 80;
constexpr std::u16string_view kSentenceTrim = u"-_\uFF0D\u2014. \u3000\t";

// The characters of text, a surrogate pair taken together.
std::vector<std::u16string> characters(std::u16string_view text)
{
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t length =
            utf16::isHighSurrogate(text[i]) && i + 1 < text.size() && utf16::isLowSurrogate(text[i + 1]) ? 2 : 1;
        std::u16string c(text.substr(i, length));
        if (std::find(out.begin(), out.end(), c) == out.end())
            out.push_back(std::move(c));
        i += length - 1;
    }
    return out;
}

// Moves a window start off the low half of a pair whose high half it left out.
std::size_t keepPairsAtStart(std::u16string_view text, std::size_t begin, std::size_t limit)
{
    if (begin < limit && begin > 0 && utf16::isLowSurrogate(text[begin]) && utf16::isHighSurrogate(text[begin - 1]))
        ++begin;
    return begin;
}

// Moves a window end off the high half of a pair whose low half it left out.
std::size_t keepPairsAtEnd(std::u16string_view text, std::size_t end, std::size_t limit)
{
    if (end > limit && end < text.size() && utf16::isHighSurrogate(text[end - 1]) && utf16::isLowSurrogate(text[end]))
        --end;
    return end;
}

}  // namespace

bool isRunUnit(char16_t c)
{
    return c >= 0x4E00 && c <= 0xDFFF;
}

HitFinder::HitFinder(MiningQuery query) : m_query(std::move(query))
{
    if (m_query.mode == MiningMode::Acrostic) {
        m_groups = characters(m_query.searchText());
    } else if (m_query.mode == MiningMode::Paragraph) {
        std::u16string joined;
        for (const auto& keyword : m_query.keywords)
            joined += (joined.empty() ? u"" : u"、") + keyword;
        m_groups = {joined};
    } else {
        m_groups = {m_query.searchText()};
    }
}

void HitFinder::findHits(std::u16string_view paragraph, std::vector<ParagraphHit>& out) const
{
    switch (m_query.mode) {
    case MiningMode::Word: findWindows(paragraph, kWordWindow, false, out); break;
    case MiningMode::Sentence: findWindows(paragraph, kSentenceWindow, true, out); break;
    case MiningMode::Acrostic: findRunStarts(paragraph, out); break;
    case MiningMode::Paragraph: findParagraph(paragraph, out); break;
    }
}

void HitFinder::findWindows(std::u16string_view text, std::size_t width, bool trim, std::vector<ParagraphHit>& out) const
{
    const std::u16string_view key = m_query.searchText();
    std::size_t from = 0;
    for (;;) {
        const std::size_t a = text.find(key, from);
        if (a == std::u16string_view::npos)
            return;
        const std::size_t keyEnd = a + key.size();
        std::size_t begin = a;
        while (begin > 0 && a - begin + 1 < width && isRunUnit(text[begin - 1]))
            --begin;
        begin = keepPairsAtStart(text, begin, a);
        std::size_t end = a + 1;
        while (end < text.size() && end - (a + 1) < width && (end < keyEnd || isRunUnit(text[end])))
            ++end;
        end = keepPairsAtEnd(text, std::max(end, keyEnd), keyEnd);
        if (trim) {
            std::u16string hit(utf16::trimLeft(text.substr(begin, a - begin), kSentenceTrim));
            hit += key;
            hit += utf16::trimRight(text.substr(keyEnd, end - keyEnd), kSentenceTrim);
            out.push_back({0, std::move(hit)});
        } else {
            out.push_back({0, std::u16string(text.substr(begin, end - begin))});
        }
        from = end;
    }
}

void HitFinder::findRunStarts(std::u16string_view text, std::vector<ParagraphHit>& out) const
{
    for (std::size_t group = 0; group < m_groups.size(); ++group) {
        const std::u16string_view c = m_groups[group];
        for (std::size_t a = text.find(c); a != std::u16string_view::npos; a = text.find(c, a + 1)) {
            if (a > 0 && isRunUnit(text[a - 1]))
                continue;
            std::size_t end = a + c.size();
            while (end < text.size() && end - a < kAcrosticWindow && isRunUnit(text[end]))
                ++end;
            end = keepPairsAtEnd(text, end, a + c.size());
            out.push_back({group, std::u16string(text.substr(a, end - a))});
        }
    }
}

void HitFinder::findParagraph(std::u16string_view text, std::vector<ParagraphHit>& out) const
{
    if (text.empty())
        return;
    std::size_t found = 0;
    for (const auto& keyword : m_query.keywords) {
        if (text.find(keyword) != std::u16string_view::npos && ++found >= m_query.required) {
            out.push_back({0, std::u16string(text)});
            return;
        }
    }
}

}  // namespace veyla::search
