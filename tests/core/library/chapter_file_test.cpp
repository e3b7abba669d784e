// SPDX-License-Identifier: MIT
#include "core/library/chapter_file.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "core/library/xml_cursor.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::library {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(std::u16string_view xml)
{
    return utf16::encodeLittleEndian(xml);
}

Chapter parse(std::u16string_view xml, const ChapterReadOptions& options = {})
{
    auto chapter = parseChapter(xml, options);
    EXPECT_TRUE(chapter.ok());
    return chapter.ok() ? *chapter : Chapter{};
}

TEST(ChapterFile, FileIsUtf16LeWithoutBomAndCrLf)
{
    test::TempDir dir;
    const fs::path path = dir / "书/0001_第一章.xml";
    ASSERT_TRUE(writeChapterFromText(path, u"第一章　风雪\n<a> & b", TextForm::Import).ok());
    const std::u16string expected =
        u"<Page>\r\n"
        u"<Body Type=\"C2\">\r\n"
        u"<Chunk Type=\"R1\">\r\n"
        u"<Chunk>第一章　风雪</Chunk>\r\n"
        u"</Chunk>\r\n"
        u"<Chunk Type=\"R1\">\r\n"
        u"<Chunk>&lt;a&gt; &amp; b</Chunk>\r\n"
        u"</Chunk>\r\n"
        u"</Body>\r\n"
        u"</Page>\r\n";
    EXPECT_EQ(test::readBytes(path), bytesOf(expected));
    auto chapter = readChapter(path, {});
    ASSERT_TRUE(chapter.ok());
    ASSERT_EQ(chapter->paragraphs.size(), 2u);
    EXPECT_EQ(chapter->paragraphs[1].text(), u"<a> & b");
}

TEST(ChapterFile, TextLinesBecomeParagraphs)
{
    struct Case {
        std::u16string_view text;
        TextForm form;
        std::u16string_view bodyType;
        std::vector<std::u16string> paragraphs;
    };
    const Case cases[] = {
        // Two lines without a final newline: two paragraphs, both counted.
        {u"one\ntwo", TextForm::Import, u"C2", {u"one", u"two"}},
        // An empty line gives no paragraph but is counted; a final "\n" adds no line.
        {u"one\n\ntwo\n", TextForm::Import, u"C3", {u"one", u"two"}},
        // Leading blanks, ideographic spaces and tabs go; a "\r" before "\n" stays.
        {u"  \u3000\tindented\r\nnext\r\n", TextForm::Import, u"C2", {u"indented\r", u"next\r"}},
        // A line that is exactly "\r" is skipped by the import form only.
        {u"a\r\n\r\nb", TextForm::Import, u"C3", {u"a\r", u"b"}},
        {u"a\r\n\r\nb", TextForm::NewFile, u"C3", {u"a\r", u"\r", u"b"}},
        {u"", TextForm::Import, u"C0", {}},
    };
    for (const auto& c : cases) {
        const std::u16string xml = chapterXmlFromText(c.text, c.form);
        EXPECT_NE(xml.find(u"<Body Type=\"" + std::u16string(c.bodyType) + u"\""), std::u16string::npos)
            << utf16::toUtf8(xml);
        const Chapter chapter = parse(xml);
        std::vector<std::u16string> texts;
        for (const auto& p : chapter.paragraphs)
            texts.push_back(p.text());
        if (c.paragraphs.empty())
            EXPECT_EQ(texts, std::vector<std::u16string>{u"\r"});  // the empty-chapter paragraph
        else
            EXPECT_EQ(texts, c.paragraphs) << utf16::toUtf8(c.text);
    }
}

// The document XmlCursor writes for the same text: chapterXmlFromText must
// produce it byte for byte.
std::u16string cursorChapterXml(std::u16string_view text, TextForm form, int version, int columnDistance)
{
    XmlCursor xml;
    xml.addElement(u"Page");
    if (form == TextForm::NewFile && version != 1)
        xml.setAttribute(u"Version", version);
    if (form == TextForm::NewFile && columnDistance != 50)
        xml.setAttribute(u"ColumnDis", columnDistance);
    xml.intoElement();
    xml.addElement(u"Body");
    xml.intoElement();
    long long lines = 0;
    std::size_t start = 0;
    while (!text.empty()) {
        const auto nl = text.find(u'\n', start);
        if (nl == std::u16string_view::npos && start == text.size() && lines > 0)
            break;
        ++lines;
        std::u16string_view line = text.substr(start, (nl == std::u16string_view::npos ? text.size() : nl) - start);
        line.remove_prefix(std::min(line.find_first_not_of(u" \u3000\t"), line.size()));
        if (!line.empty() && !(form == TextForm::Import && line == u"\r")) {
            xml.addElement(u"Chunk");
            xml.setAttribute(u"Type", std::u16string_view(u"R1"));
            xml.intoElement();
            xml.addElement(u"Chunk", line);
            xml.outOfElement();
        }
        if (nl == std::u16string_view::npos)
            break;
        start = nl + 1;
    }
    xml.outOfElement();
    xml.setAttribute(u"Type", u"C" + utf16::number(lines));
    return xml.document();
}

TEST(ChapterFile, TextFormsAreWrittenAsTheCursorWritesThem)
{
    const struct {
        std::u16string_view text;
        TextForm form;
        int version;
        int columnDistance;
    } cases[] = {
        {u"", TextForm::Import, 1, 50},
        {u"", TextForm::NewFile, 2, 60},
        {u"\n\n", TextForm::NewFile, 1, 50},
        {u"\r\n", TextForm::Import, 1, 50},
        {u"one", TextForm::Import, 1, 50},
        {u"one\n\ntwo\n", TextForm::Import, 1, 50},
        {u"  \u3000\tindented\r\nnext\r\n", TextForm::NewFile, 3, 50},
        {u"a < b && c > d \"q\" 'a'\n]]> <![CDATA[x]]>", TextForm::Import, 1, 50},
        {u"\U000230C1 surrogates \U0001F600\n\t\n", TextForm::NewFile, 1, 70},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(chapterXmlFromText(c.text, c.form, c.version, c.columnDistance),
                  cursorChapterXml(c.text, c.form, c.version, c.columnDistance))
            << "case " << i;
    }
}

TEST(ChapterFile, CorpusChapterIsWrittenAsTheCursorWritesIt)
{
    VEYLA_REQUIRE_CORPUS();
    const auto bytes = platform::readWholeFile(test::corpusFile("zh/xiyouji_pg23962.txt"));
    ASSERT_TRUE(bytes.ok());
    const std::u16string text = utf16::fromUtf8(bytes->substr(0, 200000));
    EXPECT_TRUE(chapterXmlFromText(text, TextForm::Import) == cursorChapterXml(text, TextForm::Import, 1, 50));
}

TEST(ChapterFile, NewFileFormWritesVersionAndColumnDistanceWhenNotDefault)
{
    EXPECT_EQ(chapterXmlFromText(u"x", TextForm::NewFile).substr(0, 8), u"<Page>\r\n");
    EXPECT_EQ(chapterXmlFromText(u"x", TextForm::NewFile, 3, 60).substr(0, 35), u"<Page Version=\"3\" ColumnDis=\"60\">\r\n");
    EXPECT_EQ(chapterXmlFromText(u"x", TextForm::Import, 3, 60).substr(0, 8), u"<Page>\r\n");
}

TEST(ChapterFile, ReadingAppliesTheModelRules)
{
    const Chapter chapter = parse(
        u"<Page><Body Type=\"C4\">"
        u"<Chunk Type=\"C2\" FontName=\"隶书\" Line=\"-5\" Code=\"1\" Ver=\"2\" PL=\"3\" HLine=\"4\">"
        u"<Chunk FrameStyle=\"1\">int a;</Chunk><Chunk>[F3]mark[/F]</Chunk></Chunk>"
        u"<Chunk Type=\"R0\"></Chunk>"                          // no runs: dropped
        u"<Chunk Type=\"R1\" Size=\"30\" Line=\"12\"><Chunk/></Chunk>"  // only an empty run: dropped
        u"<Chunk Type=\"R1\"><Chunk>plain</Chunk></Chunk>"
        u"</Body></Page>",
        {.defaultFontSize = 24});
    ASSERT_EQ(chapter.paragraphs.size(), 2u);
    const Paragraph& code = chapter.paragraphs[0];
    EXPECT_EQ(code.fontFace, std::u16string(u"隶书"));
    EXPECT_EQ(code.lineSpacing, 0);  // negative Line reads as 0
    EXPECT_EQ(code.code, 1);
    EXPECT_EQ(code.verticalBar, 2);
    EXPECT_EQ(code.paragraphPicture, 3);
    EXPECT_EQ(code.horizontalLine, 4);
    EXPECT_EQ(code.fontSize, 24);  // no Size: the view's size
    ASSERT_EQ(code.runs.size(), 2u);
    EXPECT_EQ(code.runs[0].frameStyle, u"1");
    EXPECT_EQ(code.runs[1].text, u"[F3]mark[/F]");  // inline marks stay text
    EXPECT_FALSE(chapter.paragraphs[1].fontFace.has_value());
    // Leaving out empty runs and paragraphs loses no text: not modified, no problem.
    EXPECT_FALSE(chapter.modified);
    EXPECT_FALSE(chapter.problems.any());
}

TEST(ChapterFile, UniformSpacingFillsMissingLineValues)
{
    const std::u16string xml =
        u"<Page><Body><Chunk><Chunk>a</Chunk></Chunk><Chunk Line=\"7\"><Chunk>b</Chunk></Chunk></Body></Page>";
    const Chapter uniform = parse(xml, {.uniformLineSpacing = true, .globalLineSpacing = 15});
    EXPECT_EQ(uniform.paragraphs[0].lineSpacing, 15);
    EXPECT_EQ(uniform.paragraphs[1].lineSpacing, 7);
    EXPECT_EQ(parse(xml).paragraphs[0].lineSpacing, 0);
}

TEST(ChapterFile, EmptyBodyOpensAsOneCarriageReturnParagraph)
{
    for (const auto* xml : {u"<Page><Body/></Page>", u"<Page/>", u"<Page><Body><Chunk/></Body></Page>"}) {
        const Chapter chapter = parse(xml);
        ASSERT_EQ(chapter.paragraphs.size(), 1u);
        EXPECT_EQ(chapter.paragraphs[0].text(), u"\r");
    }
}

TEST(ChapterFile, WritingFollowsTheAttributeConditions)
{
    Chapter chapter;
    chapter.version = 2;
    chapter.publishStatus = 1;
    Paragraph plain;
    plain.fontSize = 22;
    plain.runs = {{u"one", {}}};
    Paragraph styled;
    styled.fontSize = 30;
    styled.fontFace = u"隶书";
    styled.lineSpacing = 5;
    styled.code = 1;
    styled.verticalBar = 2;
    styled.paragraphPicture = 3;
    styled.horizontalLine = 4;
    styled.runs = {{u"a", {}}, {u"b", {}}, {u"c'\"", {}}};
    chapter.paragraphs = {plain, styled};

    const std::u16string xml = chapterToXml(chapter, {.currentFontSize = 22, .retract = 3, .countInput = 17});
    EXPECT_EQ(xml,
              u"<Page Version=\"2\" PublishStatus=\"1\" Retract=\"3\" Count_Input=\"17\">\r\n"
              u"<Body Type=\"C2\">\r\n"
              u"<Chunk Type=\"R1\">\r\n"
              u"<Chunk>one</Chunk>\r\n"
              u"</Chunk>\r\n"
              u"<Chunk Type=\"C3\" FontName=\"隶书\" Line=\"5\" Size=\"30\" Code=\"1\" Ver=\"2\" PL=\"3\" HLine=\"4\">\r\n"
              u"<Chunk>a</Chunk>\r\n"
              u"<Chunk>b</Chunk>\r\n"
              u"<Chunk>c'\"</Chunk>\r\n"
              u"</Chunk>\r\n"
              u"</Body>\r\n"
              u"</Page>\r\n");

    // Defaults write no optional attribute; Count_Input is always there.
    Chapter minimal;
    minimal.paragraphs = {plain};
    EXPECT_EQ(chapterToXml(minimal, {}).substr(0, 24), u"<Page Count_Input=\"0\">\r\n");
}

TEST(ChapterFile, ModelRoundTripsThroughAFile)
{
    test::TempDir dir;
    Chapter chapter;
    for (int i = 0; i < 50; ++i) {
        Paragraph p;
        p.fontSize = 22 + i % 3;
        p.lineSpacing = i % 4;
        p.runs = {{u"段落 <" + utf16::number(i) + u"> & \"text\" ]]>", {}}};
        chapter.paragraphs.push_back(p);
    }
    const fs::path path = dir / "deep/folders/0001_x.xml";
    ASSERT_TRUE(writeChapter(path, chapter, {.currentFontSize = 22}).ok());
    auto back = readChapter(path, {.defaultFontSize = 22});
    ASSERT_TRUE(back.ok());
    ASSERT_EQ(back->paragraphs.size(), chapter.paragraphs.size());
    for (std::size_t i = 0; i < chapter.paragraphs.size(); ++i) {
        EXPECT_EQ(back->paragraphs[i].text(), chapter.paragraphs[i].text());
        EXPECT_EQ(back->paragraphs[i].fontSize, chapter.paragraphs[i].fontSize);
        EXPECT_EQ(back->paragraphs[i].lineSpacing, chapter.paragraphs[i].lineSpacing);
    }
}

TEST(ChapterFile, AppendAddsParagraphsAndRecountsTheBody)
{
    test::TempDir dir;
    const fs::path path = dir / "00笔记/风景.xml";
    ASSERT_TRUE(writeChapterFromText(path, u"first\nsecond", TextForm::NewFile).ok());
    ASSERT_TRUE(appendTextToChapter(path, u"third\n\nfourth").ok());
    const std::u16string xml = utf16::decodeLittleEndian(test::readBytes(path));
    EXPECT_NE(xml.find(u"<Body Type=\"C5\">"), std::u16string::npos);  // 2 existing + 3 lines
    const Chapter chapter = parse(xml);
    ASSERT_EQ(chapter.paragraphs.size(), 4u);
    EXPECT_EQ(chapter.paragraphs[3].text(), u"fourth");
}

TEST(ChapterFile, FailedReadOrAppendLeavesTheFileByteIdentical)
{
    test::TempDir dir;
    const fs::path missing = dir / "missing.xml";
    EXPECT_EQ(readChapter(missing, {}).code(), ErrorCode::FileUnavailable);
    EXPECT_EQ(appendTextToChapter(missing, u"x").code(), ErrorCode::FileUnavailable);
    EXPECT_FALSE(fs::exists(missing));

    const std::string notChapter = bytesOf(u"<Other><Body/></Other>");
    const std::string garbage("\x01\x02\x03", 3);
    for (const auto& bytes : {notChapter, garbage}) {
        const fs::path path = dir / "odd.xml";
        test::writeBytes(path, bytes);
        EXPECT_EQ(readChapter(path, {}).code(), ErrorCode::NotChapterFormat);
        EXPECT_EQ(appendTextToChapter(path, u"more").code(), ErrorCode::NotChapterXml);
        EXPECT_EQ(test::readBytes(path), bytes);
    }
}

// A child process saves a chapter over and over; it is killed at random
// moments. Whatever the moment, the file holds one complete version.
TEST(ChapterFile, KilledWritersNeverLeaveATornFile)
{
    test::TempDir dir;
    const fs::path path = dir / "book/0001_chapter.xml";
    Chapter versions[2];
    for (int v = 0; v < 2; ++v) {
        for (int i = 0; i < 400; ++i) {
            Paragraph p;
            p.fontSize = 22;
            p.runs = {{std::u16string(40, v == 0 ? u'甲' : u'乙') + utf16::number(i), {}}};
            versions[v].paragraphs.push_back(p);
        }
    }
    const std::string expected[2] = {bytesOf(chapterToXml(versions[0], {})), bytesOf(chapterToXml(versions[1], {}))};
    ASSERT_TRUE(writeChapter(path, versions[0], {}).ok());
    // The kills are spread over two saves' time, measured here: a sanitized
    // or loaded build saves many times slower, and kills that all land in
    // the serialization before the file is opened would prove nothing.
    const auto timedStart = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(writeChapter(path, versions[0], {}).ok());
    const auto saveMicros = std::max<long long>(
        1, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - timedStart).count() /
               5);

    std::mt19937 random(12345);
    constexpr int kKills = 220;
    int seen[2] = {0, 0};
    for (int round = 0; round < kKills; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            for (unsigned n = round;; ++n) {
                (void)writeChapter(path, versions[n % 2], {});
                // Tell the parent a save has completed; the next one is under way.
                if (n == static_cast<unsigned>(round))
                    (void)!::write(ready[1], "x", 1);
            }
        }
        ::close(ready[1]);
        char signal = 0;
        ASSERT_EQ(::read(ready[0], &signal, 1), 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (2 * saveMicros)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = test::readBytes(path);
        ASSERT_TRUE(now == expected[0] || now == expected[1]) << "torn file after kill " << round << ", size "
                                                              << now.size();
        ++seen[now == expected[1] ? 1 : 0];
    }
    // The kills landed while both versions were being written.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);

    // The killed writers' temporary files are removed; none is in use any more.
    const auto leftovers = [&] {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(path.parent_path()))
            count += entry.path().filename().string().rfind(".veyla-write-", 0) == 0 ? 1 : 0;
        return count;
    };
    EXPECT_GT(leftovers(), 0u);
    platform::removeStaleTemporaryFiles(path.parent_path(), std::chrono::seconds(0));
    EXPECT_EQ(leftovers(), 0u);
    EXPECT_TRUE(test::readBytes(path) == expected[0] || test::readBytes(path) == expected[1]);
}

TEST(ChapterFile, ATemporaryFileInUseOrYoungIsNeverRemoved)
{
    test::TempDir dir;
    const fs::path target = dir / "0001_x.xml";
    auto held = platform::createTemporaryBeside(target, platform::FileAccess::Default);
    ASSERT_TRUE(held.ok());
    auto abandoned = platform::createTemporaryBeside(target, platform::FileAccess::Default);
    ASSERT_TRUE(abandoned.ok());
    ::close(abandoned->fd);  // as a killed writer's: no lock any more
    // Young files stay whoever holds them; old ones go only when unlocked.
    EXPECT_EQ(platform::removeStaleTemporaryFiles(dir.path()), 0u);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(held->path, old);
    fs::last_write_time(abandoned->path, old);
    EXPECT_EQ(platform::removeStaleTemporaryFiles(dir.path()), 1u);
    EXPECT_TRUE(fs::exists(held->path));
    EXPECT_FALSE(fs::exists(abandoned->path));
    ::close(held->fd);
}

TEST(ChapterFile, TheSweepBelowAFolderReachesEveryLevelButFollowsNoLink)
{
    test::TempDir dir;
    test::TempDir outside;
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const auto abandon = [&](const fs::path& folder) {
        fs::create_directories(folder);
        auto made = platform::createTemporaryBeside(folder / "0001_x.xml", platform::FileAccess::Default);
        EXPECT_TRUE(made.ok());
        ::close(made->fd);
        fs::last_write_time(made->path, old);
        return made->path;
    };
    const std::vector<fs::path> stale{abandon(dir.path()), abandon(dir / "藏书库/小说/书"),
                                      abandon(dir / "音频/藏书库/小说/书")};
    const fs::path beyondLink = abandon(outside.path());
    fs::create_directory_symlink(outside.path(), dir / "藏书库/链接");
    fs::create_directory_symlink(dir.path(), dir / "藏书库/小说/回环");  // a loop
    auto held = platform::createTemporaryBeside(dir / "藏书库/小说/书/0002_y.xml", platform::FileAccess::Default);
    ASSERT_TRUE(held.ok());
    fs::last_write_time(held->path, old);

    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_EQ(platform::removeStaleTemporaryFilesBelow(dir.path(), stopped.get_token()), 0u);
    EXPECT_EQ(platform::removeStaleTemporaryFilesBelow(dir.path()), stale.size());
    for (const fs::path& path : stale)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_TRUE(fs::exists(beyondLink));
    EXPECT_TRUE(fs::exists(held->path));
    ::close(held->fd);
}

}  // namespace
}  // namespace veyla::library
