// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/view/display_settings.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace veyla::gui {

struct SplitPresets;

// "更多设置": sizes, spacings and faces of the reading view, the voice of
// read-aloud (group "朗诵"), the annotation settings (group "标注设置") and
// the chapter-splitting presets of dropped files (group "分章依据--请谨慎使用").
// The page-width buttons act at once; everything else on OK.
class PresetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSmallestSize = 9;
    static constexpr int kLargestSize = 100;
    static constexpr int kLargestSpacing = 100;

    PresetDialog(const view::DisplaySettings& settings, const SplitPresets& presets, QWidget* parent = nullptr);

    // The voices to choose from and the current one (the speech engine's list).
    void setVoices(const QStringList& voices, int current);
    // The values as edited; the annotation values change only when touched.
    void apply(view::DisplaySettings& settings, SplitPresets& presets) const;
    // Adds a group of another part of the program below the others.
    void addGroup(QWidget* group);

signals:
    void widenPageRequested();
    void narrowPageRequested();

private:
    QWidget* makeFontGroup(const view::DisplaySettings& settings);
    QWidget* makeAnnotationGroup(const view::DisplaySettings& settings);
    QWidget* makeSplitGroup(const SplitPresets& presets);

    QSpinBox* m_textSize = nullptr;
    QSpinBox* m_codeSize = nullptr;
    QSpinBox* m_rowSpacing = nullptr;
    QSpinBox* m_paragraphSpacing = nullptr;
    QSpinBox* m_rightSpacing = nullptr;
    QComboBox* m_font = nullptr;
    QCheckBox* m_lineStart = nullptr;
    QComboBox* m_codeFont = nullptr;
    QListWidget* m_voices = nullptr;
    QComboBox* m_audioFormat = nullptr;
    QRadioButton* m_continuous = nullptr;
    QRadioButton* m_single = nullptr;
    QCheckBox* m_comment = nullptr;
    QComboBox* m_style = nullptr;
    QLineEdit* m_headingKey = nullptr;
    QCheckBox* m_punctuation = nullptr;
    QGridLayout* m_grid = nullptr;
    bool m_initialSingle = false;
    bool m_initialComment = false;
    int m_initialStyle = 0;
};

}  // namespace veyla::gui
