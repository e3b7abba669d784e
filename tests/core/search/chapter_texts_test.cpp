// SPDX-License-Identifier: MIT
#include "core/search/chapter_texts.h"

#include <gtest/gtest.h>

#include <random>

#include "core/library/chapter_file.h"
#include "support/test_support.h"

namespace veyla::search {
namespace {

using Strings = std::vector<std::u16string>;

// What the chapter reader makes of xml, as paragraph texts.
Result<Strings> readerTexts(std::u16string_view xml)
{
    auto chapter = library::parseChapter(xml, {});
    if (!chapter)
        return chapter.error();
    Strings texts;
    for (const auto& paragraph : chapter->paragraphs)
        texts.push_back(paragraph.text());
    return texts;
}

std::u16string sampleChapterXml()
{
    library::Chapter chapter;
    for (std::u16string text : {u"第一段 <a> & \"b\" 'c'", u"第二段", u"  有空白  ", u"\r"}) {
        library::Paragraph paragraph;
        paragraph.runs.push_back({text, {}});
        paragraph.runs.push_back({u"[F3]注[/F]", {}});
        paragraph.fontFace = u"宋体 & <x>";
        paragraph.code = 1;
        chapter.paragraphs.push_back(paragraph);
    }
    return library::chapterToXml(chapter, {});
}

TEST(ChapterTexts, WhatTheProgramWritesTakesTheQuickPath)
{
    const std::u16string text = u"第一行\n\n　　第二行 <&>\r\n第三行\r\n\r\n";
    const std::u16string written[] = {
        library::chapterXmlFromText(text, library::TextForm::Import),
        library::chapterXmlFromText(text, library::TextForm::NewFile, 2, 60),
        library::chapterXmlFromText(u"", library::TextForm::Import),
        sampleChapterXml(),
        library::chapterXmlFromText(veyla::test::novelText(20000), library::TextForm::Import),
    };
    for (const auto& xml : written) {
        const auto quick = plainChapterParagraphs(xml);
        ASSERT_TRUE(quick.has_value()) << library::chapterBytes(xml).substr(0, 200);
        EXPECT_EQ(*quick, readerTexts(xml).value());
    }
}

TEST(ChapterTexts, OtherShapesAreReadByTheFullReader)
{
    const std::u16string_view shapes[] = {
        u"<?xml version=\"1.0\"?><Page><Body><Chunk><Chunk>甲</Chunk></Chunk></Body></Page>",
        u"<Page><!-- 注 --><Body><Chunk><Chunk>甲</Chunk></Chunk></Body></Page>",
        u"<Page><Body><Chunk><Chunk><![CDATA[<乙>]]></Chunk></Chunk></Body></Page>",
        u"<Page><Body><Chunk><Chunk Type=\"R1\"><Chunk>丙</Chunk></Chunk></Chunk></Body></Page>",
        u"<Page><Body><Other/><Chunk><Chunk>丁</Chunk></Chunk></Body></Page>",
        u"<Page><Body>stray<Chunk><Chunk>戊</Chunk></Chunk></Body></Page>",
        u"<Page><Body><Chunk><Chunk >己</Chunk ></Chunk></Body></Page><Page/>",
        u"\uFEFF<Page><Body><Chunk><Chunk>庚</Chunk></Chunk></Body></Page>",
        u"<Page><Body><Chunk><Chunk>辛",
    };
    for (std::u16string_view xml : shapes) {
        EXPECT_FALSE(plainChapterParagraphs(xml).has_value()) << xml.size();
        auto texts = paragraphTexts(xml);
        ASSERT_TRUE(texts.ok());
        EXPECT_EQ(*texts, readerTexts(xml).value());
    }
}

// Damaged copies of a chapter: whatever the quick path accepts, it reads
// as the full reader does.
TEST(ChapterTexts, QuickPathAgreesWithTheReaderOnDamagedChapters)
{
    const std::u16string original = sampleChapterXml();
    const std::u16string_view inserts[] = {u"<", u">", u"/", u"&", u"\"", u"'", u" ", u"\r\n", u"Chunk", u"=",
                                           u"</Chunk>", u"<Chunk>", u"&lt;", u"&#x41;", u"/>"};
    std::mt19937 random(20240611);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::u16string xml = original;
        for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) {
            const std::size_t at = random() % (xml.size() + 1);
            switch (random() % 8) {
            case 0: xml.resize(at); break;
            case 1:
            case 2: xml.erase(at, 1 + random() % 8); break;
            default: xml.insert(at, inserts[random() % std::size(inserts)]); break;
            }
        }
        const auto quick = plainChapterParagraphs(xml);
        const auto reader = readerTexts(xml);
        if (!quick)
            continue;
        ++accepted;
        ASSERT_TRUE(reader.ok()) << library::chapterBytes(xml);
        ASSERT_EQ(*quick, *reader) << library::chapterBytes(xml);
    }
    EXPECT_GT(accepted, 200);
}

TEST(ChapterTexts, FilesThatAreNoChaptersFail)
{
    veyla::test::TempDir dir;
    EXPECT_EQ(readParagraphTexts(dir / "missing.xml").code(), ErrorCode::FileUnavailable);
    veyla::test::writeBytes(dir / "text.xml", "plain bytes, no XML at all");
    EXPECT_EQ(readParagraphTexts(dir / "text.xml").code(), ErrorCode::NotChapterFormat);
    veyla::test::writeBytes(dir / "empty.xml", "");
    EXPECT_EQ(readParagraphTexts(dir / "empty.xml").code(), ErrorCode::NotChapterFormat);
    (void)library::writeChapterFromText(dir / "good.xml", u"甲\n乙", library::TextForm::Import);
    EXPECT_EQ(readParagraphTexts(dir / "good.xml").value(), (Strings{u"甲", u"乙"}));
}

}  // namespace
}  // namespace veyla::search
