// SPDX-License-Identifier: MIT
// Decodes arbitrary bytes as a novel and splits it, once as it is and once
// repeated past the short-text limit so the heading rules run. Every plan
// must be a faithful cut of its text.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "core/import/chapter_splitter.h"
#include "core/import/text_decoder.h"

using namespace veyla;
using namespace veyla::import;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkDecoded(const DecodedText& decoded)
{
    if (decoded.result != DecodeResult::Done) {
        require(decoded.text.empty());
        return;
    }
    const bool wide =
        decoded.encoding == TextEncoding::Utf16LittleEndian || decoded.encoding == TextEncoding::Utf16BigEndian;
    for (const char16_t c : decoded.text)
        require(c != u'*' && c != u'\0' && !(wide && c == 0x2605));
}

bool endsWithXml(std::u16string_view name)
{
    return name.size() > 4 && name.substr(name.size() - 4) == u".xml";
}

// Chapters are slices of the text in order, each following the previous
// one directly or after one dropped line break, the last reaching the end;
// only the Arabic-number cut may leave out the text before its first chapter.
void checkPlan(const ImportPlan& plan, std::u16string_view text)
{
    if (text.size() < kShortTextLimit) {
        require(plan.nodes.size() == 1 && plan.nodes[0].parent == -1 && plan.nodes[0].text == text);
        require(plan.style.source == HeadingSource::ShortText);
        return;
    }
    require(!plan.nodes.empty() && plan.nodes[0].kind == NodeKind::Folder && plan.nodes[0].parent == -1);
    require(!plan.nodes[0].name.empty() && plan.nodes[0].name != u"." && plan.nodes[0].name != u"..");
    std::set<std::u16string> names;
    std::size_t end = 0;
    for (std::size_t i = 1; i < plan.nodes.size(); ++i) {
        const PlannedNode& node = plan.nodes[i];
        require(node.kind == NodeKind::Chapter && node.parent == 0 && endsWithXml(node.name));
        require(names.insert(node.name).second);
        require(node.sourceOffset + node.text.size() <= text.size());
        require(text.substr(node.sourceOffset, node.text.size()) == node.text);
        if (i == 1)
            require(node.sourceOffset == 0 || plan.style.source == HeadingSource::ArabicNumbers);
        else
            require(node.sourceOffset == end || (node.sourceOffset == end + 1 && text[end] == u'\n'));
        end = node.sourceOffset + node.text.size();
    }
    if (plan.nodes.size() > 1)
        require(end == text.size());
    else
        require(plan.style.source == HeadingSource::ArabicNumbers && plan.warnings.size() == 1);
}

SplitOptions optionsFor(const std::uint8_t* data, std::size_t size, std::u16string_view text)
{
    SplitOptions options;
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    options.punctuation = (flags & 1) != 0 ? Punctuation::Forbidden : Punctuation::Allowed;
    if ((flags & 2) != 0 && text.size() > 3) {
        options.prefix = std::u16string(text.substr(1, 1 + (flags >> 2) % 2));
        if ((flags & 8) != 0)
            options.suffix = std::u16string(text.substr(3, 1));
    }
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const DecodedText decoded = decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkDecoded(decoded);
    if (decoded.result != DecodeResult::Done || decoded.text.empty())
        return 0;
    const SplitOptions options = optionsFor(data, size, decoded.text);
    checkPlan(splitIntoChapters(u"dir/book.txt", decoded.text, options), decoded.text);

    std::u16string repeated;
    repeated.reserve(kShortTextLimit + decoded.text.size());
    while (repeated.size() < kShortTextLimit)
        repeated += decoded.text;
    checkPlan(splitIntoChapters(u"dir\\book", repeated, options), repeated);
    return 0;
}
