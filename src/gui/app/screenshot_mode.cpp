// SPDX-License-Identifier: MIT
#include "gui/app/screenshot_mode.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>

#include <cstdio>

#include "gui/app/message_box.h"
#include "gui/commands/command_router.h"
#include "gui/window/main_window.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

ScreenshotMode::ScreenshotMode(MainWindow& window) : QObject(&window), m_window(window)
{
    setMessageRecorder([this](MessageKind kind, const QString& text) {
        const auto buttons = kind == MessageKind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
        auto* box = new QMessageBox(iconFor(kind), u"Veyla"_s, text, buttons, &m_window);
        box->setWindowModality(Qt::NonModal);
        box->show();
        m_boxes << box;
        return kind == MessageKind::Question ? QMessageBox::No : QMessageBox::Ok;
    });
}

ScreenshotMode::~ScreenshotMode()
{
    setMessageRecorder({});
}

void ScreenshotMode::schedule(const QString& file, const QList<int>& commands)
{
    QTimer::singleShot(300, this, [this, file, commands] { take(file, commands); });
    // Timers also run inside a nested event loop (a dialog's), so this fires
    // whatever waits; exit() ends the nested loops as well.
    QTimer::singleShot(kWatchdogMilliseconds, this, [this, file] {
        std::fprintf(stderr, "veyla: the screenshot waited too long; taking it now\n");
        take(file, {});
    });
}

void ScreenshotMode::take(const QString& file, const QList<int>& commands)
{
    if (m_taken)
        return;
    m_taken = true;
    for (int id : commands) {
        if (!m_window.router().trigger(id))
            std::fprintf(stderr, "veyla: command %d did not run\n", id);
    }
    const bool saved = render().save(file, "PNG");
    if (!saved)
        std::fprintf(stderr, "veyla: cannot write %s\n", file.toLocal8Bit().constData());
    QApplication::exit(saved ? 0 : 1);
}

QImage ScreenshotMode::render() const
{
    QImage picture = m_window.grab().toImage();
    QPainter painter(&picture);
    QPoint offset(0, 0);
    for (const auto& box : m_boxes) {
        if (box.isNull() || !box->isVisible())
            continue;
        box->adjustSize();
        const QPixmap shown = box->grab();
        const QPoint at = picture.rect().center() - shown.rect().center() + offset;
        painter.drawPixmap(at, shown);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawRect(QRect(at, shown.size()).adjusted(0, 0, -1, -1));
        offset += QPoint(24, 24);  // several boxes stand like a cascade
    }
    return picture;
}

}  // namespace veyla::gui
