// SPDX-License-Identifier: MIT
#include "core/output/code_editing.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"

namespace veyla::output {
namespace {

using Lines = std::vector<std::u16string>;

TEST(PastedCode, BecomesCleanLines)
{
    struct Case {
        std::u16string_view text;
        Lines expected;
    };
    const Case cases[] = {
        // Ends trimmed of line breaks and ideographic spaces; a tab is four blanks.
        {u"\r\n\u3000int a;\r\n\tb();\r\n\u3000", {u"int a;", u"    b();"}},
        {u"if (x)\n\t\treturn;", {u"if (x)", u"        return;"}},
        // The listing header of copied web pages and the "¬" marks go.
        {u"x[cpp] view plaincopy\nint y;\u00AC", {u"x", u"\u3000", u"", u"int y;"}},
        {u"a\r\n\r\nb", {u"a", u"", u"b"}},
        {u"\r\n\u3000\r\n", {}},
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pastedCodeLines(c.text), c.expected) << utf16::toUtf8(c.text);
}

TEST(PastedCode, InsertsOneCodeParagraphPerLine)
{
    library::Chapter chapter;
    chapter.paragraphs.resize(2);
    chapter.paragraphs[0].runs.push_back({u"标题\r", {}});
    chapter.paragraphs[1].runs.push_back({u"正文\r", {}});
    EXPECT_EQ(insertCodeParagraphs(chapter, 1, {u"int a;", u""}), 2u);
    ASSERT_EQ(chapter.paragraphs.size(), 4u);
    EXPECT_EQ(chapter.paragraphs[1].text(), u"int a;");
    EXPECT_NE(chapter.paragraphs[1].code, 0);
    // An empty line keeps a line end so that the paragraph survives saving and reading.
    EXPECT_EQ(chapter.paragraphs[2].text(), u"\r");
    EXPECT_NE(chapter.paragraphs[2].code, 0);
    EXPECT_EQ(chapter.paragraphs[3].text(), u"正文\r");
    EXPECT_EQ(chapter.paragraphs[3].code, 0);
    EXPECT_TRUE(chapter.modified);
    // A position past the end appends.
    EXPECT_EQ(insertCodeParagraphs(chapter, 99, {u"x"}), 1u);
    EXPECT_EQ(chapter.paragraphs.back().text(), u"x");
}

Lines reindent(const Lines& lines)
{
    IndentState state;
    return reindentCodeLines(lines, state);
}

TEST(CodeFormat, IndentsByBraceDepth)
{
    struct Case {
        const char* what;
        Lines in;
        Lines expected;
    };
    const Case cases[] = {
        {"nested blocks",
         {u"int main() {", u"      int a = 1;", u"if (a) {", u"\t\ta++;", u"}", u"   return 0;", u"}"},
         {u"int main() {", u"    int a = 1;", u"    if (a) {", u"        a++;", u"    }", u"    return 0;", u"}"}},
        {"braces on their own lines",
         {u"void f()", u"{", u"if (x)", u"{", u"y();", u"}", u"}"},
         {u"void f()", u"{", u"    if (x)", u"    {", u"        y();", u"    }", u"}"}},
        {"else after a closing brace",
         {u"if (a) {", u"b();", u"} else {", u"c();", u"}"},
         {u"if (a) {", u"    b();", u"} else {", u"    c();", u"}"}},
        {"brace-less if, else and while take the next line in",
         {u"if (a)", u"b();", u"else", u"c();", u"while (n--)", u"d();", u"e();"},
         {u"if (a)", u"    b();", u"else", u"    c();", u"while (n--)", u"    d();", u"e();"}},
        {"nested brace-less statements",
         {u"for (;;)", u"if (x)", u"break;", u"y();"},
         {u"for (;;)", u"    if (x)", u"        break;", u"y();"}},
        {"do-while ends with a semicolon and takes nothing in",
         {u"do {", u"n++;", u"} while (n < 3);", u"m();"},
         {u"do {", u"    n++;", u"} while (n < 3);", u"m();"}},
        {"braces in strings, characters and comments do not count",
         {u"s = \"{\";", u"c = '}';", u"x(); // {", u"/* { */ y();", u"z();"},
         {u"s = \"{\";", u"c = '}';", u"x(); // {", u"/* { */ y();", u"z();"}},
        {"lines inside a block comment stay as they are",
         {u"/*", u"   keep {", u"*/", u"a();"},
         {u"/*", u"   keep {", u"*/", u"a();"}},
        {"blank lines lose their blanks; too many closing braces stop at the margin",
         {u"   ", u"}", u"}", u"x;"},
         {u"", u"}", u"}", u"x;"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reindent(c.in), c.expected) << c.what;
}

TEST(CodeFormat, ConsecutiveCodeParagraphsAreOnePiece)
{
    library::Chapter chapter;
    auto add = [&chapter](std::u16string text, int code) {
        library::Paragraph p;
        p.code = code;
        p.runs.push_back({std::move(text), {}});
        chapter.paragraphs.push_back(std::move(p));
    };
    add(u"int main() {", 1);
    add(u"return 0;", 1);
    add(u"}\r", 1);
    add(u"  正文 {\r", 0);
    add(u"  x;\r\n  {\r\ny;\r\n}\r", 1);
    EXPECT_EQ(reindentCodeParagraphs(chapter), 2u);
    EXPECT_EQ(chapter.paragraphs[0].text(), u"int main() {");
    EXPECT_EQ(chapter.paragraphs[1].text(), u"    return 0;");
    EXPECT_EQ(chapter.paragraphs[2].text(), u"}\r");
    // Text paragraphs are left alone and end a piece of code.
    EXPECT_EQ(chapter.paragraphs[3].text(), u"  正文 {\r");
    EXPECT_EQ(chapter.paragraphs[4].text(), u"x;\r\n{\r\n    y;\r\n}\r");
    EXPECT_TRUE(chapter.modified);

    chapter.modified = false;
    EXPECT_EQ(reindentCodeParagraphs(chapter), 0u);
    EXPECT_FALSE(chapter.modified);
}

}  // namespace
}  // namespace veyla::output
