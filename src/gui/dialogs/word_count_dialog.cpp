// SPDX-License-Identifier: MIT
#include "gui/dialogs/word_count_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace veyla::gui {

using namespace Qt::StringLiterals;

WordCountDialog::WordCountDialog(const view::WordCount& count, QWidget* parent)
    : QDialog(parent), m_hanzi(new QLabel(u"汉字："_s + QString::number(count.hanzi), this)),
      m_all(new QLabel(u"所有字："_s + QString::number(count.all), this))
{
    setWindowTitle(u"字数统计"_s);
    m_hanzi->setObjectName(u"hanzi"_s);
    m_all->setObjectName(u"all"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_hanzi);
    layout->addWidget(m_all);
    layout->addWidget(buttons);
}

QString WordCountDialog::text() const
{
    return m_hanzi->text() + u'\n' + m_all->text();
}

}  // namespace veyla::gui
