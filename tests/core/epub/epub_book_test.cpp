// SPDX-License-Identifier: MIT
#include "core/epub/epub_book.h"

#include <gtest/gtest.h>

#include "test_epub.h"

namespace veyla::epub {
namespace {

using test::buildEpub;
using test::buildZip;
using test::TestFiles;
using test::TestNavPoint;

TEST(EpubBookTest, ReadsCatalogEntriesInDocumentOrder)
{
    const std::string bytes = buildEpub(
        {{"Part One", "part1.html", {{"Chapter 1", "c1.html#start", {}}, {"Chapter 2", "c2.html", {}}}},
         {"Epilogue", "text/end.html#e", {}}},
        {{"part1.html", "p"}, {"c1.html", "1"}, {"c2.html", "2"}, {"text/end.html", "e"}});
    auto book = EpubBook::open(bytes);
    ASSERT_TRUE(book) << book.error().detail;
    EXPECT_EQ(book->packagePath(), "OEBPS/content.opf");
    EXPECT_EQ(book->navigationPath(), "OEBPS/toc.ncx");
    ASSERT_EQ(book->count(), 4);
    const CatalogEntry& first = book->entry(0);
    EXPECT_EQ(first.title, "Part One");
    EXPECT_EQ(first.level, 1);
    EXPECT_EQ(first.playOrder, "1");
    EXPECT_EQ(first.id, "np-1");
    EXPECT_TRUE(first.hasChildren);
    EXPECT_EQ(book->title(1), "Chapter 1");
    EXPECT_EQ(book->level(1), 2);
    EXPECT_EQ(book->sourcePath(1), "OEBPS/c1.html");
    EXPECT_EQ(book->entry(1).anchor, "start");
    EXPECT_FALSE(book->hasChildren(1));
    EXPECT_EQ(book->level(3), 1);
    EXPECT_EQ(book->sourcePath(3), "OEBPS/text/end.html");
    EXPECT_TRUE(book->contentFiles().empty());
    EXPECT_EQ(*book->readFile(book->sourcePath(2)), "2");
}

TEST(EpubBookTest, ParentIsTheNearestPrecedingEntryOneLevelUp)
{
    // Levels 1, 2, 3, 3, 2, 1, 2.
    const std::vector<TestNavPoint> points{
        {"a", "x.html", {{"b", "x.html", {{"c", "x.html", {}}, {"d", "x.html", {}}}}, {"e", "x.html", {}}}},
        {"f", "x.html", {{"g", "x.html", {}}}}};
    auto book = EpubBook::open(buildEpub(points, {{"x.html", "x"}}));
    ASSERT_TRUE(book);
    const std::vector<int> levels{1, 2, 3, 3, 2, 1, 2};
    const std::vector<int> parents{0, 0, 1, 1, 0, 0, 5};
    ASSERT_EQ(book->count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(book->level(i), levels[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(book->parentIndex(i), parents[static_cast<std::size_t>(i)]) << i;
    }
}

TEST(EpubBookTest, DecodesEscapesInSourcesAndFallsBackToALiteralPlus)
{
    const std::vector<TestNavPoint> points{
        {"space", "chapter%201.html", {}},
        {"plus as space", "a+b.html", {}},
        {"literal plus", "c+d.html", {}},
        {"up and over", "../Text/e.html", {}},
        {"escaped non-ascii", "%E7%AC%AC.html#%E4%B8%80", {}},
    };
    auto book = EpubBook::open(buildEpub(points, {{"chapter 1.html", "1"},
                                                  {"a b.html", "2"},
                                                  {"c+d.html", "3"},
                                                  {"../Text/e.html", "4"},
                                                  {"\xE7\xAC\xAC.html", "5"}}));
    ASSERT_TRUE(book) << book.error().detail;
    EXPECT_EQ(book->sourcePath(0), "OEBPS/chapter 1.html");
    EXPECT_EQ(book->sourcePath(1), "OEBPS/a b.html");
    EXPECT_EQ(book->sourcePath(2), "OEBPS/c+d.html");
    EXPECT_EQ(book->sourcePath(3), "Text/e.html");
    EXPECT_EQ(book->sourcePath(4), "OEBPS/\xE7\xAC\xAC.html");
    EXPECT_EQ(book->entry(4).anchor, "%E4%B8%80");
    EXPECT_EQ(*book->readFile(book->sourcePath(3)), "4");
}

TEST(EpubBookTest, ResolvesAgainstTheNavigationFolderWhenThePackageFolderHasNoSuchFile)
{
    const std::string ncx = test::ncxXml({{"One", "one.html", {}}, {"Two", "two.html", {}}});
    std::string package = test::packageXml({{"../nav/one.html", ""}, {"../nav/two.html", ""}});
    const size_t at = package.find("href=\"toc.ncx\"");
    package.replace(at, 14, "href=\"../nav/toc.ncx\"");
    auto book = EpubBook::open(buildZip({{"META-INF/container.xml", test::containerXml()},
                                         {"OEBPS/content.opf", package},
                                         {"nav/toc.ncx", ncx},
                                         {"nav/one.html", "1"},
                                         {"nav/two.html", "2"}}));
    ASSERT_TRUE(book) << book.error().detail;
    EXPECT_EQ(book->navigationPath(), "nav/toc.ncx");
    EXPECT_EQ(book->sourcePath(0), "nav/one.html");
}

TEST(EpubBookTest, ContentListHoldsXhtmlAndHtmlItemsOnlyForAShortCatalog)
{
    const TestFiles files{{"a.html", "a"}, {"style.css", "c"}, {"b.htm", "b"}, {"c.xhtml", "c"}};
    auto single = EpubBook::open(buildEpub({{"Only", "a.html", {}}}, files));
    ASSERT_TRUE(single);
    EXPECT_EQ(single->contentFiles(), (std::vector<std::string>{"OEBPS/a.html", "OEBPS/b.htm", "OEBPS/c.xhtml"}));
    auto two = EpubBook::open(buildEpub({{"One", "a.html", {}}, {"Two", "b.htm", {}}}, files));
    ASSERT_TRUE(two);
    EXPECT_TRUE(two->contentFiles().empty());
}

TEST(EpubBookTest, FindsTheNcxWhenTheSpineNamesNoToc)
{
    const TestFiles files{{"a.html", "a"}};
    auto bytes = buildZip({{"META-INF/container.xml", test::containerXml()},
                           {"OEBPS/content.opf", test::packageXml(files, "")},
                           {"OEBPS/toc.ncx", test::ncxXml({{"A", "a.html", {}}, {"B", "a.html", {}}})},
                           {"OEBPS/a.html", "a"}});
    auto book = EpubBook::open(bytes);
    ASSERT_TRUE(book) << book.error().detail;
    EXPECT_EQ(book->count(), 2);
}

TEST(EpubBookTest, NormalisesBackslashesInEntryNames)
{
    auto book = EpubBook::open(buildZip({{"META-INF\\container.xml", test::containerXml()},
                                         {"OEBPS\\content.opf", test::packageXml({{"a.html", ""}})},
                                         {"OEBPS\\toc.ncx", test::ncxXml({{"A", "a.html", {}}, {"B", "a.html", {}}})},
                                         {"OEBPS\\a.html", "text"}}));
    ASSERT_TRUE(book) << book.error().detail;
    EXPECT_EQ(*book->readFile(book->sourcePath(0)), "text");
}

struct BrokenCase {
    const char* what;
    TestFiles files;
    ErrorCode code;
};

class BrokenBookTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenBookTest, FailsToOpen)
{
    auto book = EpubBook::open(buildZip(GetParam().files));
    ASSERT_FALSE(book) << GetParam().what;
    EXPECT_EQ(book.code(), GetParam().code) << GetParam().what << ": " << book.error().detail;
}

const std::string kNcx = test::ncxXml({{"A", "a.html", {}}, {"B", "a.html", {}}});
const std::string kPackage = test::packageXml({{"a.html", ""}});
const std::string kContainer = test::containerXml();

INSTANTIATE_TEST_SUITE_P(
    Books, BrokenBookTest,
    ::testing::Values(
        BrokenCase{"no container", {{"OEBPS/content.opf", kPackage}, {"OEBPS/toc.ncx", kNcx}}, ErrorCode::MalformedBook},
        BrokenCase{"container without rootfiles",
                   {{"META-INF/container.xml", "<container><x/></container>"}},
                   ErrorCode::MalformedBook},
        BrokenCase{"rootfile without full-path",
                   {{"META-INF/container.xml", "<container><rootfiles><rootfile/></rootfiles></container>"}},
                   ErrorCode::MalformedBook},
        BrokenCase{"full-path outside the book",
                   {{"META-INF/container.xml", test::containerXml("../content.opf")}},
                   ErrorCode::MalformedBook},
        BrokenCase{"container not XML", {{"META-INF/container.xml", "<container"}}, ErrorCode::MalformedBook},
        BrokenCase{"no package document", {{"META-INF/container.xml", kContainer}}, ErrorCode::MalformedBook},
        BrokenCase{"package not XML",
                   {{"META-INF/container.xml", kContainer}, {"OEBPS/content.opf", "<package><manifest>"}},
                   ErrorCode::MalformedBook},
        BrokenCase{"no navigation document",
                   {{"META-INF/container.xml", kContainer}, {"OEBPS/content.opf", kPackage}},
                   ErrorCode::MalformedBook},
        BrokenCase{"empty navigation map",
                   {{"META-INF/container.xml", kContainer},
                    {"OEBPS/content.opf", kPackage},
                    {"OEBPS/toc.ncx", test::ncxXml({})}},
                   ErrorCode::MalformedBook},
        BrokenCase{"navigation document not XML",
                   {{"META-INF/container.xml", kContainer},
                    {"OEBPS/content.opf", kPackage},
                    {"OEBPS/toc.ncx", "<ncx><navMap><navPoint>"}},
                   ErrorCode::MalformedBook},
        BrokenCase{"package without manifest",
                   {{"META-INF/container.xml", kContainer},
                    {"OEBPS/content.opf", "<package/>"},
                    {"OEBPS/toc.ncx", kNcx}},
                   ErrorCode::MalformedBook}));

TEST(EpubBookTest, RefusedContainerIsReportedAsUnsafe)
{
    std::vector<test::TestZipEntry> entries{test::symlinkEntry("META-INF/container.xml", "/etc/passwd")};
    auto book = EpubBook::open(test::buildZipEntries(entries));
    ASSERT_FALSE(book);
    EXPECT_EQ(book.code(), ErrorCode::UnsafeEntry);
}

TEST(EpubBookTest, HostileEntriesTheBookDoesNotNeedOnlyWarn)
{
    std::vector<test::TestZipEntry> entries;
    for (const auto& [name, data] :
         TestFiles{{"META-INF/container.xml", kContainer}, {"OEBPS/content.opf", kPackage}, {"OEBPS/toc.ncx", kNcx},
                   {"OEBPS/a.html", "a"}})
        entries.push_back({.name = name, .data = data});
    entries.push_back({.name = "../evil", .data = "x"});
    entries.push_back(test::symlinkEntry("OEBPS/link.html", "/etc/shadow"));
    auto book = EpubBook::open(test::buildZipEntries(entries));
    ASSERT_TRUE(book) << book.error().detail;
    ASSERT_EQ(book->warnings().size(), 2u);
    EXPECT_NE(book->warnings()[0].find("../evil"), std::string::npos);
    EXPECT_EQ(book->readFile("OEBPS/link.html").code(), ErrorCode::UnsafeEntry);
}

std::string nestedNcx(int depth)
{
    std::string points;
    for (int i = 0; i < depth; ++i)
        points += "<navPoint><navLabel><text>L" + std::to_string(i + 1) + "</text></navLabel><content src=\"a.html\"/>";
    for (int i = 0; i < depth; ++i)
        points += "</navPoint>";
    return "<ncx><navMap>" + points + "</navMap></ncx>";
}

TEST(EpubBookTest, NavigationMapNestedTenThousandDeepFailsCleanly)
{
    auto book = EpubBook::open(buildZip({{"META-INF/container.xml", kContainer},
                                         {"OEBPS/content.opf", kPackage},
                                         {"OEBPS/toc.ncx", nestedNcx(10000)},
                                         {"OEBPS/a.html", "a"}}));
    ASSERT_FALSE(book);
    EXPECT_EQ(book.code(), ErrorCode::MalformedBook);
}

TEST(EpubBookTest, NavigationMapNestedWithinTheParserLimitKeepsEveryLevel)
{
    constexpr int kDepth = 90;
    auto book = EpubBook::open(buildZip({{"META-INF/container.xml", kContainer},
                                         {"OEBPS/content.opf", kPackage},
                                         {"OEBPS/toc.ncx", nestedNcx(kDepth)},
                                         {"OEBPS/a.html", "a"}}));
    ASSERT_TRUE(book) << book.error().detail;
    ASSERT_EQ(book->count(), kDepth);
    for (int i = 0; i < kDepth; ++i) {
        EXPECT_EQ(book->level(i), i + 1);
        EXPECT_EQ(book->hasChildren(i), i + 1 < kDepth);
        if (i > 0) {
            EXPECT_EQ(book->parentIndex(i), i - 1);
        }
    }
}

}  // namespace
}  // namespace veyla::epub
