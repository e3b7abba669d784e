// SPDX-License-Identifier: MIT
#include "core/view/inline_marks.h"

#include "core/util/utf16.h"

namespace veyla::view {

namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

// Reads "[<letter><digits>]" at pos; returns the number and sets end past
// the "]", or -1 when the text there is not such a tag.
long parseOpenTag(std::u16string_view text, std::size_t pos, char16_t letter, std::size_t& end)
{
    if (pos + 3 >= text.size() || text[pos] != u'[' || text[pos + 1] != letter)
        return -1;
    std::size_t i = pos + 2;
    long number = 0;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        number = number * 10 + (text[i] - u'0');
        if (number > 0xFFFF)
            return -1;
        ++i;
    }
    // A number 0 would mean "no mark": such a tag is not one the writer makes and stays text.
    if (i == digitsStart || i >= text.size() || text[i] != u']' || number == 0)
        return -1;
    end = i + 1;
    return number;
}

void appendPlain(MarkedText& out, std::u16string_view text, std::uint16_t number)
{
    out.text.append(text);
    out.numbers.insert(out.numbers.end(), text.size(), number);
}

// Parses [F] runs in text (no [T] handling) into out.
void parseRuns(std::u16string_view text, MarkedText& out)
{
    std::size_t plainStart = 0;
    std::size_t pos = text.find(u'[');
    while (pos != kNone) {
        std::size_t contentStart = 0;
        const long number = parseOpenTag(text, pos, u'F', contentStart);
        const std::size_t close = number >= 0 ? text.find(u"[/F]", contentStart) : kNone;
        if (close == kNone) {
            pos = text.find(u'[', pos + 1);
            continue;
        }
        appendPlain(out, text.substr(plainStart, pos - plainStart), 0);
        appendPlain(out, text.substr(contentStart, close - contentStart), static_cast<std::uint16_t>(number));
        plainStart = close + 4;
        pos = text.find(u'[', plainStart);
    }
    appendPlain(out, text.substr(plainStart), 0);
}

}  // namespace

MarkedText parseInlineMarks(std::u16string_view tagged)
{
    MarkedText out;
    out.text.reserve(tagged.size());
    out.numbers.reserve(tagged.size());
    std::size_t pos = tagged.find(u"[T");
    while (pos != kNone) {
        std::size_t contentStart = 0;
        const long number = parseOpenTag(tagged, pos, u'T', contentStart);
        const std::size_t close = number >= 0 ? tagged.rfind(u"[/T]") : kNone;
        if (close != kNone && close >= contentStart) {
            // The runs are read from the text with the two tags taken out, so a
            // run may start before the decoration's tag and end inside it.
            std::u16string untagged(tagged.substr(0, pos));
            untagged.append(tagged.substr(contentStart, close - contentStart));
            untagged.append(tagged.substr(close + 4));
            parseRuns(untagged, out);
            out.decoration = static_cast<int>(number);
            return out;
        }
        pos = tagged.find(u"[T", pos + 1);
    }
    parseRuns(tagged, out);
    return out;
}

std::u16string writeInlineMarks(const MarkedText& marked)
{
    std::u16string out;
    out.reserve(marked.text.size() + 16);
    if (marked.decoration != 0)
        out += u"[T" + utf16::number(marked.decoration) + u"]";
    const std::size_t size = marked.text.size();
    std::size_t i = 0;
    while (i < size) {
        const std::uint16_t number = i < marked.numbers.size() ? marked.numbers[i] : 0;
        std::size_t j = i + 1;
        while (j < size && (j < marked.numbers.size() ? marked.numbers[j] : 0) == number)
            ++j;
        if (number == 0) {
            out.append(marked.text, i, j - i);
        } else {
            out += u"[F" + utf16::number(number) + u"]";
            out.append(marked.text, i, j - i);
            out += u"[/F]";
        }
        i = j;
    }
    if (marked.decoration != 0)
        out += u"[/T]";
    return out;
}

}  // namespace veyla::view
