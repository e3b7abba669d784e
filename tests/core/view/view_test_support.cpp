// SPDX-License-Identifier: MIT
#include "view_test_support.h"

#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::view::test {

std::u16string corpusText(std::size_t n)
{
    const auto path = veyla::test::corpusFile("zh/xiyouji_pg23962.txt");
    if (path.empty())
        return {};
    std::u16string text = utf16::fromUtf8(veyla::test::readBytes(path));
    return text.substr(0, n);
}

}  // namespace veyla::view::test
