// SPDX-License-Identifier: MIT
#include "core/util/utf16.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace veyla::utf16 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

}  // namespace

int hexDigitValue(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A') + 10;
    return -1;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

TextPos find(std::u16string_view text, std::u16string_view key, TextPos from)
{
    if (from < 0)
        from = 0;
    const auto size = static_cast<TextPos>(text.size());
    if (from > size)
        return kNotFound;
    if (key.empty())
        return from;
    const auto at = text.find(key, static_cast<std::size_t>(from));
    return at == std::u16string_view::npos ? kNotFound : static_cast<TextPos>(at);
}

TextPos find(std::u16string_view text, char16_t ch, TextPos from)
{
    if (from < 0)
        from = 0;
    if (from >= static_cast<TextPos>(text.size()))
        return kNotFound;
    const auto at = text.find(ch, static_cast<std::size_t>(from));
    return at == std::u16string_view::npos ? kNotFound : static_cast<TextPos>(at);
}

TextPos findLast(std::u16string_view text, char16_t ch, TextPos from)
{
    if (from < 0 || text.empty())
        return kNotFound;
    const auto at = text.rfind(ch, static_cast<std::size_t>(from));
    return at == std::u16string_view::npos ? kNotFound : static_cast<TextPos>(at);
}

TextPos lineStartOf(TextPos pos, std::u16string_view text)
{
    if (pos < 0 || text.empty())
        return 0;
    const TextPos nl = findLast(text, u'\n', std::min<TextPos>(pos, static_cast<TextPos>(text.size()) - 1));
    return nl == kNotFound ? 0 : nl + 1;
}

TextPos lineEndOf(TextPos pos, std::u16string_view text)
{
    const auto size = static_cast<TextPos>(text.size());
    if (pos < 0)
        return size;
    const TextPos nl = find(text, u'\n', pos);
    return nl == kNotFound ? size : nl + 1;
}

bool contains(std::u16string_view text, std::u16string_view key)
{
    return text.find(key) != std::u16string_view::npos;
}

bool contains(std::u16string_view text, char16_t ch)
{
    return text.find(ch) != std::u16string_view::npos;
}

std::u16string fromUtf8(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            // Fast path for ASCII runs.
            out.push_back(b);
            ++p;
            continue;
        }
        int length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1F;
            minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0F;
            minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07;
            minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++p;
            continue;
        }
        int taken = 1;
        while (taken < length && p + taken < end && isContinuation(p[taken])) {
            cp = (cp << 6) | (p[taken] & 0x3F);
            ++taken;
        }
        if (taken < length || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            p += taken;
            continue;
        }
        appendCodePoint(out, cp);
        p += length;
    }
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, cp = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, cp = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, cp = b & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if (!isContinuation(p[i]))
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            appendUtf8(out, cp);
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::u16string decodeLittleEndian(std::string_view bytes)
{
    std::u16string out(bytes.size() / 2, u'\0');
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out.data(), bytes.data(), out.size() * 2);
        return out;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    return out;
}

std::string encodeLittleEndian(std::u16string_view text)
{
    std::string out(text.size() * 2, '\0');
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out.data(), text.data(), out.size());
        return out;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<char>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return out;
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to)
{
    if (from.empty())
        return std::u16string(text);
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::u16string_view::npos; at = text.find(from, start)) {
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(text.substr(start));
    return out;
}

std::u16string_view trimLeft(std::u16string_view text, std::u16string_view set)
{
    const auto first = text.find_first_not_of(set);
    return first == std::u16string_view::npos ? std::u16string_view() : text.substr(first);
}

std::u16string_view trimRight(std::u16string_view text, std::u16string_view set)
{
    const auto last = text.find_last_not_of(set);
    return last == std::u16string_view::npos ? std::u16string_view() : text.substr(0, last + 1);
}

std::u16string_view trim(std::u16string_view text, std::u16string_view set)
{
    return trimLeft(trimRight(text, set), set);
}

std::u16string number(long long n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

long long toInteger(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 10;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value < kLimit)
            value = value * 10 + (text[i] - u'0');
    }
    return negative ? -value : value;
}

}  // namespace veyla::utf16
