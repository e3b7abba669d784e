// SPDX-License-Identifier: MIT
#include "core/import/chapter_naming.h"

#include <array>

#include "core/import/letter_table.h"
#include "core/util/utf16.h"

namespace veyla::import {

namespace {

bool keptInFileName(char32_t cp)
{
    return cp == U'-' || cp == U'_' || cp == U'.' || isLetterOrDigit(cp);
}

}  // namespace

std::u16string fileNameForm(std::u16string_view title)
{
    std::u16string out;
    out.reserve(title.size());
    for (std::size_t i = 0; i < title.size(); ++i) {
        const char16_t c = title[i];
        if (utf16::isHighSurrogate(c) && i + 1 < title.size() && utf16::isLowSurrogate(title[i + 1])) {
            const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(title[i + 1]) - 0xDC00);
            if (keptInFileName(cp))
                out.append(title.substr(i, 2));
            ++i;
        } else if (!utf16::isHighSurrogate(c) && !utf16::isLowSurrogate(c) && keptInFileName(c)) {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string toRomanNumeral(int n)
{
    static constexpr std::array<std::u16string_view, 10> kHundreds{u"",  u"C",  u"CC",  u"CCC",  u"CD",
                                                                   u"D", u"DC", u"DCC", u"DCCC", u"CM"};
    static constexpr std::array<std::u16string_view, 10> kTens{u"",  u"X",  u"XX",  u"XXX",  u"XL",
                                                               u"L", u"LX", u"LXX", u"LXXX", u"XC"};
    static constexpr std::array<std::u16string_view, 10> kUnits{u"",  u"I",  u"II",  u"III",  u"IV",
                                                                u"V", u"VI", u"VII", u"VIII", u"IX"};
    const unsigned value = static_cast<unsigned>(n < 0 ? -static_cast<long long>(n) : n) % 1000;
    std::u16string out;
    out.append(kHundreds[value / 100]).append(kTens[value / 10 % 10]).append(kUnits[value % 10]);
    return out;
}

std::u16string zeroPadded(long long n, int width)
{
    std::u16string digits = utf16::number(n < 0 ? -n : n);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), u'0');
    return n < 0 ? u"-" + digits : digits;
}

}  // namespace veyla::import
