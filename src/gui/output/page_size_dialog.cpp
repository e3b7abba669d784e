// SPDX-License-Identifier: MIT
#include "gui/output/page_size_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace veyla::gui {

using namespace Qt::StringLiterals;

PageSizeDialog::PageSizeDialog(QWidget* parent) : QDialog(parent), m_group(new QButtonGroup(this))
{
    setWindowTitle(u"分页设置"_s);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    for (const int size : kSizes) {
        auto* button = new QRadioButton(u"%1章/页"_s.arg(size), this);
        m_group->addButton(button, size);
        layout->addWidget(button);
    }
    layout->addWidget(new QLabel(u"更换分页设置后，"_s, this));
    layout->addWidget(new QLabel(u"需删除本书生成的，然后重新生成才有效"_s, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (checkedSize() > 0)
            emit chosen(checkedSize());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PageSizeDialog::setPageSize(int size)
{
    m_group->setExclusive(false);
    for (QAbstractButton* button : m_group->buttons())
        button->setChecked(m_group->id(button) == size);
    m_group->setExclusive(true);
}

int PageSizeDialog::checkedSize() const
{
    return m_group->checkedId() > 0 ? m_group->checkedId() : 0;
}

}  // namespace veyla::gui
