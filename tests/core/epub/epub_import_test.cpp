// SPDX-License-Identifier: MIT
#include "core/epub/epub_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/util/utf16.h"
#include "support/test_support.h"
#include "test_epub.h"

namespace veyla::epub {
namespace {

using import::NodeKind;
using test::buildEpub;
using test::TestNavPoint;
using test::xhtml;

struct NodeView {
    NodeKind kind;
    std::u16string name;
    int parent;
};

std::vector<NodeView> shapeOf(const import::ImportPlan& plan)
{
    std::vector<NodeView> nodes;
    for (const auto& node : plan.nodes)
        nodes.push_back({node.kind, node.name, node.parent});
    return nodes;
}

bool operator==(const NodeView& a, const NodeView& b)
{
    return a.kind == b.kind && a.name == b.name && a.parent == b.parent;
}

void PrintTo(const NodeView& node, std::ostream* out)
{
    *out << (node.kind == NodeKind::Folder ? "folder " : "chapter ") << utf16::toUtf8(node.name) << " under "
         << node.parent;
}

TEST(EpubImportTest, PartsBecomeFoldersAndTwoCountersNumberFromZero)
{
    const std::vector<TestNavPoint> points{
        {"Preface", "pre.html", {}},
        {"Part One", "p1.html", {{"Chapter 1", "c1.html", {}}, {"Chapter 2", "c2.html", {}}}},
        {"Part Two", "p2.html", {{"Chapter 3", "c3.html", {{"Scene", "c3.html#s", {}}}}}},
        {"Afterword", "end.html", {}}};
    auto result = readEpubForImport(buildEpub(points, {{"pre.html", xhtml("P", "<p>pre</p>")},
                                                       {"p1.html", xhtml("P1", "<h1>Part One</h1>")},
                                                       {"c1.html", xhtml("C1", "<p>one</p>")},
                                                       {"c2.html", xhtml("C2", "<p>two</p>")},
                                                       {"p2.html", xhtml("P2", "<h1>Part Two</h1>")},
                                                       {"c3.html", xhtml("C3", "<p>three</p>")},
                                                       {"end.html", xhtml("E", "<p>end</p>")}}),
                                    u"/books/My Novel.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::Catalog);
    EXPECT_EQ(result->plan.style.source, import::HeadingSource::EpubCatalog);
    const std::vector<NodeView> expected{
        {NodeKind::Folder, u"My Novel", -1},
        {NodeKind::Chapter, u"0000_Preface.xml", 0},
        {NodeKind::Folder, u"0000_Part One", 0},
        {NodeKind::Chapter, u"0001_Chapter 1.xml", 2},
        {NodeKind::Chapter, u"0002_Chapter 2.xml", 2},
        {NodeKind::Folder, u"0001_Part Two", 0},
        {NodeKind::Folder, u"0002_Chapter 3", 5},
        {NodeKind::Chapter, u"0003_Scene.xml", 6},
        {NodeKind::Chapter, u"0004_Afterword.xml", 0},
    };
    EXPECT_EQ(shapeOf(result->plan), expected);
    EXPECT_EQ(result->plan.nodes[3].text, u"\n\n\none\n\n");
    EXPECT_TRUE(result->plan.nodes[2].text.empty());
    EXPECT_TRUE(result->warnings.empty());
}

TEST(EpubImportTest, ForbiddenCharactersLeaveTitlesInNames)
{
    auto result = readEpubForImport(
        buildEpub({{"Chapter 1: Who?", "a.html", {}}, {"&quot;A*B/C&lt;D&gt;E\\F|G&quot;", "a.html", {}}}, {{"a.html", "x"}}),
        u"b.epub");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->plan.nodes[1].name, u"0000_Chapter 1 Who.xml");
    EXPECT_EQ(result->plan.nodes[2].name, u"0001_ABCDEFG.xml");
}

TEST(EpubImportTest, EntriesSharingAFileEachGetTheWholeFile)
{
    auto result = readEpubForImport(
        buildEpub({{"One", "all.html#one", {}}, {"Two", "all.html#two", {}}, {"Three", "other.html", {}}},
                  {{"all.html", "<h2 id=\"one\">One</h2><p>a</p><h2 id=\"two\">Two</h2><p>b</p>"},
                   {"other.html", "<p>c</p>"}}),
        u"b.epub");
    ASSERT_TRUE(result);
    const std::u16string whole = u"One\na\nTwo\nb\n";
    EXPECT_EQ(result->plan.nodes[1].text, whole);
    EXPECT_EQ(result->plan.nodes[2].text, whole);
    EXPECT_EQ(result->plan.nodes[3].text, u"c\n");
}

TEST(EpubImportTest, UnreadableOrMissingContentGivesAnEmptyChapterAndAWarning)
{
    auto result = readEpubForImport(
        buildEpub({{"Missing", "gone.html", {}}, {"No content", "", {}}, {"Fine", "a.html", {}}}, {{"a.html", "a"}}),
        u"b.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->plan.nodes.size(), 4u);
    EXPECT_EQ(result->plan.nodes[1].text, u"");
    EXPECT_EQ(result->plan.nodes[2].text, u"");
    EXPECT_EQ(result->plan.nodes[2].name, u"0001_No content.xml");
    EXPECT_EQ(result->plan.nodes[3].text, u"a");
    EXPECT_EQ(result->warnings.size(), 2u);
    EXPECT_TRUE(result->plan.warnings.empty());  // said once, by the import
}

TEST(EpubImportTest, EntriesWhoseFileWasRefusedAreLeftOutAndSaidOnce)
{
    const test::TestFiles files = {{"a.html", "a"}, {"bad.html", "x"}, {"c.html", "c"}};
    std::vector<test::TestZipEntry> entries = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml", test::containerXml()},
        {"OEBPS/content.opf", test::packageXml(files)},
        {"OEBPS/toc.ncx", test::ncxXml({{"A", "a.html", {}},
                                        {"Part", "", {{"Bad", "bad.html", {}}, {"Bad again", "bad.html#x", {}},
                                                      {"In part", "c.html", {}}}},
                                        {"C", "c.html", {}}})},
        {"OEBPS/a.html", "a"},
        test::symlinkEntry("OEBPS/bad.html", "/etc/passwd"),
        {"OEBPS/c.html", "c"},
    };
    auto result = readEpubForImport(test::buildZipEntries(entries), u"b.epub");
    ASSERT_TRUE(result) << result.error().detail;
    std::vector<std::u16string> names;
    for (const auto& node : result->plan.nodes)
        names.push_back(node.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"b", u"0000_A.xml", u"0000_Part", u"0001_In part.xml", u"0002_C.xml"}));
    EXPECT_EQ(result->plan.nodes[3].parent, 2);
    std::size_t leftOut = 0;
    for (const auto& warning : result->warnings)
        leftOut += warning.find("left out") != std::string::npos ? 1 : 0;
    EXPECT_EQ(leftOut, 1u);
    EXPECT_TRUE(std::find(result->warnings.begin(), result->warnings.end(),
                          "2 catalog entries left out: OEBPS/bad.html was refused") != result->warnings.end());
}

TEST(EpubImportTest, SingleEntryCatalogJoinsEveryContentFile)
{
    const std::string bytes =
        buildEpub({{"Whole book", "a.html", {}}}, {{"a.html", xhtml("A", "<p>第一回</p>")},
                                                    {"style.css", "p { }"},
                                                    {"b.html", xhtml("B", "<p>第二回&hellip;</p>")}});
    auto result = readEpubForImport(bytes, u"/books/西遊記.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::WholeText);
    EXPECT_EQ(result->wholeText.bookName, u"/books/西遊記");
    EXPECT_EQ(result->wholeText.text, u"\n\n\n第一回\n\n\n\n\n第二回…\n\n");
    EXPECT_TRUE(result->plan.nodes.empty());
}

TEST(EpubImportTest, WholeTextBookNameLosesOnlyAnExactEpubSuffix)
{
    const std::string bytes = buildEpub({{"Only", "a.html", {}}}, {{"a.html", "a"}});
    for (const auto& [path, name] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"a/Book.epub", u"a/Book"}, {u"Book.EPUB", u"Book"}, {u"Book.Epub", u"Book.Epub"}, {u"x.epub.txt", u"x.epub.txt"}}) {
        auto result = readEpubForImport(bytes, path);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->wholeText.bookName, name);
    }
}

TEST(EpubImportTest, SingleEntryWithoutContentItemsStaysInCatalogMode)
{
    auto result = readEpubForImport(buildEpub({{"Only", "a.txt", {}}}, {{"a.txt", "plain"}}), u"b.epub");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->mode, EpubImportMode::Catalog);
    ASSERT_EQ(result->plan.nodes.size(), 2u);
    EXPECT_EQ(result->plan.nodes[1].text, u"plain");
}

TEST(EpubImportTest, BookFolderIsTheFileNameWithoutFolderAndExtension)
{
    const std::string bytes = buildEpub({{"A", "a.html", {}}, {"B", "a.html", {}}}, {{"a.html", "a"}});
    for (const auto& [path, name] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"/x/y/Alice.epub", u"Alice"}, {u"book.v2.epub", u"book.v2"}, {u"NoExtension", u"NoExtension"},
             {u"/x/.epub", u".epub"}}) {
        auto result = readEpubForImport(bytes, path);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->plan.nodes[0].name, name);
    }
}

TEST(EpubImportTest, TextOverTheCapFailsInsteadOfMultiplyingASharedFile)
{
    std::vector<TestNavPoint> points(50, TestNavPoint{"Same", "big.html", {}});
    const std::string bytes = buildEpub(points, {{"big.html", std::string(1000, 'x')}});
    auto book = EpubBook::open(bytes);
    ASSERT_TRUE(book);
    EXPECT_EQ(readEpubForImport(*book, u"b.epub", 49'999).code(), ErrorCode::TooLarge);
    auto book2 = EpubBook::open(bytes);
    EXPECT_TRUE(readEpubForImport(*book2, u"b.epub", 50'000));
}

TEST(EpubImportTest, FileNameTitlesDropControlsAndStayWithinTheNameLimit)
{
    EXPECT_EQ(catalogTitleForFileName("a\tb\x01" "c\x7f"), u"abc");
    std::string longTitle;
    for (int i = 0; i < 100; ++i)
        longTitle += "章";
    const std::u16string cut = catalogTitleForFileName(longTitle);
    EXPECT_EQ(cut.size(), kMaxTitleBytes / 3);
    std::string emoji;
    for (int i = 0; i < 70; ++i)
        emoji += "\xF0\x9F\x98\x80";
    const std::u16string pairs = catalogTitleForFileName(emoji);
    EXPECT_EQ(pairs.size(), 2 * (kMaxTitleBytes / 4));
    EXPECT_LE(utf16::toUtf8(u"0000_" + pairs + u".xml").size(), 255u);
}

TEST(EpubImportTest, EpubPathsAreRecognisedByALowerCaseSuffixAnywhere)
{
    EXPECT_TRUE(isEpubPath("/a/b.epub"));
    EXPECT_TRUE(isEpubPath("x.epub.txt"));
    EXPECT_TRUE(isEpubPath("/dir.epub/a.txt"));
    EXPECT_FALSE(isEpubPath("Book.EPUB"));
    EXPECT_FALSE(isEpubPath("Book.Epub"));
    EXPECT_FALSE(isEpubPath("book.txt"));
}

std::set<std::string> listing(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.insert(entry.path().string());
    return names;
}

TEST(EpubImportTest, ImportingFromAFileCreatesNothingOnDisk)
{
    test::TempDir dir;
    const auto path = dir / "Book.epub";
    test::writeBytes(path, buildEpub({{"A", "a.html", {}}, {"B", "b.html", {}}},
                                     {{"a.html", "<p>a</p>"}, {"b.html", "<p>b</p>"}}));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto before = listing(dir.path());
    auto result = readEpubForImport(path);
    ASSERT_TRUE(result) << result.error().detail;
    EXPECT_EQ(result->plan.nodes[0].name, u"Book");
    EXPECT_EQ(result->plan.nodes[2].text, u"b\n");
    EXPECT_EQ(listing(dir.path()), before);
    EXPECT_EQ(readEpubForImport(dir / "missing.epub").code(), ErrorCode::FileUnavailable);
}

}  // namespace
}  // namespace veyla::epub
