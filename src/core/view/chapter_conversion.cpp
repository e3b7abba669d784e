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

void addParagraphs(const library::Paragraph& source, const LayoutEngine& engine, LayoutDocument& document)
{
    // Backspace characters are dropped before the marks are read, as they never become glyphs.
    std::u16string text = source.text();
    std::erase(text, u'\b');
    MarkedText marked = parseInlineMarks(text);
    dropFinalLineEnd(marked);
    std::vector<GlyphNode> glyphs = glyphsFromText(marked.text, marked.numbers);
    ParagraphBox box = paragraphShell(source, marked.decoration);
    if (box.isCode()) {
        engine.setContent(box, std::move(glyphs));
        document.paragraphs.push_back(std::move(box));
        return;
    }
    // Text paragraphs hold no line breaks: each one starts a paragraph of its own.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= glyphs.size(); ++i) {
        if (i < glyphs.size() && glyphs[i].ch != u'\r')
            continue;
        ParagraphBox part = box;
        engine.setContent(part, std::vector<GlyphNode>(glyphs.begin() + static_cast<std::ptrdiff_t>(start),
                                                       glyphs.begin() + static_cast<std::ptrdiff_t>(i)));
        document.paragraphs.push_back(std::move(part));
        start = i + 1;
    }
}

}  // namespace

std::vector<GlyphNode> glyphsFromText(std::u16string_view text, const std::vector<std::uint16_t>& numbers)
{
    std::vector<GlyphNode> glyphs;
    glyphs.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        const std::uint16_t number = i < numbers.size() ? numbers[i] : 0;
        if (ch == u'\b')
            continue;
        if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            glyphs.push_back(lineEndGlyph());
            continue;
        }
        GlyphNode glyph = glyphFor(ch);
        if (utf16::isHighSurrogate(ch) && i + 1 < text.size() && utf16::isLowSurrogate(text[i + 1]))
            glyph.low = text[++i];
        glyph.annotation = number;
        glyphs.push_back(glyph);
    }
    return glyphs;
}

LayoutDocument documentFromChapter(const library::Chapter& chapter, const LayoutEngine& engine)
{
    LayoutDocument document;
    document.version = chapter.version;
    document.columnDistance = chapter.columnDistance;
    document.publishStatus = chapter.publishStatus;
    document.modified = chapter.modified;
    document.paragraphs.reserve(chapter.paragraphs.size());
    for (const auto& paragraph : chapter.paragraphs)
        addParagraphs(paragraph, engine, document);
    if (document.paragraphs.empty()) {
        document.paragraphs.emplace_back();
        engine.setContent(document.paragraphs.back(), {});
    }
    engine.layoutDocument(document);
    return document;
}

MarkedText markedTextOf(const ParagraphBox& paragraph, const LayoutEngine& engine)
{
    MarkedText marked;
    marked.decoration = paragraph.decoration;
    for (const auto& glyph : engine.logicalGlyphs(paragraph)) {
        if (glyph.ch == u'\r') {
            marked.text += u"\r\n";
            marked.numbers.insert(marked.numbers.end(), 2, 0);
            continue;
        }
        marked.text += glyph.ch;
        marked.numbers.push_back(glyph.annotation);
        if (glyph.low != 0) {
            marked.text += glyph.low;
            marked.numbers.push_back(glyph.annotation);
        }
    }
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
