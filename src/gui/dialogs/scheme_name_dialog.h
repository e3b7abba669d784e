// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLineEdit;

namespace veyla::gui {

// "配色方案命名": asks the name under which the current colours are saved.
class SchemeNameDialog : public QDialog {
    Q_OBJECT
public:
    explicit SchemeNameDialog(QWidget* parent = nullptr);
    QString name() const;
    QLineEdit& nameField() const { return *m_name; }

private:
    QLineEdit* m_name;
};

}  // namespace veyla::gui
