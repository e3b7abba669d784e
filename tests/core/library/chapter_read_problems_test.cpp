// SPDX-License-Identifier: MIT
// Chapter files in shapes the program does not write: reading keeps every
// text it can find and lists what it could not take as written; appending
// never writes back a file it could not read whole.
#include "core/library/chapter_file.h"

#include <gtest/gtest.h>

#include "core/library/xml_cursor.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::library {
namespace {

namespace fs = std::filesystem;

std::u16string repeated(std::u16string_view piece, std::size_t times)
{
    std::u16string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::u16string page(std::u16string_view body)
{
    return u"<Page>\r\n<Body Type=\"C1\">\r\n" + std::u16string(body) + u"</Body>\r\n</Page>\r\n";
}

std::vector<std::u16string> paragraphTexts(const Chapter& chapter)
{
    std::vector<std::u16string> texts;
    for (const auto& paragraph : chapter.paragraphs)
        texts.push_back(paragraph.text());
    return texts;
}

struct Shape {
    const char* name;
    std::u16string xml;
    std::vector<std::u16string> paragraphs;  // what reading gives
    bool problems;                           // whether reading reports the file as not read whole
};

std::vector<Shape> shapes()
{
    const std::size_t depth = 200000;  // far deeper than any stack would take
    return {
        // Runs nested far below the paragraph: the text at the bottom is kept.
        {"deep nesting", page(u"<Chunk Type=\"R1\">" + repeated(u"<Chunk>", depth) + u"深处的文字" +
                              repeated(u"</Chunk>", depth) + u"</Chunk>\r\n"),
         {u"深处的文字"}, true},
        // A CDATA section that never ends: the rest of the file is its text, less the closing tags.
        {"unterminated CDATA", page(u"<Chunk Type=\"R1\">\r\n<Chunk>甲</Chunk>\r\n</Chunk>\r\n"
                                    u"<Chunk Type=\"R1\">\r\n<Chunk><![CDATA[未完 <b> 的文字</Chunk>\r\n</Chunk>\r\n"),
         {u"甲", u"未完 <b> 的文字"}, true},
        // Text beside the runs of a paragraph becomes runs of its own, in order.
        {"mixed text and elements", page(u"<Chunk Type=\"R1\">前面<Chunk>中间</Chunk>后面</Chunk>\r\n"),
         {u"前面中间后面"}, true},
        // A paragraph holding text but no run; text directly in Body.
        {"text without runs", page(u"<Chunk Type=\"R1\">独自</Chunk>\r\n游离\r\n<Chunk><Chunk>乙</Chunk></Chunk>\r\n"),
         {u"独自", u"游离", u"乙"}, true},
        // A nested frame keeps its text; its own attributes cannot be kept.
        {"nested frame", page(u"<Chunk Type=\"C2\"><Chunk>外</Chunk><Chunk Type=\"R1\" Size=\"40\"><Chunk>内</Chunk></Chunk></Chunk>"),
         {u"外内"}, true},
        // An empty CDATA paragraph holds no text: left out, nothing lost.
        {"empty CDATA paragraph", page(u"<Chunk Type=\"R1\">\r\n<Chunk><![CDATA[]]></Chunk>\r\n</Chunk>\r\n"
                                       u"<Chunk Type=\"R1\">\r\n<Chunk>丙</Chunk>\r\n</Chunk>\r\n"),
         {u"丙"}, false},
        // Text in an element beside Body is not shown, and said.
        {"text beside Body", u"<Page><Notes>旁注</Notes><Body><Chunk><Chunk>丁</Chunk></Chunk></Body></Page>",
         {u"丁"}, true},
        // Broken markup after the last paragraph.
        {"end tag without start", page(u"<Chunk><Chunk>戊</Chunk></Chunk></Chunk>"), {u"戊"}, true},
    };
}

TEST(ChapterReadProblems, EveryTextIsKeptAndProblemsAreListed)
{
    for (const auto& shape : shapes()) {
        auto chapter = parseChapter(shape.xml, {});
        ASSERT_TRUE(chapter.ok()) << shape.name;
        EXPECT_EQ(paragraphTexts(*chapter), shape.paragraphs) << shape.name;
        EXPECT_EQ(chapter->problems.any(), shape.problems) << shape.name;
        EXPECT_EQ(chapter->problems.descriptions.empty(), !shape.problems) << shape.name;
        EXPECT_FALSE(chapter->modified) << shape.name;  // reading alone never asks for a save
    }
}

TEST(ChapterReadProblems, FilesTheProgramWritesHaveNone)
{
    Chapter chapter;
    for (int i = 0; i < 20; ++i) {
        Paragraph p;
        p.fontSize = 22 + i % 3;
        p.code = i % 5 == 0;
        p.runs = {{u"段落 <" + utf16::number(i) + u"> & ]]>", {}}, {u"[F2]标[/F]", {}}};
        chapter.paragraphs.push_back(p);
    }
    const auto written = parseChapter(chapterToXml(chapter, {.retract = 2, .countInput = 9}), {});
    ASSERT_TRUE(written.ok());
    EXPECT_FALSE(written->problems.any());
    const auto fromText = parseChapter(chapterXmlFromText(u"一\n\n  二 <&>\r\n三", TextForm::NewFile, 2, 60), {});
    ASSERT_TRUE(fromText.ok());
    EXPECT_FALSE(fromText->problems.any());
    EXPECT_FALSE(parseChapter(chapterToXml(Chapter{}, {}), {})->problems.any());
}

TEST(ChapterReadProblems, ManyProblemsAreCountedButFewDescribed)
{
    std::u16string body;
    for (int i = 0; i < 50; ++i)
        body += u"<Chunk>散" + utf16::number(i) + u"</Chunk>";
    const auto chapter = parseChapter(page(body), {});
    ASSERT_TRUE(chapter.ok());
    EXPECT_EQ(chapter->paragraphs.size(), 50u);
    EXPECT_EQ(chapter->problems.count, 50u);
    EXPECT_EQ(chapter->problems.descriptions.size(), 8u);
}

TEST(ChapterReadProblems, AppendGoesIntoABodyWithoutParagraphs)
{
    test::TempDir dir;
    for (const auto* xml : {u"<Page>\r\n<Body>\r\n</Body>\r\n</Page>\r\n", u"<Page>\r\n</Page>\r\n",
                            u"<Page><Body Type=\"C0\"/></Page>"}) {
        const fs::path path = dir / "00笔记/空.xml";
        test::writeBytes(path, chapterBytes(xml));
        ASSERT_TRUE(appendTextToChapter(path, u"新的一行\n第二行").ok());
        auto back = readChapter(path, {});
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(paragraphTexts(*back), (std::vector<std::u16string>{u"新的一行", u"第二行"}));
        EXPECT_FALSE(back->problems.any());
    }
}

// Appending writes the file back through the cursor: a file it cannot give
// back whole is left byte-identical; any other keeps all its text.
TEST(ChapterReadProblems, AppendNeverLosesWhatTheFileHolds)
{
    test::TempDir dir;
    std::vector<std::string> refused;
    for (const auto& shape : shapes()) {
        const fs::path path = dir / "00笔记/乱.xml";
        const std::string bytes = chapterBytes(shape.xml);
        test::writeBytes(path, bytes);
        const Status appended = appendTextToChapter(path, u"追加");
        if (!appended) {
            EXPECT_EQ(appended.code(), ErrorCode::NotChapterXml) << shape.name;
            EXPECT_EQ(test::readBytes(path), bytes) << shape.name;
            refused.push_back(shape.name);
            continue;
        }
        auto back = readChapter(path, {});
        ASSERT_TRUE(back.ok()) << shape.name;
        auto expected = shape.paragraphs;
        expected.push_back(u"追加");
        EXPECT_EQ(paragraphTexts(*back), expected) << shape.name;
    }
    EXPECT_EQ(refused, (std::vector<std::string>{"unterminated CDATA", "mixed text and elements", "text without runs",
                                                 "end tag without start"}));
}

TEST(ChapterReadProblems, TheOriginalIsKeptOnceAndNeverReplaced)
{
    test::TempDir dir;
    const fs::path path = dir / "书/0001_章.xml";
    fs::create_directories(path.parent_path());
    test::writeBytes(path, "first");
    EXPECT_EQ(originalCopyPath(path), dir / "书/0001_章.xml.orig");
    ASSERT_TRUE(keepOriginalCopy(path).ok());
    test::writeBytes(path, "second");
    ASSERT_TRUE(keepOriginalCopy(path).ok());
    EXPECT_EQ(test::readBytes(originalCopyPath(path)), "first");
    EXPECT_TRUE(keepOriginalCopy(dir / "absent.xml").ok());
    EXPECT_FALSE(fs::exists(dir / "absent.xml.orig"));
}

}  // namespace
}  // namespace veyla::library
