// SPDX-License-Identifier: MIT
// Real EPUBs: what each one imports as.
#include <gtest/gtest.h>

#include <set>

#include "core/epub/epub_import.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::epub {
namespace {

using import::NodeKind;

struct Counts {
    int chapters = 0;
    int folders = 0;
};

Counts countNodes(const import::ImportPlan& plan)
{
    Counts counts;
    for (std::size_t i = 1; i < plan.nodes.size(); ++i)
        (plan.nodes[i].kind == NodeKind::Folder ? counts.folders : counts.chapters) += 1;
    return counts;
}

Result<EpubImport> importCorpus(std::string_view relative)
{
    return readEpubForImport(test::corpusFile(relative));
}

// No tag survives extraction: no "<p", "</" or "<div" in any chapter.
void expectNoMarkup(const import::ImportPlan& plan)
{
    for (const auto& node : plan.nodes) {
        for (const char16_t* tag : {u"</", u"<p", u"<div", u"<script", u"&amp;", u"&nbsp;"})
            EXPECT_EQ(node.text.find(tag), std::u16string::npos) << utf16::toUtf8(node.name);
    }
}

TEST(EpubCorpusTest, AliceKeepsItsFlatCatalog)
{
    VEYLA_REQUIRE_CORPUS();
    auto result = importCorpus("epub/alice_pg11-images.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::Catalog);
    const auto& nodes = result->plan.nodes;
    ASSERT_EQ(nodes.size(), 16u);
    EXPECT_EQ(countNodes(result->plan).chapters, 15);
    EXPECT_EQ(nodes[0].name, u"alice_pg11-images");
    EXPECT_EQ(nodes[1].name, u"0000_Alice’s Adventures in Wonderland.xml");
    EXPECT_EQ(nodes[4].name, u"0003_CHAPTER I. Down the Rabbit-Hole.xml");
    EXPECT_EQ(nodes[15].name, u"0014_CHAPTER XII. Alice’s Evidence.xml");
    for (std::size_t i = 1; i < nodes.size(); ++i)
        EXPECT_EQ(nodes[i].parent, 0);
    EXPECT_NE(nodes[4].text.find(u"Alice was beginning to get very tired"), std::u16string::npos);
    // The first three entries point into one front-matter file.
    EXPECT_EQ(nodes[1].text, nodes[3].text);
    expectNoMarkup(result->plan);
}

TEST(EpubCorpusTest, PrideAndPrejudiceGivesEveryChapterItsWholeChunkFile)
{
    VEYLA_REQUIRE_CORPUS();
    auto result = importCorpus("epub/pride_and_prejudice_pg1342_gluejar.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::Catalog);
    const auto& nodes = result->plan.nodes;
    ASSERT_EQ(nodes.size(), 64u);
    EXPECT_EQ(countNodes(result->plan).chapters, 63);
    EXPECT_EQ(nodes[2].name, u"0001_Chapter 1.xml");
    EXPECT_EQ(nodes[62].name, u"0061_Chapter 61.xml");
    EXPECT_EQ(nodes[63].name, u"0062_More Info.xml");
    std::set<std::u16string> chapterTexts;
    for (std::size_t i = 2; i <= 62; ++i)
        chapterTexts.emplace(nodes[i].text);
    EXPECT_EQ(chapterTexts.size(), 14u);
    EXPECT_NE(nodes[2].text.find(u"It is a truth universally acknowledged"), std::u16string::npos);
    // Chapter 2 shares chapter 1's file.
    EXPECT_EQ(nodes[2].text, nodes[3].text);
    // bm.html is not well-formed XML and carries scripts; it still gives text.
    EXPECT_FALSE(nodes[63].text.empty());
    expectNoMarkup(result->plan);
}

class TypicalFixtureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TypicalFixtureTest, NestedCatalogGivesAFolderWithChaptersInside)
{
    VEYLA_REQUIRE_CORPUS();
    auto result = importCorpus(std::string("epub/fixtures-versone/") + GetParam());
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::Catalog);
    const auto& nodes = result->plan.nodes;
    ASSERT_EQ(nodes.size(), 6u);
    EXPECT_EQ(nodes[1].name, u"0000_Chapter 1");
    EXPECT_EQ(nodes[1].kind, NodeKind::Folder);
    EXPECT_EQ(nodes[2].name, u"0000_Chapter 1.1.xml");
    EXPECT_EQ(nodes[2].parent, 1);
    EXPECT_EQ(nodes[3].name, u"0001_Chapter 1.2.xml");
    EXPECT_EQ(nodes[3].parent, 1);
    EXPECT_EQ(nodes[4].name, u"0002_Chapter 2.xml");
    EXPECT_EQ(nodes[4].parent, 0);
    EXPECT_EQ(nodes[5].name, u"0003_Chapter 3.xml");
    EXPECT_NE(nodes[2].text.find(u"Chapter 1"), std::u16string::npos);
    EXPECT_EQ(nodes[2].text, nodes[3].text);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, TypicalFixtureTest, ::testing::Values("typical_epub2.epub", "typical_epub3.epub"));

TEST(EpubCorpusTest, MalformedFixturesFailCleanlyOrGiveWhatIsThere)
{
    VEYLA_REQUIRE_CORPUS();
    EXPECT_EQ(importCorpus("epub/fixtures-versone/malformed_missing_toc.epub").code(), ErrorCode::MalformedBook);
    EXPECT_EQ(importCorpus("epub/fixtures-versone/malformed_invalid_manifest_items_epub2.epub").code(),
              ErrorCode::MalformedBook);
    auto result = importCorpus("epub/fixtures-versone/malformed_missing_content_for_navpoint.epub");
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->plan.nodes.size(), 3u);
    EXPECT_EQ(result->plan.nodes[2].name, u"0001_Chapter 2.xml");
    EXPECT_TRUE(result->plan.nodes[2].text.empty());
    EXPECT_NE(result->plan.nodes[1].text.find(u"Chapter 1"), std::u16string::npos);
    EXPECT_EQ(result->warnings.size(), 1u);
}

struct XiyoujiCase {
    const char* file;
    std::size_t nodes;
    int chapters;
    std::u16string firstChapter;
};

class XiyoujiTest : public ::testing::TestWithParam<XiyoujiCase> {};

TEST_P(XiyoujiTest, TenVolumesOfTenChapters)
{
    VEYLA_REQUIRE_CORPUS();
    const XiyoujiCase& c = GetParam();
    auto result = importCorpus(std::string("epub/generated/") + c.file);
    ASSERT_TRUE(result) << result.error().detail;
    ASSERT_EQ(result->mode, EpubImportMode::Catalog);
    const auto& nodes = result->plan.nodes;
    ASSERT_EQ(nodes.size(), c.nodes);
    const Counts counts = countNodes(result->plan);
    EXPECT_EQ(counts.folders, 10);
    EXPECT_EQ(counts.chapters, c.chapters);
    int volumes = 0;
    std::set<std::u16string> texts;
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        if (nodes[i].kind == NodeKind::Folder) {
            EXPECT_EQ(nodes[i].name, u"000" + utf16::number(volumes) + u"_卷" + std::u16string(1, u"一二三四五六七八九十"[volumes]) +
                                         u"（第" + utf16::number(volumes * 10 + 1) + u"回至第" +
                                         utf16::number(volumes * 10 + 10) + u"回）");
            EXPECT_EQ(nodes[i].parent, 0);
            ++volumes;
            continue;
        }
        if (nodes[i].parent != 0) {
            EXPECT_EQ(nodes[static_cast<std::size_t>(nodes[i].parent)].kind, NodeKind::Folder);
            EXPECT_NE(nodes[i].text.find(u"回"), std::u16string::npos) << utf16::toUtf8(nodes[i].name);
            texts.emplace(nodes[i].text);
        }
    }
    EXPECT_EQ(texts.size(), 100u);
    const auto first = std::find_if(nodes.begin(), nodes.end(),
                                    [](const auto& node) { return node.parent > 0; });
    ASSERT_NE(first, nodes.end());
    EXPECT_EQ(first->name, c.firstChapter);
    EXPECT_NE(first->text.find(u"詩曰"), std::u16string::npos);
    expectNoMarkup(result->plan);
}

INSTANTIATE_TEST_SUITE_P(
    Generated, XiyoujiTest,
    ::testing::Values(XiyoujiCase{"xiyouji_pandoc_epub2.epub", 112, 101, u"0001_第一回　靈根育孕源流出　心性修持大道生.xml"},
                      XiyoujiCase{"xiyouji_pandoc_epub3.epub", 112, 101, u"0001_第一回　靈根育孕源流出　心性修持大道生.xml"},
                      XiyoujiCase{"xiyouji_calibre_epub2.epub", 111, 100, u"0000_第一回 靈根育孕源流出 心性修持大道生.xml"}));

}  // namespace
}  // namespace veyla::epub
