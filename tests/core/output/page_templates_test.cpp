// SPDX-License-Identifier: MIT
#include "core/output/page_templates.h"

#include <gtest/gtest.h>

#include "core/output/vocabulary.h"
#include "core/util/utf16.h"

namespace veyla::output {
namespace {

std::string u8(std::u16string_view text) { return utf16::toUtf8(text); }

std::size_t count(const std::string& text, std::string_view key)
{
    std::size_t n = 0;
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        ++n;
    return n;
}

TEST(PageTemplates, ResourcePrefixClimbsOncePerFolder)
{
    struct Case {
        std::vector<std::u16string> elements;
        std::u16string prefix;
    };
    const Case cases[] = {
        {{u"总书目.html"}, u""},
        {{u"藏书库", u"目录.html"}, u"../"},
        {{u"藏书库", u"小说", u"0001_西游记", u"0001_第一回.html"}, u"../../../"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(u8(resourcePrefix(c.elements)), u8(c.prefix)) << u8(c.elements.back());
}

TEST(PageTemplates, BreadcrumbLinksEveryFolderAboveThePage)
{
    EXPECT_EQ(u8(breadcrumbRow({u"藏书库", u"小说", u"0001_西游记", u"0001_第一回.html"})),
              "<el-row>\t\t\t\t\t  <el-divider content-position=\"left\">当前位置：\t\t\t\t\t   <el-link "
              "href=\"../../目录.html\"><span v-pre>藏书库</span></el-link> <el-link href=\"../目录.html\"><span "
              "v-pre>小说</span></el-link> <el-link href=\"目录.html\"><span "
              "v-pre>西游记</span></el-link></el-divider>\t\t\t\t\t    </el-row>\t\t\t           </div>");
    // Only the first "_" goes, with what stands before it.
    EXPECT_NE(u8(breadcrumbRow({u"a_b_c", u"x.html"})).find("<span v-pre>b_c</span>"), std::string::npos);
    // A page in the HTML root only closes the top block.
    EXPECT_EQ(u8(breadcrumbRow({u"总书目.html"})), "</div>");
}

TEST(PageTemplates, HrefsNeverTurnFileNamesIntoFragmentsQueriesOrMarkup)
{
    EXPECT_EQ(u8(hrefText(u".\\0002_第二回.html")), ".\\0002_第二回.html");
    EXPECT_EQ(u8(hrefText(u"a#b?c%d.html")), "a%23b%3Fc%25d.html");
    EXPECT_EQ(u8(hrefText(u"\"><script>'.html")), "&quot;&gt;&lt;script&gt;&#39;.html");
    // Folder and book names are relative links: a colon would make one a scheme.
    EXPECT_EQ(u8(hrefText(u"javascript:alert(1)/目录.html")), "javascript%3Aalert(1)/目录.html");
    EXPECT_EQ(u8(hrefText(u"data:text/html,x_全集01.html")), "data%3Atext/html,x_全集01.html");
}

ContentPage chapterPage(std::size_t paragraphs)
{
    ContentPage page{{u"藏书库", u"书", u"0001_章.html"}, SiteMode::Chapters, {}, {}, std::nullopt, std::nullopt};
    for (std::size_t i = 0; i < paragraphs; ++i)
        page.paragraphs.push_back({PageParagraph::Kind::Text, 0, u"段" + utf16::number(static_cast<long long>(i))});
    return page;
}

TEST(PageTemplates, MiddleSpacerFollowsTheMiddleParagraphOfLongPagesOnly)
{
    const std::string spacer = "<div id='veylaMiddle' style='height:60px'> </div>";
    const std::string fiftyOne = u8(contentPageHtml(chapterPage(51), {}));
    EXPECT_EQ(count(fiftyOne, spacer), 1u);
    EXPECT_NE(fiftyOne.find("<p>段25</p>" + spacer + "<p>段26</p>"), std::string::npos);
    EXPECT_EQ(count(u8(contentPageHtml(chapterPage(50), {})), spacer), 0u);
}

TEST(PageTemplates, ChapterModeTitlesTheFirstParagraphAndDropsLeadingLineFeeds)
{
    ContentPage page = chapterPage(0);
    page.paragraphs = {{PageParagraph::Kind::Text, 0, u"\n\n第一回"}, {PageParagraph::Kind::Text, 0, u"\n正文"}};
    const std::string html = u8(contentPageHtml(page, {}));
    EXPECT_NE(html.find("<div v-pre>\n<h2>第一回</h2><p>正文</p>\n</div>\n"), std::string::npos) << html;
}

TEST(PageTemplates, NavigationRowHasBackToIndexAlwaysAndNeighboursWhenGiven)
{
    ContentPage page = chapterPage(1);
    const std::string alone = u8(contentPageHtml(page, {}));
    EXPECT_NE(alone.find("<el-row justify=\"center\" type=\"flex\">\n<el-button type=\"info\"><el-link  "
                         "href=\"目录.html\" >回目录</el-link></el-button>\n</el-row>\n"),
              std::string::npos);
    page.previous = u".\\0001_甲.html";
    page.next = u".\\0003_丙.html";
    const std::string both = u8(contentPageHtml(page, {}));
    EXPECT_NE(both.find("<el-button><el-link href=\".\\0001_甲.html\" >上一章</el-link></el-button>\n<el-button "
                        "type=\"info\"><el-link  href=\"目录.html\" >回目录</el-link></el-button>\n<el-button><el-link "
                        "href=\".\\0003_丙.html\" >下一章</el-link></el-button>\n"),
              std::string::npos);
}

TEST(PageTemplates, WholeBookPagesNumberTheirMenuAndAnchorsFromOne)
{
    ContentPage page{{u"藏书库", u"书", u"书_全集02.html"}, SiteMode::WholeBook, {}, {u"第三回", u"第四回"},
                     std::nullopt, std::nullopt};
    page.paragraphs = {{PageParagraph::Kind::Anchor, 1, {}}, {PageParagraph::Kind::Text, 0, u"第三回"},
                       {PageParagraph::Kind::Text, 0, u"正文"}, {PageParagraph::Kind::Anchor, 2, {}},
                       {PageParagraph::Kind::Text, 0, u"第四回"}};
    const std::string html = u8(contentPageHtml(page, {}));
    EXPECT_NE(html.find("#app{display:flex; width:100%; flex-direction:column;}\n"), std::string::npos);
    EXPECT_NE(html.find("<el-menu-item index='1'><a href='#sec1'><span v-pre>第三回</span></a></el-menu-item>\n"
                        "<el-menu-item index='2'><a href='#sec2'><span v-pre>第四回</span></a></el-menu-item>\n"
                        "</el-menu>"),
              std::string::npos);
    EXPECT_NE(html.find("<p id=\"sec1\"/><h2>第三回</h2><p>正文</p><p id=\"sec2\"/><h2>第四回</h2>"), std::string::npos);
    EXPECT_NE(html.find(" </el-main>\n</div>\n <el-footer id='veylaFooter'"), std::string::npos);
    // A paragraph that looks like an anchor is book text, shown as it stands.
    page.paragraphs = {{PageParagraph::Kind::Text, 0, u"<p id=\"sec9\"/>"}};
    EXPECT_NE(u8(contentPageHtml(page, {})).find("<p>&lt;p id=\"sec9\"/&gt;</p>"), std::string::npos);
}

TEST(PageTemplates, BookTextNeverBecomesMarkupOrVueExpressions)
{
    ContentPage page = chapterPage(0);
    page.elements = {u"藏书库", u"<b>{{1+1}}</b>", u"0001_{{ 7*7 }}.html"};
    page.paragraphs = {{PageParagraph::Kind::Text, 0, u"</p><script>alert(1)</script>"},
                       {PageParagraph::Kind::Text, 0, u"{{ 7*7 }} <img src=x onerror=alert(2)>"}};
    Vocabulary vocabulary;
    vocabulary.add(u"script", u"<i>脚本</i>");
    for (const Vocabulary* words : std::vector<const Vocabulary*>{nullptr, &vocabulary}) {
        PageStyle style;
        style.vocabulary = words;
        const std::string html = u8(contentPageHtml(page, style));
        EXPECT_EQ(html.find("<script>alert"), std::string::npos);
        EXPECT_EQ(html.find("<img"), std::string::npos);
        EXPECT_EQ(html.find("<b>"), std::string::npos);
        EXPECT_EQ(html.find("<i>"), std::string::npos);
        // Every "{{" of book text stands inside a v-pre element.
        EXPECT_NE(html.find("<span v-pre>&lt;b&gt;{{1+1}}&lt;/b&gt;</span>"), std::string::npos);
        const auto region = html.find("<div v-pre>\n");
        ASSERT_NE(region, std::string::npos);
        EXPECT_GT(html.find("{{ 7*7 }} &lt;img"), region);
        EXPECT_LT(html.find("{{ 7*7 }} &lt;img"), html.find("\n</div>\n", region));
    }
}

TEST(PageTemplates, IndexGridPutsFourLinksInARow)
{
    IndexPage page{{u"藏书库", u"小说", u"0001_西游记", u"目录.html"}, u"西游记", {}, std::nullopt};
    for (const char16_t* name : {u"0001_第一回", u"0002_第二回", u"0003_第三回", u"0004_第四回", u"无序号"})
        page.links.push_back({u"HTML\\藏书库\\" + std::u16string(name) + u".html", name});
    page.links.push_back({u"0002_卷二/目录.html", u"0002_卷二"});
    const std::string html = u8(indexPageHtml(page, {}));
    EXPECT_EQ(count(html, "<el-row :gutter=\"20\">"), 2u);
    EXPECT_NE(html.find("<el-row :gutter=\"20\"><el-col :span=\"6\"><el-link type=\"info\"  "
                        "href=\"0001_第一回.html\"><span v-pre>第一回</span></el-link></el-col>\n"),
              std::string::npos);
    EXPECT_NE(html.find("<span v-pre>第四回</span></el-link></el-col>\n</el-row><el-row :gutter=\"20\">"),
              std::string::npos);
    EXPECT_NE(html.find("href=\"无序号.html\"><span v-pre>无序号</span>"), std::string::npos);
    EXPECT_NE(html.find("href=\"0002_卷二/目录.html\"><span v-pre>卷二</span></el-link></el-col>\n</el-row> "
                        "</el-main><el-footer id='veylaFooterMulu'"),
              std::string::npos);
    EXPECT_NE(html.find("<title>西游记</title>"), std::string::npos);
    EXPECT_NE(html.find("@select-font-size='selectFontSize'></header-btns>\n\t\t<el-row>\t\t\t\t\t  <el-divider"),
              std::string::npos);
}

TEST(PageTemplates, HeaderScriptFollowsTheMarkerChoice)
{
    PageStyle style;
    style.publisherSite = u"https://site.test";
    const std::pair<HeaderScript, const char*> cases[] = {{HeaderScript::Veyla, "/js/myHeader_veyla.js"},
                                                          {HeaderScript::Web, "/js/myHeader.js"},
                                                          {HeaderScript::Orvanta, "/js/myHeader_orvanta.js"}};
    for (const auto& [script, path] : cases) {
        style.headerScript = script;
        const std::string html = u8(indexPageHtml({{u"总书目.html"}, u"总书目", {}, std::nullopt}, style));
        EXPECT_NE(html.find(std::string("<script src='https://site.test") + path + "'></script>\n"), std::string::npos);
    }
}

TEST(PageTemplates, PageBytesAreUtf16LittleEndianWithByteOrderMark)
{
    EXPECT_EQ(pageBytes(u"<p>书</p>"), std::string("\xFF\xFE<\0p\0>\0\x66\x4E<\0/\0p\0>\0", 18));
}

}  // namespace
}  // namespace veyla::output
