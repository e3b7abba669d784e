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
    // message and keeps the previous content when it cannot be read.
    bool openChapter(const std::filesystem::path& path);
    // Shows a page in chapter format that is not part of the library.
    bool openPage(const std::filesystem::path& path);
    // Shows plain text (one paragraph per line) as a page that is not saved.
    bool showText(std::u16string_view text);
    // Writes the open chapter when it is modified. Returns false only when a write failed.
    bool save();
    void clear();

    bool hasChapter() const { return m_hasDocument; }
    const std::filesystem::path& chapterPath() const { return m_chapterPath; }
    // A freshly created chapter becomes the open one, empty.
    void adoptNewChapter(const std::filesystem::path& path);
    // The open chapter (or the folder holding it) was renamed or deleted.
    void pathRenamed(const std::filesystem::path& from, const std::filesystem::path& to);
    void pathDeleted(const std::filesystem::path& path);

    bool isModified() const;
    long long position() const;
    void setPosition(long long position);

    void setReadOptions(const library::ChapterReadOptions& options) { m_readOptions = options; }
    ReadingView& view() const { return m_view; }

signals:
    void chapterOpened(const std::filesystem::path& path);
    void chapterClosed();

private:
    // Shows a page that is not a library chapter (nothing is saved back to it).
    bool showPage(const Result<library::Chapter>& page);
    void setDocumentOpen(bool open);

    ReadingView& m_view;
    CommandRouter& m_router;
    std::filesystem::path m_chapterPath;
    bool m_hasDocument = false;
    library::ChapterReadOptions m_readOptions{.defaultFontSize = 28};
};

}  // namespace veyla::gui
