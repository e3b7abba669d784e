// SPDX-License-Identifier: MIT
// Real novels, decoded and split as a user's import would. The counts are
// what the heading rules give; where they differ from the books' true
// chapter counts the comment names the rule that causes it.
#include <gtest/gtest.h>

#include "core/import/chapter_splitter.h"
#include "core/import/text_decoder.h"
#include "split_checks.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

using test::chaptersOf;
using test::expectConsistentPlan;

struct Split {
    DecodedText decoded;
    ImportPlan plan;
};

Split decodeAndSplit(std::string_view relative)
{
    const auto path = veyla::test::corpusFile(relative);
    auto decoded = decodeTextFile(path);
    EXPECT_TRUE(decoded.ok()) << relative;
    if (!decoded.ok())
        return {};
    ImportPlan plan = splitIntoChapters(decoded->bookName, decoded->text, {});
    return {std::move(*decoded), std::move(plan)};
}

struct CorpusCase {
    const char* file;
    TextEncoding encoding;
    std::size_t chapters;
    HeadingSource source;
    std::u16string_view prefix;
    std::u16string_view suffix;
};

TEST(CorpusSplit, RealNovelsGiveTheseChapters)
{
    VEYLA_REQUIRE_CORPUS();
    const CorpusCase cases[] = {
        // 100 回, as many as the book has.
        {"zh/xiyouji_pg23962.txt", TextEncoding::Utf8, 100, HeadingSource::Marker, u"第", u"回"},
        {"zh/xiyouji_pg23962.utf16le-bom.txt", TextEncoding::Utf16LittleEndian, 100, HeadingSource::Marker, u"第",
         u"回"},
        {"zh/xiyouji_pg23962.simplified.txt", TextEncoding::Utf8, 100, HeadingSource::Marker, u"第", u"回"},
        {"zh/xiyouji_pg23962.simplified.gb18030.txt", TextEncoding::Ansi, 100, HeadingSource::Marker, u"第", u"回"},
        // True count 71 (楔子 + 70 回). The 楔子 stays in chapter 1, which
        // starts at position 0; three prose lines of 45 units or less hold a
        // 第 with a 回 after it (e.g. "宋江軍馬次第方回…") and pass as headings,
        // since punctuation is allowed once the style has a prefix: 70 + 3.
        {"zh/shuihuzhuan_pg23863.txt", TextEncoding::Utf8, 73, HeadingSource::Marker, u"第", u"回"},
        // True count 120. Six extra chapters, all short lines with 第 … 回:
        // the prose lines "此開卷第一回也…", "第四回中既將…", "第二回了…",
        // "…第安了根子…次日回堂…" and "第殯殮…回籍…", and the heading of 45
        // that the file repeats before and after a dashed separator (the
        // two copies stand more than 40 units apart, so the lookahead does
        // not merge them).
        {"zh/hongloumeng_pg24264.txt", TextEncoding::Utf8, 126, HeadingSource::Marker, u"第", u"回"},
        {"zh/hongloumeng_pg24264.gbk.txt", TextEncoding::Ansi, 126, HeadingSource::Marker, u"第", u"回"},
        // 9 章, as many as the book has.
        {"zh/aq_zhengzhuan_pg25332.txt", TextEncoding::Utf8, 9, HeadingSource::Marker, u"第", u"章"},
        {"zh/aq_zhengzhuan_pg25332.simplified.txt", TextEncoding::Utf8, 9, HeadingSource::Marker, u"第", u"章"},
        // True count 81. 7,099 units are below the short-text limit of
        // 20000, so the whole book is one chapter file.
        {"zh/daodejing_pg24039.txt", TextEncoding::Utf8, 1, HeadingSource::ShortText, u"", u""},
        // 61 chapters, as many as the book has.
        {"en/pride_and_prejudice_pg1342.txt", TextEncoding::Utf8, 61, HeadingSource::Marker, u"Chapter", u""},
        // True count 35. Only the first "CHAPTER" after position 500 is
        // tested, and it is a contents line longer than 45 units; no other
        // marker occurs, so every short line (≤ 45 units, no punctuation)
        // becomes a chapter heading.
        {"en/tom_sawyer_pg74.txt", TextEncoding::Utf8WithMark, 540, HeadingSource::EveryShortLine, u"", u""},
    };
    for (const auto& c : cases) {
        const Split split = decodeAndSplit(c.file);
        EXPECT_EQ(split.decoded.result, DecodeResult::Done) << c.file;
        EXPECT_EQ(split.decoded.encoding, c.encoding) << c.file;
        EXPECT_EQ(chaptersOf(split.plan).size(), c.chapters) << c.file;
        EXPECT_EQ(split.plan.style.source, c.source) << c.file;
        EXPECT_EQ(split.plan.style.prefix, c.prefix) << c.file;
        EXPECT_EQ(split.plan.style.suffix, c.suffix) << c.file;
        expectConsistentPlan(split.plan, split.decoded.text);
    }
}

// The same nodes and texts; only the book folders, named after the files, differ.
void expectSamePlans(const ImportPlan& a, const ImportPlan& b)
{
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        if (a.nodes[i].kind == NodeKind::Chapter) {
            EXPECT_EQ(a.nodes[i].name, b.nodes[i].name) << i;
        }
        EXPECT_EQ(a.nodes[i].kind, b.nodes[i].kind) << i;
        EXPECT_EQ(a.nodes[i].parent, b.nodes[i].parent) << i;
        EXPECT_TRUE(a.nodes[i].text == b.nodes[i].text) << utf16::toUtf8(a.nodes[i].name);
    }
}

TEST(CorpusSplit, EveryEncodingOfABookGivesTheSamePlan)
{
    VEYLA_REQUIRE_CORPUS();
    const std::pair<const char*, const char*> copies[] = {
        {"zh/xiyouji_pg23962.txt", "zh/xiyouji_pg23962.utf16le-bom.txt"},
        {"zh/hongloumeng_pg24264.txt", "zh/hongloumeng_pg24264.gbk.txt"},
        {"zh/xiyouji_pg23962.simplified.txt", "zh/xiyouji_pg23962.simplified.gb18030.txt"},
    };
    for (const auto& [first, second] : copies) {
        SCOPED_TRACE(first);
        const Split a = decodeAndSplit(first);
        const Split b = decodeAndSplit(second);
        EXPECT_TRUE(a.decoded.text == b.decoded.text);
        expectSamePlans(a.plan, b.plan);
    }
}

TEST(CorpusSplit, ChapterNamesComeFromTheHeadings)
{
    VEYLA_REQUIRE_CORPUS();
    const Split xiyouji = decodeAndSplit("zh/xiyouji_pg23962.txt");
    const auto chapters = chaptersOf(xiyouji.plan);
    ASSERT_EQ(chapters.size(), 100u);
    EXPECT_EQ(xiyouji.plan.nodes[0].name, u"xiyouji_pg23962");
    EXPECT_EQ(chapters[0]->name, u"0001_第一回靈根育孕源流出心性修持大道生.xml");
    // "第八三回" is indented by a space; the circle used as zero (第一○○回)
    // is not a letter and leaves the file name.
    EXPECT_EQ(chapters[82]->name.substr(0, 9), u"0083_第八三回");
    EXPECT_EQ(chapters[99]->name.substr(0, 8), u"0100_第一回");
    EXPECT_EQ(chapters[99]->text.substr(0, 5), u"第一○○回");
}

TEST(CorpusSplit, TitleMarksWrittenAsAngleBracketsSurvive)
{
    VEYLA_REQUIRE_CORPUS();
    const Split hongloumeng = decodeAndSplit("zh/hongloumeng_pg24264.txt");
    // The file's only removed characters are its 40 asterisks.
    EXPECT_EQ(hongloumeng.decoded.text.size(), 906091u - 40u);
    EXPECT_NE(hongloumeng.decoded.text.find(u"< <"), std::u16string::npos);
    EXPECT_NE(hongloumeng.decoded.text.find(u"> >"), std::u16string::npos);
}

}  // namespace
}  // namespace veyla::import
