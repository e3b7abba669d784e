// SPDX-License-Identifier: MIT
#include "core/view/reading_model.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;
using test::paragraphText;

ClientArea area(int width, int height)
{
    return {width, height, width, 17, ScreenMode::Window};
}

library::Chapter manyParagraphs(int count)
{
    std::vector<test::ParagraphSpec> paragraphs;
    for (int i = 0; i < count; ++i)
        paragraphs.push_back({u"这是一段不太长的文字。"});
    return chapterOf(paragraphs);
}

TEST(ReadingModel, ResizeLaysOutAgainstTheNewPageWidth)
{
    ReadingModel model;
    model.open(chapterOf({{std::u16string(200, u'字')}}));
    model.resize(area(1400, 800));
    EXPECT_EQ(model.engine().params().pageWidth, 1050);
    EXPECT_EQ(model.engine().params().leftMargin, 166);
    const std::size_t wide = model.document().paragraphs[0].lines.size();
    model.resize(area(900, 800));
    EXPECT_GT(model.document().paragraphs[0].lines.size(), wide);
    EXPECT_DOUBLE_EQ(model.document().paragraphs[0].lines[1].glyphs[0].left, 166);
    EXPECT_TRUE(model.narrowPage());
    EXPECT_EQ(model.engine().params().pageWidth, 500);
    const std::size_t narrower = model.document().paragraphs[0].lines.size();
    EXPECT_TRUE(model.narrowPage());
    EXPECT_FALSE(model.narrowPage());
    EXPECT_EQ(model.engine().params().pageWidth, 450);
    EXPECT_GT(model.document().paragraphs[0].lines.size(), narrower);
}

TEST(ReadingModel, TextSizeChangeReflowsAndKeepsTheText)
{
    ReadingModel model;
    model.resize(area(1400, 800));
    model.open(chapterOf({{u"[F2]" + std::u16string(100, u'字') + u"[/F]"}}));
    const std::size_t before = model.document().paragraphs[0].lines.size();
    model.setTextSize(40);
    EXPECT_GT(model.document().paragraphs[0].lines.size(), before);
    EXPECT_EQ(model.document().paragraphs[0].lines[0].height, 40 + 20);
    EXPECT_EQ(model.chapterForSaving().chapter.paragraphs[0].text(), u"[F2]" + std::u16string(100, u'字') + u"[/F]");
}

TEST(ReadingModel, CaretParagraphFaceIsKeptForSaving)
{
    ReadingModel model;
    model.resize(area(1400, 800));
    model.open(chapterOf({{u"甲乙丙"}, {u"丁戊"}}));
    model.editor().setCaret({1, 0, 1});
    ASSERT_TRUE(model.setCaretParagraphFace(u"隶书"));
    EXPECT_TRUE(model.document().modified);
    EXPECT_FALSE(model.setCaretParagraphFace(u"隶书"));  // already that face
    EXPECT_EQ(model.caret().position, (TextPosition{1, 0, 1}));
    const auto saved = model.chapterForSaving().chapter;
    EXPECT_FALSE(saved.paragraphs[0].fontFace.has_value());
    EXPECT_EQ(saved.paragraphs[1].fontFace, u"隶书");
    EXPECT_EQ(paragraphText(model.document().paragraphs[1]), u"丁戊");
}

TEST(ReadingModel, OnlyAPictureChunkTakesANewSize)
{
    ReadingModel model;
    model.resize(area(1400, 800));
    model.open(chapterOf({{u"甲乙丙"}, {u"丁戊"}}));
    const auto text = model.caretChunk();
    EXPECT_EQ(text.kind, library::ChunkKind::CharacterData);
    EXPECT_EQ(text.size, model.engine().params().textSize);
    EXPECT_FALSE(model.setCaretChunkSize(80));
    EXPECT_FALSE(model.document().modified);

    ParagraphBox picture;
    picture.kind = BoxKind::Picture;
    picture.pictureHeight = 40;
    model.document().paragraphs.insert(model.document().paragraphs.begin() + 1, picture);
    model.editor().setCaret({1, 0, 0});
    ASSERT_EQ(model.caretChunk().kind, library::ChunkKind::Image);
    ASSERT_TRUE(model.setCaretChunkSize(100));
    EXPECT_EQ(model.caretChunk().size, 100);
    EXPECT_TRUE(model.document().modified);
    const int before = model.document().height;
    ASSERT_TRUE(model.setCaretChunkSize(160));
    EXPECT_EQ(model.document().height, before + 60);
}

TEST(ReadingModel, ScrollRangeFollowsTheDocument)
{
    ReadingModel model;
    model.resize(area(1400, 600));
    model.open(manyParagraphs(100));
    EXPECT_EQ(model.scroll().contentHeight(), model.document().height + 50 + 5);
    model.scroll().scrollTo(1 << 30);
    EXPECT_EQ(model.scroll().position(), model.scroll().contentHeight() - 600);
    model.wheel(120);
    EXPECT_EQ(model.scroll().position(), model.scroll().contentHeight() - 600 - 25);
    model.open(manyParagraphs(1));
    EXPECT_EQ(model.scroll().position(), 0);
    EXPECT_EQ(model.scroll().maximum(), 0);
}

TEST(ReadingModel, PaintsOnlyVisibleLines)
{
    ReadingModel model;
    model.resize(area(1400, 600));
    model.open(manyParagraphs(100));
    model.scroll().scrollTo(2000);
    const auto visible = model.paragraphsToPaint(StripVisibility::Hidden, StripVisibility::Hidden);
    ASSERT_FALSE(visible.empty());
    for (const auto& entry : visible)
        for (std::size_t l = entry.firstLine; l < entry.endLine; ++l) {
            const auto& line = model.document().paragraphs[entry.paragraph].lines[l];
            EXPECT_GE(line.top, 2000);
            EXPECT_LE(line.glyphBottom(line.glyphs.back()), 2600);
        }
    EXPECT_LT(visible.size(), 20u);
}

TEST(ReadingModel, ParagraphModeShowsOneCentredParagraphAndWheelsThroughThem)
{
    ReadingModel model;
    model.resize(area(1400, 600));
    model.open(manyParagraphs(3));
    ASSERT_TRUE(model.pressKey(EditKey::Down).ok());
    model.setDisplayMode(DisplayMode::Paragraph);
    EXPECT_EQ(model.shownParagraph(), 1u);
    const auto& shown = model.document().paragraphs[1];
    EXPECT_EQ(shown.top, (600 - shown.height) / 2);
    EXPECT_EQ(model.paragraphsToPaint(StripVisibility::Hidden, StripVisibility::Hidden).size(), 1u);
    model.wheel(-120);
    EXPECT_EQ(model.shownParagraph(), 2u);
    model.wheel(-120);
    EXPECT_EQ(model.shownParagraph(), 2u);
    model.wheel(120);
    EXPECT_EQ(model.shownParagraph(), 1u);
    // A touchpad swipe of one notch in twelve deltas moves one paragraph, not twelve.
    for (int i = 0; i < 11; ++i) {
        model.wheel(10);
        EXPECT_EQ(model.shownParagraph(), 1u);
    }
    model.wheel(10);
    EXPECT_EQ(model.shownParagraph(), 0u);
    model.setDisplayMode(DisplayMode::WholeChapter);
    EXPECT_EQ(model.document().paragraphs[0].top, 50);
    EXPECT_EQ(model.document().paragraphs[1].top, model.document().paragraphs[0].bottom);
}

TEST(ReadingModel, ClickDragTypeAndSave)
{
    ReadingModel model;
    model.resize(area(1400, 600));
    model.open(chapterOf({{u"甲乙丙"}, {u"丁"}}));
    model.scroll().scrollTo(0);
    const auto& glyphs = model.document().paragraphs[0].lines[0].glyphs;
    const double y = model.document().paragraphs[0].lines[0].top + 5;
    model.clickAt(glyphs[1].left + 1, y);
    EXPECT_EQ(model.caret().position, (TextPosition{0, 0, 1}));
    model.dragTo(glyphs[3].left + 1, y);
    EXPECT_EQ(model.copy(), u"乙丙");
    ASSERT_TRUE(model.typeCharacter(u'子').ok());
    // Typing clears the selection flags without deleting the selection.
    EXPECT_EQ(model.copy(), u"");
    EXPECT_EQ(paragraphText(model.document().paragraphs[0]), u"甲乙丙子");
    ASSERT_TRUE(model.pressKey(EditKey::Enter).ok());
    EXPECT_EQ(model.document().paragraphs.size(), 3u);
    EXPECT_EQ(model.wordCount().hanzi, 5);
    const auto saved = model.chapterForSaving();
    EXPECT_EQ(saved.typedCount, 2);
    EXPECT_EQ(model.document().typedCount, 0);
    EXPECT_TRUE(saved.chapter.modified);
    model.markSaved();
    EXPECT_FALSE(model.document().modified);
}

TEST(ReadingModel, EnterBelowTheWindowScrollsDown)
{
    ReadingModel model;
    model.resize(area(1400, 300));
    model.open(manyParagraphs(20));
    const auto& last = model.document().paragraphs.back();
    model.editor().setCaret({model.document().paragraphs.size() - 1, 0, last.lines[0].glyphs.size() - 1});
    ASSERT_TRUE(model.pressKey(EditKey::Enter).ok());
    EXPECT_EQ(model.scroll().position(), 150);
}

TEST(ReadingModel, KeepInViewScrollsToTheSpokenLine)
{
    ReadingModel model;
    model.resize(area(1400, 600));
    model.open(manyParagraphs(100));
    const int y = model.document().paragraphs[30].top;
    EXPECT_TRUE(model.keepInView(y));
    EXPECT_EQ(model.scroll().position(), y);
    EXPECT_FALSE(model.keepInView(y + 10));
}

TEST(ReadingModel, OpensACorpusChapter)
{
    VEYLA_REQUIRE_CORPUS();
    const std::u16string text = test::corpusText(60000);
    library::Chapter chapter;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        if (end > start)
            chapter.paragraphs.push_back({0, 0, 28, std::nullopt, 0, 0, 0, 0, {{text.substr(start, end - start), {}}}});
        start = end + 1;
    }
    ReadingModel model;
    model.resize(area(1400, 900));
    model.open(chapter);
    EXPECT_EQ(model.wordCount().hanzi > 40000, true);
    EXPECT_GT(model.scroll().contentHeight(), 10000);
    // Typing in the middle of the longest paragraph keeps the layout continuous.
    std::size_t longest = 0;
    for (std::size_t p = 0; p < model.document().paragraphs.size(); ++p)
        if (model.document().paragraphs[p].lines.size() > model.document().paragraphs[longest].lines.size())
            longest = p;
    const auto& paragraph = model.document().paragraphs[longest];
    model.editor().setCaret({longest, paragraph.lines.size() / 2, 3});
    ASSERT_TRUE(model.typeCharacter(u'新').ok());
    for (std::size_t p = 1; p < model.document().paragraphs.size(); ++p)
        ASSERT_EQ(model.document().paragraphs[p].top, model.document().paragraphs[p - 1].bottom);
}

}  // namespace
}  // namespace veyla::view
