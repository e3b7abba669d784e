// SPDX-License-Identifier: MIT
#include "core/speech/chapter_text.h"

#include "core/library/chapter_file.h"

namespace veyla::speech {

namespace {

bool isDigit(char16_t ch)
{
    return ch >= u'0' && ch <= u'9';
}

// The length of the inline mark starting at pos, or 0 when none starts there.
std::size_t markLength(std::u16string_view text, std::size_t pos)
{
    const std::u16string_view rest = text.substr(pos);
    if (rest.starts_with(u"[/F]") || rest.starts_with(u"[/T]"))
        return 4;
    if (rest.size() < 4 || rest[0] != u'[' || (rest[1] != u'F' && rest[1] != u'T'))
        return 0;
    std::size_t at = 2;
    if (rest[at] == u'-')
        ++at;
    const std::size_t digits = at;
    while (at < rest.size() && isDigit(rest[at]))
        ++at;
    if (at == digits || at >= rest.size() || rest[at] != u']')
        return 0;
    return at + 1;
}

}  // namespace

std::u16string removeInlineMarks(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t mark = text[pos] == u'[' ? markLength(text, pos) : 0;
        if (mark > 0) {
            pos += mark;
        } else {
            out.push_back(text[pos]);
            ++pos;
        }
    }
    return out;
}

std::u16string chapterPlainText(const library::Chapter& chapter)
{
    std::u16string text;
    for (std::size_t i = 0; i < chapter.paragraphs.size(); ++i) {
        if (i > 0)
            text += u'\n';
        text += removeInlineMarks(chapter.paragraphs[i].text());
    }
    return text;
}

Result<std::u16string> readChapterPlainText(const std::filesystem::path& path)
{
    auto chapter = library::readChapter(path, {});
    if (!chapter)
        return chapter.error();
    return chapterPlainText(*chapter);
}

}  // namespace veyla::speech
