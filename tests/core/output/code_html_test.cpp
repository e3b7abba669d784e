// SPDX-License-Identifier: MIT
#include "core/output/code_html.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"

namespace veyla::output {
namespace {

using view::rgb;

// Every colour different, so that a rule taking the wrong colour shows.
view::ColourSet testColours()
{
    view::ColourSet c;
    c.codeBg = rgb(0xf0, 0xf1, 0xf2);
    c.codeText = rgb(0x10, 0x11, 0x12);
    c.parenthesis = rgb(0x20, 0x21, 0x22);
    c.brace = rgb(0x30, 0x31, 0x32);
    c.control = rgb(0x40, 0x41, 0x42);
    c.type = rgb(0x50, 0x51, 0x52);
    c.function = rgb(0x60, 0x61, 0x62);
    c.ownFunction = rgb(0x70, 0x71, 0x72);
    c.variable = rgb(0x80, 0x81, 0x82);
    c.boolean = rgb(0x90, 0x91, 0x92);
    c.digit = rgb(0xa0, 0xa1, 0xa2);
    c.text = rgb(0xb0, 0xb1, 0xb2);
    return c;
}

std::string html(std::u16string_view text)
{
    return utf16::toUtf8(text);
}

library::Paragraph paragraph(std::u16string text, int code = 0)
{
    library::Paragraph p;
    p.code = code;
    p.runs.push_back({std::move(text), {}});
    return p;
}

constexpr const char* kStyleRules =
    ".sysFunc{color:#606162;font-style:italic;font-weight:bold;}\r\n"
    ".selfFuc{color:#707172;}\r\n"
    ".bool{color:#909192;}\r\n"
    ".condition{color:#404142;font-weight:bold;}\r\n"
    ".key{color:#505152;}\r\n"
    ".var{color:#808182;font-style:italic;}\r\n"
    ".Digit{color:#a0a1a2;font-weight:bold;}\r\n"
    ".includePre{color:#101112;}\r\n"
    ".operator_D{color:#303132;font-weight:bold;}\r\n"
    ".operator_X{color:#202122;font-weight:bold;}\r\n";

TEST(CodeHtml, StyleBlockHasThePreRuleAndTheClassRulesInOrder)
{
    const std::string head = "<style\ntype=\"text/css\">\r\npre{\r\nborder-style:solid;border-width:1px;"
                             "border-color:#000;line-height:1;\r\ncolor:#101112;\r\n";
    EXPECT_EQ(html(codeStyleBlock(testColours(), false)),
              head + "font-size:16px;}" + kStyleRules + "</style>");
    EXPECT_EQ(html(codeStyleBlock(testColours(), true)),
              head + "background-color:#f0f1f2;\r\nfont-size:16px;}" + kStyleRules + "</style>");
}

TEST(CodeHtml, ColourBytesAreWrittenRedGreenBlue)
{
    view::ColourSet c;
    c.codeText = 0x00336699;  // a Windows colour: red 0x99, green 0x66, blue 0x33
    EXPECT_NE(html(codeStyleBlock(c, false)).find("color:#996633;"), std::string::npos);
}

TEST(CodeHtml, CodeLinesInClassForm)
{
    view::KeywordTables tables = view::KeywordTables::cAndCpp();
    tables.add(view::KeywordTable::DFun, u"f");
    tables.add(view::KeywordTable::Var, u"x");
    struct Case {
        std::u16string_view line;
        const char* expected;
    };
    const Case cases[] = {
        // An include line is one span, its angle brackets escaped.
        {u"#include <stdio.h>", "<span\nclass=\"includePre\">#include &lt;stdio.h&gt;</span>"},
        {u"  # define N 3", "<span\nclass=\"includePre\">  # define N 3</span>"},
        // A one-letter function called on a variable.
        {u"f(x)",
         "<span\nclass=\"selfFuc\">f</span><span\nclass=\"operator_X\">(</span><span\nclass=\"var\">x</span>"
         "<span\nclass=\"operator_X\">)</span>"},
        // Digits alone are a number; a letter and a digit make a plain word.
        {u"x1 = 42;", "x1 <span\nclass=\"operator_D\">=</span> <span\nclass=\"Digit\">42</span>;"},
        {u"if (a < b) { return true; }",
         "<span\nclass=\"condition\">if</span> <span\nclass=\"operator_X\">(</span>a &lt; b<span\n"
         "class=\"operator_X\">)</span> <span\nclass=\"operator_D\">{</span> <span\nclass=\"condition\">return</span> "
         "<span\nclass=\"bool\">true</span>; <span\nclass=\"operator_D\">}</span>"},
        {u"printf(s);", "<span\nclass=\"sysFunc\">printf</span><span\nclass=\"operator_X\">(</span>s<span\n"
                        "class=\"operator_X\">)</span>;"},
        {u"unsigned n", "<span\nclass=\"key\">unsigned</span> n"},
        // Ampersands are escaped so that code like "&lt;" shows as written.
        {u"a && b &lt;", "a &amp;&amp; b &amp;lt;"},
        {u"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(html(codeLineToHtml(c.line, SpanForm::Class, testColours(), tables)), c.expected) << html(c.line);
}

TEST(CodeHtml, CodeLinesInInlineForm)
{
    const auto tables = view::KeywordTables::cAndCpp();
    struct Case {
        std::u16string_view line;
        const char* expected;
    };
    const Case cases[] = {
        {u"int i = 0;", "<span\nstyle=color:#505152;font-weight:bold;>int</span> i <span\n"
                        "style=color:#303132;font-weight:bold;>=</span> <span\nstyle=color:#a0a1a2;font-weight:bold;>0"
                        "</span>;"},
        {u"sqrt(2)", "<span\nstyle=color:#606162;font-weight:bold;font-style:italic;>sqrt</span><span\n"
                     "style=color:#202122;font-weight:bold;>(</span><span\nstyle=color:#a0a1a2;font-weight:bold;>2"
                     "</span><span\nstyle=color:#202122;font-weight:bold;>)</span>"},
        {u"#include <x>", "<span\nstyle=color:#101112;font-weight:bold;>#include &lt;x&gt;</span>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(html(codeLineToHtml(c.line, SpanForm::InlineStyle, testColours(), tables)), c.expected)
            << html(c.line);
    view::KeywordTables withVar = tables;
    withVar.add(view::KeywordTable::Var, u"i");
    EXPECT_EQ(html(codeLineToHtml(u"i", SpanForm::InlineStyle, testColours(), withVar)),
              "<span\nstyle=color:#808182;font-style:italic;>i</span>");
}

TEST(CodeHtml, BlanksBecomeNonBreakingOnlyWhenAsked)
{
    const auto tables = view::KeywordTables::cAndCpp();
    EXPECT_EQ(html(codeLineToHtml(u"  a b", SpanForm::Class, testColours(), tables, Blanks::NonBreaking)),
              "&nbsp;&nbsp;a&nbsp;b");
    EXPECT_EQ(html(codeLineToHtml(u"  a b", SpanForm::Class, testColours(), tables, Blanks::Keep)), "  a b");
}

library::Chapter sampleChapter()
{
    library::Chapter chapter;
    chapter.paragraphs.push_back(paragraph(u"说明 <b>\r"));
    chapter.paragraphs.push_back(paragraph(u"int n;\r\nn = 1;\r", 1));
    return chapter;
}

// The code paragraph of sampleChapter in class form: "n" is learned as a
// variable on the declaration line and keeps its class on the next line.
constexpr const char* kClassBlock =
    "<pre><br \\><span\nclass=\"key\">int</span> <span\nclass=\"var\">n</span>;<br \\><span\nclass=\"var\">n</span> "
    "<span\nclass=\"operator_D\">=</span> <span\nclass=\"Digit\">1</span>;<br \\></pre>";

TEST(CodeHtml, ArticleInEachPublishingMode)
{
    CodeHtmlOptions options;
    options.colours = testColours();
    const std::string style = html(codeStyleBlock(options.colours, false));
    const std::string classBody = std::string("<p>说明 &lt;b&gt;</p>") + kClassBlock;

    options.colours.codePubMode = 0;
    EXPECT_EQ(html(articleToHtml(sampleChapter(), options)), style + classBody);
    options.colours.codePubMode = 1;
    EXPECT_EQ(html(articleToHtml(sampleChapter(), options)), classBody);
    // Mode 2 away from cnblogs is mode 0.
    options.colours.codePubMode = 2;
    options.blogAddress = u"http://blog.example.org/xmlrpc.php";
    EXPECT_EQ(html(articleToHtml(sampleChapter(), options)), style + classBody);
    options.blogAddress = u"https://rpc.cnblogs.com/metaweblog/someone";
    EXPECT_EQ(html(articleToHtml(sampleChapter(), options)),
              "<p\nstyle=\"text-indent:2em;\">说明 &lt;b&gt;</p><div\nclass=\"cnblogs_Highlighter\">\r\n<pre\n"
              "class=\"brush:cpp;gutter:true;\">\r\nint n;\nn = 1;\n</pre>\r\n</div>");
    options.colours.codePubMode = 3;
    options.codeBackground = true;
    EXPECT_EQ(html(articleToHtml(sampleChapter(), options)),
              "<p\nstyle=\"color:#b0b1b2;\">说明 &lt;b&gt;</p><pre\nstyle=line-height:1;border-style:solid;"
              "border-color:#000;border-width:1px;color:#101112;background-color:#f0f1f2;font-size:16px;><br \\>"
              "<span\nstyle=color:#505152;font-weight:bold;>int</span> <span\nstyle=color:#808182;font-style:italic;>n"
              "</span>;<br \\><span\nstyle=color:#808182;font-style:italic;>n</span> <span\n"
              "style=color:#303132;font-weight:bold;>=</span> <span\nstyle=color:#a0a1a2;font-weight:bold;>1</span>;"
              "<br \\></pre>");
    for (const int mode : {4, -1, 100}) {
        options.colours.codePubMode = mode;
        EXPECT_EQ(articleToHtml(sampleChapter(), options), u"") << mode;
    }
}

TEST(CodeHtml, ChapterWithoutCodeGivesTextParagraphsAndTheStyleBlockInModeZero)
{
    library::Chapter chapter;
    chapter.paragraphs.push_back(paragraph(u"第一段\r"));
    chapter.paragraphs.push_back(paragraph(u"[F3]第二[/F]段\r"));
    CodeHtmlOptions options;
    options.colours = testColours();
    EXPECT_EQ(html(articleToHtml(chapter, options)),
              html(codeStyleBlock(options.colours, false)) + "<p>第一段</p><p>第二段</p>");
}

TEST(CodeHtml, OwnFunctionsAreLearnedFromTheirDeclaration)
{
    library::Chapter chapter;
    chapter.paragraphs.push_back(paragraph(u"void draw(int k)\r\ndraw(k);", 1));
    CodeHtmlOptions options;
    options.colours = testColours();
    options.colours.codePubMode = 1;
    const std::string out = html(articleToHtml(chapter, options));
    EXPECT_NE(out.find("<br \\><span\nclass=\"selfFuc\">draw</span>"), std::string::npos) << out;
    EXPECT_NE(out.find("<span\nclass=\"var\">k</span><span\nclass=\"operator_X\">)</span>;<br \\></pre>"),
              std::string::npos)
        << out;
}

}  // namespace
}  // namespace veyla::output
