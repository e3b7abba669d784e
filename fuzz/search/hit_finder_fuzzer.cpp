// SPDX-License-Identifier: MIT
// Mines an arbitrary paragraph for arbitrary keywords in every mode: the
// first line of the input (UTF-8) is the keyword text, the rest the
// paragraph. Every hit must hold what was searched for and keep within
// its window.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/search/hit_finder.h"
#include "core/util/utf16.h"

using namespace veyla::search;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos)
        return 0;
    const std::u16string keywords = veyla::utf16::fromUtf8(bytes.substr(0, newline));
    const std::u16string paragraph = veyla::utf16::fromUtf8(bytes.substr(newline + 1));
    for (MiningMode mode : {MiningMode::Word, MiningMode::Acrostic, MiningMode::Sentence, MiningMode::Paragraph}) {
        auto query = makeMiningQuery(mode, keywords);
        if (!query)
            continue;
        const HitFinder finder(*query);
        std::vector<ParagraphHit> hits;
        finder.findHits(paragraph, hits);
        for (const auto& hit : hits) {
            const std::u16string& key = finder.groups().at(hit.group);
            bool holdsKey = hit.text.find(key) != std::u16string::npos;
            if (mode == MiningMode::Acrostic)
                holdsKey = hit.text.rfind(key, 0) == 0;
            else if (mode == MiningMode::Paragraph)
                holdsKey = hit.text == paragraph;
            const std::size_t window = mode == MiningMode::Sentence ? 50 : 80;
            const std::size_t limit = mode == MiningMode::Paragraph ? paragraph.size() : 2 * window + key.size();
            const bool fromParagraph = paragraph.find(hit.text) != std::u16string::npos;
            if (!holdsKey || hit.text.size() > limit || !fromParagraph)
                std::abort();
        }
    }
    return 0;
}
