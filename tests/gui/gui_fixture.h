// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

#include <filesystem>
#include <memory>

#include "core/platform/app_folders.h"
#include "support/test_support.h"

namespace veyla::gui {

class MainWindow;

// Sends text to a widget as typed characters, one key event each (any script).
void typeText(QWidget& widget, const QString& text);

// A data folder of its own for one test, the staged program folder, the
// trash inside the data folder, and message boxes recorded instead of shown.
class GuiFixture {
public:
    GuiFixture();
    ~GuiFixture();

    const platform::AppFolders& folders() const { return m_folders; }
    std::filesystem::path library() const { return m_folders.libraryFolder(); }
    // Writes a chapter file with one paragraph per line of text.
    void addChapter(const std::filesystem::path& relative, const QString& text = QStringLiteral("正文"));

    // A main window on this data folder, started.
    std::unique_ptr<MainWindow> startWindow();

    QStringList messages;
    // The answer given to questions (Yes by default).
    bool answerYes = true;

private:
    test::TempDir m_dir;
    platform::AppFolders m_folders;
};

}  // namespace veyla::gui
