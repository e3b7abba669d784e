// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace veyla::gui {

// Reports when a window has painted its first frame: prints
// "first-paint-ns <realtime nanoseconds>" on standard output and quits.
// Used to measure start-up time from outside the process.
class FirstPaintProbe : public QObject {
    Q_OBJECT
public:
    explicit FirstPaintProbe(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_reported = false;
};

}  // namespace veyla::gui
