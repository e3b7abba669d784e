// SPDX-License-Identifier: MIT
#include "gui/app/message_box.h"
#include "gui/view/reading_controller.h"

#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/view/reading_view.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

// Whether path is folder itself or lies inside it.
bool isWithin(const fs::path& path, const fs::path& folder)
{
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

}  // namespace

ReadingController::ReadingController(ReadingView& view, CommandRouter& router, QObject* parent)
    : QObject(parent), m_view(view), m_router(router)
{
}

bool ReadingController::openChapter(const fs::path& path)
{
    if (!save(SaveMoment::Leaving))
        return false;
    auto chapter = library::readChapter(path, m_readOptions);
    if (!chapter) {
        if (chapter.code() == ErrorCode::NotChapterFormat) {
            clear();
            m_chapterPath = path;
        }
        showMessage(&m_view, MessageKind::Warning, u"Veyla"_s, messageFor(chapter.code(), Operation::OpenChapter));
        return false;
    }
    m_view.showChapter(*chapter);
    m_chapterPath = path;
    setReadProblems(chapter->problems.any());
    setDocumentOpen(true);
    emit chapterOpened(path);
    return true;
}

bool ReadingController::openPage(const fs::path& path)
{
    if (!save(SaveMoment::Leaving))
        return false;
    return showPage(library::readChapter(path, m_readOptions));
}

bool ReadingController::showText(std::u16string_view text)
{
    if (!save(SaveMoment::Leaving))
        return false;
    return showPage(library::parseChapter(library::chapterXmlFromText(text, library::TextForm::Import), m_readOptions));
}

bool ReadingController::showPage(const Result<library::Chapter>& page)
{
    if (!page)
        return false;
    m_view.showChapter(*page);
    m_view.setModified(false);
    m_chapterPath.clear();
    setReadProblems(false);
    setDocumentOpen(true);
    return true;
}

bool ReadingController::save(SaveMoment moment)
{
    if (!m_hasDocument || m_chapterPath.empty() || !isModified())
        return true;
    if (m_readProblems) {
        if (moment == SaveMoment::Autosave)
            return false;
        const QString question =
            u"此文件有无法读取的内容，保存会改变原文件中读不出的部分。\n原文件会保留为 %1\n要保存修改吗？"_s.arg(
                QString::fromStdString(library::originalCopyPath(m_chapterPath).filename().string()));
        if (showMessage(&m_view, MessageKind::Question, u"Veyla"_s, question) != QMessageBox::Yes) {
            if (moment == SaveMoment::Leaving) {
                m_view.setModified(false);
                return true;
            }
            return false;
        }
    }
    const Status written = write();
    if (!written) {
        showMessage(&m_view, MessageKind::Warning, u"Veyla"_s,
                    u"无法保存文件，修改仍保留在窗口中：\n%1"_s.arg(QString::fromStdString(written.error().detail)));
        return false;
    }
    return true;
}

Status ReadingController::write()
{
    if (m_readProblems) {
        if (Status kept = library::keepOriginalCopy(m_chapterPath); !kept)
            return kept;
    }
    auto data = m_view.model().chapterForSaving();
    library::ChapterWriteOptions options;
    options.currentFontSize = m_readOptions.defaultFontSize;
    options.countInput = data.typedCount;
    const Status written = library::writeChapter(m_chapterPath, data.chapter, options);
    if (!written) {
        m_view.model().document().typedCount += data.typedCount;  // counted again with the next save
        return written;
    }
    m_view.model().markSaved();
    // What is on disk now is what the view shows.
    setReadProblems(false);
    return {};
}

bool ReadingController::saveBeforeClosing()
{
    if (save(SaveMoment::Leaving))
        return true;
    const QString question = u"修改没有保存。仍要关闭并放弃这些修改吗？"_s;
    if (showMessage(&m_view, MessageKind::Question, u"Veyla"_s, question) != QMessageBox::Yes)
        return false;
    m_view.setModified(false);
    return true;
}

void ReadingController::clear()
{
    m_view.clearChapter();
    m_view.setModified(false);
    m_chapterPath.clear();
    setReadProblems(false);
    setDocumentOpen(false);
    emit chapterClosed();
}

void ReadingController::adoptNewChapter(const fs::path& path)
{
    if (!save(SaveMoment::Leaving))
        return;  // the unsaved chapter stays open; the new one is in the tree
    m_view.clearChapter();
    m_chapterPath = path;
    setReadProblems(false);
    setDocumentOpen(true);
    emit chapterOpened(path);
}

void ReadingController::pathRenamed(const fs::path& from, const fs::path& to)
{
    if (m_chapterPath.empty() || !isWithin(m_chapterPath, from))
        return;
    m_chapterPath = to / m_chapterPath.lexically_relative(from);
    m_chapterPath = m_chapterPath.lexically_normal();
    if (m_chapterPath.filename().empty())
        m_chapterPath = m_chapterPath.parent_path();
}

void ReadingController::pathDeleted(const fs::path& path)
{
    if (!m_chapterPath.empty() && isWithin(m_chapterPath, path)) {
        m_view.setModified(false);
        clear();
    }
}

bool ReadingController::isModified() const
{
    return m_view.isModified();
}

long long ReadingController::position() const
{
    return m_view.position();
}

void ReadingController::setPosition(long long position)
{
    m_view.setPosition(position);
}

void ReadingController::setReadProblems(bool problems)
{
    if (problems == m_readProblems)
        return;
    m_readProblems = problems;
    emit noticeChanged(problems ? u"此文件有无法读取的内容，已以只读方式打开：不自动保存，保存前先询问，原文件另存为 .orig"_s
                                : QString());
}

void ReadingController::setDocumentOpen(bool open)
{
    m_hasDocument = open;
    m_router.setChapterOpen(open);
}

}  // namespace veyla::gui
