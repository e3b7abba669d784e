// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace veyla::gui {

// Asks for a new name. The dialog stays open while the name is already used
// in the folder.
class TreeNameDialog : public QDialog {
    Q_OBJECT
public:
    using NameTaken = std::function<bool(const QString&)>;
    TreeNameDialog(const QString& current, NameTaken taken, QWidget* parent = nullptr);
    QString name() const;

    void accept() override;

private:
    QLineEdit* m_edit;
    NameTaken m_taken;
};

}  // namespace veyla::gui
