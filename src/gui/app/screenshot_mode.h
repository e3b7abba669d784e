// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QMessageBox;
class QWidget;

namespace veyla::gui {

class MainWindow;

// The --screenshot run: renders the window into a PNG once start-up is done
// and quits. Nothing may wait for a click: every message box is shown
// without blocking (questions get "no", which changes nothing) and is drawn
// into the picture over the window; a watchdog takes the picture and quits
// even when something else blocks.
class ScreenshotMode : public QObject {
    Q_OBJECT
public:
    static constexpr int kWatchdogMilliseconds = 120000;

    // Message boxes stop blocking from here on.
    explicit ScreenshotMode(MainWindow& window);
    ~ScreenshotMode() override;

    // Runs the commands after start-up, then saves the picture to file and quits.
    void schedule(const QString& file, const QList<int>& commands);
    // The window with the message boxes shown over it, centred as they would be.
    QImage render() const;

private:
    void take(const QString& file, const QList<int>& commands);

    MainWindow& m_window;
    QList<QPointer<QMessageBox>> m_boxes;
    bool m_taken = false;
};

}  // namespace veyla::gui
