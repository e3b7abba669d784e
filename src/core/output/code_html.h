// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/library/chapter.h"
#include "core/view/colour_schemes.h"
#include "core/view/keyword_tables.h"

namespace veyla::output {

// The code publishing modes (CodePubMode of the colour settings).
enum CodePublishMode : int {
    kWhatYouSee = 0,    // "所见所得": style block, class spans
    kSiteWide = 1,      // "全站统一": class spans, the blog's stylesheet defines them
    kCompatible = 2,    // "兼容高亮": cnblogs' own highlighter on cnblogs, else as 0
    kExactColours = 3,  // "确保配色": inline styles
};

// How a token is wrapped: by class name or with its colour inline.
enum class SpanForm { Class, InlineStyle };
// Whether blanks of a code line become "&nbsp;" (outside a pre element).
enum class Blanks { Keep, NonBreaking };

// What the conversion of a chapter needs besides the chapter.
struct CodeHtmlOptions {
    view::ColourSet colours;      // the code colours; codePubMode chooses the mode
    bool codeBackground = false;  // bCodeBg: pre blocks get the code background colour
    std::u16string blogAddress;   // mode 2 uses cnblogs markup when it contains "cnblogs"
};

// The whole chapter as HTML in the mode colours.codePubMode; empty for a
// mode outside 0-3. Own functions and variables are learned from the code
// lines as the reading view learns them, starting from tables.
std::u16string articleToHtml(const library::Chapter& chapter, const CodeHtmlOptions& options,
                             const view::KeywordTables& tables = view::KeywordTables::cAndCpp());

// The style block with the pre rule and the class rules.
std::u16string codeStyleBlock(const view::ColourSet& colours, bool codeBackground);

// One code line with its tokens wrapped: a line whose first non-blank
// character is "#" is one includePre span; otherwise words (runs of ASCII
// letters, digits and "_") take the class of the first table holding them
// (digits only: Digit), parentheses are operator_X spans, "{", "}" and "="
// operator_D spans. "&", "<" and ">" are escaped.
std::u16string codeLineToHtml(std::u16string_view line, SpanForm form, const view::ColourSet& colours,
                              const view::KeywordTables& tables, Blanks blanks = Blanks::Keep);

// The lines of one code paragraph as a pre block ("<pre><br \>" … "<br \></pre>",
// with the pre's own inline style in the inline form).
std::u16string codeBlockToHtml(const std::vector<std::u16string>& lines, SpanForm form,
                               const view::ColourSet& colours, bool codeBackground, view::KeywordTables& tables);

// The chapter in cnblogs' highlighter markup (mode 2 on a cnblogs blog).
std::u16string cnblogsArticle(const library::Chapter& chapter);

// Lets the tables learn the own functions and variables of a code line, as
// colouring it in the reading view does.
void learnCodeLine(std::u16string_view line, view::KeywordTables& tables);

}  // namespace veyla::output
