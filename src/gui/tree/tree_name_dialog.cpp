// SPDX-License-Identifier: MIT
#include "gui/app/message_box.h"
#include "gui/tree/tree_name_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/tree/library_tree_pane.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

TreeNameDialog::TreeNameDialog(const QString& current, NameTaken taken, QWidget* parent)
    : QDialog(parent), m_edit(new QLineEdit(current, this)), m_taken(std::move(taken))
{
    setWindowTitle(u"更改名称"_s);
    m_edit->setMaxLength(LibraryTreePane::kMaxNameLength);
    m_edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"名称："_s, this));
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

QString TreeNameDialog::name() const
{
    return m_edit->text();
}

void TreeNameDialog::accept()
{
    if (m_taken && m_taken(name())) {
        showMessage(this, MessageKind::Warning, windowTitle(), u"存在相同名字的文章，请另换一个名字"_s);
        return;
    }
    QDialog::accept();
}

}  // namespace veyla::gui
