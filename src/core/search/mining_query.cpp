// SPDX-License-Identifier: MIT
#include "core/search/mining_query.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::search {

namespace {

constexpr std::u16string_view kSeparators = u",\uFF0C\u3001";
constexpr std::u16string_view kBlanks = u" \t\r\n\u3000";

bool isNumber(std::u16string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// The value of a string of digits, saturating far above any keyword count.
std::size_t numberValue(std::u16string_view digits)
{
    std::size_t value = 0;
    for (char16_t c : digits)
        value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(c - u'0'), 1000000);
    return value;
}

}  // namespace

std::u16string_view miningModeName(MiningMode mode)
{
    switch (mode) {
    case MiningMode::Word: return u"词";
    case MiningMode::Acrostic: return u"藏头诗";
    case MiningMode::Sentence: return u"句";
    case MiningMode::Paragraph: return u"段";
    }
    return u"词";
}

std::size_t bookLimitCount(BookLimit limit)
{
    switch (limit) {
    case BookLimit::One: return 1;
    case BookLimit::Four: return 4;
    case BookLimit::Ten: return 10;
    case BookLimit::All: return 0;
    }
    return 1;
}

std::vector<std::u16string> splitKeywords(std::u16string_view text)
{
    std::vector<std::u16string> keywords;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(kSeparators, start);
        if (end == std::u16string_view::npos)
            end = text.size();
        const std::u16string_view piece = utf16::trim(text.substr(start, end - start), kBlanks);
        if (!piece.empty())
            keywords.emplace_back(piece);
        start = end + 1;
    }
    return keywords;
}

Result<MiningQuery> makeMiningQuery(MiningMode mode, std::u16string_view keywordText)
{
    MiningQuery query;
    query.mode = mode;
    query.keywords = splitKeywords(keywordText);
    if (query.keywords.empty())
        return Error{ErrorCode::InvalidArgument, "no keyword"};
    if (mode != MiningMode::Paragraph) {
        query.keywords.resize(1);
        query.required = 1;
        return query;
    }
    query.required = query.keywords.size();
    if (query.keywords.size() > 1 && isNumber(query.keywords.back())) {
        const std::size_t wanted = numberValue(query.keywords.back());
        query.keywords.pop_back();
        query.required = std::clamp<std::size_t>(wanted, 1, query.keywords.size());
    }
    return query;
}

}  // namespace veyla::search
