// SPDX-License-Identifier: MIT
// The main window's part of the reading view: the editing commands and the
// opening text shown at start.
#include <QStatusBar>

#include <array>

#include <QScrollBar>

#include "core/import/text_decoder.h"
#include "core/output/code_editing.h"
#include "core/view/chapter_conversion.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/add_code_dialog.h"
#include "gui/dialogs/chunk_properties_dialog.h"
#include "gui/dialogs/word_count_dialog.h"
#include "gui/output/site_controller.h"
#include "gui/publish/publish_controller.h"
#include "gui/view/reading_controller.h"
#include "gui/view/reading_view.h"
#include "gui/window/main_window.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

void MainWindow::bindEditCommands()
{
    for (int id : {kCopy, kCopyMenu})
        m_router->bind(id, [this] { m_view->copySelection(); });
    for (int id : {kCut, kCutMenu})
        m_router->bind(id, [this] { m_view->cutSelection(); });
    for (int id : {kPaste, kPasteMenu})
        m_router->bind(id, [this] { m_view->pasteClipboard(); });
    m_router->bind(kChunkProperties, [this] {
        auto& model = m_view->model();
        const auto chunk = model.caretChunk();
        ChunkPropertiesDialog dialog(chunk.kind, chunk.size, this);
        if (dialog.exec() == QDialog::Accepted && model.setCaretChunkSize(dialog.size()))
            m_view->applyLayoutSettings();
    });
    // "生成HTML": the open chapter as the listening page (the ribbon's button does the same).
    for (int id : {kListeningPage, kMakeHtml})
        m_router->bind(id, [this] {
            const auto& model = m_view->model();
            m_site->writeListeningPage(view::chapterFromDocument(model.document(), model.engine()));
        });
    m_router->bind(kInsertCode, [this] {
        AddCodeDialog dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const auto lines = output::pastedCodeLines(dialog.code().toStdU16String());
        if (lines.empty())
            return;
        auto& model = m_view->model();
        library::Chapter chapter = view::chapterFromDocument(model.document(), model.engine());
        output::insertCodeParagraphs(chapter, model.caret().position.paragraph + 1, lines);
        showEditedChapter(chapter);
    });
    m_router->bind(kFormatCode, [this] {
        const auto& model = m_view->model();
        library::Chapter chapter = view::chapterFromDocument(model.document(), model.engine());
        if (output::reindentCodeParagraphs(chapter) > 0)
            showEditedChapter(chapter);
    });
    m_router->bind(kPublishChapter, [this] {
        // The chapter as saved is what goes out.
        if (m_reading->chapterPath().empty()) {
            statusBar()->showMessage(u"请先打开要发布的章节"_s);
            return;
        }
        if (!m_reading->save()) {
            statusBar()->showMessage(u"章节未能保存，没有发布"_s);
            return;
        }
        output::CodeHtmlOptions options;
        options.colours = m_display.schemes.colours();
        options.codeBackground = m_display.settings.codeBackground;
        m_publish->publishChapter(m_reading->chapterPath(), options);
    });
    m_router->bind(kWordCount, [this] {
        WordCountDialog dialog(m_view->model().wordCount(), this);
        dialog.exec();
    });
}

// Shows a chapter changed by a command as the open chapter, modified, with
// the view where it was; undo takes the change back.
void MainWindow::showEditedChapter(const library::Chapter& chapter)
{
    const int scroll = m_view->verticalScrollBar()->value();
    m_view->replaceContent(chapter);
    m_view->verticalScrollBar()->setValue(scroll);
}

void MainWindow::showOpeningText()
{
    static constexpr std::array<const char8_t*, 4> kCategories = {u8"名言", u8"哲理", u8"唐诗", u8"英语"};
    const fs::path file =
        m_folders.programControl(u8"开头白") / kCategories[m_display.random() % kCategories.size()] / u8"开头白.txt";
    const auto decoded = import::decodeTextFile(file);
    if (decoded && decoded->result == import::DecodeResult::Done)
        m_reading->showText(decoded->text);
}

}  // namespace veyla::gui
