// SPDX-License-Identifier: MIT
#include "core/output/page_templates.h"

#include "core/output/html_text.h"
#include "core/output/vocabulary.h"
#include "core/util/utf16.h"

namespace veyla::output {

namespace {

constexpr std::u16string_view kElementCdn = u"https://unpkg.com/element-ui@2.15.14/lib/";
constexpr std::u16string_view kVueCdn = u"https://cdn.jsdelivr.net/npm/vue@2.6.14/dist/vue.min.js";

// Book text (names, titles, paragraphs) sits in v-pre regions so that Vue
// never reads "{{ … }}" in it as an expression.
std::u16string inertText(std::u16string_view text)
{
    return u"<span v-pre>" + escapeHtml(text) + u"</span>";
}

std::u16string localScript(std::u16string_view prefix, std::u16string_view file)
{
    return u"<script src=\"" + hrefText(prefix) + u"js\\" + std::u16string(file) +
           u"\"  type=\"text/javascript\"  charset=\"utf-8\"></script>\n";
}

std::u16string remoteScript(std::u16string_view url)
{
    return u"<script src='" + escapeAttribute(url) + u"'></script>\n";
}

std::u16string styleLink(std::u16string_view url)
{
    return u"<link rel='stylesheet' href='" + escapeAttribute(url) + u"'>\n";
}

std::u16string_view headerScriptPath(HeaderScript script)
{
    switch (script) {
    case HeaderScript::Orvanta: return u"/js/myHeader_orvanta.js";
    case HeaderScript::Web: return u"/js/myHeader.js";
    case HeaderScript::Veyla: break;
    }
    return u"/js/myHeader_veyla.js";
}

std::u16string pageHead(std::u16string_view title, std::u16string_view prefix, const PageStyle& style)
{
    const std::u16string site = style.publisherSite;
    std::u16string out = u"<html  lang=\"zh-cn\">\n\t\t\t   \t\t<head>\n\t\t\t\t\t<meta http-equiv=\"content-type\" "
                         u"content=\"text/html; charset=utf-8\">\n\t\t\t\t\t";
    out += u"<title>" + escapeHtml(title) + u"</title>\n";
    out += u"<link rel = \"stylesheet\" href=\"" + hrefText(prefix) + u"js/element_lib/theme-chalk/index.css\">\n";
    out += styleLink(std::u16string(kElementCdn) + u"theme-chalk/index.css");
    out += styleLink(site + u"/js/myCss/orvanta.css");
    out += styleLink(std::u16string(prefix) + u"js/myCss/common.css");
    out += styleLink(site + u"/js/myCss/common.css");
    out += u"</head>\n";
    out += remoteScript(kVueCdn);
    out += localScript(prefix, u"vue.js");
    out += remoteScript(site + std::u16string(headerScriptPath(style.headerScript)));
    out += remoteScript(site + u"/js/comp/comp_headBtns.js");
    return out;
}

std::u16string paragraphRule(const PageStyle& style)
{
    return u"p{text-indent:2em; color:#606266;line-height:56px;background:rgba(0,0,0,0) url(" +
           escapeHtml(style.publisherSite) + u"/js/line56.png) repeat scroll 0 0;}";
}

std::u16string contentStyle(SiteMode mode, const PageStyle& style)
{
    std::u16string out = u"<style>\n";
    if (mode == SiteMode::WholeBook)
        out += u"#app{display:flex; width:100%; flex-direction:column;}\n";
    out += paragraphRule(style);
    out += u"\n\t\t  body {font-family: '宋体', Arial, Helvetica;font-size:20px;}\t\t .el-main "
           u".el-link{font-size:var(--linkFontSize);}\n\t\t  .el-row {margin-bottom: 10px;}\n\t\t  "
           u".el-row:last-child{margin-bottom:0px;}\n\t\t  .el-row:nth-last-child(2){\n\t\t  "
           u"\tmargin-bottom:100px;\n\t\t\tmargin-top:40px;\n\t\t\t}\n\t\t</style>\n\t\t";
    return out;
}

std::u16string indexStyle(const PageStyle& style)
{
    return u"<style>\n\t\t  " + paragraphRule(style) +
           u"\n\t\t  body {font-family: '宋体', Arial, Helvetica;font-size:20px;}\t\t  .el-row{margin-bottom: "
           u"20px;}\n\t\t  .el-main .el-link{font-size:var(--linkFontSize);}\n\t\t  </style>\n\t\t";
}

constexpr std::u16string_view kHeaderButtons =
    u"\t\t   <header-btns :color-arr='colorArr' :options-arr='options' :font-Size-Options-Arr='fontSizeOptions' "
    u":color-name='colorName' :text-color='textColor' :bg-color='bgColor'  :font-name='fontName' "
    u":font-size='fontSize' @color-btn='colorBtn'  @select-color-name='selectColorName' "
    u"@el_color-pic_change_text='colorPicText' @el_color-pic_change_bg='colorPicBg' @select-one='selectOne' "
    u"@select-font-size='selectFontSize'";

constexpr std::u16string_view kBodyStart = u"<body>\n\t   <div id=\"app\">\n\t   \t   <el-container>\n";
constexpr std::u16string_view kTopBlock = u"<div class='top-div'>\n";
constexpr std::u16string_view kMyHeader = u"\t\t   <my-header  @handle-select=\"myHandleSelect\"></my-header>\n";

std::u16string contentBodyHeader()
{
    return std::u16string(kBodyStart) + std::u16string(kTopBlock) + std::u16string(kMyHeader) +
           std::u16string(kHeaderButtons) +
           u"\n            :line-Options-Arr='lineArr' :line-url='lineUrl' @select-line='selectLine' "
           u"@inc-line-height='incLineHeight' @dec-Line-Height='decLineHeight' \n\t\t\t></header-btns>\n\t\t\t   \n";
}

std::u16string indexBodyHeader()
{
    return std::u16string(kBodyStart) + std::u16string(kTopBlock) + std::u16string(kMyHeader) +
           std::u16string(kHeaderButtons) + u"></header-btns>\n\t\t";
}

constexpr std::u16string_view kAnnotationRow =
    u"\n\t\t <el-row style='padding-left: 100px;'>\n\t\t\t<el-button "
    u"v-on:click='randWordColor'>随机单词颜色</el-button>\t\n\t\t\t<el-button "
    u"v-on:click='randNoteColor'>随机注释颜色</el-button>\n\t\t\t<label style='font-size: "
    u"16px;'>单词颜色:</label>\n\t\t\t<el-color-picker v-model='engColor' "
    u"@change='setEngColor'></el-color-picker>\n\t\t\t<label style='font-size: 16px;'>注释颜色:</label>\n\t\t\t"
    u"<el-color-picker v-model='noteColor' @change='setNoteColor'></el-color-picker>\n\t\t\t<el-button "
    u"type='success' plain @click='incNoteHeight'>增大注释文字</el-button>\n\t\t\t<el-button type='success' plain  "
    u"@click='decNoteHeight'>减小注释文字</el-button>\n\t\t</el-row>\n\t\t\t  ";

constexpr std::u16string_view kReadAloudTip =
    u"\n\t\t\t  <el-row>\n\t\t\t   <el-col align=\"left\">\n\t\t\t   \t\t\t   \t<el-alert "
    u"title=\"在下面空白处，右键 ，选择大声朗读 即可\" type=\"success\"  v-show=\"showTip\" "
    u"@close=\"closeTip\"></el-alert>\n\t\t\t   </el-col>\n\t\t\t  </el-row>\n";

constexpr std::u16string_view kMainOpen =
    u"\n<el-main  id='mainContent' style='overflow:auto;' :style=\"{'--fullCorlor': foolcolorVar,'--scrollCorlor': "
    u"scrollcolorVar,'--scrollbar': scrollHiddenVar,'--linkFontSize':linkFontSizeVar}\">\n";

constexpr std::u16string_view kFooter =
    u" <el-footer id='veylaFooter' style='height:160px;margin:160px 60px 20px;'> "
    u"</el-footer></el-container></div></body>\n";

std::u16string sideMenu(const std::vector<std::u16string>& titles)
{
    std::u16string out = u"<div class='content'>\n\t   <div :class=\"['nav-container', { 'hidden': isHidden }]\">\n\t  "
                         u" \t   <el-menu :default-active='activeIndex' class='nav-content' @select='handleSelect'>\n\t\t\t   ";
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::u16string n = utf16::number(static_cast<long long>(i + 1));
        out += u"<el-menu-item index='" + n + u"'><a href='#sec" + n + u"'>" + inertText(titles[i]) +
               u"</a></el-menu-item>\n";
    }
    out += u"</el-menu>\n\t  <button class='toggle-btn' @click='toggleNav'>{{ isHidden ? '▶' : '◀' "
           u"}}</button>\n\t   \t   </div>\n\t\t\t   ";
    return out;
}

std::u16string paragraphText(std::u16string_view text, const PageStyle& style)
{
    while (!text.empty() && text.front() == u'\n')
        text.remove_prefix(1);
    return style.vocabulary != nullptr ? style.vocabulary->annotate(text) : escapeHtml(text);
}

std::u16string paragraphsHtml(const ContentPage& page, const PageStyle& style)
{
    std::u16string out = u"<div v-pre>\n";
    const std::size_t count = page.paragraphs.size();
    const std::size_t middle = count / 2;
    bool titleNext = page.mode == SiteMode::Chapters;
    for (std::size_t i = 0; i < count; ++i) {
        const PageParagraph& paragraph = page.paragraphs[i];
        if (paragraph.kind == PageParagraph::Kind::Anchor) {
            out += u"<p id=\"sec" + utf16::number(paragraph.anchor) + u"\"/>";
            titleNext = true;
        } else if (titleNext) {
            out += u"<h2>" + paragraphText(paragraph.text, style) + u"</h2>";
            titleNext = false;
        } else {
            out += u"<p>" + paragraphText(paragraph.text, style) + u"</p>";
        }
        if (count > 50 && i == middle)
            out += u"<div id='veylaMiddle' style='height:60px'> </div>";
    }
    out += u"\n</div>\n";
    return out;
}

std::u16string navigationRow(const ContentPage& page)
{
    std::u16string out = u"<el-row justify=\"center\" type=\"flex\">\n";
    if (page.previous)
        out += u"<el-button><el-link href=\"" + hrefText(*page.previous) + u"\" >上一章</el-link></el-button>\n";
    out += u"<el-button type=\"info\"><el-link  href=\"目录.html\" >回目录</el-link></el-button>\n";
    if (page.next)
        out += u"<el-button><el-link href=\"" + hrefText(*page.next) + u"\" >下一章</el-link></el-button>\n";
    out += u"</el-row>\n";
    return out;
}

std::u16string scriptBlock(std::u16string_view prefix, const PageStyle& style)
{
    std::u16string out = localScript(prefix, u"element_lib/index.js");
    out += remoteScript(std::u16string(kElementCdn) + u"index.js");
    out += localScript(prefix, u"font.js");
    out += localScript(prefix, u"jquery-3.5.0.min.js");
    out += u"<script type=\"text/javascript\">\n"
           u"var localJSPath = \"" +
           hrefText(prefix) +
           u"js/myVueCode.js\";\n"
           u"function loadScript(src, onSuccess, onError) {\n"
           u"\tvar script = document.createElement('script');\n"
           u"\tscript.src = src;\n"
           u"\tscript.charset = 'utf-8';\n"
           u"\tscript.onload = onSuccess;\n"
           u"\tscript.onerror = onError;\n"
           u"\tdocument.head.appendChild(script);\n"
           u"}\n"
           u"function loadOneScript(src, jsUrl) {\n"
           u"\tloadScript(src, function () {}, function () { loadScript(jsUrl); });\n"
           u"}\n"
           u"loadOneScript(localJSPath, \"" +
           escapeAttribute(style.publisherSite) +
           u"/js/myVueCode_mobile.js\");\n"
           u"</script>\n";
    return out;
}

std::u16string joinedTitle(const std::vector<std::u16string>& elements)
{
    std::u16string title;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0)
            title += u'\\';
        title += elements[i];
    }
    if (title.ends_with(u".html"))
        title.resize(title.size() - 5);
    return title;
}

}  // namespace

std::u16string resourcePrefix(const std::vector<std::u16string>& elements)
{
    std::u16string prefix;
    for (std::size_t i = 1; i < elements.size(); ++i)
        prefix += u"../";
    return prefix;
}

std::u16string_view afterFirstUnderscore(std::u16string_view text)
{
    const auto underscore = text.find(u'_');
    return underscore == std::u16string_view::npos ? text : text.substr(underscore + 1);
}

std::u16string hrefText(std::u16string_view target)
{
    std::u16string encoded;
    for (const char16_t c : target) {
        if (c == u'%')
            encoded += u"%25";
        else if (c == u'#')
            encoded += u"%23";
        else if (c == u'?')
            encoded += u"%3F";
        else if (c == u':')
            encoded += u"%3A";  // a name such as "javascript:x" must not read as a URL scheme
        else
            encoded += c;
    }
    return escapeAttribute(encoded);
}

std::u16string breadcrumbRow(const std::vector<std::u16string>& elements)
{
    if (elements.size() < 2)
        return u"</div>";
    std::u16string links;
    const std::size_t n = elements.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        std::u16string up;
        for (std::size_t k = 0; k < n - 2 - i; ++k)
            up += u"../";
        links += u" <el-link href=\"" + up + u"目录.html\">" + inertText(afterFirstUnderscore(elements[i])) +
                 u"</el-link>";
    }
    return u"<el-row>\t\t\t\t\t  <el-divider content-position=\"left\">当前位置：\t\t\t\t\t  " + links +
           u"</el-divider>\t\t\t\t\t    </el-row>\t\t\t           </div>";
}

std::u16string contentPageHtml(const ContentPage& page, const PageStyle& style)
{
    const std::u16string prefix = resourcePrefix(page.elements);
    const bool menu = page.mode == SiteMode::WholeBook && !page.sectionTitles.empty();
    std::u16string out = pageHead(joinedTitle(page.elements), prefix, style);
    out += contentStyle(page.mode, style);
    out += contentBodyHeader();
    out += breadcrumbRow(page.elements);
    if (style.vocabulary != nullptr)
        out += kAnnotationRow;
    out += kReadAloudTip;
    if (menu)
        out += sideMenu(page.sectionTitles);
    out += kMainOpen;
    out += paragraphsHtml(page, style);
    out += navigationRow(page);
    out += u" </el-main>\n";
    if (menu)
        out += u"</div>\n";
    out += kFooter;
    out += scriptBlock(prefix, style);
    out += u"</html>";
    return out;
}

std::u16string indexPageHtml(const IndexPage& page, const PageStyle& style)
{
    const std::u16string prefix = page.prefixOverride ? *page.prefixOverride : resourcePrefix(page.elements);
    std::u16string out = pageHead(page.heading, prefix, style);
    out += indexStyle(style);
    out += indexBodyHeader();
    out += breadcrumbRow(page.elements);
    out += u"<el-row>\n\t\t\t\t<el-col align=\"middle\">\n\t\t\t\t   <p>\n\t   " + inertText(page.heading) +
           u"</p>\n\t\t\t   \t</el-col>\n\t\t\t</el-row>\n\t\t    <el-main  id='mainContent' :style=\"{'--fullCorlor': "
           u"foolcolorVar,'--scrollCorlor': scrollcolorVar,'--scrollbar': "
           u"scrollHiddenVar,'--linkFontSize':linkFontSizeVar}\">\n";
    for (std::size_t i = 0; i < page.links.size(); ++i) {
        const IndexLink& link = page.links[i];
        if (i % 4 == 0)
            out += u"<el-row :gutter=\"20\">";
        std::u16string_view target = link.target;
        if (!utf16::contains(target, u"目录.html")) {
            const auto slash = target.find_last_of(u"\\/");
            if (slash != std::u16string_view::npos)
                target.remove_prefix(slash + 1);
        }
        out += u"<el-col :span=\"6\"><el-link type=\"info\"  href=\"" + hrefText(target) + u"\">" +
               inertText(afterFirstUnderscore(link.label)) + u"</el-link></el-col>\n";
        if (i % 4 == 3)
            out += u"</el-row>";
    }
    if (page.links.size() % 4 != 0)
        out += u"</el-row>";
    out += u" </el-main><el-footer id='veylaFooterMulu' style='height:160px;margin:160px 60px 20px;' > "
           u"</el-footer></el-container></div></body>\n";
    out += scriptBlock(prefix, style);
    out += u"</html>";
    return out;
}

std::u16string listeningPageHtml(const std::vector<std::u16string>& paragraphHtml, const PageStyle& style)
{
    const std::u16string prefix = u"HTML/";
    std::u16string out = pageHead(u"Orvanta-听小说", prefix, style);
    out += contentStyle(SiteMode::Chapters, style);
    out += std::u16string(kBodyStart) + std::u16string(kMyHeader) + std::u16string(kHeaderButtons) +
           u"></header-btns>\n";
    out += kReadAloudTip;
    out += kMainOpen;
    out += u"<div v-pre>\n";
    for (const auto& paragraph : paragraphHtml)
        out += paragraph;
    out += u"\n</div>\n </el-main>\n";
    out += kFooter;
    out += scriptBlock(prefix, style);
    out += u"</html>";
    return out;
}

std::string pageBytes(std::u16string_view html)
{
    return std::string("\xFF\xFE", 2) + utf16::encodeLittleEndian(html);
}

}  // namespace veyla::output
