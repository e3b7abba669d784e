// SPDX-License-Identifier: MIT
#include "core/output/html_text.h"

#include <algorithm>

#include "core/view/inline_marks.h"

namespace veyla::output {

void appendEscapedHtml(std::u16string& out, std::u16string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::u16string_view entity;
        switch (text[i]) {
        case u'&': entity = u"&amp;"; break;
        case u'<': entity = u"&lt;"; break;
        case u'>': entity = u"&gt;"; break;
        default: continue;
        }
        out.append(text.substr(start, i - start));
        out.append(entity);
        start = i + 1;
    }
    out.append(text.substr(start));
}

std::u16string escapeHtml(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    appendEscapedHtml(out, text);
    return out;
}

std::u16string escapeAttribute(std::u16string_view text)
{
    std::u16string out;
    for (const char16_t c : escapeHtml(text)) {
        if (c == u'"')
            out += u"&quot;";
        else if (c == u'\'')
            out += u"&#39;";
        else
            out += c;
    }
    return out;
}

std::u16string colourHex(view::Colour colour)
{
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string out;
    for (const int byte : {view::redOf(colour), view::greenOf(colour), view::blueOf(colour)}) {
        out += kDigits[(byte >> 4) & 0xF];
        out += kDigits[byte & 0xF];
    }
    return out;
}

std::u16string plainParagraphText(const library::Paragraph& paragraph)
{
    std::u16string text = paragraph.text();
    std::erase(text, u'\b');
    return view::parseInlineMarks(text).text;
}

std::vector<std::u16string> paragraphLines(const library::Paragraph& paragraph)
{
    std::u16string text = plainParagraphText(paragraph);
    if (text.ends_with(u"\r\n"))
        text.resize(text.size() - 2);
    else if (!text.empty() && (text.back() == u'\r' || text.back() == u'\n'))
        text.pop_back();
    std::vector<std::u16string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            lines.back() += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        lines.emplace_back();
    }
    return lines;
}

}  // namespace veyla::output
