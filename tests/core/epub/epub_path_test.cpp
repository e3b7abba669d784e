// SPDX-License-Identifier: MIT
#include "core/epub/epub_path.h"

#include <gtest/gtest.h>

namespace veyla::epub {
namespace {

TEST(EpubPathTest, FolderOfKeepsTheTrailingSlash)
{
    EXPECT_EQ(folderOf("OEBPS/content.opf"), "OEBPS/");
    EXPECT_EQ(folderOf("a/b/c.ncx"), "a/b/");
    EXPECT_EQ(folderOf("content.opf"), "");
}

TEST(EpubPathTest, DecodesPercentEscapesAndPlusOnRequest)
{
    EXPECT_EQ(decodeUrlEscapes("a%20b+c.html", PlusSign::Space), "a b c.html");
    EXPECT_EQ(decodeUrlEscapes("a%20b+c.html", PlusSign::Literal), "a b+c.html");
    EXPECT_EQ(decodeUrlEscapes("%E7%AC%AC.html", PlusSign::Literal), "\xE7\xAC\xAC.html");
    // Malformed escapes stay as written.
    EXPECT_EQ(decodeUrlEscapes("100%.html%2", PlusSign::Literal), "100%.html%2");
    EXPECT_EQ(decodeUrlEscapes("%zz%4", PlusSign::Literal), "%zz%4");
}

struct ResolveCase {
    const char* folder;
    const char* reference;
    const char* expected;
};

class ResolveArchivePathTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveArchivePathTest, Resolves)
{
    EXPECT_EQ(resolveArchivePath(GetParam().folder, GetParam().reference), GetParam().expected)
        << GetParam().folder << " + " << GetParam().reference;
}

INSTANTIATE_TEST_SUITE_P(Paths, ResolveArchivePathTest,
                         ::testing::Values(ResolveCase{"OEBPS/", "text/a.html", "OEBPS/text/a.html"},
                                           ResolveCase{"", "a.html", "a.html"},
                                           ResolveCase{"OEBPS/text/", "../images/x.png", "OEBPS/images/x.png"},
                                           ResolveCase{"OEBPS/", "./a.html", "OEBPS/a.html"},
                                           ResolveCase{"OEBPS/", "/root.html", "root.html"},
                                           ResolveCase{"OEBPS/", "../a.html", "a.html"},
                                           // Climbing above the root, or nothing named.
                                           ResolveCase{"OEBPS/", "../../a.html", ""},
                                           ResolveCase{"", "..", ""},
                                           ResolveCase{"OEBPS/", "", ""},
                                           ResolveCase{"OEBPS/", ".", "OEBPS"},
                                           // References with a scheme lie outside the book.
                                           ResolveCase{"OEBPS/", "http://example.com/a.html", ""},
                                           ResolveCase{"OEBPS/", "data:text/html,x", ""},
                                           ResolveCase{"OEBPS/", "a:b.html", ""},
                                           ResolveCase{"OEBPS/", "x/a:b.html", "OEBPS/x/a:b.html"}));

}  // namespace
}  // namespace veyla::epub
