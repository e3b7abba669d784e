// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QCoreApplication;

namespace veyla::gui {

// Loads Qt's own Chinese texts (qtbase_zh_CN: the Yes/No of message
// boxes, file dialogs, the edit menus of text fields) from Qt's
// translations folder, so they read like the rest of the program.
// Returns false, and leaves Qt's English, when the file is not installed.
bool installQtTranslations(QCoreApplication& app, const QString& folder = QString());

}  // namespace veyla::gui
