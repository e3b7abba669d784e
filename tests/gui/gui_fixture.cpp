// SPDX-License-Identifier: MIT
#include "gui_fixture.h"

#include <QApplication>
#include <QKeyEvent>

#include <cstdlib>

#include "core/library/chapter_file.h"
#include "gui/app/message_box.h"
#include "gui/window/main_window.h"

namespace veyla::gui {

void typeText(QWidget& widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&widget, &press);
    }
}

GuiFixture::GuiFixture()
{
    m_folders.programFolder = VEYLA_STAGE_DIR;
    m_folders.dataFolder = m_dir / "data";
    std::filesystem::create_directories(m_folders.dataFolder);
    ::setenv("XDG_DATA_HOME", (m_dir / "xdg").c_str(), 1);
    setMessageRecorder([this](MessageKind kind, const QString& text) {
        messages << text;
        if (kind == MessageKind::Question)
            return answerYes ? QMessageBox::Yes : QMessageBox::No;
        return QMessageBox::Ok;
    });
}

GuiFixture::~GuiFixture()
{
    setMessageRecorder({});
}

void GuiFixture::addChapter(const std::filesystem::path& relative, const QString& text)
{
    (void)library::writeChapterFromText(library() / relative, text.toStdU16String(), library::TextForm::Import);
}

std::unique_ptr<MainWindow> GuiFixture::startWindow()
{
    auto window = std::make_unique<MainWindow>(m_folders);
    window->show();
    window->start();
    return window;
}

}  // namespace veyla::gui
