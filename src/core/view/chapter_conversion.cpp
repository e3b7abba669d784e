// SPDX-License-Identifier: MIT
#include "core/view/chapter_conversion.h"

#include "core/util/utf16.h"

namespace veyla::view {

namespace {

// Removes one line end ("\r\n", "\r" or "\n") at the end of the text.
void dropFinalLineEnd(MarkedText& marked)
{
    auto& text = marked.text;
    std::size_t cut = 0;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0)
        cut = 2;
    else if (!text.empty() && (text.back() == u'\r' || text.back() == u'\n'))
        cut = 1;
    text.resize(text.size() - cut);
    if (marked.numbers.size() > text.size())
        marked.numbers.resize(text.size());
}

ParagraphBox paragraphShell(const library::Paragraph& source, int decoration)
{
    ParagraphBox box;
    box.code = source.code;
    box.lineSpacing = source.lineSpacing;
    box.fontSize = source.fontSize;
    box.fontFace = source.fontFace;
    box.verticalBar = source.verticalBar;
    box.horizontalLine = source.horizontalLine;
    box.paragraphPicture = source.paragraphPicture;
    box.annotation = static_cast<std::uint16_t>(source.annotation);
    box.decoration = static_cast<std::uint16_t>(decoration);
    return box;
}

// Glyphs of units [begin, end) of plain text: a surrogate pair becomes one
// glyph, each line break ("\r\n", "\r" or "\n") one "\r" glyph, and a
// backspace character none; numbers give the annotation numbers.
class TextGlyphs final : public GlyphSource {
public:
    TextGlyphs(std::u16string_view text, const std::vector<std::uint16_t>& numbers, std::size_t begin, std::size_t end)
        : m_text(text), m_numbers(numbers), m_at(begin), m_end(end)
    {
    }

    const GlyphNode* next() override
    {
        while (m_at < m_end) {
            const std::size_t i = m_at++;
            const char16_t ch = m_text[i];
            if (ch == u'\b')
                continue;
            if (ch == u'\r' || ch == u'\n') {
                if (ch == u'\r' && m_at < m_end && m_text[m_at] == u'\n')
                    ++m_at;
                m_glyph = lineEndGlyph();
                return &m_glyph;
            }
            m_glyph = glyphFor(ch);
            if (utf16::isHighSurrogate(ch) && m_at < m_end && utf16::isLowSurrogate(m_text[m_at]))
                m_glyph.low = m_text[m_at++];
            m_glyph.annotation = i < m_numbers.size() ? m_numbers[i] : 0;
            return &m_glyph;
        }
        return nullptr;
    }

private:
    std::u16string_view m_text;
    const std::vector<std::uint16_t>& m_numbers;
    std::size_t m_at;
    std::size_t m_end;
    GlyphNode m_glyph;
};

void addParagraphs(const library::Paragraph& source, const LayoutEngine& engine, LayoutDocument& document)
{
    // Backspace characters are dropped before the marks are read, as they
    // never become glyphs; the plain copy goes before the glyphs are made.
    MarkedText marked = [&] {
        std::u16string text = source.text();
        std::erase(text, u'\b');
        if (text.find(u'[') == std::u16string::npos) {
            // No marks: the text as it is, and no annotation numbers (missing numbers are 0).
            MarkedText plain;
            plain.text = std::move(text);
            return plain;
        }
        return parseInlineMarks(text);
    }();
    dropFinalLineEnd(marked);
    const std::u16string_view text = marked.text;
    ParagraphBox box = paragraphShell(source, marked.decoration);
    if (box.isCode()) {
        box.id = document.newParagraphId();
        TextGlyphs glyphs(text, marked.numbers, 0, text.size());
        engine.setContent(box, glyphs);
        document.paragraphs.push_back(std::move(box));
        return;
    }
    // Text paragraphs hold no line breaks: each one starts a paragraph of its own.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        ParagraphBox part = box;
        part.id = document.newParagraphId();
        TextGlyphs glyphs(text, marked.numbers, start, i);
        engine.setContent(part, glyphs);
        document.paragraphs.push_back(std::move(part));
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
}

}  // namespace

std::vector<GlyphNode> glyphsFromText(std::u16string_view text, const std::vector<std::uint16_t>& numbers)
{
    std::vector<GlyphNode> glyphs;
    glyphs.reserve(text.size());
    TextGlyphs source(text, numbers, 0, text.size());
    while (const GlyphNode* glyph = source.next())
        glyphs.push_back(*glyph);
    return glyphs;
}

LayoutDocument documentFromChapter(const library::Chapter& chapter, const LayoutEngine& engine, std::uint64_t firstId)
{
    LayoutDocument document;
    document.nextParagraphId = firstId;
    document.version = chapter.version;
    document.columnDistance = chapter.columnDistance;
    document.publishStatus = chapter.publishStatus;
    document.modified = chapter.modified;
    document.paragraphs.reserve(chapter.paragraphs.size());
    for (const auto& paragraph : chapter.paragraphs)
        addParagraphs(paragraph, engine, document);
    if (document.paragraphs.empty()) {
        document.paragraphs.emplace_back().id = document.newParagraphId();
        engine.setContent(document.paragraphs.back(), {});
    }
    engine.layoutDocument(document);
    return document;
}

MarkedText markedTextOf(const ParagraphBox& paragraph, const LayoutEngine& engine)
{
    MarkedText marked;
    marked.decoration = paragraph.decoration;
    (void)engine;
    forEachLogicalGlyph(paragraph, [&](const GlyphNode& glyph) {
        if (glyph.ch == u'\r') {
            marked.text += u"\r\n";
            marked.numbers.insert(marked.numbers.end(), 2, 0);
            return;
        }
        marked.text += glyph.ch;
        marked.numbers.push_back(glyph.annotation);
        if (glyph.low != 0) {
            marked.text += glyph.low;
            marked.numbers.push_back(glyph.annotation);
        }
    });
    return marked;
}

std::u16string taggedTextOf(const ParagraphBox& paragraph, const LayoutEngine& engine)
{
    return writeInlineMarks(markedTextOf(paragraph, engine));
}

library::Chapter chapterFromDocument(const LayoutDocument& document, const LayoutEngine& engine)
{
    library::Chapter chapter;
    chapter.version = document.version;
    chapter.columnDistance = document.columnDistance;
    chapter.publishStatus = document.publishStatus;
    chapter.modified = document.modified;
    for (const auto& box : document.paragraphs) {
        if (!box.isText())
            continue;
        library::Paragraph paragraph;
        paragraph.code = box.code;
        paragraph.lineSpacing = box.lineSpacing;
        paragraph.fontSize = box.fontSize;
        paragraph.fontFace = box.fontFace;
        paragraph.verticalBar = box.verticalBar;
        paragraph.horizontalLine = box.horizontalLine;
        paragraph.paragraphPicture = box.paragraphPicture;
        paragraph.annotation = box.annotation;
        // Reading takes one final line end as the paragraph's own end, so a
        // paragraph that is empty or ends with an empty code line gets one.
        MarkedText marked = markedTextOf(box, engine);
        if (marked.text.empty() || marked.text.back() == u'\n') {
            marked.text.push_back(u'\r');
            marked.numbers.push_back(0);
        }
        paragraph.runs.push_back({writeInlineMarks(marked), {}});
        chapter.paragraphs.push_back(std::move(paragraph));
    }
    return chapter;
}

}  // namespace veyla::view
