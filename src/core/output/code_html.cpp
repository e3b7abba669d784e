// SPDX-License-Identifier: MIT
#include "core/output/code_html.h"

#include "core/output/html_text.h"
#include "core/view/code_colouring.h"

namespace veyla::output {

namespace {

// The token classes of the output, each with its CSS class name.
enum class TokenClass { Bool, Condition, Key, SysFunc, Var, SelfFunc, Digit, IncludePre, OperatorD, OperatorX };

std::u16string_view className(TokenClass token)
{
    switch (token) {
    case TokenClass::Bool: return u"bool";
    case TokenClass::Condition: return u"condition";
    case TokenClass::Key: return u"key";
    case TokenClass::SysFunc: return u"sysFunc";
    case TokenClass::Var: return u"var";
    case TokenClass::SelfFunc: return u"selfFuc";
    case TokenClass::Digit: return u"Digit";
    case TokenClass::IncludePre: return u"includePre";
    case TokenClass::OperatorD: return u"operator_D";
    case TokenClass::OperatorX: return u"operator_X";
    }
    return {};
}

view::Colour colourOf(TokenClass token, const view::ColourSet& c)
{
    switch (token) {
    case TokenClass::Bool: return c.boolean;
    case TokenClass::Condition: return c.control;
    case TokenClass::Key: return c.type;
    case TokenClass::SysFunc: return c.function;
    case TokenClass::Var: return c.variable;
    case TokenClass::SelfFunc: return c.ownFunction;
    case TokenClass::Digit: return c.digit;
    case TokenClass::IncludePre: return c.codeText;
    case TokenClass::OperatorD: return c.brace;
    case TokenClass::OperatorX: return c.parenthesis;
    }
    return c.codeText;
}

TokenClass classOf(view::KeywordTable table)
{
    switch (table) {
    case view::KeywordTable::True: return TokenClass::Bool;
    case view::KeywordTable::Control: return TokenClass::Condition;
    case view::KeywordTable::Int: return TokenClass::Key;
    case view::KeywordTable::Fun: return TokenClass::SysFunc;
    case view::KeywordTable::Var: return TokenClass::Var;
    case view::KeywordTable::DFun: return TokenClass::SelfFunc;
    }
    return TokenClass::Key;
}

// The CSS rule of a class in the style block: the colour and the weight or slant.
std::u16string classRule(TokenClass token, const view::ColourSet& colours)
{
    std::u16string_view tail = u"font-weight:bold;";
    if (token == TokenClass::SysFunc)
        tail = u"font-style:italic;font-weight:bold;";
    else if (token == TokenClass::Var)
        tail = u"font-style:italic;";
    else if (token == TokenClass::Key || token == TokenClass::SelfFunc || token == TokenClass::Bool ||
             token == TokenClass::IncludePre)
        tail = u"";
    std::u16string rule = u".";
    rule += className(token);
    rule += u"{color:#" + colourHex(colourOf(token, colours)) + u";";
    rule += tail;
    rule += u"}\r\n";
    return rule;
}

// The style text of a span in the inline form.
std::u16string inlineStyle(TokenClass token, const view::ColourSet& colours)
{
    std::u16string style = u"color:#" + colourHex(colourOf(token, colours)) + u";";
    if (token == TokenClass::SysFunc)
        style += u"font-weight:bold;font-style:italic;";
    else if (token == TokenClass::Var)
        style += u"font-style:italic;";
    else
        style += u"font-weight:bold;";
    return style;
}

struct SpanWriter {
    SpanForm form;
    const view::ColourSet& colours;

    void open(std::u16string& out, TokenClass token) const
    {
        if (form == SpanForm::Class) {
            out += u"<span\nclass=\"";
            out += className(token);
            out += u"\">";
        } else {
            out += u"<span\nstyle=";
            out += inlineStyle(token, colours);
            out += u">";
        }
    }
    void wrap(std::u16string& out, TokenClass token, std::u16string_view text) const
    {
        open(out, token);
        out += text;
        out += u"</span>";
    }
};

bool isWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

bool isDigits(std::u16string_view word)
{
    for (const char16_t c : word)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

void appendCodeChar(std::u16string& out, char16_t c, Blanks blanks)
{
    if (c == u' ' && blanks == Blanks::NonBreaking)
        out += u"&nbsp;";
    else if (c == u'<')
        out += u"&lt;";
    else if (c == u'>')
        out += u"&gt;";
    else if (c == u'&')
        out += u"&amp;";
    else
        out += c;
}

bool isPreprocessorLine(std::u16string_view line)
{
    const auto first = line.find_first_not_of(u" \t");
    return first != std::u16string_view::npos && line[first] == u'#';
}

void appendTextParagraph(std::u16string& out, const library::Paragraph& paragraph, const CodeHtmlOptions& options,
                         SpanForm form)
{
    for (const auto& line : paragraphLines(paragraph)) {
        if (form == SpanForm::InlineStyle)
            out += u"<p\nstyle=\"color:#" + colourHex(options.colours.text) + u";\">";
        else
            out += u"<p>";
        appendEscapedHtml(out, line);
        out += u"</p>";
    }
}

std::u16string paragraphsToHtml(const library::Chapter& chapter, const CodeHtmlOptions& options, SpanForm form,
                                view::KeywordTables tables)
{
    std::u16string out;
    for (const auto& paragraph : chapter.paragraphs) {
        if (paragraph.code != 0)
            out += codeBlockToHtml(paragraphLines(paragraph), form, options.colours, options.codeBackground, tables);
        else
            appendTextParagraph(out, paragraph, options, form);
    }
    return out;
}

}  // namespace

void learnCodeLine(std::u16string_view line, view::KeywordTables& tables)
{
    (void)view::colourCodeLine(line, tables);
}

std::u16string codeStyleBlock(const view::ColourSet& colours, bool codeBackground)
{
    std::u16string out = u"<style\ntype=\"text/css\">\r\npre{\r\nborder-style:solid;border-width:1px;border-color:#000;"
                         u"line-height:1;\r\ncolor:#";
    out += colourHex(colours.codeText) + u";\r\n";
    if (codeBackground)
        out += u"background-color:#" + colourHex(colours.codeBg) + u";\r\n";
    out += u"font-size:16px;}";
    for (const auto token : {TokenClass::SysFunc, TokenClass::SelfFunc, TokenClass::Bool, TokenClass::Condition,
                             TokenClass::Key, TokenClass::Var, TokenClass::Digit, TokenClass::IncludePre,
                             TokenClass::OperatorD, TokenClass::OperatorX})
        out += classRule(token, colours);
    out += u"</style>";
    return out;
}

std::u16string codeLineToHtml(std::u16string_view line, SpanForm form, const view::ColourSet& colours,
                              const view::KeywordTables& tables, Blanks blanks)
{
    const SpanWriter spans{form, colours};
    std::u16string out;
    if (isPreprocessorLine(line)) {
        spans.open(out, TokenClass::IncludePre);
        for (const char16_t c : line)
            appendCodeChar(out, c, blanks);
        out += u"</span>";
        return out;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        if (isWordChar(c)) {
            std::size_t end = i;
            while (end < line.size() && isWordChar(line[end]))
                ++end;
            const std::u16string_view word = line.substr(i, end - i);
            if (isDigits(word))
                spans.wrap(out, TokenClass::Digit, word);
            else if (const auto table = tables.find(word))
                spans.wrap(out, classOf(*table), word);
            else
                out += word;
            i = end - 1;
        } else if (c == u'(' || c == u')') {
            spans.wrap(out, TokenClass::OperatorX, line.substr(i, 1));
        } else if (c == u'{' || c == u'}' || c == u'=') {
            spans.wrap(out, TokenClass::OperatorD, line.substr(i, 1));
        } else {
            appendCodeChar(out, c, blanks);
        }
    }
    return out;
}

std::u16string codeBlockToHtml(const std::vector<std::u16string>& lines, SpanForm form,
                               const view::ColourSet& colours, bool codeBackground, view::KeywordTables& tables)
{
    std::u16string out;
    if (form == SpanForm::Class) {
        out = u"<pre><br \\>";
    } else {
        out = u"<pre\nstyle=line-height:1;border-style:solid;border-color:#000;border-width:1px;color:#" +
              colourHex(colours.codeText) + u";";
        if (codeBackground)
            out += u"background-color:#" + colourHex(colours.codeBg) + u";";
        out += u"font-size:16px;><br \\>";
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += u"<br \\>";
        learnCodeLine(lines[i], tables);
        out += codeLineToHtml(lines[i], form, colours, tables);
    }
    out += u"<br \\></pre>";
    return out;
}

std::u16string cnblogsArticle(const library::Chapter& chapter)
{
    std::u16string out;
    for (const auto& paragraph : chapter.paragraphs) {
        if (paragraph.code == 0) {
            for (const auto& line : paragraphLines(paragraph))
                out += u"<p\nstyle=\"text-indent:2em;\">" + escapeHtml(line) + u"</p>";
            continue;
        }
        out += u"<div\nclass=\"cnblogs_Highlighter\">\r\n<pre\nclass=\"brush:cpp;gutter:true;\">\r\n";
        for (const auto& line : paragraphLines(paragraph))
            out += escapeHtml(line) + u"\n";
        out += u"</pre>\r\n</div>";
    }
    return out;
}

std::u16string articleToHtml(const library::Chapter& chapter, const CodeHtmlOptions& options,
                             const view::KeywordTables& tables)
{
    const bool onCnblogs = options.blogAddress.find(u"cnblogs") != std::u16string::npos;
    switch (options.colours.codePubMode) {
    case kWhatYouSee:
        return codeStyleBlock(options.colours, options.codeBackground) +
               paragraphsToHtml(chapter, options, SpanForm::Class, tables);
    case kSiteWide: return paragraphsToHtml(chapter, options, SpanForm::Class, tables);
    case kCompatible:
        if (onCnblogs)
            return cnblogsArticle(chapter);
        return codeStyleBlock(options.colours, options.codeBackground) +
               paragraphsToHtml(chapter, options, SpanForm::Class, tables);
    case kExactColours: return paragraphsToHtml(chapter, options, SpanForm::InlineStyle, tables);
    default: return {};
    }
}

}  // namespace veyla::output
