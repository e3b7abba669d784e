// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>
#include <optional>

#include "core/util/result.h"
#include "core/view/annotation_categories.h"

class QWidget;

namespace veyla::gui {

class AnnotationDialog;
class CommandRouter;
class DisplayState;
class LibraryController;
class ReadingView;
class RibbonBar;

// The annotation commands: the range and style combos, "配色" and "无"
// (which annotate the selection or paragraphs with the current style), and
// the dialog "标注" that files the selected text as an excerpt under one of
// twenty categories in the notes book (藏书库/00笔记).
class AnnotationController : public QObject {
    Q_OBJECT
public:
    AnnotationController(DisplayState& display, ReadingView& view, RibbonBar& ribbon, CommandRouter& router,
                         LibraryController& library, QWidget* window);

    // Where "配色" asks for a style: returns 0…19, or -1 for none. Tests replace it.
    using StyleChooser = std::function<int()>;
    void setStyleChooser(StyleChooser chooser) { m_chooseStyle = std::move(chooser); }

    // Annotates with the current style: the selection (style "单字") or paragraphs by the range.
    void apply();
    // Files the view's selected text under a category (0…19).
    bool fileExcerpt(std::size_t category);
    // Clears the annotations and the decorations by the current rules.
    void clearAnnotations();
    // The dialog "标注", once it was opened.
    AnnotationDialog* dialog() const { return m_dialog; }
    const view::AnnotationCategories& categories() const { return m_categories; }
    void renameCategories(const QStringList& names);
    // Writes the category names when they were loaded.
    Status save() const;

private:
    // Applies the current style by the current rules (apply() without the undo step and repaint).
    void annotate();
    void fillRibbon();
    void openDialog();
    int chooseStyle();

    DisplayState& m_display;
    ReadingView& m_view;
    RibbonBar& m_ribbon;
    CommandRouter& m_router;
    LibraryController& m_library;
    QWidget* m_window;
    StyleChooser m_chooseStyle;
    AnnotationDialog* m_dialog = nullptr;
    view::AnnotationCategories m_categories;
    bool m_categoriesLoaded = false;
};

}  // namespace veyla::gui
