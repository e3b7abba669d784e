// SPDX-License-Identifier: MIT
#include "core/view/code_colouring.h"

#include <gtest/gtest.h>

#include "core/util/utf16.h"
#include "core/view/chapter_conversion.h"
#include "view_test_support.h"

namespace veyla::view {
namespace {

// One letter per unit: t text, s string, c comment, B boolean, K control,
// I type, F function, V variable, D own function, p parenthesis, b brace, d digit.
std::string roles(std::u16string_view line, KeywordTables& tables)
{
    std::string out;
    for (const auto& style : colourCodeLine(line, tables)) {
        switch (style.role) {
        case CodeRole::Text: out += 't'; break;
        case CodeRole::String: out += 's'; break;
        case CodeRole::Comment: out += 'c'; break;
        case CodeRole::Boolean: out += 'B'; break;
        case CodeRole::Control: out += 'K'; break;
        case CodeRole::Type: out += 'I'; break;
        case CodeRole::Function: out += 'F'; break;
        case CodeRole::Variable: out += 'V'; break;
        case CodeRole::OwnFunction: out += 'D'; break;
        case CodeRole::Parenthesis: out += 'p'; break;
        case CodeRole::Brace: out += 'b'; break;
        case CodeRole::Digit: out += 'd'; break;
        }
    }
    return out;
}

TEST(CodeColouring, ColoursEachGlyphOfALine)
{
    struct Case {
        std::u16string_view line;
        const char* expected;
    };
    const Case cases[] = {
        {u"if (x1 == 10) {", "KKtpttttttddptb"},
        {u"return true;", "KKKKKKtBBBBt"},
        {u"a = b / 2; // note", "ttttttcccccccccccc"},
        // The opening quote is not yet inside the string; the closing one is.
        {u"printf(\"ab\");", "FFFFFFptssspt"},
        // A "(" starts the quote count again, even inside a string.
        {u"g(\"a(b\")", "tptsstts"},
        {u"中文注释 x = 1", "cccccccccc"},
        {u"x = 12\r", "ttttddt"},
        {u"while(n--) { }", "KKKKKptttptbtb"},
    };
    for (const auto& c : cases) {
        KeywordTables tables = KeywordTables::cAndCpp();
        EXPECT_EQ(roles(c.line, tables), c.expected) << utf16::toUtf8(c.line);
    }
}

TEST(CodeColouring, TableWordsParenthesesAndBracesAreBold)
{
    KeywordTables tables = KeywordTables::cAndCpp();
    const auto styles = colourCodeLine(u"if (a) {1}", tables);
    EXPECT_TRUE(styles[0].bold);   // if
    EXPECT_TRUE(styles[3].bold);   // (
    EXPECT_FALSE(styles[4].bold);  // a: in no table
    EXPECT_TRUE(styles[7].bold);   // {
    EXPECT_FALSE(styles[8].bold);  // 1
}

TEST(CodeColouring, DeclarationLinesTeachFunctionsAndVariables)
{
    KeywordTables tables = KeywordTables::cAndCpp();
    EXPECT_TRUE(isDeclarationLine(u"int count = 0;", tables));
    EXPECT_TRUE(isDeclarationLine(u"  char* name;", tables));
    EXPECT_FALSE(isDeclarationLine(u"count = 0;", tables));
    EXPECT_FALSE(isDeclarationLine(u"int(x);", tables));

    EXPECT_EQ(roles(u"int add(int a, int b)", tables), "IIItDDDpIIItVttIIItVp");
    EXPECT_TRUE(tables.contains(KeywordTable::DFun, u"add"));
    EXPECT_TRUE(tables.contains(KeywordTable::Var, u"a"));
    EXPECT_TRUE(tables.contains(KeywordTable::Var, u"b"));
    // Learned words colour later lines.
    EXPECT_EQ(roles(u"c = add(a, b);", tables), "ttttDDDpVttVpt");
    // A word after a type word outside a declaration line is learned too.
    roles(u"x = (long total);", tables);
    EXPECT_TRUE(tables.contains(KeywordTable::Var, u"total"));
    // Table words are never learned as variables.
    roles(u"int return;", tables);
    EXPECT_FALSE(tables.contains(KeywordTable::Var, u"return"));
}

TEST(CodeColouring, LaidOutLinesGiveOneStylePerGlyph)
{
    LayoutEngine engine(test::smallParams());
    const auto document = documentFromChapter(test::chapterOf({{u"f(\"𠀀\");", 1}}), engine);
    KeywordTables tables = KeywordTables::cAndCpp();
    const auto& line = document.paragraphs[0].lines[0];
    const auto styles = colourCodeLine(line, tables);
    ASSERT_EQ(styles.size(), line.glyphs.size());
    EXPECT_EQ(styles[3].role, CodeRole::String);  // the surrogate pair glyph
    EXPECT_EQ(styles.back().role, CodeRole::Text);
}

TEST(CodeColouring, RolesHaveTheirColours)
{
    ColourSet colours;
    colours.codeText = 1;
    colours.string = 2;
    colours.ownFunction = 3;
    EXPECT_EQ(colourOf(CodeRole::Text, colours), 1);
    EXPECT_EQ(colourOf(CodeRole::String, colours), 2);
    EXPECT_EQ(colourOf(CodeRole::OwnFunction, colours), 3);
}

}  // namespace
}  // namespace veyla::view
