// SPDX-License-Identifier: MIT
#include "core/view/annotations.h"

#include <gtest/gtest.h>

#include "core/view/chapter_conversion.h"
#include "core/view/editor.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

using test::chapterOf;

LayoutDocument documentOf(const std::vector<test::ParagraphSpec>& paragraphs)
{
    return documentFromChapter(chapterOf(paragraphs), LayoutEngine(test::smallParams()));
}

std::vector<int> annotationsOf(const LayoutDocument& document)
{
    std::vector<int> numbers;
    for (const auto& paragraph : document.paragraphs)
        numbers.push_back(paragraph.annotation);
    return numbers;
}

TEST(Annotations, ConsecutiveNumbersWrapFromTwentyToOne)
{
    auto document = documentOf({{u"一"}, {u"二"}, {u"三"}, {u"四"}, {u"五"}});
    const int next = annotateParagraphs(document, 1, AnnotationRange::Consecutive, 19);
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{0, 19, 20, 1, 2}));
    EXPECT_EQ(next, 3);
}

TEST(Annotations, NoneWithConsecutiveClearsFromTheCaretOn)
{
    auto document = documentOf({{u"一"}, {u"二"}, {u"x;", 1}, {u"四"}});
    annotateParagraphs(document, 0, AnnotationRange::Consecutive, 5);
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{5, 6, 0, 7}));
    applyAnnotation(document, 1, AnnotationTarget::Paragraphs, AnnotationRange::Consecutive, 0);
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{5, 0, 0, 0}));
    EXPECT_TRUE(document.modified);
}

TEST(Annotations, ConsecutiveOnCodeNumbersCodeAndIntroducesIt)
{
    auto document = documentOf({{u"a;", 1}, {u"说明"}, {u"b;", 1}, {u"尾"}});
    annotateParagraphs(document, 0, AnnotationRange::Consecutive, 20);
    // Code paragraphs count 20, 1; the text before the second code paragraph gets current mod 20 + 1.
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{20, 2, 1, 0}));
}

TEST(Annotations, UniformRules)
{
    // In text: every text paragraph in the caret paragraph's state.
    auto text = documentOf({{u"一"}, {u"二"}, {u"三"}, {u"x;", 1}});
    text.paragraphs[1].annotation = 4;
    annotateParagraphs(text, 0, AnnotationRange::Uniform, 9);
    EXPECT_EQ(annotationsOf(text), (std::vector<int>{9, 4, 9, 0}));
    annotateParagraphs(text, 1, AnnotationRange::Uniform, 2);
    EXPECT_EQ(annotationsOf(text), (std::vector<int>{2, 2, 2, 0}));
    // In code: every code paragraph, and text directly before code gets the next number.
    auto code = documentOf({{u"一"}, {u"引言"}, {u"x;", 1}, {u"y;", 1}});
    annotateParagraphs(code, 3, AnnotationRange::Uniform, 20);
    EXPECT_EQ(annotationsOf(code), (std::vector<int>{0, 1, 20, 20}));
}

TEST(Annotations, ThisParagraphAndOutOfTableNumbers)
{
    auto document = documentOf({{u"一"}, {u"二"}});
    annotateParagraphs(document, 1, AnnotationRange::ThisParagraph, 3);
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{0, 3}));
    // 22 and 28 (the defaults of the settings) stand for none.
    annotateParagraphs(document, 1, AnnotationRange::ThisParagraph, 22);
    EXPECT_EQ(annotationsOf(document), (std::vector<int>{0, 0}));
    EXPECT_EQ(annotationStylePicture(20), u"20.png");
    EXPECT_EQ(annotationStylePicture(28), u"0.png");
}

TEST(Annotations, CharacterRunsMarkTheSelectedGlyphs)
{
    LayoutEngine engine(test::smallParams());
    auto document = documentFromChapter(chapterOf({{u"一二三四五六七八"}}), engine);
    Caret caret;
    Editor editor(document, engine, caret);
    auto& glyphs = document.paragraphs[0].lines[0].glyphs;
    glyphs[1].noteMark = true;
    editor.selectRange({0, 0, 0}, {0, 0, 5});
    applyAnnotation(document, 0, AnnotationTarget::CharacterRuns, AnnotationRange::ThisParagraph, 3);
    editor.selectRange({0, 0, 5}, {0, 0, 7});
    applyAnnotation(document, 0, AnnotationTarget::CharacterRuns, AnnotationRange::ThisParagraph, 4);
    EXPECT_FALSE(editor.hasSelection());
    EXPECT_FALSE(glyphs[1].noteMark);
    EXPECT_EQ(taggedTextOf(document.paragraphs[0], engine), u"[F3]一二三四五[/F][F4]六七[/F]八");
    const auto runs = markedRuns(document, 0, 0, 1);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].number, 3);
    EXPECT_EQ(runs[0].first, (TextPosition{0, 0, 0}));
    EXPECT_EQ(runs[0].last, (TextPosition{0, 0, 4}));
    EXPECT_DOUBLE_EQ(runs[0].left, glyphs[0].left);
    EXPECT_DOUBLE_EQ(runs[0].right, glyphs[4].right);
    EXPECT_DOUBLE_EQ(runs[0].bottom, document.paragraphs[0].lines[0].glyphBottom(glyphs[0]));
    EXPECT_EQ(runs[1].number, 4);
    EXPECT_DOUBLE_EQ(runs[1].left, glyphs[5].left);
}

TEST(Annotations, MarkedRunsEndAtLineEnds)
{
    LayoutEngine engine(test::smallParams());
    auto document = documentFromChapter(chapterOf({{u"[F2]" + std::u16string(25, u'字') + u"[/F]"}}), engine);
    ASSERT_EQ(document.paragraphs[0].lines.size(), 2u);
    const auto runs = markedRuns(document, 0, 0, 2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].first, (TextPosition{0, 1, 0}));
}

TEST(DecorationToggle, RangesAssignIndexesOfTheRightKind)
{
    // Five pictures: indexes 1…4.
    auto document = documentOf({{u"一"}, {u"x;", 1}, {u"三"}, {u"四"}, {u"五"}});
    RandomEngine engine(7);
    applyDecorationToggle(document, 0, DecorationSlot::Decoration, Toggle::On, AnnotationRange::ThisParagraph, 5,
                          20, engine);
    EXPECT_GE(document.paragraphs[0].decoration, 1);
    EXPECT_LE(document.paragraphs[0].decoration, 4);
    EXPECT_EQ(document.paragraphs[2].decoration, 0);

    const auto uniform = applyDecorationToggle(document, 2, DecorationSlot::HorizontalLine, Toggle::On,
                                               AnnotationRange::Uniform, 5, 20, engine, 3);
    EXPECT_EQ(uniform, std::optional<int>(3));
    for (std::size_t p : {0u, 2u, 3u, 4u})
        EXPECT_EQ(document.paragraphs[p].horizontalLine, 3) << p;
    EXPECT_EQ(document.paragraphs[1].horizontalLine, 0);  // code is of the other kind

    applyDecorationToggle(document, 2, DecorationSlot::ParagraphPicture, Toggle::On, AnnotationRange::Consecutive,
                          5, 20, engine);
    const int first = document.paragraphs[2].paragraphPicture;
    const int second = first % 4 + 1;
    EXPECT_EQ(document.paragraphs[3].paragraphPicture, second);
    EXPECT_EQ(document.paragraphs[4].paragraphPicture, second % 4 + 1);
    EXPECT_EQ(document.paragraphs[0].paragraphPicture, 0);  // before the caret

    applyDecorationToggle(document, 2, DecorationSlot::ParagraphPicture, Toggle::Off, AnnotationRange::Consecutive,
                          5, 20, engine);
    EXPECT_EQ(document.paragraphs[3].paragraphPicture, 0);
}

TEST(DecorationToggle, NeedsTwoPicturesAndTallParagraphs)
{
    auto document = documentOf({{u"一"}});
    RandomEngine engine(1);
    EXPECT_EQ(applyDecorationToggle(document, 0, DecorationSlot::Decoration, Toggle::On, AnnotationRange::Uniform,
                                    1, 20, engine),
              std::nullopt);
    EXPECT_EQ(document.paragraphs[0].decoration, 0);
    // A paragraph 32 pixels high is not taller than a text size of 40.
    applyDecorationToggle(document, 0, DecorationSlot::Decoration, Toggle::On, AnnotationRange::Uniform, 3, 40,
                          engine, 2);
    EXPECT_EQ(document.paragraphs[0].decoration, 0);
}

}  // namespace
}  // namespace veyla::view
