// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace veyla::gui {

enum class MessageKind { Information, Warning, Question };

// Shows a modal message box and returns the button chosen (Yes/No for a
// question, Ok otherwise). Every message box of the program goes through
// here, so that tests can take the messages instead of showing them.
QMessageBox::StandardButton showMessage(QWidget* parent, MessageKind kind, const QString& title, const QString& text);

// Installs a recorder that receives messages instead of message boxes and
// returns the answer; an empty function restores the boxes.
using MessageRecorder = std::function<QMessageBox::StandardButton(MessageKind, const QString& text)>;
void setMessageRecorder(MessageRecorder recorder);

}  // namespace veyla::gui
