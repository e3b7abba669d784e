// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QButtonGroup;

namespace veyla::gui {

// "分页设置": the chapters per whole-book page, one of 20, 50, 80, 100, 120
// and 200. Modeless; OK emits the chosen value. A value not among the six
// leaves every button unchecked, and OK then keeps it.
class PageSizeDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSizes[] = {20, 50, 80, 100, 120, 200};

    explicit PageSizeDialog(QWidget* parent = nullptr);

    void setPageSize(int size);
    // The checked size, or 0 when none is checked.
    int checkedSize() const;

signals:
    void chosen(int size);

private:
    QButtonGroup* m_group;
};

}  // namespace veyla::gui
