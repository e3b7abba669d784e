// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

#include <functional>

#include "core/library/chapter.h"

namespace veyla::gui {

// Shows a chapter as plain paragraphs, one per block, and lets them be
// edited. Paragraph attributes and run boundaries of unchanged paragraphs
// are kept when the chapter is taken back for saving.
class PlainChapterView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainChapterView(QWidget* parent = nullptr);

    void showChapter(const library::Chapter& chapter);
    void clearChapter();
    // The chapter as edited.
    library::Chapter chapter() const;

    // The reading position: the character offset of the first visible text.
    long long position() const;
    void setPosition(long long position);

    void setColours(const QColor& background, const QColor& text);
    // Called to fill the context menu before it opens.
    void setContextMenuFiller(std::function<void(QMenu&)> filler) { m_fillMenu = std::move(filler); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    library::Chapter m_original;
    std::function<void(QMenu&)> m_fillMenu;
};

}  // namespace veyla::gui
