// SPDX-License-Identifier: MIT
#include "core/import/chapter_number.h"

#include <algorithm>
#include <array>
#include <string>

namespace veyla::import {

namespace {

constexpr long long kTooLarge = kLargestTitleNumber + 1;
constexpr long long kNoUnit = 0;

int chineseDigit(char16_t c)
{
    switch (c) {
    case u'零': case u'〇': case u'○': return 0;
    case u'一': case u'壹': return 1;
    case u'二': case u'两': case u'兩': case u'贰': case u'貳': return 2;
    case u'三': case u'叁': case u'參': return 3;
    case u'四': case u'肆': return 4;
    case u'五': case u'伍': return 5;
    case u'六': case u'陆': case u'陸': return 6;
    case u'七': case u'柒': return 7;
    case u'八': case u'捌': return 8;
    case u'九': case u'玖': return 9;
    default: return -1;
    }
}

// 十, 百 and 千 multiply the digit before them within a group of four.
long long smallUnit(char16_t c)
{
    switch (c) {
    case u'十': case u'拾': return 10;
    case u'百': case u'佰': return 100;
    case u'千': case u'仟': return 1000;
    default: return kNoUnit;
    }
}

// 萬 and 億 multiply everything before them.
long long largeUnit(char16_t c)
{
    switch (c) {
    case u'万': case u'萬': return 10'000;
    case u'亿': case u'億': return 100'000'000;
    default: return kNoUnit;
    }
}

// 廿 and 卅 are two and three written together with 十.
int tensLigature(char16_t c)
{
    return c == u'廿' ? 2 : c == u'卅' ? 3 : 0;
}

bool isChineseNumeralChar(char16_t c)
{
    return chineseDigit(c) >= 0 || smallUnit(c) != kNoUnit || largeUnit(c) != kNoUnit || tensLigature(c) != 0;
}

// Keeps a running value from growing without bound; anything above the
// largest title number is as bad as any other.
long long capped(long long value, bool& overflow)
{
    if (value > kLargestTitleNumber) {
        overflow = true;
        return kTooLarge;
    }
    return value;
}

Numeral finish(long long value, std::size_t length, bool overflow)
{
    if (overflow)
        return {0, length, true};
    return {value, length, false};
}

// 一○○, 一二○, 九九: one digit per place.
Numeral readPositional(std::u16string_view run)
{
    long long value = 0;
    bool overflow = false;
    for (const char16_t c : run)
        value = capped(value * 10 + chineseDigit(c), overflow);
    return finish(value, run.size(), overflow);
}

// 二十一, 一百零五, 三千萬: digits multiplied by the unit after them.
Numeral readWrittenOut(std::u16string_view run)
{
    long long total = 0;
    long long group = 0;          // the part below the last 萬 or 億
    int digit = -1;               // a digit waiting for its unit; 0 marks a 零
    long long lastSmall = 10'000; // units within a group must fall
    long long lastLarge = kTooLarge;
    bool overflow = false;
    for (const char16_t c : run) {
        long long unit = smallUnit(c);
        int multiplier = 0;
        if (const int d = chineseDigit(c); d >= 0) {
            if (digit > 0)
                return {};  // two digits in a row: 二三十
            digit = d;
            continue;
        }
        if (const int tens = tensLigature(c); tens != 0) {
            if (digit > 0)
                return {};
            unit = 10;
            multiplier = tens;
        }
        if (unit != kNoUnit) {
            if (unit >= lastSmall || digit == 0)
                return {};  // 十十, 二百三千, 零十
            if (multiplier == 0)
                multiplier = digit > 0 ? digit : 1;
            group = capped(group + multiplier * unit, overflow);
            lastSmall = unit;
            digit = -1;
            continue;
        }
        const long long large = largeUnit(c);
        if (digit > 0)
            group += digit;
        if (group == 0 && total == 0)
            return {};  // a bare 萬 is a word, not a number
        total = large >= lastLarge ? capped((total + group) * large, overflow)
                                   : capped(total + capped(group * large, overflow), overflow);
        lastLarge = large;
        group = 0;
        digit = -1;
        lastSmall = 10'000;
    }
    if (digit > 0)
        group += digit;
    return finish(capped(total + group, overflow), run.size(), overflow);
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

int romanValue(char16_t c)
{
    switch (asciiLower(c)) {
    case u'i': return 1;
    case u'v': return 5;
    case u'x': return 10;
    case u'l': return 50;
    case u'c': return 100;
    case u'd': return 500;
    case u'm': return 1000;
    default: return 0;
    }
}

// n in the usual upper-case form; n is 1 to 3999.
std::u16string usualRoman(long long n)
{
    static constexpr std::array<std::pair<int, std::u16string_view>, 13> kSteps{{
        {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
        {40, u"XL"}, {10, u"X"}, {9, u"IX"}, {5, u"V"}, {4, u"IV"}, {1, u"I"},
    }};
    std::u16string out;
    for (const auto& [value, letters] : kSteps) {
        for (; n >= value; n -= value)
            out += letters;
    }
    return out;
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0';
}

// Letters and digits of the scripts chapter titles are written in; anything
// else (spaces, punctuation, symbols) ends a numeral that stands alone.
bool isWordCharacter(char16_t c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || (c >= 0x3040 && c <= 0x30FF) ||
           (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A) ||
           (c >= 0xD800 && c <= 0xDFFF) || (c >= 0x00C0 && c <= 0x024F);
}

std::size_t skipSpaces(std::u16string_view text, std::size_t i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// The ASCII word at i in lower case (up to 8 letters are enough for any keyword).
std::u16string_view lowerWordAt(std::u16string_view text, std::size_t i, std::array<char16_t, 8>& buffer)
{
    std::size_t n = 0;
    while (i + n < text.size() && isAsciiLetter(text[i + n])) {
        if (n == buffer.size())
            return {};
        buffer[n] = asciiLower(text[i + n]);
        ++n;
    }
    return {buffer.data(), n};
}

enum class Keyword { None, Chapter, Volume };

Keyword keywordKind(std::u16string_view word)
{
    if (word == u"chapter" || word == u"chap" || word == u"letter")
        return Keyword::Chapter;
    if (word == u"book" || word == u"part" || word == u"volume" || word == u"vol")
        return Keyword::Volume;
    return Keyword::None;
}

bool isChapterUnit(char16_t c)
{
    return std::u16string_view(u"章回节節则則传傳话話幕折讲講").find(c) != std::u16string_view::npos;
}

bool isVolumeUnit(char16_t c)
{
    return std::u16string_view(u"卷部集篇册冊").find(c) != std::u16string_view::npos;
}

// A number written with digits or Chinese numerals, as after 第 and 卷.
Numeral readDigitsOrChinese(std::u16string_view text)
{
    const Numeral arabic = readArabicNumeral(text);
    return arabic.length > 0 ? arabic : readChineseNumeral(text);
}

void keep(long long& slot, const Numeral& numeral, TitleNumbers& numbers)
{
    if (numeral.overflow)
        numbers.overflow = true;
    else if (slot == kNoNumber)
        slot = numeral.value;
}

// Whether a numeral that stands alone ends at i: at the end of the title,
// or before a space or a punctuation mark.
bool endsAlone(std::u16string_view title, std::size_t i)
{
    return i >= title.size() || !isWordCharacter(title[i]);
}

// 第N章, 第N卷, or 第N standing alone, starting at the 第 at i. Returns
// where reading stopped.
std::size_t readOrdinal(std::u16string_view title, std::size_t i, TitleNumbers& numbers)
{
    std::size_t j = skipSpaces(title, i + 1);
    const Numeral numeral = readDigitsOrChinese(title.substr(j));
    if (numeral.length == 0)
        return i + 1;
    const std::size_t end = j + numeral.length;
    j = skipSpaces(title, end);
    if (j < title.size() && isChapterUnit(title[j])) {
        keep(numbers.chapter, numeral, numbers);
        return j + 1;
    }
    if (j < title.size() && isVolumeUnit(title[j])) {
        keep(numbers.volume, numeral, numbers);
        return j + 1;
    }
    if (endsAlone(title, end)) {
        keep(numbers.chapter, numeral, numbers);
        return j;
    }
    return i + 1;  // 第一次, 第二天: an ordinal, not a heading
}

// 卷二, 卷之三, 卷2.
std::size_t readVolumeMark(std::u16string_view title, std::size_t i, TitleNumbers& numbers)
{
    std::size_t j = i + 1;
    if (j < title.size() && title[j] == u'之')
        ++j;
    j = skipSpaces(title, j);
    const Numeral numeral = readDigitsOrChinese(title.substr(j));
    if (numeral.length == 0)
        return i + 1;
    j += numeral.length;
    if (j < title.size() && isWordCharacter(title[j]) && !isSpace(title[j]) && !isChapterUnit(title[j]))
        return i + 1;
    keep(numbers.volume, numeral, numbers);
    return j;
}

// Digits, or numbered sections such as "1.2" read as their last part: the
// sections of a chapter are numbered among themselves.
Numeral readSectionNumber(std::u16string_view text)
{
    Numeral numeral = readArabicNumeral(text);
    std::size_t end = numeral.length;
    while (numeral.length > 0 && end + 1 < text.size() && (text[end] == u'.' || text[end] == u'\uFF0E')) {
        const Numeral part = readArabicNumeral(text.substr(end + 1));
        if (part.length == 0)
            break;
        end += 1 + part.length;
        numeral = {part.value, end, part.overflow};
    }
    return numeral;
}

// "Chapter 3", "BOOK II", "Part Two" at i; returns where reading stopped,
// or i when there is no such keyword and number.
std::size_t readKeywordNumber(std::u16string_view title, std::size_t i, TitleNumbers& numbers)
{
    std::array<char16_t, 8> buffer{};
    const std::u16string_view word = lowerWordAt(title, i, buffer);
    const Keyword kind = keywordKind(word);
    if (kind == Keyword::None)
        return i;
    std::size_t j = i + word.size();
    if (j < title.size() && title[j] == u'.')
        ++j;
    j = skipSpaces(title, j);
    const std::u16string_view rest = title.substr(j);
    Numeral numeral = readSectionNumber(rest);
    if (numeral.length == 0)
        numeral = readRomanNumeral(rest);
    if (numeral.length == 0)
        numeral = readNumberWords(rest);
    if (numeral.length == 0 || !endsAlone(title, j + numeral.length))
        return i;
    keep(kind == Keyword::Chapter ? numbers.chapter : numbers.volume, numeral, numbers);
    return j + numeral.length;
}

// "12", "十二、…", "XII." at the start of a title.
void readLeadingNumeral(std::u16string_view title, TitleNumbers& numbers)
{
    Numeral numeral = readSectionNumber(title);
    if (numeral.length == 0) {
        numeral = readChineseNumeral(title);
        // 〇 or ○ alone is a bullet, not chapter zero.
        if (numeral.found() && numeral.value == 0)
            return;
    }
    if (numeral.length == 0) {
        // Only capitals: "mix" and "civil" are words. A lone "I" before a
        // space is the English word.
        if (title.empty() || title[0] < u'A' || title[0] > u'Z')
            return;
        numeral = readRomanNumeral(title);
        const bool word = numeral.length == 1 && numeral.length < title.size() && isSpace(title[numeral.length]);
        if (numeral.length == 0 || word)
            return;
    }
    if (endsAlone(title, numeral.length))
        keep(numbers.chapter, numeral, numbers);
}

constexpr std::u16string_view kLeadingDecoration = u" \t\u3000*#[(\u3010\uFF08\u300A\u25CF";

}  // namespace

Numeral readChineseNumeral(std::u16string_view text)
{
    std::size_t n = 0;
    bool hasUnit = false;
    while (n < text.size() && isChineseNumeralChar(text[n])) {
        hasUnit = hasUnit || chineseDigit(text[n]) < 0;
        ++n;
    }
    if (n == 0)
        return {};
    const std::u16string_view run = text.substr(0, n);
    return hasUnit ? readWrittenOut(run) : readPositional(run);
}

Numeral readArabicNumeral(std::u16string_view text)
{
    long long value = 0;
    bool overflow = false;
    std::size_t n = 0;
    for (; n < text.size(); ++n) {
        const char16_t c = text[n];
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'０' && c <= u'９')
            digit = c - u'０';
        if (digit < 0)
            break;
        value = capped(value * 10 + digit, overflow);
    }
    return n == 0 ? Numeral{} : finish(value, n, overflow);
}

Numeral readRomanNumeral(std::u16string_view text)
{
    if (text.empty() || romanValue(text[0]) == 0)
        return {};
    const bool upper = text[0] < u'a';
    std::size_t n = 0;
    long long value = 0;
    while (n < text.size() && romanValue(text[n]) != 0 && (text[n] < u'a') == upper) {
        const int here = romanValue(text[n]);
        const int next = n + 1 < text.size() && (text[n + 1] < u'a') == upper ? romanValue(text[n + 1]) : 0;
        value += here < next ? -here : here;
        ++n;
        if (n > 15)
            return {};  // MMMDCCCLXXXVIII, the longest usual numeral, has 15 letters
    }
    if (n < text.size() && isAsciiLetter(text[n]))
        return {};  // part of a word: CIVIL, MIXER
    if (value <= 0 || value > 3999)
        return {};
    const std::u16string usual = usualRoman(value);
    if (usual.size() != n)
        return {};
    for (std::size_t i = 0; i < n; ++i) {
        if (asciiLower(usual[i]) != asciiLower(text[i]))
            return {};
    }
    return {value, n, false};
}

Numeral readNumberWords(std::u16string_view text)
{
    static constexpr std::array<std::u16string_view, 20> kUnits{
        u"zero", u"one", u"two", u"three", u"four", u"five", u"six", u"seven", u"eight", u"nine", u"ten",
        u"eleven", u"twelve", u"thirteen", u"fourteen", u"fifteen", u"sixteen", u"seventeen", u"eighteen",
        u"nineteen"};
    static constexpr std::array<std::u16string_view, 10> kTens{
        u"", u"", u"twenty", u"thirty", u"forty", u"fifty", u"sixty", u"seventy", u"eighty", u"ninety"};
    // The whole word at the start, lower-cased; number words are at most 9 letters.
    const auto wordAt = [&](std::size_t at, std::array<char16_t, 10>& buffer) -> std::u16string_view {
        std::size_t n = 0;
        while (at + n < text.size() && isAsciiLetter(text[at + n])) {
            if (n == buffer.size())
                return {};
            buffer[n] = asciiLower(text[at + n]);
            ++n;
        }
        return {buffer.data(), n};
    };
    std::array<char16_t, 10> buffer{};
    const std::u16string_view first = wordAt(0, buffer);
    for (std::size_t u = 1; u < kUnits.size(); ++u) {
        if (first == kUnits[u])
            return {static_cast<long long>(u), first.size(), false};
    }
    for (std::size_t t = 2; t < kTens.size(); ++t) {
        if (first != kTens[t])
            continue;
        const long long tens = static_cast<long long>(t) * 10;
        const std::size_t joint = first.size();
        if (joint + 1 < text.size() && (text[joint] == u'-' || text[joint] == u' ')) {
            std::array<char16_t, 10> second{};
            const std::u16string_view unit = wordAt(joint + 1, second);
            for (std::size_t u = 1; u < 10; ++u) {
                if (unit == kUnits[u])
                    return {tens + static_cast<long long>(u), joint + 1 + unit.size(), false};
            }
        }
        return {tens, joint, false};
    }
    return {};
}

TitleNumbers readTitleNumbers(std::u16string_view title)
{
    TitleNumbers numbers;
    const std::size_t start = std::min(title.find_first_not_of(kLeadingDecoration), title.size());
    title = title.substr(start);

    // English keywords: at the start, and once more after the first
    // ("Book II, Chapter 3").
    std::size_t after = readKeywordNumber(title, 0, numbers);
    if (after > 0) {
        while (after < title.size() && !isWordCharacter(title[after]))
            ++after;
        readKeywordNumber(title, after, numbers);
    } else if (title.empty() || (title[0] != u'第' && title[0] != u'卷')) {
        readLeadingNumeral(title, numbers);
    }

    for (std::size_t i = 0; i < title.size();) {
        if (title[i] == u'第')
            i = readOrdinal(title, i, numbers);
        else if (title[i] == u'卷')
            i = readVolumeMark(title, i, numbers);
        else
            ++i;
    }
    return numbers;
}

}  // namespace veyla::import
