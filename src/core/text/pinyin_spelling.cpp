// SPDX-License-Identifier: MIT
#include "core/text/pinyin_spelling.h"

#include <algorithm>

#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"

namespace veyla::text {

namespace {

// Every prefix followed by every option, in counting order, cut at limit:
// the first limit results of the whole product only ever extend the first
// limit prefixes, so cutting at each step loses nothing that is kept.
void extend(std::vector<std::u16string>& prefixes, const std::vector<std::u16string>& options, std::size_t limit)
{
    if (options.empty())
        return;
    std::vector<std::u16string> longer;
    for (const auto& prefix : prefixes) {
        for (const auto& option : options) {
            std::u16string joined = prefix + option;
            if (std::find(longer.begin(), longer.end(), joined) == longer.end())
                longer.push_back(std::move(joined));
            if (longer.size() == limit) {
                prefixes = std::move(longer);
                return;
            }
        }
    }
    prefixes = std::move(longer);
}

}  // namespace

Result<PinyinSpellings> spellInPinyin(PinyinTable& table, std::u16string_view text, std::size_t limit)
{
    PinyinSpellings result;
    if (text.empty() || limit == 0)
        return result;
    result.spellings = {u""};
    result.initials = {u""};
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (utf16::isHighSurrogate(text[i]) && i + 1 < text.size() && utf16::isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        std::vector<std::u16string> syllables;
        std::vector<std::u16string> initials;
        if (Status found = table.lookup(c, syllables, initials); !found)
            return found.error();
        // A character that passes through is its own initial as well.
        if (c < PinyinTable::kFirst || c > PinyinTable::kLast)
            initials = syllables;
        extend(result.spellings, syllables, limit);
        extend(result.initials, initials, limit);
    }
    // Only characters without readings: nothing to spell.
    std::erase(result.spellings, std::u16string());
    std::erase(result.initials, std::u16string());
    return result;
}

}  // namespace veyla::text
