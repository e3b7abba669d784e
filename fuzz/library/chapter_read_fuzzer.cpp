// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a chapter file; whatever reads must survive a
// save and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/library/chapter_file.h"
#include "core/util/utf16.h"

using namespace veyla::library;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text =
        veyla::utf16::decodeLittleEndian(std::string_view(reinterpret_cast<const char*>(data), size));
    const ChapterReadOptions readOptions{.defaultFontSize = 22};
    auto chapter = parseChapter(text, readOptions);
    if (!chapter)
        return 0;
    auto again = parseChapter(chapterToXml(*chapter, {.currentFontSize = 22}), readOptions);
    if (!again || again->paragraphs.size() != chapter->paragraphs.size())
        std::abort();
    for (std::size_t i = 0; i < chapter->paragraphs.size(); ++i) {
        const Paragraph& a = chapter->paragraphs[i];
        const Paragraph& b = again->paragraphs[i];
        if (a.text() != b.text() || a.fontSize != b.fontSize || a.lineSpacing != b.lineSpacing || a.code != b.code ||
            a.fontFace.value_or(u"") != b.fontFace.value_or(u""))
            std::abort();
    }
    return 0;
}
