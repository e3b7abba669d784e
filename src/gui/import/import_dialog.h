// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;

namespace veyla::gui {

class ImportController;

// "导入小说": choose TXT files or a folder and import them into the place
// selected in the tree. Made once and shown again, so the last path and
// prefix stay until the program ends.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(ImportController& controller, QWidget* parent);

    // For tests and scripted use: what the choose button would set.
    void setChosen(const QStringList& files, bool folderMode);
    void setPrefix(const QString& prefix);
    QString pathText() const;

public slots:
    void choose();
    void startImport();
    void cancel();

private:
    ImportController& m_controller;
    QLineEdit* m_path;
    QComboBox* m_mode;
    QLineEdit* m_prefix;
    QLineEdit* m_suffix;
    QStringList m_files;
    bool m_folderMode = false;
};

}  // namespace veyla::gui
