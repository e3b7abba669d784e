// SPDX-License-Identifier: MIT
#include "gui/import/import_result_dialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/import/import_controller.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

enum Column { kBook, kFiles, kVerdict, kSuggestion, kColumns };

}  // namespace

ImportResultDialog::ImportResultDialog(ImportController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_table(new QTableWidget(0, kColumns, this))
{
    setWindowTitle(u"导入结果"_s);
    setModal(false);
    m_table->setHorizontalHeaderLabels({u"书"_s, u"章节文件"_s, u"分章检查"_s, u"建议"_s});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(kVerdict, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    resize(760, 280);
}

void ImportResultDialog::showResults(const std::vector<ImportedBook>& books)
{
    m_table->setRowCount(0);  // drops the rows' buttons too
    m_table->setRowCount(static_cast<int>(books.size()));
    for (std::size_t i = 0; i < books.size(); ++i) {
        const ImportedBook& book = books[i];
        const int row = static_cast<int>(i);
        m_table->setItem(row, kBook, new QTableWidgetItem(QString::fromStdU16String(book.written.filename().u16string())));
        m_table->setItem(row, kFiles, new QTableWidgetItem(QString::number(book.files)));
        // Warnings follow the verdict, so a book with replaced bytes says so.
        const QString verdictText =
            book.warnings.isEmpty() ? book.verdict : book.verdict + u"；"_s + book.warnings.join(u"；"_s);
        auto* verdict = new QTableWidgetItem(verdictText);
        verdict->setToolTip(book.warnings.isEmpty() ? book.verdict : book.verdict + u"\n"_s + book.warnings.join(u"\n"_s));
        m_table->setItem(row, kVerdict, verdict);
        if (!book.suggestion)
            continue;
        auto* button = new QPushButton(u"按建议重新导入"_s);
        button->setToolTip(book.suggestionText);
        connect(button, &QPushButton::clicked, this, [this, i] { m_controller.reimportWithSuggestion(i); });
        m_table->setCellWidget(row, kSuggestion, button);
    }
    m_table->resizeColumnToContents(kBook);
    show();
    raise();
}

}  // namespace veyla::gui
