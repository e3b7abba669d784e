// SPDX-License-Identifier: MIT
#include "gui/dialogs/scheme_name_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace veyla::gui {

using namespace Qt::StringLiterals;

SchemeNameDialog::SchemeNameDialog(QWidget* parent) : QDialog(parent), m_name(new QLineEdit(this))
{
    setWindowTitle(u"配色方案命名"_s);
    m_name->setObjectName(u"schemeName"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(u"名称："_s, m_name);
    layout->addRow(buttons);
}

QString SchemeNameDialog::name() const
{
    return m_name->text().trimmed();
}

}  // namespace veyla::gui
