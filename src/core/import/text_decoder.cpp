// SPDX-License-Identifier: MIT
#include "core/import/text_decoder.h"

#include <cstddef>
#include <new>
#include <system_error>

#include "core/platform/file_io.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"

namespace veyla::import {

namespace {

constexpr char16_t kBlackStar = 0x2605;

bool isAsciiLetter(unsigned c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Length of the tag starting at text[at] == '<', or 0 when that '<' does not
// open a tag. The scan stops at the first '<', '>' or line break, so every
// unit is looked at by at most one tag test and stripping stays linear.
template <typename Unit>
std::size_t tagLength(const Unit* text, std::size_t size, std::size_t at)
{
    if (at + 1 >= size)
        return 0;
    const auto first = static_cast<unsigned>(text[at + 1]);
    if (!isAsciiLetter(first) && first != '/' && first != '!' && first != '?')
        return 0;
    for (std::size_t i = at + 2; i < size; ++i) {
        const auto c = static_cast<unsigned>(text[i]);
        if (c == '>')
            return i - at + 1;
        if (c == '<' || c == '\n' || c == '\r')
            return 0;
    }
    return 0;
}

// Compacts text in place and returns the new size; `dropped` tells which
// single units go besides tags.
template <typename Unit, typename Dropped>
std::size_t stripInPlace(Unit* text, std::size_t size, Dropped dropped)
{
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < size) {
        const Unit c = text[i];
        if (static_cast<unsigned>(c) == '<') {
            if (const std::size_t tag = tagLength(text, size, i); tag > 0) {
                i += tag;
                continue;
            }
        }
        if (!dropped(static_cast<unsigned>(c)))
            text[out++] = c;
        ++i;
    }
    return out;
}

std::u16string decodeBigEndian(std::string_view bytes)
{
    std::u16string out(bytes.size() / 2, u'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>((p[2 * i] << 8) | p[2 * i + 1]);
    return out;
}

std::size_t skippedLineBreaks(std::string_view bytes)
{
    std::size_t offset = 0;
    while (offset + 2 <= bytes.size() && bytes[offset] == '\r' && bytes[offset + 1] == '\n')
        offset += 2;
    return offset;
}

DecodedText decoded(TextEncoding encoding, std::u16string text)
{
    DecodedText out;
    out.result = DecodeResult::Done;
    out.encoding = encoding;
    out.text = std::move(text);
    return out;
}

// The bytes from part on, part being the tail of whole: taken from owned
// (whole's own buffer, which the caller gave up) without a copy, else copied.
std::string tailBytes(std::string_view part, std::string_view whole, std::string* owned)
{
    if (owned == nullptr)
        return std::string(part);
    owned->erase(0, static_cast<std::size_t>(part.data() - whole.data()));
    return std::move(*owned);
}

DecodedText decodeWithoutMark(std::string bytes)
{
    stripMarkup(bytes);
    if (looksLikeUtf8(bytes))
        return decoded(TextEncoding::Utf8, utf16::fromUtf8(bytes));
    return decoded(TextEncoding::Ansi, decodeCodePage(bytes, kAnsiCodePage));
}

template <typename Unit>
std::size_t countOf(std::basic_string_view<Unit> text, Unit unit)
{
    std::size_t count = 0;
    for (const Unit c : text)
        count += c == unit ? 1 : 0;
    return count;
}

// How a UTF-8 scan went: multi-byte sequences that were whole and that were not.
struct Utf8Counts {
    std::size_t valid = 0;
    std::size_t invalid = 0;
};

Utf8Counts scanUtf8(std::string_view bytes, bool stopAtFirstError)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    const auto isContinuation = [&](std::size_t i) { return p[i] >= 0x80 && p[i] <= 0xBF; };
    Utf8Counts counts;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char b = p[i];
        std::size_t length = 0;
        if (b < 0x80)
            length = 1;
        else if (b <= 0xBF)
            length = 0;
        else if (b <= 0xDF)
            length = 2;
        else if (b <= 0xEF)
            length = 3;
        else if (b <= 0xF4)
            length = 4;
        if (length > 1 && size - i < length)
            break;  // a sequence cut short by the end of the file
        std::size_t whole = length;
        for (std::size_t k = 1; k < length; ++k) {
            if (!isContinuation(i + k)) {
                whole = 0;
                break;
            }
        }
        if (whole == 0) {
            ++counts.invalid;
            if (stopAtFirstError)
                break;
            ++i;
            continue;
        }
        counts.valid += length > 1 ? 1 : 0;
        i += length;
    }
    return counts;
}

DecodedText decodeUnits(TextEncoding encoding, std::u16string text)
{
    const std::size_t nulUnits = countOf(std::u16string_view(text), u'\0');
    stripMarkup(text);
    DecodedText out = decoded(encoding, std::move(text));
    out.nulCount = nulUnits;
    return out;
}

DecodedText decodeRest(std::string_view bytes, std::string_view rest, std::string* owned);

// owned, when not null, holds bytes and may be consumed.
DecodedText decodeOrThrow(std::string_view bytes, std::string* owned)
{
    DecodedText out;
    if (bytes.empty())
        return out;
    const std::string_view rest = bytes.substr(skippedLineBreaks(bytes));
    // NULs go with the markup; they are counted first (UTF-16 counts its own units).
    const std::size_t nulBytes = countOf(rest, '\0');
    DecodedText text = decodeRest(bytes, rest, owned);
    if (text.encoding != TextEncoding::Utf16LittleEndian && text.encoding != TextEncoding::Utf16BigEndian)
        text.nulCount = nulBytes;
    text.replacements = countOf(std::u16string_view(text.text), u'\uFFFD');
    return text;
}
DecodedText decodeRest(std::string_view bytes, std::string_view rest, std::string* owned)
{
    DecodedText out;
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    if (rest.size() >= 2) {
        const unsigned mark = byteAt(0) | (byteAt(1) << 8);
        if (mark == 0xBBEF) {
            if (rest.size() < 3 || byteAt(2) != 0xBF)
                return out;  // EF BB without BF: not a text this program reads.
            std::string body = tailBytes(rest.substr(3), bytes, owned);
            stripMarkup(body);
            return decoded(TextEncoding::Utf8WithMark, utf16::fromUtf8(body));
        }
        if (mark == 0xFEFF)
            return decodeUnits(TextEncoding::Utf16LittleEndian, utf16::decodeLittleEndian(rest.substr(2)));
        if (mark == 0xFFFE) {
            std::u16string units = decodeBigEndian(rest.substr(2));
            if (units.empty() || units.front() == u'\0') {
                out.result = DecodeResult::Failed;
                out.encoding = TextEncoding::Utf16BigEndian;
                return out;
            }
            return decodeUnits(TextEncoding::Utf16BigEndian, std::move(units));
        }
    }
    return decodeWithoutMark(tailBytes(rest, bytes, owned));
}

}  // namespace

void stripMarkup(std::string& bytes)
{
    const std::size_t size =
        stripInPlace(bytes.data(), bytes.size(), [](unsigned c) { return c == '*' || c == '\0'; });
    bytes.resize(size);
}

void stripMarkup(std::u16string& text)
{
    const std::size_t size = stripInPlace(text.data(), text.size(),
                                          [](unsigned c) { return c == '*' || c == '\0' || c == kBlackStar; });
    text.resize(size);
}

bool passesUtf8Scan(std::string_view bytes)
{
    return scanUtf8(bytes, true).invalid == 0;
}

bool looksLikeUtf8(std::string_view bytes)
{
    const Utf8Counts counts = scanUtf8(bytes, false);
    return counts.invalid == 0 || counts.invalid * 100 <= counts.valid;
}

namespace {

DecodedText decodeOrFail(std::string_view bytes, std::string* owned)
{
    try {
        return decodeOrThrow(bytes, owned);
    } catch (const std::bad_alloc&) {
        DecodedText failed;
        failed.result = DecodeResult::Failed;
        return failed;
    }
}

}  // namespace

DecodedText decodeText(std::string_view bytes)
{
    return decodeOrFail(bytes, nullptr);
}

DecodedText decodeText(std::string&& bytes)
{
    const std::string_view view = bytes;
    return decodeOrFail(view, &bytes);
}

std::u16string bookNameOf(const std::filesystem::path& path)
{
    std::u16string name = utf16::fromUtf8(path.string());
    const std::u16string_view view(name);
    if (view.size() >= 4 && (view.substr(view.size() - 4) == u".txt" || view.substr(view.size() - 4) == u".TXT"))
        name.resize(name.size() - 4);
    return name;
}

Result<DecodedText> decodeTextFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        DecodedText nothing;
        nothing.bookName = bookNameOf(path);
        return nothing;
    }
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    DecodedText out = decodeText(std::move(*bytes));
    out.bookName = bookNameOf(path);
    return out;
}

}  // namespace veyla::import
