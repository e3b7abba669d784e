// SPDX-License-Identifier: MIT
// Opens arbitrary text as a chapter in the reading view's model, saves and
// reopens it, then edits it by the remaining bytes. The marks must survive
// the save, and after every edit the layout must be whole: every line ends
// with its "\r" glyph, paragraphs follow one another without gaps, the
// caret stands on a glyph. The same edits made through the reading model
// are then undone to the text opened and redone to the text edited.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/utf16.h"
#include "core/view/chapter_conversion.h"
#include "core/view/editor.h"
#include "core/view/reading_model.h"

using namespace veyla;
using namespace veyla::view;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkLayout(const LayoutDocument& document, const Caret& caret)
{
    check(!document.paragraphs.empty());
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        const ParagraphBox& paragraph = document.paragraphs[p];
        check(!paragraph.lines.empty());
        check(!paragraph.lines[0].continuation);
        if (p > 0)
            check(paragraph.top == document.paragraphs[p - 1].bottom);
        for (const auto& line : paragraph.lines) {
            check(!line.glyphs.empty() && line.glyphs.back().ch == u'\r');
            for (std::size_t g = 0; g + 1 < line.glyphs.size(); ++g)
                check(line.glyphs[g].ch != u'\r');
        }
    }
    const auto& position = caret.position;
    check(position.paragraph < document.paragraphs.size());
    const auto& lines = document.paragraphs[position.paragraph].lines;
    check(position.line < lines.size() && position.glyph < lines[position.line].glyphs.size());
}

library::Chapter chapterFrom(std::u16string_view text, bool code)
{
    library::Chapter chapter;
    // Paragraphs are separated by U+0001 so that one input holds several.
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\x01', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        library::Paragraph paragraph;
        paragraph.code = code && chapter.paragraphs.size() % 2 == 0 ? 1 : 0;
        paragraph.runs.push_back({std::u16string(text.substr(start, end - start)), {}});
        chapter.paragraphs.push_back(std::move(paragraph));
        start = end + 1;
    }
    return chapter;
}

// Every paragraph's saved text, with its attributes.
std::vector<std::u16string> savedTexts(ReadingModel& model)
{
    std::vector<std::u16string> texts;
    for (const auto& paragraph : model.chapterForSaving().chapter.paragraphs)
        texts.push_back(paragraph.text() + (paragraph.fontFace ? *paragraph.fontFace : u""));
    return texts;
}

// The edits of the input through the model, then undo of all of them and redo of all of them.
void checkUndo(const library::Chapter& chapter, const LayoutParams& params, const std::uint8_t* ops, std::size_t size)
{
    ReadingModel model(params);
    model.open(chapter);
    const auto opened = savedTexts(model);
    std::size_t edits = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t arg = ops[i + 1];
        switch (ops[i] % 10) {
        case 0: (void)model.typeCharacter(static_cast<char16_t>(u'一' + arg)); break;
        case 1: (void)model.pressKey(static_cast<EditKey>(arg % 8)); break;
        case 2: model.clickAt(arg * 7.0, arg * 3.0); break;
        case 3: model.dragTo(arg * 5.0, arg * 2.0); break;
        case 4: (void)model.cut(); break;
        case 5: (void)model.paste(u"x\n𠀀\r\ny"); break;
        case 6: (void)model.setCaretParagraphFace(arg % 2 ? u"甲" : u"乙"); break;
        default: (void)model.typeCharacter(static_cast<char16_t>(u'a' + arg % 26)); break;
        }
        ++edits;
        checkLayout(model.document(), model.caret());
    }
    if (edits >= EditHistory::kMaxSteps)
        return;
    const auto edited = savedTexts(model);
    while (model.undo())
        checkLayout(model.document(), model.caret());
    check(savedTexts(model) == opened);
    while (model.redo())
        checkLayout(model.document(), model.caret());
    check(savedTexts(model) == edited);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    LayoutParams params;
    params.textSize = 10 + data[0] % 20;
    params.codeSize = 8 + data[0] % 7;
    params.pageWidth = 60 + data[1] * 2;
    const LayoutEngine engine(params);
    const std::size_t textBytes = std::min<std::size_t>(size - 2, 2 * (data[1] % 64 + 8) * 4);
    const std::u16string text =
        utf16::decodeLittleEndian(std::string_view(reinterpret_cast<const char*>(data + 2), textBytes));

    LayoutDocument document = documentFromChapter(chapterFrom(text, data[0] & 1), engine);
    const LayoutDocument reopened = documentFromChapter(chapterFromDocument(document, engine), engine);
    check(reopened.paragraphs.size() == document.paragraphs.size());
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p)
        check(markedTextOf(reopened.paragraphs[p], engine) == markedTextOf(document.paragraphs[p], engine));

    checkUndo(chapterFrom(text, data[0] & 1), params, data + 2 + textBytes, size - 2 - textBytes);

    Caret caret;
    Editor editor(document, engine, caret);
    checkLayout(document, caret);
    for (std::size_t i = 2 + textBytes; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i] % 10;
        const std::uint8_t arg = data[i + 1];
        switch (op) {
        case 0: (void)editor.typeCharacter(static_cast<char16_t>(u'一' + arg)); break;
        case 1: (void)editor.typeCharacter(arg % 3 == 0 ? u'\r' : static_cast<char16_t>(u'a' + arg % 26)); break;
        case 2: editor.backspace(); break;
        case 3: editor.moveCaret(static_cast<CaretMove>(arg % 4)); break;
        case 4: editor.setCaret(positionAt(document, arg * 7.0, arg * 13.0)); break;
        case 5: editor.selectRange(caret.position, positionAt(document, arg * 5.0, arg * 11.0)); break;
        case 6: editor.deleteSelection(); break;
        case 7: (void)editor.paste(u"x\r\n𠀀¬\by"); break;
        case 8: (void)editor.copySelection(); break;
        default: editor.clearSelection(); break;
        }
        checkLayout(document, caret);
    }
    return 0;
}
