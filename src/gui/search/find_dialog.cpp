// SPDX-License-Identifier: MIT
#include "gui/search/find_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace veyla::gui {

using namespace Qt::StringLiterals;

FindDialog::FindDialog(bool allNodes, QWidget* parent)
    : QDialog(parent), m_text(new QLineEdit(this)), m_expandedOnly(new QRadioButton(u"只搜索展开的节点"_s, this)),
      m_allNodes(new QRadioButton(u"搜索全部节点"_s, this)), m_status(new QLabel(this))
{
    setWindowTitle(u"查找"_s);
    setModal(false);
    m_text->setObjectName(QString::number(kTextId));
    m_expandedOnly->setObjectName(QString::number(kExpandedOnlyId));
    m_allNodes->setObjectName(QString::number(kAllNodesId));
    m_status->setObjectName(QString::number(kStatusId));
    (allNodes ? m_allNodes : m_expandedOnly)->setChecked(true);
    auto* backward = new QPushButton(u"上一个"_s, this);
    auto* forward = new QPushButton(u"下一个"_s, this);
    backward->setObjectName(QString::number(kBackwardId));
    forward->setObjectName(QString::number(kForwardId));
    backward->setAutoDefault(false);
    forward->setDefault(true);
    connect(backward, &QPushButton::clicked, this, [this] { emit searchRequested(false); });
    connect(forward, &QPushButton::clicked, this, [this] { emit searchRequested(true); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"搜索："_s, this), 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(m_expandedOnly, 1, 1);
    grid->addWidget(m_allNodes, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(backward);
    buttons->addWidget(forward);
    grid->addLayout(buttons, 2, 0, 1, 3);
    m_text->setMinimumWidth(240);
}

QString FindDialog::text() const
{
    return m_text->text();
}

bool FindDialog::allNodes() const
{
    return m_allNodes->isChecked();
}

void FindDialog::setStatus(const QString& text)
{
    m_status->setText(text);
}

QString FindDialog::status() const
{
    return m_status->text();
}

}  // namespace veyla::gui
