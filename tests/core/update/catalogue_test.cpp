// SPDX-License-Identifier: MIT
#include "core/update/catalogue.h"

#include <gtest/gtest.h>

#include "core/update/byte_size.h"
#include "core/util/code_page.h"
#include "support/test_support.h"

namespace veyla::update {
namespace {

namespace fs = std::filesystem;

TEST(Catalogue, GbkListIsReadLineByLine)
{
    test::TempDir dir;
    test::writeBytes(dir / "已下载.zip", "present");
    test::writeBytes(dir / "已解开" / "第一回.txt", "unpacked earlier");
    const std::string list = encodeCodePage(
        u"书海拾遗-20260101\r\n"
        u"https://pan.example.org/share-说明\r\n"
        u"1-西游记.zip\r\n"
        u"0-红楼梦.zip\r\n"
        u"0-已下载.zip\r\n"   // its archive is in the folder
        u"0-已解开\r\n"       // what it unpacks to is in the folder
        u"1-已下载.zip\r\n"   // kind 1 is always listed
        u"2-未知种类.zip\r\n"
        u"没有分隔符\r\n"
        u"\r\n"
        u"1-三国演义.txt");
    const CatalogueList parsed = parseCatalogue(list, dir.path());
    EXPECT_EQ(parsed.headerFirst, u"书海拾遗");
    EXPECT_EQ(parsed.headerSecond, u"20260101");
    EXPECT_EQ(parsed.downloadPage, u"https://pan.example.org/share");
    const std::vector<std::u16string> expected = {u"西游记.zip", u"红楼梦.zip", u"已下载.zip", u"三国演义.txt"};
    EXPECT_EQ(parsed.names, expected);
    const std::vector<std::u16string> rows = {u"从网盘进行下载", u"西游记.zip", u"红楼梦.zip", u"已下载.zip",
                                              u"三国演义.txt"};
    EXPECT_EQ(parsed.rows(), rows);
}

TEST(Catalogue, Utf8ListIsAcceptedToo)
{
    test::TempDir dir;
    const CatalogueList parsed = parseCatalogue("\xEF\xBB\xBFhead-er\nhttps://x.example/\n1-水浒传.zip\n", dir.path());
    EXPECT_EQ(parsed.names, std::vector<std::u16string>{u"水浒传.zip"});
}

TEST(Catalogue, EmptyListShowsTheNoUpdatesRow)
{
    test::TempDir dir;
    test::writeBytes(dir / "a.zip", "");
    for (const std::string& list : {std::string(), std::string("head-er\r\npage\r\n"), std::string("h-e\npage\n0-a.zip\n")}) {
        const CatalogueList parsed = parseCatalogue(list, dir.path());
        EXPECT_EQ(parsed.rows(), std::vector<std::u16string>{u"No updates found\nGeneric Application is up to date"})
            << list;
    }
}

TEST(Catalogue, NamesThatLeaveTheFolderAreSkipped)
{
    test::TempDir dir;
    const CatalogueList parsed =
        parseCatalogue("h-e\npage\n1-../evil.zip\n1-a/b.zip\n1-a\\b.zip\n1-..\n1-.\n1-good.zip\n", dir.path());
    EXPECT_EQ(parsed.names, std::vector<std::u16string>{u"good.zip"});
}

TEST(Catalogue, PackagesGoToTheProgramFolderOnlyWhenPortable)
{
    test::TempDir dir;
    fs::create_directories(dir / "program");
    fs::create_directories(dir / "data");
    EXPECT_EQ(catalogueFolder({dir / "program", dir / "data"}), dir / "data");
    EXPECT_EQ(catalogueFolder({dir / "program", dir / "program"}), dir / "program");
}

TEST(Catalogue, PathSegmentsAreEscaped)
{
    EXPECT_EQ(escapePathSegment("a b.zip"), "a%20b.zip");
    EXPECT_EQ(escapePathSegment("西.zip"), "%E8%A5%BF.zip");
    EXPECT_EQ(escapePathSegment("x?y#z%"), "x%3Fy%23z%25");
}

TEST(ByteSize, ThreeSignificantDigitsTruncated)
{
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 bytes"},          {532, "532 bytes"},      {1023, "1023 bytes"},  {1024, "1.00 KB"},
        {1536, "1.50 KB"},       {2047, "1.99 KB"},       {12000, "11.7 KB"},    {120000, "117 KB"},
        {1048575, "1023 KB"},    {1048576, "1.00 MB"},    {1200000, "1.14 MB"},  {5368709120ull, "5.00 GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatByteSize(c.bytes), c.text) << c.bytes;
}

TEST(ByteSize, ProgressTextWithAndWithoutTotal)
{
    auto known = downloadProgressText(512, 2048);
    EXPECT_EQ(known.text, "Downloaded 512 bytes of 2.00 KB");
    EXPECT_EQ(known.percent, 25);
    auto unknown = downloadProgressText(3000, std::nullopt);
    EXPECT_EQ(unknown.text, "Downloaded 2.92 KB (total size unknown)");
    EXPECT_EQ(unknown.percent, 0);
    auto zeroTotal = downloadProgressText(10, 0);
    EXPECT_EQ(zeroTotal.text, "Downloaded 10 bytes (total size unknown)");
    EXPECT_EQ(downloadProgressText(2048, 2048).percent, 100);
}

}  // namespace
}  // namespace veyla::update
