// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <vector>

class QTableWidget;

namespace veyla::gui {

class ImportController;
struct ImportedBook;

// "导入结果": each book of the last import with its chapter files and the
// verdict of the check of its split. A suspicious book for which a better
// split was found offers "按建议重新导入": the book just imported goes to
// the trash and its file is imported again with the suggested options.
// Made once and shown again after each import; it does not block the window.
class ImportResultDialog : public QDialog {
    Q_OBJECT
public:
    ImportResultDialog(ImportController& controller, QWidget* parent);

    void showResults(const std::vector<ImportedBook>& books);
    QTableWidget& table() const { return *m_table; }

private:
    ImportController& m_controller;
    QTableWidget* m_table;
};

}  // namespace veyla::gui
