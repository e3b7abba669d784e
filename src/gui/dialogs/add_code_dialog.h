// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace veyla::gui {

// "代码": one multi-line box for pasted code, OK and Cancel.
class AddCodeDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddCodeDialog(QWidget* parent = nullptr);

    QString code() const;
    void setCode(const QString& code);

private:
    QPlainTextEdit* m_edit;
};

}  // namespace veyla::gui
