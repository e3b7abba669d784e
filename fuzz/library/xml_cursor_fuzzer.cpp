// SPDX-License-Identifier: MIT
// Parses arbitrary UTF-16LE text, walks every element, and checks that
// writing is stable: what the cursor writes parses back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/library/xml_cursor.h"
#include "core/util/utf16.h"

using veyla::library::XmlCursor;

namespace {

void walk(XmlCursor& xml, int depth)
{
    while (xml.findElement()) {
        (void)xml.attribute(u"Type");
        (void)xml.data();
        if (depth < 64 && xml.intoElement()) {
            walk(xml, depth + 1);
            xml.outOfElement();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text =
        veyla::utf16::decodeLittleEndian(std::string_view(reinterpret_cast<const char*>(data), size));
    XmlCursor xml;
    xml.setDocument(text);
    walk(xml, 0);

    const std::u16string written = xml.document();
    XmlCursor again;
    again.setDocument(written);
    if (again.document() != written)
        std::abort();
    return 0;
}
