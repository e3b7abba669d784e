// SPDX-License-Identifier: MIT
#include "core/import/split_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/import/chapter_naming.h"
#include "core/import/chapter_splitter.h"
#include "core/util/utf16.h"

namespace veyla::import {
namespace {

struct Chapter {
    std::u16string title;
    std::size_t length = 1000;
    int part = 0;
};

// A plan of a book folder holding one node per chapter, with texts of the
// given lengths cut from one source, as the splitter makes them.
ImportPlan planOf(const std::vector<Chapter>& chapters, HeadingSource source = HeadingSource::Marker)
{
    std::size_t total = 0;
    for (const auto& c : chapters)
        total += c.length;
    auto text = std::make_shared<const std::u16string>(total, u'字');
    ImportPlan plan;
    plan.texts.push_back(text);
    plan.style.source = source;
    plan.nodes.push_back({NodeKind::Folder, u"book", -1, {}, 0, {}, 0});
    std::size_t offset = 0;
    int counter = 0;
    for (const auto& c : chapters) {
        if (c.part <= 1)
            ++counter;
        std::u16string name = zeroPadded(counter, 4) + u"_" + fileNameForm(c.title);
        if (c.part > 0)
            name += u"_" + zeroPadded(c.part, 4);
        plan.nodes.push_back({NodeKind::Chapter, name + u".xml", 0, std::u16string_view(*text).substr(offset, c.length),
                              offset, c.title, c.part});
        offset += c.length;
    }
    return plan;
}

std::vector<Chapter> numbered(int from, int to, std::u16string_view unit = u"回")
{
    std::vector<Chapter> chapters;
    for (int n = from; n <= to; ++n)
        chapters.push_back({u"第" + utf16::number(n) + std::u16string(unit)});
    return chapters;
}

std::vector<Chapter> titled(std::initializer_list<std::u16string_view> titles)
{
    std::vector<Chapter> chapters;
    for (const auto title : titles)
        chapters.push_back({std::u16string(title)});
    return chapters;
}

struct VerdictCase {
    const char* what;
    std::vector<Chapter> chapters;
    const char* verdict;
};

TEST(SplitReport, JudgesTheNumbersOfConsecutiveChapters)
{
    const VerdictCase cases[] = {
        {"a clean run", numbered(1, 12), "looks right"},
        {"a book may count from zero", numbered(0, 9, u"章"), "looks right"},
        {"a prologue without a number is normal", titled({u"楔子", u"第一回", u"第二回", u"第三回", u"第四回"}),
         "looks right"},
        {"the same heading twice",
         titled({u"第一回", u"第二回", u"第三回", u"第四十四回", u"第四十五回", u"第四十五回", u"第四十六回"}),
         "suspicious: 1 repeated number (45 after 45); 1 gap (44 after 3)"},
        {"a chapter missing", titled({u"第一回", u"第二回", u"第四回", u"第五回"}),
         "suspicious: 1 gap (4 after 2)"},
        {"the numbering starts again without a new volume",
         titled({u"第一章", u"第二章", u"第三章", u"第一章", u"第二章"}), "suspicious: 1 restart (1 after 3)"},
        {"prose taken for a heading",
         titled({u"第一回", u"第二回", u"第三回", u"第四回", u"第五回", u"第四回中既將", u"第六回"}),
         "suspicious: 1 gap (6 after 4); 1 number out of order (4 after 5)"},
        {"a number from further back",
         titled({u"第一回", u"第二回", u"第三回", u"第四回", u"第二回了", u"第五回", u"第六回"}),
         "suspicious: 1 gap (5 after 2); 1 number out of order (2 after 4)"},
        {"the first chapter is not 1", titled({u"第三回", u"第四回", u"第五回", u"第六回"}),
         "suspicious: 1 gap (starts at 3)"},
        {"three chapters of ten without a number",
         titled({u"第一回", u"序", u"第二回", u"第三回", u"跋", u"第四回", u"附錄", u"第五回", u"第六回", u"第七回"}),
         "suspicious: 3 of 10 chapters have no number"},
        {"named chapters without any number", titled({u"風起", u"雲湧", u"山雨", u"歸去"}), "looks right"},
    };
    for (const auto& c : cases) {
        const SplitReport report = reportOnPlan(planOf(c.chapters));
        EXPECT_EQ(report.verdict(), c.verdict) << c.what;
    }
}

TEST(SplitReport, VolumesStartANewSequence)
{
    // Each volume may start again at 1 or go on counting.
    const auto chapters = titled({u"第一卷　風起", u"第一章", u"第二章", u"第二卷　雲湧", u"第一章", u"第二章",
                                  u"第三卷", u"第三章", u"第四章", u"卷四 第五章"});
    const SplitReport report = reportOnPlan(planOf(chapters));
    EXPECT_EQ(report.verdict(), "looks right");
    EXPECT_EQ(report.volumeHeadings, 3u);
    EXPECT_EQ(report.chapters, 7u);
    EXPECT_EQ(report.describeRuns(10), "vol. 1: 1-2, vol. 2: 1-2, vol. 3: 3-4, vol. 4: 5");
    EXPECT_EQ(report.counts(), "10 files: 7 chapters and 3 volume headings");
}

TEST(SplitReport, ABookCutAtVolumesHasVolumesForChapters)
{
    const SplitReport report = reportOnPlan(planOf(titled({u"卷一", u"卷二", u"卷三", u"卷之四", u"卷五"})));
    EXPECT_EQ(report.verdict(), "looks right");
    EXPECT_EQ(report.chapters, 5u);
    EXPECT_EQ(report.describeRuns(10), "1-5");
}

TEST(SplitReport, PartsOfACutChapterCountOnce)
{
    std::vector<Chapter> chapters = numbered(1, 5);
    chapters.insert(chapters.begin() + 2, {{u"第三回", 30000, 1}, {u"第三回", 30000, 2}, {u"第三回", 500, 3}});
    chapters.erase(chapters.begin() + 5);  // the whole 第三回
    const SplitReport report = reportOnPlan(planOf(chapters));
    EXPECT_EQ(report.files, 7u);
    EXPECT_EQ(report.chapters, 5u);
    EXPECT_EQ(report.describeRuns(10), "1-5");
    // 60500 units against a median of 1000: the cut chapter stands out as a whole.
    ASSERT_EQ(report.outliers.size(), 1u);
    EXPECT_EQ(report.outliers[0].length, 60500u);
    EXPECT_EQ(report.outliers[0].chapter.name, u"0003_第三回_0001.xml");
    EXPECT_EQ(report.counts(), "7 files: 5 chapters and chapters cut into parts");
}

TEST(SplitReport, LengthsUnderOnePercentOrOverTenTimesTheMedianStandOut)
{
    struct Case {
        std::size_t odd;
        std::size_t outliers;
    };
    // Nine chapters of 1000 units and one of `odd`.
    const Case cases[] = {{10, 0}, {9, 1}, {10000, 0}, {10001, 1}, {1, 1}};
    for (const auto& c : cases) {
        auto chapters = numbered(1, 10);
        chapters[4].length = c.odd;
        const SplitReport report = reportOnPlan(planOf(chapters));
        EXPECT_EQ(report.medianLength, 1000u) << c.odd;
        EXPECT_EQ(report.outliers.size(), c.outliers) << c.odd;
        EXPECT_EQ(report.suspicious, c.outliers > 0) << c.odd;
    }
    // Three chapters have no middle to stand out from.
    auto three = numbered(1, 3);
    three[0].length = 5;
    EXPECT_EQ(reportOnPlan(planOf(three)).verdict(), "looks right");
}

TEST(SplitReport, ShortTextsAndFallbacks)
{
    // A short text is one chapter on purpose.
    ImportPlan shortText = planOf(titled({u""}), HeadingSource::ShortText);
    shortText.nodes.erase(shortText.nodes.begin());
    shortText.nodes[0].parent = -1;
    shortText.nodes[0].name = u"道德經.xml";
    EXPECT_EQ(reportOnPlan(shortText).verdict(), "looks right");

    // The numbering fallbacks name chapters by their running number.
    ImportPlan arabic = planOf(titled({u"", u"", u"", u""}), HeadingSource::ArabicNumbers);
    for (std::size_t i = 1; i < arabic.nodes.size(); ++i)
        arabic.nodes[i].name = zeroPadded(static_cast<long long>(i), 4) + u".xml";
    const SplitReport numbers = reportOnPlan(arabic);
    EXPECT_EQ(numbers.verdict(), "looks right");
    EXPECT_EQ(numbers.describeRuns(10), "1-4");

    // Fixed pieces are no chapters at all.
    const SplitReport pieces = reportOnPlan(planOf(titled({u"", u"", u""}), HeadingSource::FixedPieces));
    EXPECT_EQ(pieces.verdict(),
              "suspicious: no chapter headings were found; the text is cut into pieces of about 9000 characters");

    // A long text that became one chapter cut into parts.
    const SplitReport one = reportOnPlan(planOf({{u"第一章", 30000, 1}, {u"第一章", 30000, 2}}));
    EXPECT_EQ(one.verdict(), "suspicious: one chapter of 60000 characters, cut into 2 parts");
}

// A text of at least 20000 units: a title page, a table of contents of
// closely spaced headings, then the chapters.
std::u16string bookWithContents(int chapters)
{
    std::u16string text = u"THE BOOK\n\nA NOVEL\n\nCONTENTS\n\n";
    for (int n = 1; n <= chapters; ++n)
        text += u"CHAPTER " + utf16::number(n) + u". The Part Where " + utf16::number(n) + u" Happens\n";
    text += u"\n\n";
    const std::u16string line = u"The boy went down to the river and looked at the water for a long time\n";
    for (int n = 1; n <= chapters; ++n) {
        text += u"\n\nCHAPTER " + utf16::number(n) + u"\n\n";
        for (int i = 0; i < 60; ++i)
            text += line;
    }
    return text;
}

TEST(SplitReport, ATableOfContentsBeforeChapterOneIsFrontMatter)
{
    const std::u16string text = bookWithContents(12);
    const ImportPlan plan = splitIntoChapters(u"book", text, {u"CHAPTER", u"", Punctuation::Allowed});
    ASSERT_TRUE(plan.firstChapterHoldsContents);
    const SplitReport report = reportOnPlan(plan);
    EXPECT_EQ(report.files, 13u);
    EXPECT_TRUE(report.frontMatterFile);
    EXPECT_EQ(report.chapters, 12u);
    EXPECT_EQ(report.describeRuns(10), "1-12");
    EXPECT_EQ(report.counts(), "13 files: 12 chapters and the front matter");
    EXPECT_EQ(report.verdict(), "looks right");
    EXPECT_EQ(report.textBeforeFirstChapter, text.find(u"CHAPTER 1\n"));
}

TEST(SplitReport, TextBeforeTheFirstHeadingIsMeasured)
{
    // Without punctuation the contents lines are no headings: chapter 1
    // holds the title page and the contents before its heading.
    const std::u16string text = bookWithContents(12);
    const ImportPlan plan = splitIntoChapters(u"book", text, {u"CHAPTER", u"", Punctuation::Forbidden});
    EXPECT_FALSE(plan.firstChapterHoldsContents);
    const SplitReport report = reportOnPlan(plan);
    EXPECT_FALSE(report.frontMatterFile);
    EXPECT_EQ(report.files, 12u);
    EXPECT_EQ(report.textBeforeFirstChapter, text.find(u"CHAPTER 1\n"));
    EXPECT_EQ(report.verdict(), "looks right");
}

}  // namespace
}  // namespace veyla::import

namespace veyla::import {
namespace {

TEST(SplitReportBadInput, OneChapterAndHundredThousandChapters)
{
    EXPECT_EQ(reportOnPlan(planOf(numbered(1, 1))).verdict(), "looks right");

    std::vector<Chapter> many = numbered(1, 100000, u"章");
    for (auto& c : many)
        c.length = 10;
    SplitReport report = reportOnPlan(planOf(many));
    EXPECT_EQ(report.chapters, 100000u);
    EXPECT_EQ(report.describeRuns(5), "1-100000");
    EXPECT_EQ(report.verdict(), "looks right");

    // Every number twice: the issues are all listed, the verdict stays one line.
    std::vector<Chapter> doubled;
    for (const auto& c : many) {
        doubled.push_back(c);
        doubled.push_back(c);
    }
    doubled.resize(20000);
    report = reportOnPlan(planOf(doubled));
    EXPECT_EQ(report.issueCount(NumberIssueKind::Repeat), 10000u);
    EXPECT_EQ(report.verdict(), "suspicious: 10000 repeated numbers (1 after 1)");
    EXPECT_EQ(report.runs.size(), 10001u);
    EXPECT_EQ(report.describeRuns(3), "1, 1-2, 2-3, and 9998 more");
}

TEST(SplitReportBadInput, TitlesThatAreOnlyNumbersOrHaveNone)
{
    std::vector<Chapter> digits;
    for (int n = 1; n <= 2000; ++n)
        digits.push_back({utf16::number(n)});
    EXPECT_EQ(reportOnPlan(planOf(digits)).describeRuns(5), "1-2000");

    // No digit anywhere: nothing to check the order by, and nothing wrong with it.
    std::vector<Chapter> names(3000, Chapter{u"風雪夜歸人", 10});
    SplitReport report = reportOnPlan(planOf(names));
    EXPECT_EQ(report.numbered, 0u);
    EXPECT_EQ(report.verdict(), "looks right");
    // The same lines taken one by one as headings is what the report warns of.
    names.insert(names.begin() + 1, {u"第一章", 10});
    names.push_back({u"第二章", 10});
    report = reportOnPlan(planOf(names, HeadingSource::EveryShortLine));
    EXPECT_EQ(report.verdict(),
              "suspicious: every short line was taken for a heading: 3000 of 3002 chapters have no number");
}

TEST(SplitReportBadInput, NumeralsThatOverflowAreNoNumbers)
{
    std::vector<Chapter> chapters = numbered(1, 3);
    chapters.push_back({u"第九九九九九九九九九九九九九九九九九九九九回"});
    chapters.push_back({u"Chapter 99999999999999999999999999999999"});
    chapters.push_back({u"第一" + std::u16string(10000, u'萬') + u"章"});
    for (const auto& c : numbered(4, 6))
        chapters.push_back(c);
    const SplitReport report = reportOnPlan(planOf(chapters));
    EXPECT_EQ(report.overflowingNumbers, 3u);
    EXPECT_EQ(report.unnumbered.size(), 3u);
    EXPECT_EQ(report.describeRuns(5), "1-6");
    EXPECT_EQ(report.verdict(), "suspicious: 3 of 9 chapters have no number");
}

}  // namespace
}  // namespace veyla::import
