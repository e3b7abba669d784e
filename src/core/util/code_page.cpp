// SPDX-License-Identifier: MIT
#include "core/util/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>

#include "core/util/utf16.h"

namespace veyla {

namespace {

// Owns one iconv conversion descriptor.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : m_cd(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

std::u16string decodeCodePage(std::string_view bytes, std::string_view codePage)
{
    static_assert(std::endian::native == std::endian::little, "iconv writes UTF-16LE straight into char16_t");
    Converter converter("UTF-16LE", std::string(codePage));
    if (!converter.valid())
        return utf16::fromUtf8(bytes);

    // iconv fills a small buffer that is appended to the result: the result
    // never holds more than it needs and its pages are touched once, by the
    // copy. A multi-byte code page gives at most one unit per input byte, so
    // reserving that much means the result is never reallocated.
    std::u16string decoded;
    decoded.reserve(bytes.size());
    std::array<char16_t, 16384> buffer;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    const auto flush = [&](char* out) {
        decoded.append(buffer.data(), static_cast<std::size_t>(out - reinterpret_cast<char*>(buffer.data())) /
                                          sizeof(char16_t));
    };
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer.data());
        std::size_t outLeft = buffer.size() * sizeof(char16_t);
        const std::size_t rc = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        flush(out);
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;  // the buffer is full: flushed, go on
        decoded.push_back(u'\uFFFD');
        if (errno == EINVAL)  // truncated sequence at the end
            break;
        ++in;  // EILSEQ: skip one byte and go on
        --inLeft;
    }
    return decoded;
}

std::string encodeCodePage(std::u16string_view text, std::string_view codePage)
{
    Converter converter(std::string(codePage), "UTF-16LE");
    std::string input = utf16::encodeLittleEndian(text);
    if (!converter.valid())
        return utf16::toUtf8(text);

    std::string output(input.size() * 2 + 16, '\0');
    std::string encoded;
    char* in = input.data();
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = output.data();
        std::size_t outLeft = output.size();
        const std::size_t rc = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        encoded.append(output.data(), output.size() - outLeft);
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        encoded.push_back('?');
        // Skip one UTF-16 unit, or a whole surrogate pair.
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8));
        const std::size_t skip = (utf16::isHighSurrogate(unit) && inLeft >= 4) ? 4 : 2;
        in += std::min(skip, inLeft);
        inLeft -= std::min(skip, inLeft);
    }
    return encoded;
}

}  // namespace veyla
