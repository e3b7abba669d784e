// SPDX-License-Identifier: MIT
#include "gui/update/catalogue_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/icons/svg_icon.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QString idName(int id)
{
    return QString::number(id);
}

}  // namespace

CatalogueDialog::CatalogueDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"书海拾遗"_s);
    setModal(false);
    // 401×265 dialog units at the usual 8-point dialog font.
    resize(602, 431);
    m_list = new QListWidget(this);
    m_list->setObjectName(idName(kListId));
    m_list->setIconSize(QSize(32, 32));
    m_download = new QPushButton(u"下载"_s, this);
    m_download->setObjectName(idName(kDownloadId));
    m_refresh = new QPushButton(u"检查更新"_s, this);
    m_refresh->setObjectName(idName(kRefreshId));
    auto* close = new QPushButton(u"关闭"_s, this);
    close->setObjectName(u"2"_s);
    m_label = new QLabel(u"更新进度条："_s, this);
    m_label->setObjectName(idName(kLabelId));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(idName(kBarId));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_download);
    buttons->addWidget(m_refresh);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);

    connect(m_download, &QPushButton::clicked, this, [this] {
        if (selectedRow() >= 0)
            emit downloadRequested(selectedRow());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { emit downloadRequested(selectedRow()); });
    connect(m_refresh, &QPushButton::clicked, this, &CatalogueDialog::refreshRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void CatalogueDialog::setRows(const std::vector<QString>& rows, bool hasPackages)
{
    m_list->clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // The network-drive entry, a package, or the "nothing listed" row.
        const char* icon = !hasPackages ? "list-details" : i == 0 ? "world" : "books";
        m_list->addItem(new QListWidgetItem(tintedIcon(QString::fromLatin1(icon), palette().color(QPalette::Text)),
                                            rows[i]));
    }
    if (hasPackages)
        m_list->setCurrentRow(0);
}

QStringList CatalogueDialog::rows() const
{
    QStringList texts;
    for (int i = 0; i < m_list->count(); ++i)
        texts << m_list->item(i)->text();
    return texts;
}

int CatalogueDialog::selectedRow() const
{
    return m_list->currentRow();
}

void CatalogueDialog::selectRow(int row)
{
    m_list->setCurrentRow(row);
}

void CatalogueDialog::setProgress(const QString& text, int percent)
{
    m_label->setText(text);
    m_bar->setValue(percent);
}

QString CatalogueDialog::progressText() const
{
    return m_label->text();
}

int CatalogueDialog::progressPercent() const
{
    return m_bar->value();
}

void CatalogueDialog::setBusy(bool busy)
{
    m_download->setEnabled(!busy);
    m_refresh->setEnabled(!busy);
}

}  // namespace veyla::gui
