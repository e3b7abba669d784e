// SPDX-License-Identifier: MIT
#include "gui/dialogs/make_audio_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/platform/shell_open.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

MakeAudioDialog::MakeAudioDialog(fs::path audioRoot, QWidget* parent)
    : QDialog(parent), m_audioRoot(std::move(audioRoot)),
      m_openFolder([](const fs::path& folder) { (void)platform::openWithShell(folder); }),
      m_message(new QLabel(this)), m_count(new QLabel(this)), m_stop(new QPushButton(u"停止生成"_s, this)),
      m_open(new QPushButton(u"打开音频路径"_s, this))
{
    setWindowTitle(u"音频生成"_s);
    setModal(false);
    m_message->setObjectName(u"message"_s);
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(360);
    m_count->setObjectName(u"count"_s);
    m_stop->setObjectName(u"stop"_s);
    m_open->setObjectName(u"openFolder"_s);
    m_stop->setAutoDefault(false);
    m_open->setAutoDefault(false);
    connect(m_stop, &QPushButton::clicked, this, &MakeAudioDialog::stopClicked);
    connect(m_open, &QPushButton::clicked, this, [this] { m_openFolder(folderToOpen()); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_open);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_count);
    layout->addLayout(buttons);
}

void MakeAudioDialog::begin()
{
    m_lastFolder.clear();
    m_stopping = false;
    m_message->clear();
    m_count->clear();
    m_stop->setEnabled(true);
}

void MakeAudioDialog::showProgress(const QString& text, const fs::path& folder, std::size_t index, std::size_t total)
{
    if (!folder.empty())
        m_lastFolder = folder;
    if (!m_stopping)
        m_message->setText(text);
    m_count->setText(total == 0 ? QString() : u"%1 / %2"_s.arg(index).arg(total));
}

void MakeAudioDialog::finish(const QString& text)
{
    m_message->setText(text);
    m_stop->setEnabled(false);
}

QString MakeAudioDialog::message() const
{
    return m_message->text();
}

fs::path MakeAudioDialog::folderToOpen() const
{
    return m_lastFolder.empty() ? m_audioRoot : m_lastFolder;
}

void MakeAudioDialog::stopClicked()
{
    m_stopping = true;
    m_message->setText(u"正在停止生成..."_s);
    m_stop->setEnabled(false);
    emit stopRequested();
}

}  // namespace veyla::gui
