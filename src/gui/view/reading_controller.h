// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <filesystem>

#include "core/library/chapter_file.h"

namespace veyla::gui {

class CommandRouter;
class ReadingView;

// Opens and saves the chapter shown in the reading view. Only a chapter of
// the library has a path and is saved; a page shown for information
// (an empty bookmark list's page, the opening text) has none.
class ReadingController : public QObject {
    Q_OBJECT
public:
    ReadingController(ReadingView& view, CommandRouter& router, QObject* parent = nullptr);

    // Saves the open chapter if modified, then opens path. Shows the fixed
    // message and keeps the previous content when it cannot be read, or
    // when the open chapter could not be saved.
    bool openChapter(const std::filesystem::path& path);
    // Shows a page in chapter format that is not part of the library.
    bool openPage(const std::filesystem::path& path);
    // Shows plain text (one paragraph per line) as a page that is not saved.
    bool showText(std::u16string_view text);
    // When a save is made. A chapter read with problems is never written
    // without asking: the autosave leaves it alone, the others ask first.
    enum class SaveMoment { Command, Autosave, Leaving };
    // Writes the open chapter when it is modified. A failed write is shown
    // with the path and the reason, and the chapter stays modified. Returns
    // false when the chapter is still modified and unsaved afterwards
    // (failed, or not to be saved without asking). On Leaving, a chapter
    // read with problems that the user chooses not to save loses its edits.
    bool save(SaveMoment moment = SaveMoment::Command);
    // Before the window closes: saves, and when that fails asks whether to
    // discard the edits. False when the window should stay open.
    bool saveBeforeClosing();
    void clear();

    bool hasChapter() const { return m_hasDocument; }
    const std::filesystem::path& chapterPath() const { return m_chapterPath; }
    // A freshly created chapter becomes the open one, empty.
    void adoptNewChapter(const std::filesystem::path& path);
    // The open chapter (or the folder holding it) was renamed or deleted.
    void pathRenamed(const std::filesystem::path& from, const std::filesystem::path& to);
    void pathDeleted(const std::filesystem::path& path);

    bool isModified() const;
    // The open chapter's file could not be read whole (see library::ReadProblems).
    bool hasReadProblems() const { return m_readProblems; }
    long long position() const;
    void setPosition(long long position);

    void setReadOptions(const library::ChapterReadOptions& options) { m_readOptions = options; }
    ReadingView& view() const { return m_view; }

signals:
    void chapterOpened(const std::filesystem::path& path);
    void chapterClosed();
    // A notice about the open chapter to show beside it; empty for none.
    void noticeChanged(const QString& notice);

private:
    // Shows a page that is not a library chapter (nothing is saved back to it).
    bool showPage(const Result<library::Chapter>& page);
    void setDocumentOpen(bool open);
    void setReadProblems(bool problems);
    Status write();

    ReadingView& m_view;
    CommandRouter& m_router;
    std::filesystem::path m_chapterPath;
    bool m_hasDocument = false;
    bool m_readProblems = false;
    library::ChapterReadOptions m_readOptions{.defaultFontSize = 28};
};

}  // namespace veyla::gui
