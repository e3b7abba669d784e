// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace veyla::gui {

struct SplitPresets;

// "更多设置": the preferences dialog. Its group "分章依据--请谨慎使用"
// edits the chapter-splitting presets used for dropped files.
class PresetDialog : public QDialog {
    Q_OBJECT
public:
    PresetDialog(const SplitPresets& presets, QWidget* parent = nullptr);
    // The presets as edited.
    void apply(SplitPresets& presets) const;

private:
    QLineEdit* m_headingKey;
    QCheckBox* m_punctuation;
};

}  // namespace veyla::gui
