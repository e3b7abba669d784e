// SPDX-License-Identifier: MIT
#include "core/view/annotations.h"

#include <algorithm>

#include "core/util/utf16.h"

namespace veyla::view {

namespace {

int nextNumber(int number)
{
    return number % kAnnotationStyles + 1;
}

void setAnnotation(ParagraphBox& paragraph, int number)
{
    paragraph.annotation = static_cast<std::uint16_t>(number);
}

void setDecoration(ParagraphBox& paragraph, DecorationSlot slot, int index)
{
    switch (slot) {
    case DecorationSlot::Decoration: paragraph.decoration = static_cast<std::uint16_t>(index); break;
    case DecorationSlot::HorizontalLine: paragraph.horizontalLine = index; break;
    case DecorationSlot::ParagraphPicture: paragraph.paragraphPicture = index; break;
    case DecorationSlot::VerticalBar: paragraph.verticalBar = index; break;
    }
}

void annotateUniform(std::vector<ParagraphBox>& paragraphs, std::size_t caret, int number)
{
    if (paragraphs[caret].isCode()) {
        // Text paragraphs that introduce code get the following number.
        const int introduction = number > 0 ? nextNumber(number) : 0;
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            if (!paragraphs[i].isText())
                continue;
            if (paragraphs[i].isCode())
                setAnnotation(paragraphs[i], number);
            else if (i + 1 < paragraphs.size() && paragraphs[i + 1].isCode())
                setAnnotation(paragraphs[i], introduction);
        }
        return;
    }
    const bool positive = paragraphs[caret].annotation > 0;
    for (auto& paragraph : paragraphs)
        if (paragraph.isText() && !paragraph.isCode() && (paragraph.annotation > 0) == positive)
            setAnnotation(paragraph, number);
}

int annotateConsecutive(std::vector<ParagraphBox>& paragraphs, std::size_t caret, int number)
{
    if (number <= 0) {
        for (std::size_t i = caret; i < paragraphs.size(); ++i)
            setAnnotation(paragraphs[i], 0);
        return number;
    }
    const bool code = paragraphs[caret].isCode();
    int current = number;
    for (std::size_t i = caret; i < paragraphs.size(); ++i) {
        ParagraphBox& paragraph = paragraphs[i];
        if (!paragraph.isText())
            continue;
        if (paragraph.isCode() == code) {
            setAnnotation(paragraph, current);
            current = nextNumber(current);
        } else if (code && i + 1 < paragraphs.size() && paragraphs[i + 1].isCode()) {
            setAnnotation(paragraph, nextNumber(current));
        }
    }
    return current;
}

}  // namespace

int effectiveAnnotation(int number)
{
    return number >= 1 && number <= kAnnotationStyles ? number : 0;
}

std::u16string annotationStylePicture(int number)
{
    return utf16::number(effectiveAnnotation(number)) + u".png";
}

bool annotateSelection(LayoutDocument& document, int number)
{
    bool marked = false;
    for (auto& paragraph : document.paragraphs)
        for (auto& line : paragraph.lines)
            for (auto& glyph : line.glyphs) {
                if (!glyph.selected)
                    continue;
                glyph.selected = false;
                if (glyph.isLineEnd())
                    continue;
                glyph.annotation = static_cast<std::uint16_t>(number);
                glyph.noteMark = false;
                marked = true;
            }
    document.selectionBegin = document.selectionEnd = 0;
    return marked;
}

int annotateParagraphs(LayoutDocument& document, std::size_t caretParagraph, AnnotationRange range, int number)
{
    auto& paragraphs = document.paragraphs;
    if (paragraphs.empty())
        return number;
    const std::size_t caret = std::min(caretParagraph, paragraphs.size() - 1);
    const int effective = effectiveAnnotation(number);
    switch (range) {
    case AnnotationRange::ThisParagraph: setAnnotation(paragraphs[caret], effective); return number;
    case AnnotationRange::Uniform: annotateUniform(paragraphs, caret, effective); return number;
    case AnnotationRange::Consecutive: {
        const int current = annotateConsecutive(paragraphs, caret, effective);
        return effective > 0 ? current : number;
    }
    }
    return number;
}

int applyAnnotation(LayoutDocument& document, std::size_t caretParagraph, AnnotationTarget target,
                    AnnotationRange range, int number)
{
    document.modified = true;
    if (target == AnnotationTarget::CharacterRuns) {
        annotateSelection(document, effectiveAnnotation(number));
        return number;
    }
    return annotateParagraphs(document, caretParagraph, range, number);
}

int decorationIndex(const ParagraphBox& paragraph, DecorationSlot slot)
{
    switch (slot) {
    case DecorationSlot::Decoration: return paragraph.decoration;
    case DecorationSlot::HorizontalLine: return paragraph.horizontalLine;
    case DecorationSlot::ParagraphPicture: return paragraph.paragraphPicture;
    case DecorationSlot::VerticalBar: return paragraph.verticalBar;
    }
    return 0;
}

std::optional<int> applyDecorationToggle(LayoutDocument& document, std::size_t caretParagraph, DecorationSlot slot,
                                         Toggle toggle, AnnotationRange range, std::size_t listLength, int textSize,
                                         RandomEngine& engine, std::optional<int> given)
{
    auto& paragraphs = document.paragraphs;
    if (listLength < 2 || paragraphs.empty())
        return std::nullopt;
    const unsigned choices = static_cast<unsigned>(listLength - 1);
    const auto random = [&] { return 1 + static_cast<int>(engine() % choices); };
    const bool on = toggle == Toggle::On;
    const std::size_t caret = std::min(caretParagraph, paragraphs.size() - 1);
    const bool code = paragraphs[caret].isCode();
    const auto eligible = [&](const ParagraphBox& p) {
        return p.isText() && p.height > textSize && p.isCode() == code;
    };
    document.modified = true;
    switch (range) {
    case AnnotationRange::ThisParagraph: setDecoration(paragraphs[caret], slot, on ? random() : 0); return std::nullopt;
    case AnnotationRange::Uniform: {
        const int index = on ? (given ? *given : random()) : 0;
        for (auto& paragraph : paragraphs)
            if (eligible(paragraph))
                setDecoration(paragraph, slot, index);
        return on ? std::optional<int>(index) : std::nullopt;
    }
    case AnnotationRange::Consecutive: {
        unsigned f = static_cast<unsigned>(random());
        for (std::size_t i = caret; i < paragraphs.size(); ++i)
            if (eligible(paragraphs[i]))
                setDecoration(paragraphs[i], slot, on ? static_cast<int>(f++ % choices) + 1 : 0);
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::vector<MarkedRun> markedRuns(const LayoutDocument& document, std::size_t paragraph, std::size_t firstLine,
                                  std::size_t endLine)
{
    std::vector<MarkedRun> runs;
    if (paragraph >= document.paragraphs.size())
        return runs;
    const auto& lines = document.paragraphs[paragraph].lines;
    for (std::size_t l = firstLine; l < std::min(endLine, lines.size()); ++l) {
        const auto& glyphs = lines[l].glyphs;
        for (std::size_t g = 0; g + 1 < glyphs.size(); ++g) {
            const int number = glyphs[g].annotation;
            if (number == 0)
                continue;
            const bool extends = !runs.empty() && runs.back().number == number &&
                                 runs.back().last == TextPosition{paragraph, l, g - (g > 0 ? 1 : 0)} && g > 0;
            if (extends) {
                MarkedRun& run = runs.back();
                run.last = {paragraph, l, g};
                run.right = std::max<double>(run.right, glyphs[g].right);
                run.bottom = std::max<double>(run.bottom, lines[l].glyphBottom(glyphs[g]));
                continue;
            }
            runs.push_back({number, {paragraph, l, g}, {paragraph, l, g}, glyphs[g].left,
                            static_cast<double>(lines[l].top), glyphs[g].right,
                            static_cast<double>(lines[l].glyphBottom(glyphs[g]))});
        }
    }
    return runs;
}

}  // namespace veyla::view
