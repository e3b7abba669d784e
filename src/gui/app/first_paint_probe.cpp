// SPDX-License-Identifier: MIT
#include "gui/app/first_paint_probe.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace veyla::gui {

FirstPaintProbe::FirstPaintProbe(QWidget& window) : QObject(&window)
{
    window.installEventFilter(this);
}

bool FirstPaintProbe::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest && !m_reported) {
        m_reported = true;
        // Queued: runs once the window has handled this update, that is after it painted.
        QMetaObject::invokeMethod(this, [] {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("first-paint-ns %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QApplication::exit(0);
        }, Qt::QueuedConnection);
    }
    return false;
}

}  // namespace veyla::gui
