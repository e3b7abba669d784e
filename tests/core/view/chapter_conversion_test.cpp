// SPDX-License-Identifier: MIT
#include "core/view/chapter_conversion.h"

#include <gtest/gtest.h>

#include "core/library/chapter_file.h"
#include "support/test_support.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;
using test::paragraphText;

const LayoutEngine& engine()
{
    static const LayoutEngine instance(test::smallParams());
    return instance;
}

TEST(ChapterConversion, EmptyDocumentIsOneParagraphOneLineOneLineEnd)
{
    for (const auto& document : {LayoutDocument::empty(), documentFromChapter(library::Chapter{}, engine())}) {
        ASSERT_EQ(document.paragraphs.size(), 1u);
        ASSERT_EQ(document.paragraphs[0].lines.size(), 1u);
        ASSERT_EQ(document.paragraphs[0].lines[0].glyphs.size(), 1u);
        EXPECT_EQ(document.paragraphs[0].lines[0].glyphs[0].ch, u'\r');
    }
}

TEST(ChapterConversion, OneFinalLineEndIsTheParagraphsOwnEnd)
{
    const auto document = documentFromChapter(chapterOf({{u"甲\r\n"}, {u"乙\r"}, {u"\r"}}), engine());
    ASSERT_EQ(document.paragraphs.size(), 3u);
    EXPECT_EQ(paragraphText(document.paragraphs[0]), u"甲");
    EXPECT_EQ(paragraphText(document.paragraphs[1]), u"乙");
    EXPECT_EQ(paragraphText(document.paragraphs[2]), u"");
}

TEST(ChapterConversion, LineBreaksStartCodeLinesButTextParagraphs)
{
    const auto document = documentFromChapter(chapterOf({{u"a\r\n  b\nc", 1}, {u"x\ry", 0}}), engine());
    ASSERT_EQ(document.paragraphs.size(), 3u);
    const auto& code = document.paragraphs[0];
    ASSERT_EQ(code.lines.size(), 3u);
    EXPECT_EQ(test::lineText(code.lines[1]), u"  b");
    EXPECT_FALSE(code.lines[1].continuation);
    EXPECT_EQ(paragraphText(document.paragraphs[1]), u"x");
    EXPECT_EQ(paragraphText(document.paragraphs[2]), u"y");
    EXPECT_EQ(document.paragraphs[2].isCode(), false);
}

TEST(ChapterConversion, SurrogatePairIsOneGlyph)
{
    const auto document = documentFromChapter(chapterOf({{u"a𠀀b"}}), engine());
    const auto& glyphs = document.paragraphs[0].lines[0].glyphs;
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[1].ch, u'\xD840');
    EXPECT_EQ(glyphs[1].low, u'\xDC00');
    EXPECT_EQ(glyphs[1].text(), u"𠀀");
    EXPECT_EQ(glyphs[2].low, 0);
}

TEST(ChapterConversion, SavingKeepsAttributesAndEmptyParagraphs)
{
    library::Chapter chapter = chapterOf({{u"甲"}, {u"\r"}, {u"f();\r\ng();", 1}});
    chapter.version = 3;
    chapter.paragraphs[0].fontFace = u"隶书";
    chapter.paragraphs[0].fontSize = 30;
    chapter.paragraphs[0].lineSpacing = 4;
    chapter.paragraphs[0].verticalBar = 2;
    chapter.paragraphs[0].horizontalLine = 5;
    chapter.paragraphs[0].paragraphPicture = 6;
    chapter.paragraphs[0].annotation = 9;
    const library::Chapter saved = chapterFromDocument(documentFromChapter(chapter, engine()), engine());
    ASSERT_EQ(saved.paragraphs.size(), 3u);
    EXPECT_EQ(saved.version, 3);
    const auto& first = saved.paragraphs[0];
    EXPECT_EQ(first.fontFace, std::optional<std::u16string>(u"隶书"));
    EXPECT_EQ(first.fontSize, 30);
    EXPECT_EQ(first.lineSpacing, 4);
    EXPECT_EQ(first.verticalBar, 2);
    EXPECT_EQ(first.horizontalLine, 5);
    EXPECT_EQ(first.paragraphPicture, 6);
    EXPECT_EQ(first.annotation, 9);
    EXPECT_EQ(saved.paragraphs[1].text(), u"\r");
    EXPECT_EQ(saved.paragraphs[2].text(), u"f();\r\ng();");
    EXPECT_EQ(saved.paragraphs[2].code, 1);
}

TEST(ChapterConversion, EmptyLastCodeLineSurvivesSaving)
{
    const auto document = documentFromChapter(chapterOf({{u"f();\r\n\r\n", 1}}), engine());
    ASSERT_EQ(document.paragraphs[0].lines.size(), 2u);
    const library::Chapter saved = chapterFromDocument(document, engine());
    EXPECT_EQ(saved.paragraphs[0].text(), u"f();\r\n\r");
    EXPECT_EQ(documentFromChapter(saved, engine()).paragraphs[0].lines.size(), 2u);
}

TEST(ChapterConversion, ParagraphAnnotationSurvivesTheFile)
{
    veyla::test::TempDir dir;
    library::Chapter chapter = chapterOf({{u"甲"}});
    chapter.paragraphs[0].annotation = 7;
    ASSERT_TRUE(library::writeChapter(dir / "c.xml", chapter, {}).ok());
    auto read = library::readChapter(dir / "c.xml", {});
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->paragraphs[0].annotation, 7);
}

TEST(ChapterConversion, CorpusChapterSurvivesOpenAndSave)
{
    VEYLA_REQUIRE_CORPUS();
    const std::u16string text = test::corpusText(60000);
    ASSERT_EQ(text.size(), 60000u);
    veyla::test::TempDir dir;
    const auto path = dir / "西游记/0001_第一回.xml";
    ASSERT_TRUE(library::writeChapterFromText(path, text, library::TextForm::Import).ok());
    auto chapter = library::readChapter(path, {});
    ASSERT_TRUE(chapter.ok());
    const LayoutEngine wide(LayoutParams{});
    const LayoutDocument document = documentFromChapter(*chapter, wide);
    EXPECT_EQ(document.paragraphs.size(), chapter->paragraphs.size());
    const library::Chapter saved = chapterFromDocument(document, wide);
    ASSERT_EQ(saved.paragraphs.size(), chapter->paragraphs.size());
    for (std::size_t p = 0; p < saved.paragraphs.size(); ++p) {
        std::u16string expected = chapter->paragraphs[p].text();
        while (!expected.empty() && (expected.back() == u'\r' || expected.back() == u'\n'))
            expected.pop_back();
        ASSERT_EQ(saved.paragraphs[p].text(), expected.empty() ? u"\r" : expected) << p;
    }
    // The layout is continuous: every paragraph starts where the one before ends.
    for (std::size_t p = 1; p < document.paragraphs.size(); ++p)
        ASSERT_EQ(document.paragraphs[p].top, document.paragraphs[p - 1].bottom);
}

}  // namespace
}  // namespace veyla::view
