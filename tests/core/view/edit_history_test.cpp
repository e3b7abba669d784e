// SPDX-License-Identifier: MIT
#include "core/view/edit_history.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/view/annotations.h"
#include "core/view/reading_model.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;
using test::paragraphText;

struct Model {
    ReadingModel model{test::smallParams()};

    explicit Model(const std::vector<test::ParagraphSpec>& paragraphs) { model.open(chapterOf(paragraphs)); }

    std::vector<std::u16string> texts() const
    {
        std::vector<std::u16string> out;
        for (const auto& paragraph : model.document().paragraphs)
            out.push_back(paragraphText(paragraph));
        return out;
    }
    std::vector<std::uint64_t> ids() const
    {
        std::vector<std::uint64_t> out;
        for (const auto& paragraph : model.document().paragraphs)
            out.push_back(paragraph.id);
        return out;
    }
    void caretAt(std::size_t p, std::size_t offset)
    {
        const auto [line, glyph] = positionOfOffset(model.document().paragraphs[p], offset);
        model.editor().setCaret({p, line, glyph});
    }
    LogicalPosition caret() const { return logicalPositionOf(model.document(), model.caret().position); }
    void select(std::size_t p1, std::size_t o1, std::size_t p2, std::size_t o2)
    {
        const auto& paragraphs = model.document().paragraphs;
        const auto [l1, g1] = positionOfOffset(paragraphs[p1], o1);
        const auto [l2, g2] = positionOfOffset(paragraphs[p2], o2);
        model.editor().selectRange({p1, l1, g1}, {p2, l2, g2});
    }
    void type(std::u16string_view text)
    {
        for (char16_t ch : text)
            ASSERT_TRUE(model.typeCharacter(ch).ok());
    }
    // Every paragraph sits where a fresh layout puts it.
    void expectLaidOut() const
    {
        LayoutDocument fresh = model.document();
        model.engine().layoutDocument(fresh);
        for (std::size_t p = 0; p < fresh.paragraphs.size(); ++p)
            EXPECT_EQ(model.document().paragraphs[p].top, fresh.paragraphs[p].top) << p;
        EXPECT_EQ(model.document().height, fresh.height);
    }
};

TEST(EditHistory, ATypingRunIsUndoneAndRedoneAsOneStep)
{
    Model m({{u"甲丁"}, {u"戊"}});
    m.caretAt(0, 1);
    m.type(u"乙丙");
    ASSERT_EQ(m.texts()[0], u"甲乙丙丁");
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts()[0], u"甲丁");
    EXPECT_EQ(m.caret(), (LogicalPosition{0, 1}));
    EXPECT_FALSE(m.model.canUndo());
    ASSERT_TRUE(m.model.redo());
    EXPECT_EQ(m.texts()[0], u"甲乙丙丁");
    EXPECT_EQ(m.caret(), (LogicalPosition{0, 3}));
    EXPECT_FALSE(m.model.redo());
}

TEST(EditHistory, MovingTheCaretStartsANewStep)
{
    Model m({{u"甲"}});
    m.caretAt(0, 1);
    m.type(u"乙");
    ASSERT_TRUE(m.model.pressKey(EditKey::Left).ok());
    m.type(u"丙");
    ASSERT_EQ(m.texts()[0], u"甲丙乙");
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts()[0], u"甲乙");
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts()[0], u"甲");
}

// Each edit is undone to the exact paragraphs (texts and ids) before it and
// redone to the exact paragraphs after it, laid out as a fresh layout would.
TEST(EditHistory, EveryEditOfTheViewIsUndoneAndRedone)
{
    struct Case {
        const char* name;
        std::vector<test::ParagraphSpec> start;
        std::function<void(Model&)> edit;
    };
    const std::u16string longText(60, u'长');
    const Case cases[] = {
        // Typing and the editing keys
        {"enter splits a paragraph", {{u"甲乙丙"}, {u"丁"}},
         [](Model& m) {
             m.caretAt(0, 1);
             ASSERT_TRUE(m.model.pressKey(EditKey::Enter).ok());
         }},
        {"enter in code adds a line", {{u"  a\r\n  b", 1}},
         [](Model& m) {
             m.caretAt(0, 3);
             ASSERT_TRUE(m.model.pressKey(EditKey::Enter).ok());
         }},
        {"backspace joins paragraphs", {{u"甲"}, {u"乙丙"}, {u"丁"}},
         [](Model& m) {
             m.caretAt(1, 0);
             ASSERT_TRUE(m.model.pressKey(EditKey::Backspace).ok());
         }},
        {"backspace in a long paragraph", {{longText + u"尾"}},
         [](Model& m) {
             m.caretAt(0, 61);
             ASSERT_TRUE(m.model.pressKey(EditKey::Backspace).ok());
         }},
        {"tab", {{u"甲"}}, [](Model& m) { ASSERT_TRUE(m.model.pressKey(EditKey::Tab).ok()); }},
        {"delete a selection over three paragraphs", {{u"甲乙"}, {u"丙"}, {u"丁戊"}, {u"己"}},
         [](Model& m) {
             m.select(0, 1, 2, 1);
             ASSERT_TRUE(m.model.pressKey(EditKey::Delete).ok());
         }},
        {"backspace deletes a selection", {{u"甲乙"}, {u"丙"}},
         [](Model& m) {
             m.select(0, 1, 1, 1);
             ASSERT_TRUE(m.model.pressKey(EditKey::Backspace).ok());
         }},
        // The clipboard
        {"cut", {{u"甲乙"}, {u"丙丁"}},
         [](Model& m) {
             m.select(0, 1, 1, 1);
             EXPECT_EQ(m.model.cut(), u"乙\r\n丙");
         }},
        {"paste of several lines", {{u"甲乙"}, {u"丙"}},
         [](Model& m) {
             m.caretAt(0, 1);
             ASSERT_TRUE(m.model.paste(u"一\n二\n三").ok());
         }},
        // Changes made on the document directly, bracketed by the model
        {"annotating a selection", {{u"甲乙丙"}, {u"丁"}},
         [](Model& m) {
             m.select(0, 0, 0, 2);
             m.model.beginChange(0, 1);
             ASSERT_TRUE(annotateSelection(m.model.document(), 3));
             m.model.endChange();
         }},
        {"a paragraph's font face", {{u"甲"}, {u"乙"}},
         [](Model& m) { ASSERT_TRUE(m.model.setCaretParagraphFace(u"Noto Serif CJK SC")); }},
    };
    for (const auto& c : cases) {
        Model m(c.start);
        const auto textsBefore = m.texts();
        const auto idsBefore = m.ids();
        auto annotations = [&] {
            std::vector<int> numbers;
            for (const auto& paragraph : m.model.document().paragraphs)
                forEachLogicalGlyph(paragraph, [&](const GlyphNode& g) { numbers.push_back(g.annotation); });
            return numbers;
        };
        const auto annotationsBefore = annotations();
        const auto faceBefore = m.model.document().paragraphs[0].fontFace;
        c.edit(m);
        const auto textsAfter = m.texts();
        const auto idsAfter = m.ids();
        const auto annotationsAfter = annotations();
        const auto faceAfter = m.model.document().paragraphs[0].fontFace;
        ASSERT_TRUE(textsAfter != textsBefore || annotationsAfter != annotationsBefore || faceAfter != faceBefore)
            << c.name;

        ASSERT_TRUE(m.model.undo()) << c.name;
        EXPECT_EQ(m.texts(), textsBefore) << c.name;
        EXPECT_EQ(m.ids(), idsBefore) << c.name;
        EXPECT_EQ(annotations(), annotationsBefore) << c.name;
        EXPECT_EQ(m.model.document().paragraphs[0].fontFace, faceBefore) << c.name;
        m.expectLaidOut();
        EXPECT_FALSE(m.model.canUndo()) << c.name;

        ASSERT_TRUE(m.model.redo()) << c.name;
        EXPECT_EQ(m.texts(), textsAfter) << c.name;
        EXPECT_EQ(m.ids(), idsAfter) << c.name;
        EXPECT_EQ(annotations(), annotationsAfter) << c.name;
        EXPECT_EQ(m.model.document().paragraphs[0].fontFace, faceAfter) << c.name;
        m.expectLaidOut();
    }
}

TEST(EditHistory, ANewEditForgetsWhatCouldBeRedone)
{
    Model m({{u"甲"}});
    m.caretAt(0, 1);
    m.type(u"乙");
    ASSERT_TRUE(m.model.undo());
    ASSERT_TRUE(m.model.canRedo());
    m.type(u"丙");
    EXPECT_FALSE(m.model.canRedo());
    EXPECT_FALSE(m.model.redo());
    EXPECT_EQ(m.texts()[0], u"甲丙");
}

TEST(EditHistory, AChangeThatAltersNothingLeavesNoStep)
{
    Model m({{u"甲"}});
    m.model.beginChange(0, 1);
    m.model.endChange();
    EXPECT_FALSE(m.model.canUndo());
    // Keys that edit nothing leave none either.
    ASSERT_TRUE(m.model.pressKey(EditKey::Delete).ok());
    m.caretAt(0, 0);
    ASSERT_TRUE(m.model.pressKey(EditKey::Backspace).ok());
    EXPECT_FALSE(m.model.canUndo());
}

TEST(EditHistory, UndoAfterSavingMakesTheChapterModifiedAgain)
{
    Model m({{u"甲"}});
    m.type(u"乙");
    (void)m.model.chapterForSaving();
    m.model.markSaved();
    ASSERT_TRUE(m.model.undo());
    EXPECT_TRUE(m.model.document().modified);
    EXPECT_EQ(m.texts()[0], u"甲");
}

TEST(EditHistory, OpeningAnotherChapterForgetsTheHistory)
{
    Model m({{u"甲"}});
    m.type(u"乙");
    m.model.open(chapterOf({{u"丙"}}));
    EXPECT_FALSE(m.model.undo());
    EXPECT_EQ(m.texts()[0], u"丙");
}

TEST(EditHistory, KeepsTheNewest500Steps)
{
    Model m({{u"甲"}});
    for (int i = 0; i < 501; ++i)
        ASSERT_TRUE(m.model.pressKey(EditKey::Enter).ok());
    ASSERT_EQ(m.texts().size(), 502u);
    int undone = 0;
    while (m.model.undo())
        ++undone;
    EXPECT_EQ(undone, 500);
    EXPECT_EQ(m.texts().size(), 2u);
}

TEST(EditHistory, UndoAfterAReflowRestoresTheTextAtTheNewWidth)
{
    Model m({{std::u16string(50, u'字')}});
    m.caretAt(0, 25);
    m.type(u"新");
    m.model.setTextSize(30);
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts()[0], std::u16string(50, u'字'));
    EXPECT_EQ(m.model.document().paragraphs[0].lines[0].glyphs[0].size, 30);
    m.expectLaidOut();
}

// Commands that rewrite the chapter (insert code, re-indent code) replace
// every paragraph; that is one step, and a typing run before it stays its own.
TEST(EditHistory, ReplacingTheContentIsOneStepThatUndoRestores)
{
    Model m({{u"甲"}, {u"乙"}, {u"丙"}});
    m.caretAt(1, 1);
    m.type(u"丁");
    m.model.replaceContent(chapterOf({{u"甲"}, {u"乙丁"}, {u"int a;"}, {u"int b;"}, {u"丙"}}));
    EXPECT_TRUE(m.model.document().modified);
    EXPECT_EQ(m.texts(), (std::vector<std::u16string>{u"甲", u"乙丁", u"int a;", u"int b;", u"丙"}));
    EXPECT_EQ(m.model.caret().position.paragraph, 1u);
    m.expectLaidOut();

    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts(), (std::vector<std::u16string>{u"甲", u"乙丁", u"丙"}));
    m.expectLaidOut();
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts(), (std::vector<std::u16string>{u"甲", u"乙", u"丙"}));
    EXPECT_FALSE(m.model.canUndo());
    ASSERT_TRUE(m.model.redo());
    ASSERT_TRUE(m.model.redo());
    EXPECT_EQ(m.texts(), (std::vector<std::u16string>{u"甲", u"乙丁", u"int a;", u"int b;", u"丙"}));
    m.expectLaidOut();

    // Fewer paragraphs than the caret's index: the caret moves to the last.
    m.caretAt(4, 0);
    m.model.replaceContent(chapterOf({{u"只"}}));
    EXPECT_EQ(m.model.caret().position.paragraph, 0u);
    ASSERT_TRUE(m.model.undo());
    EXPECT_EQ(m.texts().size(), 5u);
}

}  // namespace
}  // namespace veyla::view
