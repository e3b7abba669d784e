// SPDX-License-Identifier: MIT
#include "gui/dialogs/annotation_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumns = 4;

QIcon tileIcon(const QImage& tile)
{
    QPixmap pixmap(40, 28);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile.isNull() ? QBrush(Qt::gray) : QBrush(tile));
    painter.drawRoundedRect(QRectF(1, 1, 38, 26), 8, 8);
    return QIcon(pixmap);
}

}  // namespace

AnnotationDialog::AnnotationDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"标注"_s);
    setModal(false);
    auto* grid = new QGridLayout;
    for (int i = 0; i < kCategories; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(u"category"_s + QString::number(i + 1));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { emit categoryChosen(i); });
        grid->addWidget(button, i / kColumns, i % kColumns);
        m_buttons[static_cast<std::size_t>(i)] = button;
    }
    auto* clear = new QPushButton(u"清除标注"_s, this);
    auto* rename = new QPushButton(u"修改类别"_s, this);
    clear->setObjectName(u"clearAnnotations"_s);
    rename->setObjectName(u"renameCategories"_s);
    clear->setAutoDefault(false);
    rename->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, this, &AnnotationDialog::clearRequested);
    connect(rename, &QPushButton::clicked, this, &AnnotationDialog::renameRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(rename);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void AnnotationDialog::setNames(const QStringList& names)
{
    for (int i = 0; i < kCategories && i < names.size(); ++i)
        m_buttons[static_cast<std::size_t>(i)]->setText(names[i]);
}

CategoryNamesDialog::CategoryNamesDialog(const QStringList& names, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"标注类别修改"_s);
    auto* grid = new QGridLayout;
    for (int i = 0; i < AnnotationDialog::kCategories; ++i) {
        auto* field = new QLineEdit(i < names.size() ? names[i] : QString(), this);
        field->setObjectName(u"name"_s + QString::number(i + 1));
        grid->addWidget(field, i / kColumns, i % kColumns);
        m_fields[static_cast<std::size_t>(i)] = field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

QStringList CategoryNamesDialog::names() const
{
    QStringList names;
    for (const QLineEdit* field : m_fields)
        names << field->text().trimmed();
    return names;
}

AnnotationStyleDialog::AnnotationStyleDialog(const QList<QImage>& tiles, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"配色"_s);
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < tiles.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(u"style"_s + QString::number(i + 1));
        button->setIcon(tileIcon(tiles[i]));
        button->setIconSize(QSize(40, 28));
        button->setToolTip(u"样式"_s + QString::number(i + 1));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] {
            m_chosen = i;
            accept();
        });
        grid->addWidget(button, i / 5, i % 5);
    }
}

}  // namespace veyla::gui
