// SPDX-License-Identifier: MIT
#include "core/view/editor.h"

#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;
using test::paragraphText;

// A document, its engine and caret, and an editor over them.
struct Fixture {
    LayoutEngine engine{test::smallParams()};
    LayoutDocument document;
    Caret caret;

    explicit Fixture(const std::vector<test::ParagraphSpec>& paragraphs)
        : document(documentFromChapter(chapterOf(paragraphs), engine))
    {
    }
    Editor editor() { return Editor(document, engine, caret); }
    std::u16string text(std::size_t p) const { return paragraphText(document.paragraphs[p]); }
    // Puts the caret before logical glyph `offset` of paragraph p.
    void caretAt(std::size_t p, std::size_t offset)
    {
        const auto [line, glyph] = positionOfOffset(document.paragraphs[p], offset);
        editor().setCaret({p, line, glyph});
    }
    std::size_t caretOffset() const
    {
        return logicalOffset(document.paragraphs[caret.position.paragraph], caret.position.line,
                             caret.position.glyph);
    }
    void expectLaidOut() const
    {
        LayoutDocument fresh = document;
        engine.layoutDocument(fresh);
        for (std::size_t p = 0; p < document.paragraphs.size(); ++p)
            EXPECT_EQ(document.paragraphs[p].top, fresh.paragraphs[p].top) << p;
        EXPECT_EQ(document.height, fresh.height);
    }
};

TEST(Editor, TypingInsertsBeforeTheCaretAndMarksTheDocument)
{
    Fixture f({{u"甲丙"}, {u"丁"}});
    f.caretAt(0, 1);
    ASSERT_TRUE(f.editor().typeCharacter(u'乙').ok());
    EXPECT_EQ(f.text(0), u"甲乙丙");
    EXPECT_EQ(f.caretOffset(), 2u);
    EXPECT_TRUE(f.document.modified);
    EXPECT_EQ(f.document.typedCount, 1);
    // Backspace (8) and line feed (10) are ignored.
    ASSERT_TRUE(f.editor().typeCharacter(u'\b').ok());
    ASSERT_TRUE(f.editor().typeCharacter(u'\n').ok());
    EXPECT_EQ(f.text(0), u"甲乙丙");
    ASSERT_TRUE(f.editor().typeCharacter(u'\t').ok());
    EXPECT_EQ(f.text(0), u"甲乙\t丙");
    f.expectLaidOut();
}

TEST(Editor, TypingIntoAFullLineMovesTheOverflowToTheNextLine)
{
    Fixture f({{std::u16string(18, u'字')}});
    ASSERT_EQ(f.document.paragraphs[0].lines.size(), 1u);
    f.caretAt(0, 18);
    ASSERT_TRUE(f.editor().typeCharacter(u'新').ok());
    const auto& lines = f.document.paragraphs[0].lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(test::lineText(lines[1]), u"新");
    // The caret follows the new character onto the new line.
    EXPECT_EQ(f.caret.position.line, 1u);
    EXPECT_EQ(f.caret.position.glyph, 1u);
    f.expectLaidOut();
}

TEST(Editor, LineBreakInTextEndsTheParagraph)
{
    Fixture f({{u"甲乙"}, {u"丙"}});
    f.document.paragraphs[0].annotation = 4;
    f.caretAt(0, 1);
    ASSERT_TRUE(f.editor().typeCharacter(u'\r').ok());
    ASSERT_EQ(f.document.paragraphs.size(), 3u);
    EXPECT_EQ(f.text(0), u"甲");
    EXPECT_EQ(f.text(1), u"乙");
    EXPECT_EQ(f.document.paragraphs[1].annotation, 4);
    EXPECT_EQ(f.caret.position, (TextPosition{1, 0, 0}));
    f.expectLaidOut();
}

TEST(Editor, LineBreakInCodeWithAFollowingLineIndentsLikeTheLineAbove)
{
    Fixture f({{u"    if (x) {\r\n    }", 1}});
    f.caretAt(0, 12);  // after "{"
    ASSERT_TRUE(f.editor().insertLineBreak().ok());
    ASSERT_EQ(f.document.paragraphs.size(), 1u);
    EXPECT_EQ(f.text(0), u"    if (x) {\r    \r    }");
    EXPECT_EQ(f.caretOffset(), 17u);
    // On the last line of the code paragraph a line break starts a new paragraph.
    f.caretAt(0, logicalLength(f.document.paragraphs[0]));
    ASSERT_TRUE(f.editor().insertLineBreak().ok());
    EXPECT_EQ(f.document.paragraphs.size(), 2u);
}

TEST(Editor, BackspaceDeletesBeforeTheCaretAndJoinsParagraphs)
{
    Fixture f({{u"甲乙"}, {u"丙"}});
    f.caretAt(1, 0);
    f.editor().backspace();
    ASSERT_EQ(f.document.paragraphs.size(), 1u);
    EXPECT_EQ(f.text(0), u"甲乙丙");
    EXPECT_EQ(f.caretOffset(), 2u);
    f.editor().backspace();
    EXPECT_EQ(f.text(0), u"甲丙");
    f.caretAt(0, 0);
    EXPECT_FALSE(f.editor().backspace().changed);
    f.expectLaidOut();
}

TEST(Editor, BackspaceAtTheStartOfAContinuationLineDeletesTheCharacterBefore)
{
    Fixture f({{std::u16string(18, u'甲') + u"乙丙"}});
    ASSERT_EQ(f.document.paragraphs[0].lines.size(), 2u);
    f.editor().setCaret({0, 1, 0});
    f.editor().backspace();
    EXPECT_EQ(f.text(0), std::u16string(17, u'甲') + u"乙丙");
    // With room again the next line's first character is pulled back.
    EXPECT_EQ(test::lineText(f.document.paragraphs[0].lines[0]), std::u16string(17, u'甲') + u"乙");
}

TEST(Editor, DeleteKeyDeletesOnlyASelection)
{
    Fixture f({{u"甲乙丙"}});
    f.caretAt(0, 1);
    EXPECT_FALSE(f.editor().deleteKey().changed);
    EXPECT_EQ(f.text(0), u"甲乙丙");
    f.editor().selectRange({0, 0, 1}, {0, 0, 2});
    EXPECT_TRUE(f.editor().deleteKey().changed);
    EXPECT_EQ(f.text(0), u"甲丙");
    EXPECT_FALSE(f.editor().hasSelection());
}

TEST(Editor, CopyAcrossTwoParagraphsSeparatesThemWithCrLf)
{
    Fixture f({{u"甲乙"}, {u"丙丁"}});
    f.editor().selectRange({0, 0, 1}, {1, 0, 1});
    EXPECT_EQ(f.editor().copySelection(), u"乙\r\n丙");
}

TEST(Editor, CopyRules)
{
    Fixture f({{u"ab\r\ncd", 1}, {u"甲𠀀"}});
    f.editor().selectAll();
    // In code a line end gives "\r\n"; a surrogate pair is copied whole.
    EXPECT_EQ(f.editor().copySelection(), u"ab\r\ncd\r\n甲𠀀");
    f.editor().clearSelection();
    EXPECT_EQ(f.editor().copySelection(), u"");
}

TEST(Editor, CutCopiesThenDeletesAcrossParagraphs)
{
    Fixture f({{u"甲乙"}, {u"丙丁"}, {u"戊"}});
    f.editor().selectRange({0, 0, 1}, {1, 0, 1});
    EXPECT_EQ(f.editor().cutSelection(), u"乙\r\n丙");
    ASSERT_EQ(f.document.paragraphs.size(), 2u);
    EXPECT_EQ(f.text(0), u"甲丁");
    EXPECT_EQ(f.text(1), u"戊");
    EXPECT_EQ(f.caretOffset(), 1u);
    f.expectLaidOut();
}

TEST(Editor, PasteSkipsNotSignsAndLineFeedsAndKeepsPairsTogether)
{
    Fixture f({{u"甲乙"}});
    f.caretAt(0, 1);
    ASSERT_TRUE(f.editor().paste(u"a¬b\bc𠀀\r\nd").ok());
    ASSERT_EQ(f.document.paragraphs.size(), 2u);
    EXPECT_EQ(f.text(0), u"甲abc𠀀");
    EXPECT_EQ(f.text(1), u"d乙");
    EXPECT_EQ(f.document.paragraphs[0].lines[0].glyphs[4].low, u'\xDC00');
    EXPECT_EQ(f.caret.position.paragraph, 1u);
    EXPECT_EQ(f.caretOffset(), 1u);
    // Pasting is not typing.
    EXPECT_EQ(f.document.typedCount, 0);
    f.expectLaidOut();
}

TEST(Editor, PastedLineEndsOfEveryKindEndParagraphs)
{
    struct Case {
        const char* name;
        std::u16string clipboard;
    };
    // Windows, Linux and old Mac line ends, and a mixture of them.
    const Case cases[] = {
        {"CR LF", u"一\r\n二\r\n三"},
        {"LF only", u"一\n二\n三"},
        {"CR only", u"一\r二\r三"},
        {"mixed", u"一\n二\r\n三"},
    };
    for (const auto& c : cases) {
        Fixture f({{u"甲乙"}});
        f.caretAt(0, 1);
        ASSERT_TRUE(f.editor().paste(c.clipboard).ok()) << c.name;
        ASSERT_EQ(f.document.paragraphs.size(), 3u) << c.name;
        EXPECT_EQ(f.text(0), u"甲一") << c.name;
        EXPECT_EQ(f.text(1), u"二") << c.name;
        EXPECT_EQ(f.text(2), u"三乙") << c.name;
    }
    // An empty line between two lines is an empty paragraph, whatever ends it.
    Fixture f({{u""}});
    ASSERT_TRUE(f.editor().paste(u"a\n\nb").ok());
    ASSERT_EQ(f.document.paragraphs.size(), 3u);
    EXPECT_EQ(f.text(1), u"");
}

TEST(Editor, PasteIntoAPictureBoxIsRefused)
{
    Fixture f({{u"甲"}});
    ParagraphBox picture;
    picture.kind = BoxKind::Picture;
    picture.pictureHeight = 80;
    f.document.paragraphs.push_back(picture);
    f.engine.layoutDocument(f.document);
    f.editor().setCaret({1, 0, 0});
    const auto pasted = f.editor().paste(u"x");
    ASSERT_FALSE(pasted.ok());
    EXPECT_EQ(pasted.code(), ErrorCode::NotTextBox);
    EXPECT_EQ(f.editor().typeCharacter(u'x').code(), ErrorCode::NotTextBox);
    EXPECT_EQ(f.text(0), u"甲");
    EXPECT_FALSE(f.document.modified);
}

TEST(Editor, SelectionIsFoundAfterParagraphsMoved)
{
    Fixture f({{u"甲乙"}, {u"丙"}, {u"丁戊"}});
    f.editor().selectRange({2, 0, 1}, {2, 0, 2});
    f.caretAt(0, 1);
    ASSERT_TRUE(f.editor().insertLineBreak().ok());  // the selection is now in paragraph 3
    EXPECT_TRUE(f.editor().hasSelection());
    EXPECT_EQ(f.editor().copySelection(), u"戊");
    f.editor().clearSelection();
    for (const auto& paragraph : f.document.paragraphs)
        for (const auto& line : paragraph.lines)
            for (const auto& glyph : line.glyphs)
                EXPECT_FALSE(glyph.selected);
}

TEST(Editor, WordCountCountsHanziAndAllButBlanks)
{
    Fixture f({{u"春眠不觉，ab"}});
    EXPECT_EQ(f.editor().wordCount().hanzi, 4);
    EXPECT_EQ(f.editor().wordCount().all, 7);
    Fixture blanks({{u"甲 乙\u3000丙"}, {u"x"}});
    EXPECT_EQ(blanks.editor().wordCount().hanzi, 3);
    EXPECT_EQ(blanks.editor().wordCount().all, 4);
}

TEST(Editor, CaretCrossesLineEndsAndParagraphs)
{
    Fixture f({{u"甲"}, {u"乙丙"}});
    auto edit = f.editor();
    EXPECT_FALSE(edit.moveCaret(CaretMove::Left));
    EXPECT_TRUE(edit.moveCaret(CaretMove::Right));
    EXPECT_EQ(f.caret.position, (TextPosition{0, 0, 1}));  // on the line end
    EXPECT_TRUE(edit.moveCaret(CaretMove::Right));
    EXPECT_EQ(f.caret.position, (TextPosition{1, 0, 0}));
    EXPECT_TRUE(edit.moveCaret(CaretMove::Left));
    EXPECT_EQ(f.caret.position, (TextPosition{0, 0, 1}));
    EXPECT_TRUE(edit.moveCaret(CaretMove::Down));
    EXPECT_EQ(f.caret.position.paragraph, 1u);
    EXPECT_TRUE(edit.moveCaret(CaretMove::Up));
    EXPECT_EQ(f.caret.position.paragraph, 0u);
    EXPECT_FALSE(edit.moveCaret(CaretMove::Up));
}

TEST(Editor, UpAndDownKeepTheColumn)
{
    Fixture f({{std::u16string(40, u'字')}});
    ASSERT_EQ(f.document.paragraphs[0].lines.size(), 3u);
    f.editor().setCaret({0, 1, 5});
    const double x = f.editor().caretX();
    f.editor().moveCaret(CaretMove::Down);  // the short last line: its end
    EXPECT_EQ(f.caret.position.line, 2u);
    EXPECT_EQ(f.caret.position.glyph, 2u);
    f.editor().moveCaret(CaretMove::Up);
    EXPECT_EQ(f.caret.position.line, 1u);
    EXPECT_DOUBLE_EQ(f.editor().caretX(), x);
}

TEST(Editor, PositionAtFindsTheGlyphUnderAPoint)
{
    Fixture f({{u"甲乙"}, {u"丙"}});
    const auto& glyph = f.document.paragraphs[0].lines[0].glyphs[1];
    const int top = f.document.paragraphs[0].lines[0].top;
    EXPECT_EQ(positionAt(f.document, glyph.left + 1, top + 1), (TextPosition{0, 0, 1}));
    EXPECT_EQ(positionAt(f.document, glyph.right - 1, top + 1), (TextPosition{0, 0, 2}));
    EXPECT_EQ(positionAt(f.document, 5000, f.document.paragraphs[1].top + 2), (TextPosition{1, 0, 1}));
    EXPECT_EQ(positionAt(f.document, 0, 0), (TextPosition{0, 0, 0}));
}

}  // namespace
}  // namespace veyla::view
