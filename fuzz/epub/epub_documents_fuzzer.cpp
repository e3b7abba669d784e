// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the EPUB's XML readers and the markup stripper
// directly, past the archive's CRC checks that keep mutations out of them.
// The input is cut at each "\n--\n" into container, package and NCX.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/epub/package_documents.h"
#include "core/epub/xhtml_text.h"

using namespace veyla::epub;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    std::string_view rest = input;
    for (std::string_view& part : parts) {
        const std::size_t cut = rest.find("\n--\n");
        part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 4);
    }
    (void)parseContainer(parts[0]);
    (void)parsePackage(parts[1]);
    if (auto points = parseNavMap(parts[2])) {
        int previous = 0;
        for (const NavPoint& point : *points) {
            if (point.level < 1 || point.level > previous + 1)
                std::abort();
            previous = point.level;
        }
    }
    const std::string text = stripMarkup(input);
    if (text.size() > input.size() * 4 + 1)
        std::abort();
    return 0;
}
