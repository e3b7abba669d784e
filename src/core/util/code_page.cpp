// SPDX-License-Identifier: MIT
#include "core/util/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

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

    // Every character of a multi-byte code page takes at least one byte and
    // becomes at most two UTF-16 units (four-byte sequences), so one unit per
    // input byte is enough; iconv writes straight into the result.
    std::u16string decoded(bytes.size() + 2, u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(decoded.data());
    std::size_t outLeft = decoded.size() * sizeof(char16_t);
    while (inLeft > 0) {
        const std::size_t rc = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG || outLeft < sizeof(char16_t))
            break;  // cannot happen with one unit per byte; stop rather than loop
        const char16_t replacement = 0xFFFD;
        std::memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        if (errno == EINVAL)  // truncated sequence at the end
            break;
        ++in;  // EILSEQ: skip one byte and go on
        --inLeft;
    }
    decoded.resize((out - reinterpret_cast<char*>(decoded.data())) / sizeof(char16_t));
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
