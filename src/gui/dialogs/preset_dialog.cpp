// SPDX-License-Identifier: MIT
#include "gui/dialogs/preset_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/view/annotations.h"
#include "gui/dialogs/make_audio_dialog.h"
#include "gui/import/import_controller.h"
#include "gui/view/display_controller.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QSpinBox* spinBox(QWidget* parent, const QString& name, int low, int high, int value)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

QComboBox* fontList(QWidget* parent, const QString& name, const std::u16string& current)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(fontChoices());
    const int index = current.empty() ? 0 : combo->findText(QString::fromStdU16String(current));
    combo->setCurrentIndex(std::max(0, index));
    return combo;
}

std::u16string faceOf(const QComboBox& combo)
{
    const QString face = combo.currentText();
    return face == u"默认"_s ? std::u16string() : face.left(100).toStdU16String();
}

}  // namespace

PresetDialog::PresetDialog(const view::DisplaySettings& settings, const SplitPresets& presets, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(u"更多设置"_s);
    auto* voiceGroup = new QGroupBox(u"朗诵"_s, this);
    m_voices = new QListWidget(voiceGroup);
    m_voices->setObjectName(u"voices"_s);
    m_audioFormat = new QComboBox(voiceGroup);
    m_audioFormat->setObjectName(u"audioFormat"_s);
    m_audioFormat->addItems(audioFormatLabels());
    m_audioFormat->setCurrentIndex(audioFormatIndexOf(settings.audioFormat));
    auto* voiceLayout = new QVBoxLayout(voiceGroup);
    voiceLayout->addWidget(m_voices);
    auto* formatRow = new QFormLayout;
    formatRow->addRow(u"生成音频的格式"_s, m_audioFormat);
    voiceLayout->addLayout(formatRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* grid = m_grid = new QGridLayout;
    grid->addWidget(makeFontGroup(settings), 0, 0, 2, 1);
    grid->addWidget(voiceGroup, 0, 1);
    grid->addWidget(makeAnnotationGroup(settings), 1, 1);
    grid->addWidget(makeSplitGroup(presets), 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

QWidget* PresetDialog::makeFontGroup(const view::DisplaySettings& settings)
{
    auto* group = new QGroupBox(u"字体"_s, this);
    m_textSize = spinBox(group, u"textSize"_s, kSmallestSize, kLargestSize, settings.textSize);
    m_codeSize = spinBox(group, u"codeTextSize"_s, kSmallestSize, kLargestSize, settings.codeTextSize);
    m_rowSpacing = spinBox(group, u"rowSpacing"_s, 0, kLargestSpacing, settings.rowSpacing);
    m_paragraphSpacing = spinBox(group, u"paragraphSpacing"_s, 0, kLargestSpacing, settings.paragraphSpacing);
    m_rightSpacing = spinBox(group, u"rightSpacing"_s, 0, kLargestSpacing, 0);
    m_font = fontList(group, u"fontName"_s, settings.fontName);
    m_codeFont = fontList(group, u"codeFontName"_s, settings.codeFontName);
    m_lineStart = new QCheckBox(u"标点不放在行首，英文单词不断开"_s, group);
    m_lineStart->setObjectName(u"noPunctuationAtLineStart"_s);
    m_lineStart->setChecked(settings.noPunctuationAtLineStart);
    auto* wider = new QPushButton(u"增大页宽"_s, group);
    auto* narrower = new QPushButton(u"减小页宽"_s, group);
    wider->setObjectName(u"widenPage"_s);
    narrower->setObjectName(u"narrowPage"_s);
    wider->setAutoDefault(false);
    narrower->setAutoDefault(false);
    connect(wider, &QPushButton::clicked, this, &PresetDialog::widenPageRequested);
    connect(narrower, &QPushButton::clicked, this, &PresetDialog::narrowPageRequested);
    auto* pageButtons = new QHBoxLayout;
    pageButtons->addWidget(wider);
    pageButtons->addWidget(narrower);

    auto* form = new QFormLayout(group);
    form->addRow(u"正文字体大小"_s, m_textSize);
    form->addRow(u"代码字体大小"_s, m_codeSize);
    form->addRow(u"行间距："_s, m_rowSpacing);
    form->addRow(u"段间距："_s, m_paragraphSpacing);
    form->addRow(u"正文右间距："_s, m_rightSpacing);
    form->addRow(pageButtons);
    form->addRow(u"正文字体"_s, m_font);
    form->addRow(u"代码字体"_s, m_codeFont);
    form->addRow(m_lineStart);
    return group;
}

QWidget* PresetDialog::makeAnnotationGroup(const view::DisplaySettings& settings)
{
    auto* group = new QGroupBox(u"标注设置"_s, this);
    m_continuous = new QRadioButton(u"连续"_s, group);
    m_single = new QRadioButton(u"单字"_s, group);
    m_comment = new QCheckBox(u"点评"_s, group);
    m_style = new QComboBox(group);
    m_continuous->setObjectName(u"continuous"_s);
    m_single->setObjectName(u"single"_s);
    m_comment->setObjectName(u"comment"_s);
    m_style->setObjectName(u"annotationStyle"_s);
    m_initialSingle = settings.single != 0;
    m_initialComment = settings.comment != 0;
    m_initialStyle = view::effectiveAnnotation(settings.annotation);
    (m_initialSingle ? m_single : m_continuous)->setChecked(true);
    m_comment->setChecked(m_initialComment);
    m_style->addItem(u"无"_s);
    for (int n = 1; n <= view::kAnnotationStyles; ++n)
        m_style->addItem(u"样式"_s + QString::number(n));
    m_style->setCurrentIndex(m_initialStyle);

    auto* radios = new QHBoxLayout;
    radios->addWidget(m_continuous);
    radios->addWidget(m_single);
    radios->addWidget(m_comment);
    auto* form = new QFormLayout(group);
    form->addRow(radios);
    form->addRow(u"选择样式："_s, m_style);
    return group;
}

QWidget* PresetDialog::makeSplitGroup(const SplitPresets& presets)
{
    auto* group = new QGroupBox(u"分章依据--请谨慎使用"_s, this);
    m_headingKey = new QLineEdit(presets.headingKey, group);
    m_punctuation = new QCheckBox(group);
    m_headingKey->setObjectName(u"headingKey"_s);
    m_punctuation->setObjectName(u"punctuation"_s);
    m_punctuation->setChecked(presets.punctuation);
    auto* form = new QFormLayout(group);
    form->addRow(u"章名肯定包含的单字:"_s, m_headingKey);
    form->addRow(u"章名中含有有标点？:"_s, m_punctuation);
    return group;
}

void PresetDialog::setVoices(const QStringList& voices, int current)
{
    m_voices->clear();
    m_voices->addItems(voices);
    if (current >= 0 && current < m_voices->count())
        m_voices->setCurrentRow(current);
}

void PresetDialog::apply(view::DisplaySettings& settings, SplitPresets& presets) const
{
    settings.textSize = m_textSize->value();
    settings.codeTextSize = m_codeSize->value();
    settings.rowSpacing = m_rowSpacing->value();
    settings.paragraphSpacing = m_paragraphSpacing->value();
    settings.fontName = faceOf(*m_font);
    settings.codeFontName = faceOf(*m_codeFont);
    settings.noPunctuationAtLineStart = m_lineStart->isChecked();
    settings.audioFormat = audioFormatNameAt(m_audioFormat->currentIndex());
    if (m_voices->count() > 0 && m_voices->currentRow() >= 0)
        settings.voice = m_voices->currentRow();
    if (m_single->isChecked() != m_initialSingle)
        settings.single = m_single->isChecked() ? 1 : 0;
    if (m_comment->isChecked() != m_initialComment)
        settings.comment = m_comment->isChecked() ? 1 : 0;
    if (m_style->currentIndex() != m_initialStyle)
        settings.annotation = m_style->currentIndex();
    presets.headingKey = m_headingKey->text();
    presets.punctuation = m_punctuation->isChecked();
}

void PresetDialog::addGroup(QWidget* group)
{
    m_grid->addWidget(group, m_grid->rowCount(), 0, 1, 2);
}

}  // namespace veyla::gui
