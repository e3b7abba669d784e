// SPDX-License-Identifier: MIT
#include "gui/search/mining_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

// A row of radio buttons numbered 0, 1, ... in a group; each named after its id.
QButtonGroup* radioRow(QWidget* parent, QGridLayout* grid, int row, const QStringList& texts, const int* ids)
{
    auto* group = new QButtonGroup(parent);
    auto* line = new QHBoxLayout;
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts[i], parent);
        button->setObjectName(QString::number(ids[i]));
        group->addButton(button, i);
        line->addWidget(button);
    }
    line->addStretch(1);
    grid->addLayout(line, row, 0, 1, 2);
    return group;
}

}  // namespace

MiningDialog::MiningDialog(search::MiningMode mode, QWidget* parent) : QDialog(parent), m_keywords(new QLineEdit(this))
{
    setWindowTitle(u"知识挖掘"_s);
    setModal(false);
    auto* grid = new QGridLayout(this);
    m_modes = radioRow(this, grid, 0, {u"词"_s, u"藏头诗"_s, u"句"_s, u"段----关键词以，隔开"_s}, kModeIds);
    m_limits = radioRow(this, grid, 1, {u"一本"_s, u"四本"_s, u"十本"_s, u"全部"_s}, kBookLimitIds);
    const int stored = static_cast<int>(mode);
    m_modes->button(stored >= 0 && stored < 4 ? stored : 0)->setChecked(true);
    m_limits->button(0)->setChecked(true);
    m_keywords->setObjectName(QString::number(kKeywordsId));
    m_keywords->setMinimumWidth(320);
    grid->addWidget(m_keywords, 2, 0, 1, 2);
    auto* ok = new QPushButton(u"确定"_s, this);
    auto* cancel = new QPushButton(u"取消"_s, this);
    ok->setObjectName(QString::number(kOkId));
    cancel->setObjectName(QString::number(kCancelId));
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &MiningDialog::startRequested);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 2);
}

search::MiningMode MiningDialog::mode() const
{
    return static_cast<search::MiningMode>(m_modes->checkedId());
}

search::BookLimit MiningDialog::bookLimit() const
{
    return static_cast<search::BookLimit>(m_limits->checkedId());
}

QString MiningDialog::keywords() const
{
    return m_keywords->text();
}

}  // namespace veyla::gui
