// SPDX-License-Identifier: MIT
#include "core/epub/xhtml_text.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace veyla::epub {
namespace {

struct StripCase {
    const char* what;
    std::string in;
    std::string out;
};

class StripMarkupTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripMarkupTest, GivesText)
{
    EXPECT_EQ(stripMarkup(GetParam().in), GetParam().out) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Tags, StripMarkupTest,
    ::testing::Values(
        // The title element goes when it closes on its line; otherwise only its tags go.
        StripCase{"title", "<head><title>T</title></head>x", "x"},
        StripCase{"title across lines", "<title>\nT\n</title>x", "\nT\nx"},
        StripCase{"title up to the first close", "<title>a</title>b</title>c", "bc"},
        StripCase{"title with carriage return", "<title>T\r</title>x", "T\rx"},
        // Any '<' then something other than '>' runs to the next '>', across lines.
        StripCase{"tag across lines", "<span\nclass=\"a\">b</span>", "b"},
        StripCase{"stray less-than", "a < b and c > d", "a  d"},
        StripCase{"empty brackets stay", "a <> b", "a <> b"},
        StripCase{"no closing bracket", "x<y", "x<y"},
        StripCase{"comment and declaration", "<?xml version=\"1.0\"?><!DOCTYPE html><!-- c -->t", "t"}));

INSTANTIATE_TEST_SUITE_P(
    Blocks, StripMarkupTest,
    ::testing::Values(
        StripCase{"paragraphs without newlines", "<p>one</p><p>two</p>", "one\ntwo\n"},
        StripCase{"pretty-printed paragraphs", "<p>one</p>\n<p>two</p>\n", "one\ntwo\n"},
        StripCase{"windows line ends", "<p>one</p>\r\n<p>two</p>", "one\r\ntwo\n"},
        StripCase{"line break", "a<br/>b<br>c<BR />d", "a\nb\nc\nd"},
        StripCase{"nested ends give one break", "<div><p>a</p></div><div>b</div>", "a\nb\n"},
        StripCase{"headings and lists", "<h2>Chapter 1</h2><ul><li>x</li><li>y</li></ul>", "Chapter 1\nx\ny\n"},
        StripCase{"prefixed names", "<h:p>a</h:p>b", "a\nb"},
        StripCase{"inline tags keep the line", "a<b>b</b><i>c</i>", "abc"},
        StripCase{"self-closing paragraph", "a<p/>b", "a\nb"}));

INSTANTIATE_TEST_SUITE_P(
    References, StripMarkupTest,
    ::testing::Values(
        StripCase{"xml five", "&lt;p&gt; &amp; &quot;&apos;", "<p> & \"'"},
        StripCase{"decoded once", "&amp;lt;", "&lt;"},
        StripCase{"numeric", "&#20013;&#x6587;&#X41;", "\xE4\xB8\xAD\xE6\x96\x87" "A"},
        StripCase{"named", "&nbsp;&mdash;&hellip;", "\xC2\xA0\xE2\x80\x94\xE2\x80\xA6"},
        StripCase{"quotes", "&ldquo;&rdquo;&lsquo;&rsquo;", "\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\x98\xE2\x80\x99"},
        StripCase{"invalid numbers", "&#0;&#xD800;&#99999999;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        StripCase{"unknown stays", "&foo; AT&T &#xZZ; &", "&foo; AT&T &#xZZ; &"},
        StripCase{"no markup inside decoded text", "&lt;p&gt;x&lt;/p&gt;", "<p>x</p>"}));

INSTANTIATE_TEST_SUITE_P(
    Dropped, StripMarkupTest,
    ::testing::Values(
        StripCase{"script", "<script type=\"t\">if (a<b) x='</p>';</script>ok", "ok"},
        StripCase{"style", "<STYLE>p { a: b }</style>t", "t"},
        StripCase{"unclosed script", "a<script>b<p>c</p>", "a"},
        StripCase{"self-closing script", "a<script src=\"x\"/>b", "ab"},
        StripCase{"byte-order mark", "\xEF\xBB\xBF<p>a</p>", "a\n"}));

TEST(XhtmlTextTest, ConvertsUtf8ToUtf16)
{
    EXPECT_EQ(extractXhtmlText("<p>第一回\xF0\x9F\x98\x80</p>"), u"第一回\U0001F600\n");
    EXPECT_EQ(extractXhtmlText("a\xFF"), u"a\uFFFD");
}

// Without block ends, references, script or style, the text is exactly what
// replacing the expression "<title.*?title>|</?[^>]+>" with nothing gives.
TEST(XhtmlTextTest, MatchesTheRegularExpressionOnRandomMarkup)
{
    const std::regex markup("<title.*?title>|</?[^>]+>");
    const std::vector<std::string> pieces{"<", ">", "/", "title", "\n", "\r", "x", " ", "<title>", "title>", "ab"};
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        const std::size_t count = random() % 30;
        for (std::size_t i = 0; i < count; ++i)
            input += pieces[random() % pieces.size()];
        ASSERT_EQ(stripMarkup(input), std::regex_replace(input, markup, "")) << input;
    }
}

// Inputs that make a backtracking or rescanning stripper take quadratic time.
TEST(XhtmlTextTest, HandlesLongRunsWithoutClosingBrackets)
{
    const std::string brackets(2'000'000, '<');
    EXPECT_EQ(stripMarkup(brackets), brackets);
    std::string titles;
    for (int i = 0; i < 200'000; ++i)
        titles += "<title";
    EXPECT_EQ(stripMarkup(titles), titles);
    std::string ampersands(2'000'000, '&');
    EXPECT_EQ(stripMarkup(ampersands), ampersands);
    std::string scripts;
    for (int i = 0; i < 100'000; ++i)
        scripts += "<script></scrip";
    EXPECT_EQ(stripMarkup("a" + scripts), "a");
}

}  // namespace
}  // namespace veyla::epub
