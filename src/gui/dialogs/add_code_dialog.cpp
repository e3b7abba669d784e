// SPDX-License-Identifier: MIT
#include "gui/dialogs/add_code_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace veyla::gui {

using namespace Qt::StringLiterals;

AddCodeDialog::AddCodeDialog(QWidget* parent) : QDialog(parent), m_edit(new QPlainTextEdit(this))
{
    setWindowTitle(u"代码"_s);
    m_edit->setObjectName(u"code"_s);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_edit->setTabChangesFocus(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(640, 420);
}

QString AddCodeDialog::code() const
{
    return m_edit->toPlainText();
}

void AddCodeDialog::setCode(const QString& code)
{
    m_edit->setPlainText(code);
}

}  // namespace veyla::gui
