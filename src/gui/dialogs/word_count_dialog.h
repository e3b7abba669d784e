// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include "core/view/editor.h"

class QLabel;

namespace veyla::gui {

// "字数统计": the Chinese characters ("汉字：") and all characters ("所有字：") of the chapter.
class WordCountDialog : public QDialog {
    Q_OBJECT
public:
    WordCountDialog(const view::WordCount& count, QWidget* parent = nullptr);
    // The two lines as shown.
    QString text() const;

private:
    QLabel* m_hanzi;
    QLabel* m_all;
};

}  // namespace veyla::gui
