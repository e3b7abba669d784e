// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include "core/view/decoration_folders.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QListWidget;
class QSlider;

namespace veyla::gui {

class DisplayController;
class DisplayState;
class ReadingView;

// "配色设置": colours, schemes and decorations of the reading view. Every
// change takes effect at once: the view and a small preview of it are
// painted again, so the dialog has no apply step.
class ColourSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ColourSettingsDialog(DisplayController& controller, DisplayState& display, ReadingView& view,
                         QWidget* parent = nullptr);

    // The preview as last painted.
    const QLabel& preview() const { return *m_preview; }

private:
    QWidget* makeColourGroup();
    QWidget* makeSliderGroup();
    QWidget* makeFolderGroup();
    QSlider* addSlider(QFormLayout& form, const QString& caption, const QString& name, int low, int high,
                       int& value);
    QComboBox* addFolderList(QFormLayout& form, const QString& caption, view::DecorationKind kind);
    void fillFolderList(QComboBox& list, view::DecorationKind kind);
    void changed();
    void updatePreview();

    DisplayController& m_controller;
    DisplayState& m_display;
    ReadingView& m_view;
    QListWidget* m_schemes = nullptr;
    QLabel* m_preview = nullptr;
};

}  // namespace veyla::gui
