// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a chapter file with the quick paragraph reader
// of mining; whatever it accepts must read as the full chapter reader
// reads it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/library/chapter_file.h"
#include "core/search/chapter_texts.h"
#include "core/util/utf16.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text =
        veyla::utf16::decodeLittleEndian(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto quick = veyla::search::plainChapterParagraphs(text);
    if (!quick)
        return 0;
    const auto chapter = veyla::library::parseChapter(text, {});
    if (!chapter || chapter->paragraphs.size() != quick->size())
        std::abort();
    for (std::size_t i = 0; i < quick->size(); ++i) {
        if (chapter->paragraphs[i].text() != (*quick)[i])
            std::abort();
    }
    return 0;
}
