// SPDX-License-Identifier: MIT
#include "core/search/chapter_texts.h"

#include "core/library/chapter_file.h"
#include "core/library/xml_cursor.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::search {

namespace {

// A cursor over chapter XML that knows only the plain shape.
class PlainScanner {
public:
    explicit PlainScanner(std::u16string_view text) : m_text(text) {}

    void skipSpaces()
    {
        while (m_pos < m_text.size() && library::isXmlSpace(m_text[m_pos]))
            ++m_pos;
    }
    bool atEnd() const { return m_pos == m_text.size(); }
    bool at(std::u16string_view literal) const { return m_text.substr(m_pos, literal.size()) == literal; }
    bool take(std::u16string_view literal)
    {
        if (!at(literal))
            return false;
        m_pos += literal.size();
        return true;
    }

    // "<name" + attributes + ">" or "/>"; empty tells which.
    bool startTag(std::u16string_view name, bool& empty)
    {
        if (!take(u"<") || !take(name) || m_pos >= m_text.size() || library::isXmlNameChar(m_text[m_pos]))
            return false;
        for (;;) {
            const std::size_t beforeSpace = m_pos;
            skipSpaces();
            if (take(u">") || (empty = take(u"/>")))
                return true;
            if (m_pos == beforeSpace || m_pos >= m_text.size() || !library::isXmlNameStart(m_text[m_pos]) || !attribute())
                return false;
        }
    }

    // The text up to the next '<', entity references replaced.
    bool text(std::u16string& out)
    {
        const std::size_t lt = m_text.find(u'<', m_pos);
        if (lt == std::u16string_view::npos)
            return false;
        const std::u16string_view raw = m_text.substr(m_pos, lt - m_pos);
        if (raw.find(u'&') == std::u16string_view::npos)
            out.append(raw);
        else
            out += library::unescapeXml(raw);
        m_pos = lt;
        return true;
    }

private:
    // name = "value" or 'value'; values may hold anything but their quote.
    bool attribute()
    {
        while (m_pos < m_text.size() && library::isXmlNameChar(m_text[m_pos]))
            ++m_pos;
        skipSpaces();
        if (!take(u"="))
            return false;
        skipSpaces();
        if (m_pos >= m_text.size() || (m_text[m_pos] != u'"' && m_text[m_pos] != u'\''))
            return false;
        const std::size_t close = m_text.find(m_text[m_pos], m_pos + 1);
        if (close == std::u16string_view::npos)
            return false;
        m_pos = close + 1;
        return true;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

// One paragraph Chunk, its start tag already read: appends its runs' text.
bool plainParagraph(PlainScanner& in, std::u16string& paragraph)
{
    for (;;) {
        in.skipSpaces();
        if (in.take(u"</Chunk>"))
            return true;
        bool empty = false;
        if (!in.startTag(u"Chunk", empty))
            return false;
        if (!empty && (!in.text(paragraph) || !in.take(u"</Chunk>")))
            return false;
    }
}

}  // namespace

std::optional<std::vector<std::u16string>> plainChapterParagraphs(std::u16string_view xml)
{
    PlainScanner in(xml);
    std::vector<std::u16string> paragraphs;
    bool empty = false;
    in.skipSpaces();
    if (!in.startTag(u"Page", empty))
        return std::nullopt;
    if (!empty) {
        in.skipSpaces();
        bool emptyBody = false;
        if (!in.startTag(u"Body", emptyBody))
            return std::nullopt;
        while (!emptyBody) {
            in.skipSpaces();
            if (in.take(u"</Body>"))
                break;
            bool emptyParagraph = false;
            if (!in.startTag(u"Chunk", emptyParagraph))
                return std::nullopt;
            std::u16string paragraph;
            if (!emptyParagraph && !plainParagraph(in, paragraph))
                return std::nullopt;
            if (!paragraph.empty())
                paragraphs.push_back(std::move(paragraph));
        }
        in.skipSpaces();
        if (!in.take(u"</Page>"))
            return std::nullopt;
    }
    in.skipSpaces();
    if (!in.atEnd())
        return std::nullopt;
    // A chapter without paragraphs reads as one holding "\r".
    if (paragraphs.empty())
        paragraphs.push_back(u"\r");
    return paragraphs;
}

Result<std::vector<std::u16string>> paragraphTexts(std::u16string_view xml)
{
    if (auto plain = plainChapterParagraphs(xml))
        return std::move(*plain);
    auto chapter = library::parseChapter(xml, {});
    if (!chapter)
        return chapter.error();
    std::vector<std::u16string> paragraphs;
    paragraphs.reserve(chapter->paragraphs.size());
    for (const auto& paragraph : chapter->paragraphs)
        paragraphs.push_back(paragraph.text());
    return paragraphs;
}

Result<std::vector<std::u16string>> readParagraphTexts(const std::filesystem::path& path)
{
    // A pipe or device named like a chapter would block or never end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Error{ErrorCode::FileUnavailable, path.string() + ": not a regular file"};
    auto bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    return paragraphTexts(utf16::decodeLittleEndian(*bytes));
}

}  // namespace veyla::search
