// SPDX-License-Identifier: MIT
#include "gui/dialogs/preset_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/import/import_controller.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

PresetDialog::PresetDialog(const SplitPresets& presets, QWidget* parent)
    : QDialog(parent), m_headingKey(new QLineEdit(presets.headingKey, this)), m_punctuation(new QCheckBox(this))
{
    setWindowTitle(u"更多设置"_s);
    m_headingKey->setObjectName(u"headingKey"_s);
    m_punctuation->setObjectName(u"punctuation"_s);
    m_punctuation->setChecked(presets.punctuation);

    auto* split = new QGroupBox(u"分章依据--请谨慎使用"_s, this);
    auto* form = new QFormLayout(split);
    form->addRow(u"章名肯定包含的单字:"_s, m_headingKey);
    form->addRow(u"章名中含有有标点？:"_s, m_punctuation);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    layout->addWidget(buttons);
}

void PresetDialog::apply(SplitPresets& presets) const
{
    presets.headingKey = m_headingKey->text();
    presets.punctuation = m_punctuation->isChecked();
}

}  // namespace veyla::gui
