// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/util/result.h"

namespace veyla::import {

// How the bytes of a novel were read.
enum class TextEncoding {
    None,               // nothing was decoded (empty input, or skipped)
    Utf8WithMark,       // EF BB BF
    Utf16LittleEndian,  // FF FE
    Utf16BigEndian,     // FE FF
    Utf8,               // no mark, and the bytes pass the UTF-8 scan
    Ansi,               // no mark, decoded as GB18030 (a superset of GBK)
};

enum class DecodeResult {
    Done,                // text holds the novel
    SkippedWithNothing,  // nothing to import, and not an error: empty, missing, or EF BB without BF
    Failed,              // a big-endian file without characters, or memory ran out
};

struct DecodedText {
    DecodeResult result = DecodeResult::SkippedWithNothing;
    TextEncoding encoding = TextEncoding::None;
    // The cleaned UTF-16 text; empty unless result is Done.
    std::u16string text;
    // The file's path without a trailing ".txt" or ".TXT" (decodeTextFile only);
    // the splitter keeps the part after the last path separator.
    std::u16string bookName;
    // NUL bytes (or units) that were removed: a sign of binary data.
    std::size_t nulCount = 0;
    // Characters that could not be decoded and became U+FFFD.
    std::size_t replacements = 0;
};

// Decodes the bytes of a text file: leading CR LF pairs are skipped, a
// byte-order mark picks UTF-8 or UTF-16, otherwise the bytes are UTF-8 when
// they look like UTF-8 (see looksLikeUtf8) and GB18030 when they do not.
// Bytes that cannot be decoded become U+FFFD. Markup is stripped.
DecodedText decodeText(std::string_view bytes);
// The same, working in the given buffer instead of a copy of it.
DecodedText decodeText(std::string&& bytes);

// Reads and decodes a file and fills in the book name. A missing path is
// SkippedWithNothing; a path that exists but cannot be read is FileUnavailable.
Result<DecodedText> decodeTextFile(const std::filesystem::path& path);

// The path without a trailing ".txt" or ".TXT"; other letters of the name stay.
std::u16string bookNameOf(const std::filesystem::path& path);

// Removes tags (a '<' followed by an ASCII letter, '/', '!' or '?', then
// anything but '<', '>' and line breaks, up to the closing '>'), every '*'
// and every NUL from raw bytes, in place. Any other '<' stays.
void stripMarkup(std::string& bytes);

// The same on UTF-16 units, which also removes every U+2605 (black star).
void stripMarkup(std::u16string& text);

// The scan that tells UTF-8 from GB18030 bytes: every lead byte (C0–DF, E0–EF,
// F0–F4) must be followed by its continuation bytes (80–BF); a sequence cut
// short by the end of the bytes passes; a stray continuation byte or F5–FF fails.
bool passesUtf8Scan(std::string_view bytes);

// UTF-8 with a few damaged bytes is still UTF-8: the bytes pass the scan,
// or at most one sequence in a hundred fails it. Text in GBK fails far more
// often (its byte pairs rarely form UTF-8 sequences).
bool looksLikeUtf8(std::string_view bytes);

}  // namespace veyla::import
