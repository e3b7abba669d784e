// SPDX-License-Identifier: MIT
#include "gui/app/message_box.h"

namespace veyla::gui {

namespace {

MessageRecorder& recorder()
{
    static MessageRecorder instance;
    return instance;
}

}  // namespace

QMessageBox::StandardButton showMessage(QWidget* parent, MessageKind kind, const QString& title, const QString& text)
{
    if (recorder())
        return recorder()(kind, text);
    switch (kind) {
    case MessageKind::Question:
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No);
    case MessageKind::Warning:
        return QMessageBox::warning(parent, title, text);
    case MessageKind::Information:
        break;
    }
    return QMessageBox::information(parent, title, text);
}

void setMessageRecorder(MessageRecorder recorder_)
{
    recorder() = std::move(recorder_);
}

}  // namespace veyla::gui
