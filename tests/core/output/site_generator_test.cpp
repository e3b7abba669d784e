// SPDX-License-Identifier: MIT
#include "core/output/site_generator.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/library/chapter_file.h"
#include "core/output/listening_page.h"
#include "core/output/site_scripts.h"
#include "core/output/vocabulary.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::output {
namespace {

namespace fs = std::filesystem;

// A page's text: its bytes must be a byte-order mark and UTF-16LE.
std::string pageText(const fs::path& page)
{
    const std::string bytes = test::readBytes(page);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2)) << page;
    return utf16::toUtf8(utf16::decodeLittleEndian(bytes.substr(2)));
}

// Compares a page with its golden copy (UTF-8) in tests/data/site; with
// VEYLA_UPDATE_GOLDEN set the golden copy is written instead.
void expectGolden(const fs::path& page, const std::string& golden)
{
    const fs::path file = test::testDataDir() / "site" / golden;
    const std::string text = pageText(page);
    if (std::getenv("VEYLA_UPDATE_GOLDEN") != nullptr) {
        test::writeBytes(file, text);
        return;
    }
    EXPECT_EQ(text, test::readBytes(file)) << golden;
}

class SiteGeneratorTest : public ::testing::Test {
protected:
    fs::path library() const { return m_data / "藏书库"; }
    fs::path html(const std::string& relative) const { return m_data / "HTML" / fs::u8path(relative); }

    void addChapter(const std::string& relative, std::u16string_view text)
    {
        const fs::path path = library() / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(library::writeChapterFromText(path, text, library::TextForm::Import).ok());
    }

    void addBook(const std::string& book, int chapters)
    {
        for (int i = 1; i <= chapters; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/%04d_第%d回.xml", i, i);
            addChapter(book + name, u"第" + utf16::number(i) + u"回\n正文" + utf16::number(i));
        }
    }

    SiteResult generate(const std::string& item, SiteOptions options = {})
    {
        library::LibraryTree tree(library());
        auto* node = tree.findByPath(library() / fs::u8path(item));
        EXPECT_NE(node, nullptr) << item;
        m_progress.clear();
        return generateSite(planSite(tree, node), m_data.path(), options, {},
                            [&](const SiteProgress& step) { m_progress.push_back(step); });
    }

    static SiteOptions wholeBook(int pageSize)
    {
        SiteOptions options;
        options.mode = SiteMode::WholeBook;
        options.pageSize = pageSize;
        return options;
    }

    test::TempDir m_data;
    std::vector<SiteProgress> m_progress;
};

TEST_F(SiteGeneratorTest, ChapterModeWritesPagesIndexPagesAndTopPages)
{
    addChapter("小说/0001_西游记/0001_第一回.xml", u"第一回 灵根育孕源流出\n诗曰：混沌未分天地乱");
    addChapter("小说/0001_西游记/0002_第二回.xml", u"第二回 悟彻菩提真妙理\n话表美猴王得了姓名");
    addChapter("小说/0001_西游记/0003_第三回.xml", u"第三回 四海千山皆拱伏\n却说美猴王荣归故里");
    // A chapter stands for its book.
    const SiteResult result = generate("小说/0001_西游记/0002_第二回.xml");
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(result.pagesWritten, 3);
    // The book, the category and the library, then the two top pages.
    EXPECT_EQ(result.indexPagesWritten, 5);
    EXPECT_EQ(result.indexPage, html("藏书库/小说/0001_西游记/目录.html"));

    expectGolden(html("藏书库/小说/0001_西游记/0001_第一回.html"), "chapter_first.html");
    expectGolden(html("藏书库/小说/0001_西游记/0002_第二回.html"), "chapter_middle.html");
    expectGolden(html("藏书库/小说/0001_西游记/目录.html"), "book_index.html");
    expectGolden(html("藏书库/小说/目录.html"), "category_index.html");
    expectGolden(html("总书目.html"), "top_inside.html");
    expectGolden(m_data / "总书目.html", "top_outside.html");
    const std::string last = pageText(html("藏书库/小说/0001_西游记/0003_第三回.html"));
    EXPECT_NE(last.find("上一章"), std::string::npos);
    EXPECT_EQ(last.find("下一章"), std::string::npos);

    ASSERT_FALSE(m_progress.empty());
    EXPECT_EQ(utf16::toUtf8(m_progress.front().status), "正在生成HTML...... 西游记  ");
    EXPECT_EQ(utf16::toUtf8(m_progress.back().status), "生成HTML 完毕 success");
    EXPECT_EQ(m_progress.back().done, 3u);
    EXPECT_EQ(m_progress.back().total, 3u);
}

TEST_F(SiteGeneratorTest, ContentPagesAreNeverRewrittenIndexPagesAlways)
{
    addBook("小说/0001_甲书", 2);
    generate("小说/0001_甲书");
    const fs::path page = html("藏书库/小说/0001_甲书/0001_第1回.html");
    const fs::path index = html("藏书库/小说/0001_甲书/目录.html");
    test::writeBytes(page, "kept");
    test::writeBytes(index, "old");
    // The chapter changes too: its page stays as it was.
    addChapter("小说/0001_甲书/0001_第1回.xml", u"改过的文字");
    const SiteResult again = generate("小说/0001_甲书");
    EXPECT_EQ(again.pagesWritten, 0);
    EXPECT_EQ(again.pagesKept, 2);
    EXPECT_EQ(test::readBytes(page), "kept");
    EXPECT_NE(test::readBytes(index), "old");
    // Deleting a page makes it anew.
    fs::remove(page);
    EXPECT_EQ(generate("小说/0001_甲书").pagesWritten, 1);
    EXPECT_NE(pageText(page).find("改过的文字"), std::string::npos);
}

TEST_F(SiteGeneratorTest, WholeBookOfExactlyThePageSizeIsOnePage)
{
    addBook("小说/0001_甲书", 120);
    const SiteResult result = generate("小说/0001_甲书", wholeBook(120));
    EXPECT_EQ(result.pagesWritten, 1);
    const std::string page = pageText(html("藏书库/小说/0001_甲书/甲书_全集.html"));
    EXPECT_NE(page.find("<a href='#sec120'><span v-pre>第120回</span></a>"), std::string::npos);
    EXPECT_EQ(page.find("上一章"), std::string::npos);
    EXPECT_EQ(page.find("下一章"), std::string::npos);
    EXPECT_FALSE(fs::exists(html("藏书库/小说/0001_甲书/甲书_全集01.html")));
    EXPECT_NE(pageText(html("藏书库/小说/0001_甲书/目录.html"))
                  .find("href=\"甲书_全集.html\"><span v-pre>全集</span>"),
              std::string::npos);
}

TEST_F(SiteGeneratorTest, OneChapterMoreThanThePageSizeMakesTwoParts)
{
    addBook("小说/0001_甲书", 121);
    const SiteResult result = generate("小说/0001_甲书", wholeBook(120));
    EXPECT_EQ(result.pagesWritten, 2);
    EXPECT_FALSE(fs::exists(html("藏书库/小说/0001_甲书/甲书_全集.html")));
    const std::string first = pageText(html("藏书库/小说/0001_甲书/甲书_全集01.html"));
    EXPECT_NE(first.find("<el-link href=\"甲书_全集02.html\" >下一章</el-link>"), std::string::npos);
    EXPECT_EQ(first.find("上一章"), std::string::npos);
    EXPECT_NE(first.find("<p id=\"sec120\"/><h2>第120回</h2>"), std::string::npos);
    EXPECT_EQ(first.find("sec121"), std::string::npos);
    // The second part numbers its one chapter from 1 again.
    expectGolden(html("藏书库/小说/0001_甲书/甲书_全集02.html"), "whole_book_02.html");
    const std::string index = pageText(html("藏书库/小说/0001_甲书/目录.html"));
    EXPECT_NE(index.find("href=\"甲书_全集01.html\""), std::string::npos);
    EXPECT_NE(index.find("href=\"甲书_全集02.html\""), std::string::npos);
}

// Whole pages, byte for byte: a book of exactly the page size (one page
// without part numbers) and one of a chapter more (the first of two parts).
TEST_F(SiteGeneratorTest, WholeBookPagesAtAndJustOverThePageSize)
{
    addBook("小说/0001_乙书", 3);
    ASSERT_EQ(generate("小说/0001_乙书", wholeBook(3)).pagesWritten, 1);
    expectGolden(html("藏书库/小说/0001_乙书/乙书_全集.html"), "whole_book_exact.html");
    addBook("小说/0002_丙书", 4);
    ASSERT_EQ(generate("小说/0002_丙书", wholeBook(3)).pagesWritten, 2);
    expectGolden(html("藏书库/小说/0002_丙书/丙书_全集01.html"), "whole_book_01.html");
}

TEST_F(SiteGeneratorTest, ExistingWholeBookPagesAreListedWhateverThePageSize)
{
    addBook("小说/0001_甲书", 5);
    EXPECT_EQ(generate("小说/0001_甲书", wholeBook(2)).pagesWritten, 3);
    const std::string part1 = test::readBytes(html("藏书库/小说/0001_甲书/甲书_全集01.html"));
    const SiteResult again = generate("小说/0001_甲书", wholeBook(120));
    EXPECT_EQ(again.pagesWritten, 0);
    EXPECT_FALSE(fs::exists(html("藏书库/小说/0001_甲书/甲书_全集.html")));
    EXPECT_EQ(test::readBytes(html("藏书库/小说/0001_甲书/甲书_全集01.html")), part1);
    const std::string index = pageText(html("藏书库/小说/0001_甲书/目录.html"));
    EXPECT_NE(index.find("甲书_全集03.html"), std::string::npos);
}

TEST_F(SiteGeneratorTest, CategoryFoldersAreNotEnteredAndNestedFoldersAreLinked)
{
    addBook("小说/0001_甲书", 1);
    addBook("小说/0001_甲书/类别/词", 1);
    addBook("小说/0001_甲书/0002_卷二", 2);
    generate("小说/0001_甲书");
    EXPECT_FALSE(fs::exists(html("藏书库/小说/0001_甲书/类别")));
    EXPECT_TRUE(fs::exists(html("藏书库/小说/0001_甲书/0002_卷二/0002_第2回.html")));
    const std::string index = pageText(html("藏书库/小说/0001_甲书/目录.html"));
    EXPECT_NE(index.find("href=\"0002_卷二/目录.html\"><span v-pre>卷二</span>"), std::string::npos);
    EXPECT_NE(index.find("href=\"0001_第1回.html\""), std::string::npos);
}

TEST_F(SiteGeneratorTest, AncestorIndexPagesListEveryGeneratedBook)
{
    addBook("小说/0001_甲书", 1);
    addBook("小说/0002_乙书", 1);
    addBook("小说/0003_丙书", 1);
    generate("小说/0001_甲书");
    generate("小说/0002_乙书");
    const std::string category = pageText(html("藏书库/小说/目录.html"));
    EXPECT_NE(category.find("href=\"0001_甲书/目录.html\""), std::string::npos);
    EXPECT_NE(category.find("href=\"0002_乙书/目录.html\""), std::string::npos);
    EXPECT_EQ(category.find("丙书"), std::string::npos);
    EXPECT_NE(pageText(html("藏书库/目录.html")).find("href=\"小说/目录.html\""), std::string::npos);
}

TEST_F(SiteGeneratorTest, IndexOnlyMarkerWritesNoContentPages)
{
    addBook("小说/0001_甲书", 2);
    test::writeBytes(m_data / "onlyMulu.txt", "");
    SiteOptions options;
    applySiteMarkers(m_data.path(), options);
    EXPECT_TRUE(options.indexPagesOnly);
    const SiteResult result = generate("小说/0001_甲书", options);
    EXPECT_EQ(result.pagesWritten, 0);
    EXPECT_FALSE(fs::exists(html("藏书库/小说/0001_甲书/0001_第1回.html")));
    EXPECT_TRUE(fs::exists(html("藏书库/小说/0001_甲书/目录.html")));
    EXPECT_TRUE(fs::exists(html("总书目.html")));
}

TEST_F(SiteGeneratorTest, AnnotatedPageWrapsKnownWordsAndShowsTheControlRow)
{
    addChapter("English/0001_Tom/0001_One.xml", u"Chapter One\nTom studied the books, running home.");
    Vocabulary vocabulary;
    vocabulary.add(u"study", u"学习");
    vocabulary.add(u"book", u"书");
    vocabulary.add(u"home", u"家");
    SiteOptions options;
    options.style.vocabulary = &vocabulary;
    generate("English/0001_Tom", options);
    expectGolden(html("藏书库/English/0001_Tom/0001_One.html"), "annotated.html");
}

TEST_F(SiteGeneratorTest, UnreadableChapterIsListedAndTheRestIsWritten)
{
    addBook("小说/0001_甲书", 2);
    test::writeBytes(library() / "小说/0001_甲书/0003_坏.xml", "not a chapter");
    const SiteResult result = generate("小说/0001_甲书");
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures.front().first.filename(), fs::u8path("0003_坏.xml"));
    EXPECT_EQ(result.pagesWritten, 2);
    EXPECT_TRUE(fs::exists(html("藏书库/小说/0001_甲书/目录.html")));
}

TEST_F(SiteGeneratorTest, StopRequestEndsBeforeTheNextPage)
{
    addBook("小说/0001_甲书", 3);
    library::LibraryTree tree(library());
    std::stop_source stop;
    stop.request_stop();
    const SiteResult result = generateSite(planSite(tree, tree.findByPath(library() / "小说")), m_data.path(), {},
                                           stop.get_token());
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.pagesWritten, 0);
    EXPECT_FALSE(fs::exists(html("总书目.html")));
}

TEST(SiteFiles, FontScriptListsWideFontNamesAndEveryScheme)
{
    const std::u16string text =
        fontScriptText({u"Arial", u"宋体", u"Noto Sans CJK SC", u"楷体\"x"},
                       {{u"浅白", view::rgb(255, 255, 255), 0, view::rgb(0, 0, 0)},
                        {u"夜'间", view::rgb(1, 2, 3), 0, view::rgb(200, 201, 202)}});
    EXPECT_EQ(utf16::toUtf8(text),
              "\n\t\t\t\t\t\tfunction getAllFont() { \n\t\t\t\t\t\tvar fontArr=[ \n\t\t\t\t\t\t\"宋体\",\n\"楷体\\\"x\",\n]"
              "\n\t\t\treturn fontArr;\n\t\t\t}\n          \n\t\t    function getAllColor(){\n\t\t\t  var colorArr=[ "
              "\n           {\n\t\t\t\t\t name:'浅白',\n\t\t\t\t\t bg:'rgb(255,255,255)',\n\t\t\t\t\t "
              "textcolor:'rgb(0,0,0)'\n\t\t\t\t\t },{\n\t\t\t\t\t name:'夜\\'间',\n\t\t\t\t\t bg:'rgb(1,2,3)',\n\t\t\t\t\t "
              "textcolor:'rgb(200,201,202)'\n\t\t\t\t\t }]\n\t\t\treturn colorArr;\n\t\t\t}\n          ");
}

TEST(SiteFiles, FontScriptIsRewrittenOnlyWhenItExists)
{
    test::TempDir data;
    ASSERT_TRUE(writeFontScript(data.path(), {u"宋体"}, {}).ok());
    EXPECT_FALSE(fs::exists(data / "HTML/js/font.js"));
    fs::create_directories(data / "HTML/js");
    test::writeBytes(data / "HTML/js/font.js", "old");
    ASSERT_TRUE(writeFontScript(data.path(), {u"宋体"}, {}).ok());
    EXPECT_NE(pageText(data / "HTML/js/font.js").find("\"宋体\""), std::string::npos);
}

TEST(SiteFiles, ShippedScriptsAreCopiedWhenMissingOrOlder)
{
    test::TempDir program;
    test::TempDir data;
    test::writeBytes(program / "HTML/js/vue.js", "vue");
    test::writeBytes(program / "HTML/js/myCss/common.css", "css");
    test::writeBytes(program / "HTML/js/myVueCode.js", "shipped");
    test::writeBytes(data / "HTML/js/myVueCode.js", "updated online");
    const auto shipped = fs::last_write_time(program / "HTML/js/myVueCode.js");
    fs::last_write_time(data / "HTML/js/myVueCode.js", shipped + std::chrono::hours(1));
    const ScriptCopy first = installSiteScripts(program.path(), data.path());
    EXPECT_EQ(first.copied, 2);
    EXPECT_EQ(test::readBytes(data / "HTML/js/myCss/common.css"), "css");
    EXPECT_EQ(test::readBytes(data / "HTML/js/myVueCode.js"), "updated online");
    // Copied once, the same files are not copied again; an older copy is replaced.
    EXPECT_EQ(installSiteScripts(program.path(), data.path()).copied, 0);
    fs::last_write_time(data / "HTML/js/myVueCode.js", shipped - std::chrono::hours(1));
    EXPECT_EQ(installSiteScripts(program.path(), data.path()).copied, 1);
    EXPECT_EQ(test::readBytes(data / "HTML/js/myVueCode.js"), "shipped");
    // One folder for both (portable layout): nothing to do.
    EXPECT_EQ(installSiteScripts(data.path(), data.path()).copied, 0);
}

TEST(SiteFiles, ListeningPageHoldsTheChapterWithCodeInColour)
{
    test::TempDir data;
    library::Chapter chapter;
    const auto paragraph = [](std::u16string text, int code) {
        library::Paragraph p;
        p.code = code;
        p.runs.push_back({std::move(text), {}});
        return p;
    };
    chapter.paragraphs = {paragraph(u"第一回 [F3]标注[/F]\r", 0), paragraph(u"a<b {{ 1+1 }}\r", 0),
                          paragraph(u"#include <cstdio>\r\nint main() { return 0; }\r", 1)};
    view::ColourSet colours;
    colours.codeText = view::rgb(1, 2, 3);
    colours.type = view::rgb(0, 0, 255);
    const auto page = writeListeningPage(data.path(), chapter, {}, colours, false);
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(*page, data / "听小说.html");
    expectGolden(*page, "listening.html");
    const std::string text = pageText(*page);
    EXPECT_NE(text.find("<title>Orvanta-听小说</title>"), std::string::npos);
    EXPECT_NE(text.find("var localJSPath = \"HTML/js/myVueCode.js\";"), std::string::npos);
}

}  // namespace
}  // namespace veyla::output
