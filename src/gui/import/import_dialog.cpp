// SPDX-License-Identifier: MIT
#include "gui/import/import_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/import/import_controller.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

ImportDialog::ImportDialog(ImportController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_path(new QLineEdit(this)), m_mode(new QComboBox(this)),
      m_prefix(new QLineEdit(this)), m_suffix(new QLineEdit(this))
{
    setWindowTitle(u"导入小说/或直接将小说或文件夹拖动过来"_s);
    setModal(false);
    m_path->setObjectName(u"path1004"_s);
    m_mode->setObjectName(u"mode1046"_s);
    m_prefix->setObjectName(u"prefix1001"_s);
    m_suffix->setObjectName(u"suffix1005"_s);
    m_mode->addItems({u"加载TXT文件"_s, u"加载文件夹"_s});
    m_mode->setCurrentIndex(0);
    m_suffix->hide();

    auto* choose = new QPushButton(u"。。。"_s, this);
    auto* start = new QPushButton(u"导入"_s, this);
    auto* cancel = new QPushButton(u"取消"_s, this);
    start->setDefault(true);
    connect(choose, &QPushButton::clicked, this, &ImportDialog::choose);
    connect(start, &QPushButton::clicked, this, &ImportDialog::startImport);
    connect(cancel, &QPushButton::clicked, this, &ImportDialog::cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_path, 0, 0, 1, 2);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(m_mode, 1, 0, 1, 3);
    grid->addWidget(new QLabel(u"章节包含字符："_s, this), 2, 0);
    grid->addWidget(m_prefix, 2, 1, 1, 2);
    grid->addWidget(m_suffix, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    resize(520, sizeHint().height());
}

void ImportDialog::setChosen(const QStringList& files, bool folderMode)
{
    m_files = folderMode ? QStringList{} : files;
    m_folderMode = folderMode;
    m_path->setText(files.isEmpty() ? QString() : files.last());
    m_mode->setCurrentIndex(folderMode ? 1 : 0);
}

void ImportDialog::setPrefix(const QString& prefix)
{
    m_prefix->setText(prefix);
}

QString ImportDialog::pathText() const
{
    return m_path->text();
}

void ImportDialog::choose()
{
    if (m_mode->currentIndex() == 0) {
        const QStringList files =
            QFileDialog::getOpenFileNames(this, windowTitle(), u"*.txt"_s, u"All Files(*.txt)"_s);
        if (!files.isEmpty())
            setChosen(files, false);
    } else {
        const QString folder = QFileDialog::getExistingDirectory(this, windowTitle());
        if (!folder.isEmpty())
            setChosen({folder}, true);
    }
}

void ImportDialog::startImport()
{
    const QString path = m_path->text();
    if (!path.isEmpty()) {
        const QStringList paths = m_folderMode ? QStringList{path} : (m_files.isEmpty() ? QStringList{path} : m_files);
        m_controller.importChosen(paths, m_folderMode, m_prefix->text(), m_suffix->text());
        m_files.clear();
    }
    hide();
}

void ImportDialog::cancel()
{
    m_path->clear();
    hide();
}

}  // namespace veyla::gui
