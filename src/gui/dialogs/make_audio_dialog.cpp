// SPDX-License-Identifier: MIT
#include "gui/dialogs/make_audio_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/platform/shell_open.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

constexpr std::u16string_view kFormatNames[] = {u"wav", u"opus", u"m4b"};

}  // namespace

QStringList audioFormatLabels()
{
    return {u"WAV"_s, u"Opus"_s, u"M4B（整书，含章节）"_s};
}

std::u16string audioFormatNameAt(int index)
{
    return std::u16string(index > 0 && index < 3 ? kFormatNames[index] : kFormatNames[0]);
}

int audioFormatIndexOf(const std::u16string& name)
{
    for (int i = 0; i < 3; ++i) {
        if (kFormatNames[i] == name)
            return i;
    }
    return 0;
}

MakeAudioDialog::MakeAudioDialog(fs::path audioRoot, QWidget* parent)
    : QDialog(parent), m_audioRoot(std::move(audioRoot)),
      m_openFolder([](const fs::path& folder) { (void)platform::openWithShell(folder); }),
      m_message(new QLabel(this)), m_count(new QLabel(this)), m_stop(new QPushButton(u"停止生成"_s, this)),
      m_open(new QPushButton(u"打开音频路径"_s, this)), m_format(new QComboBox(this)),
      m_again(new QPushButton(u"按此格式生成"_s, this))
{
    m_format->setObjectName(u"format"_s);
    m_format->addItems(audioFormatLabels());
    connect(m_format, &QComboBox::activated, this, &MakeAudioDialog::formatChosen);
    m_again->setObjectName(u"renderAgain"_s);
    m_again->setAutoDefault(false);
    m_again->setEnabled(false);
    connect(m_again, &QPushButton::clicked, this, &MakeAudioDialog::renderAgainRequested);
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
    buttons->addWidget(new QLabel(u"格式"_s, this));
    buttons->addWidget(m_format);
    buttons->addWidget(m_again);
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
    m_format->setEnabled(false);
    m_again->setEnabled(false);
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
    m_format->setEnabled(true);
    m_again->setEnabled(true);
}

int MakeAudioDialog::formatIndex() const
{
    return m_format->currentIndex();
}

void MakeAudioDialog::setFormatIndex(int index)
{
    m_format->setCurrentIndex(index);
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
