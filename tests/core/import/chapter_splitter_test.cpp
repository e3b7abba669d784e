// SPDX-License-Identifier: MIT
#include "core/import/chapter_splitter.h"

#include <gtest/gtest.h>

#include "split_checks.h"

namespace veyla::import {
namespace {

using test::chapterNames;
using test::chaptersOf;
using test::expectConsistentPlan;

// Lines of 26 units that no heading rule accepts (the full stop rejects
// them when no heading key is known) and that hold no digit, Latin letter or
// space.
std::u16string body(std::size_t lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += u"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏。\n";
    return text;
}

// A book of numbered 第N章 chapters; headings[i] is the heading line of
// chapter i + 1, each followed by `lines` lines of text.
std::u16string book(const std::vector<std::u16string>& headings, std::size_t lines = 300)
{
    std::u16string text = body(25);  // a preface longer than the detection start
    for (const auto& heading : headings)
        text += heading + u"\n" + body(lines);
    return text;
}

ImportPlan split(std::u16string_view text, SplitOptions options = {})
{
    ImportPlan plan = splitIntoChapters(u"/books/书", text, options);
    expectConsistentPlan(plan, text);
    return plan;
}

TEST(SplitIntoChapters, TextShorterThanTheLimitIsOneChapterUnderTheTarget)
{
    const std::u16string text(kShortTextLimit - 1, u'文');
    const ImportPlan plan = splitIntoChapters(u"C:\\books\\ 书 ", text, {});
    ASSERT_EQ(plan.nodes.size(), 1u);
    EXPECT_EQ(plan.nodes[0].kind, NodeKind::Chapter);
    EXPECT_EQ(plan.nodes[0].name, u" 书 .xml");
    EXPECT_EQ(plan.nodes[0].parent, -1);
    EXPECT_EQ(plan.nodes[0].text, text);
    EXPECT_EQ(plan.style.source, HeadingSource::ShortText);
}

TEST(SplitIntoChapters, TextAtTheLimitGetsABookFolder)
{
    const std::u16string text(kShortTextLimit, u'文');
    const ImportPlan plan = split(text);
    ASSERT_GE(plan.nodes.size(), 2u);
    EXPECT_EQ(plan.nodes[0].kind, NodeKind::Folder);
    EXPECT_EQ(plan.nodes[0].name, u"书");
    for (const PlannedNode* chapter : chaptersOf(plan))
        EXPECT_EQ(chapter->parent, 0);
}

TEST(SplitIntoChapters, FolderNameIsTrimmedAndNeverLeavesTheTarget)
{
    const std::u16string text(kShortTextLimit, u'文');
    EXPECT_EQ(splitIntoChapters(u"/a/b\\\u3000 西遊記 ", text, {}).nodes[0].name, u"西遊記");
    EXPECT_EQ(splitIntoChapters(u"/a/..", text, {}).nodes[0].name, u"_..");
    EXPECT_EQ(splitIntoChapters(u"/a/ ", text, {}).nodes[0].name, u"_");
}

TEST(SplitIntoChapters, FindsChapterHeadingsAndNamesFilesFromThem)
{
    const std::u16string text = book({u"第一章\u3000风雪", u"\u3000\u3000第二章 山神庙", u"第三章 林冲"});
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.source, HeadingSource::Marker);
    EXPECT_EQ(plan.style.prefix, u"第");
    EXPECT_EQ(plan.style.suffix, u"章");
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_第一章风雪.xml", "0002_第二章山神庙.xml", "0003_第三章林冲.xml"}));
    // The first chapter starts at 0, so the preface stays in it.
    EXPECT_EQ(chaptersOf(plan)[0]->sourceOffset, 0u);
}

TEST(SplitIntoChapters, MarkerWithinTheFirst500UnitsIsNotDetected)
{
    const std::u16string early = u"第一章 甲\n" + body(5) + u"第二章 乙\n" + body(900);
    const ImportPlan plan = split(early);
    EXPECT_EQ(plan.style.source, HeadingSource::EveryShortLine);
    EXPECT_EQ(chapterNames(plan), (std::vector<std::string>{"0001_第一章甲.xml"}));

    const std::u16string later = u"第一章 甲\n" + body(20) + u"第二章 乙\n" + body(900);
    EXPECT_EQ(chapterNames(split(later)), (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙.xml"}));
}

TEST(SplitIntoChapters, MarkerOrderDecidesTheStyle)
{
    struct Case {
        const char* what;
        std::u16string heading;  // the heading of chapter 2
        std::u16string prefix;
        std::u16string suffix;
    };
    const Case cases[] = {
        {"章", u"第二章 乙", u"第", u"章"},
        {"回 with digits", u"第2回 乙", u"第", u"回"},
        {"卷", u"第 二 卷 乙", u"第", u"卷"},
        {"传", u"第002传 乙", u"第", u"传"},
        {"则", u"第02则 乙", u"第", u"则"},
        {"第 alone", u"第五节 乙", u"第", u""},
        {"CHAPTER", u"CHAPTER TWO", u"CHAPTER", u""},
        {"black circle", u"● 乙", u"●", u""},
        {"Chapter", u"Chapter Two", u"Chapter", u""},
    };
    for (const auto& c : cases) {
        const std::u16string text = body(25) + u"引子\n" + body(400) + c.heading + u"\n" + body(400);
        const ImportPlan plan = split(text);
        EXPECT_EQ(plan.style.source, HeadingSource::Marker) << c.what;
        EXPECT_EQ(plan.style.prefix, c.prefix) << c.what;
        EXPECT_EQ(plan.style.suffix, c.suffix) << c.what;
    }
}

TEST(SplitIntoChapters, StrictMarkerWithPunctuationIsPassedOver)
{
    // "第" is tested strictly: its first line has a comma, so the later
    // CHAPTER marker decides.
    const std::u16string text =
        body(25) + u"第五，风雪\n" + body(400) + u"CHAPTER TWO\n" + body(400) + u"CHAPTER THREE\n" + body(10);
    const ImportPlan plan = split(text);
    EXPECT_EQ(plan.style.prefix, u"CHAPTER");
    EXPECT_EQ(chaptersOf(plan).size(), 2u);
}

TEST(SplitIntoChapters, VolumeMarkerTakesTheMiddleDotWhenTheBookUsesIt)
{
    const std::u16string dotted = body(130) + u"卷一·甲\n" + body(400) + u"卷二·乙\n" + body(400);
    const ImportPlan plan = split(dotted);
    EXPECT_EQ(plan.style.prefix, u"卷");
    EXPECT_EQ(plan.style.suffix, u"·");
    EXPECT_EQ(chapterNames(plan), (std::vector<std::string>{"0001_卷一甲.xml", "0002_卷二乙.xml"}));

    const std::u16string plain = body(130) + u"卷一 甲\n" + body(400) + u"卷二 乙\n" + body(400);
    EXPECT_EQ(split(plain).style.suffix, u"");
}

TEST(SplitIntoChapters, LineLongerThan45UnitsIsNotAHeading)
{
    const std::u16string longLine = u"第三章" + std::u16string(43, u'长');
    const ImportPlan plan = split(book({u"第一章 甲", u"第二章 乙", longLine, u"第四章 丁"}));
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙.xml", "0003_第四章丁.xml"}));
    EXPECT_NE(chaptersOf(plan)[1]->text.find(longLine), std::u16string::npos);
}

TEST(SplitIntoChapters, PunctuationInTitlesFollowsThePermission)
{
    const std::u16string text = book({u"第一章 甲", u"第二章 乙", u"第三章，风雪", u"第四章 丁"});
    EXPECT_EQ(chapterNames(split(text, {{}, {}, Punctuation::Allowed})),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙.xml", "0003_第三章风雪.xml",
                                        "0004_第四章丁.xml"}));
    EXPECT_EQ(chapterNames(split(text, {{}, {}, Punctuation::Forbidden})),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙.xml", "0003_第四章丁.xml"}));
}

TEST(SplitIntoChapters, HeadingFollowedCloselyByAnotherHeadingIsSkipped)
{
    const std::u16string text = body(25) + u"第一章 甲\n" + body(300) + u"第二章 乙\n第三章 丙\n" + body(300) +
                                u"第四章 丁\n" + body(300);
    const ImportPlan plan = split(text);
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第三章丙.xml", "0003_第四章丁.xml"}));
    EXPECT_NE(chaptersOf(plan)[0]->text.find(u"第二章 乙"), std::u16string::npos);
}

std::u16string contents()
{
    return u"目录\n第一章 甲\n" + std::u16string(30, u'文') + u"\n第二章 乙\n" + std::u16string(30, u'文') +
           u"\n第三章 丙\n";
}

TEST(SplitIntoChapters, TableOfContentsStaysInFirstChapterAndNamesIt)
{
    const std::u16string text = body(4) + contents() + u"第一章 甲\n" + body(300) + u"第二章 乙\n" + body(300) +
                                u"第三章 丙\n" + body(300);
    const ImportPlan plan = split(text);
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙.xml", "0003_第三章丙.xml"}));
    const std::u16string_view first = chaptersOf(plan)[0]->text;
    EXPECT_NE(first.find(u"目录"), std::u16string::npos);
    EXPECT_EQ(first.find(u"第二章 乙\n天"), std::u16string::npos);
}

TEST(SplitIntoChapters, ContentsFarFromTheBodyFormChapterOneAlone)
{
    // 156 units of text after the contents: the body's first heading stands
    // more than 100 units after its predecessor and starts chapter 2.
    const std::u16string text = body(4) + contents() + body(6) + u"第一章 甲\n" + body(300) + u"第二章 乙\n" +
                                body(300) + u"第三章 丙\n" + body(300);
    EXPECT_EQ(chapterNames(split(text)), (std::vector<std::string>{"0001_第一章甲.xml", "0002_第一章甲.xml",
                                                                   "0003_第二章乙.xml", "0004_第三章丙.xml"}));
}

TEST(SplitIntoChapters, LongChapterIsCutIntoPartsAtLineBreaks)
{
    const std::u16string longText = body(25) + u"第一章 甲\n" + body(200) + u"第二章 乙\n" + body(2700) + u"第三章 丙\n" +
                              body(200);
    const ImportPlan plan = split(longText);
    EXPECT_EQ(chapterNames(plan),
              (std::vector<std::string>{"0001_第一章甲.xml", "0002_第二章乙_0001.xml", "0002_第二章乙_0002.xml",
                                        "0002_第二章乙_0003.xml", "0003_第三章丙.xml"}));
    const auto chapters = chaptersOf(plan);
    std::u16string joined;
    for (int part = 1; part <= 3; ++part) {
        const std::u16string_view piece = chapters[static_cast<std::size_t>(part)]->text;
        if (part < 3) {
            EXPECT_GE(piece.size(), 30000u);
        }
        joined.append(piece).append(part < 3 ? u"\n" : u"");
    }
    EXPECT_EQ(joined, u"第二章 乙\n" + body(2700));
}

TEST(SplitIntoChapters, UserPrefixComesBeforeTheMarkers)
{
    const std::u16string text = body(25) + u"第一章 引子\n" + body(100) + u"Part A\n" + body(400) + u"Part B\n" +
                                body(400) + u"第二章 尾声\n" + body(10);
    const ImportPlan plan = split(text, {u"Part", u"", Punctuation::Allowed});
    EXPECT_EQ(plan.style.source, HeadingSource::UserPrefix);
    EXPECT_EQ(chapterNames(plan), (std::vector<std::string>{"0001_PartA.xml", "0002_PartB.xml"}));

    const ImportPlan fallback = split(text, {u"Volume", u"", Punctuation::Allowed});
    EXPECT_EQ(fallback.style.source, HeadingSource::Marker);
    EXPECT_EQ(fallback.style.prefix, u"第");
}

}  // namespace
}  // namespace veyla::import
