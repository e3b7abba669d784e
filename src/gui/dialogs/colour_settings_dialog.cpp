// SPDX-License-Identifier: MIT
#include "gui/dialogs/colour_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/dialogs/code_settings_page.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kPreviewSize(320, 200);

}  // namespace

ColourSettingsDialog::ColourSettingsDialog(DisplayController& controller, DisplayState& display, ReadingView& view,
                                           QWidget* parent)
    : QDialog(parent), m_controller(controller), m_display(display), m_view(view)
{
    setWindowTitle(u"配色设置"_s);
    m_preview = new QLabel(this);
    m_preview->setObjectName(u"preview"_s);
    m_preview->setFixedSize(kPreviewSize);
    m_preview->setFrameShape(QFrame::Box);
    auto* left = new QVBoxLayout;
    left->addWidget(makeColourGroup());
    left->addWidget(m_preview);
    auto* right = new QVBoxLayout;
    right->addWidget(makeSliderGroup());
    right->addWidget(makeFolderGroup());
    auto* close = new QPushButton(u"关闭"_s, this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // Two pages: "基本设置" (these colours and decorations) and "代码设置".
    auto* basic = new QWidget(this);
    auto* basicLayout = new QHBoxLayout(basic);
    basicLayout->addLayout(left);
    basicLayout->addLayout(right);
    auto* code = new CodeSettingsPage(controller, display, this);
    connect(code, &CodeSettingsPage::changed, this, &ColourSettingsDialog::changed);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(u"pages"_s);
    tabs->addTab(basic, u"基本设置"_s);
    tabs->addTab(code, u"代码设置"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(close, 0, Qt::AlignRight);
    updatePreview();
}

QWidget* ColourSettingsDialog::makeColourGroup()
{
    auto* group = new QGroupBox(u"颜色"_s, this);
    auto* background = new QPushButton(u"背景颜色"_s, group);
    auto* text = new QPushButton(u"文字颜色"_s, group);
    background->setObjectName(u"backgroundColour"_s);
    text->setObjectName(u"textColour"_s);
    connect(background, &QPushButton::clicked, this, [this] {
        m_controller.chooseBackgroundColour();
        updatePreview();
    });
    connect(text, &QPushButton::clicked, this, [this] {
        m_controller.chooseTextColour();
        updatePreview();
    });
    m_schemes = new QListWidget(group);
    m_schemes->setObjectName(u"schemes"_s);
    for (const auto& scheme : m_display.schemes.schemes())
        m_schemes->addItem(QString::fromStdU16String(scheme.name));
    connect(m_schemes, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (m_display.schemes.applyNamed(name.toStdU16String())) {
            m_controller.repaintAll();
            updatePreview();
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(background);
    buttons->addWidget(text);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(buttons);
    layout->addWidget(m_schemes);
    return group;
}

QSlider* ColourSettingsDialog::addSlider(QFormLayout& form, const QString& caption, const QString& name, int low,
                                         int high, int& value)
{
    auto* slider = new QSlider(Qt::Horizontal, form.parentWidget());
    slider->setObjectName(name);
    slider->setRange(low, high);
    slider->setValue(std::clamp(value, low, high));
    connect(slider, &QSlider::valueChanged, this, [this, &value](int moved) {
        value = moved;
        changed();
    });
    form.addRow(caption, slider);
    return slider;
}

QWidget* ColourSettingsDialog::makeSliderGroup()
{
    auto& settings = m_display.settings;
    auto* group = new QGroupBox(u"装饰"_s, this);
    auto* form = new QFormLayout(group);
    addSlider(*form, u"竖栏位置"_s, u"nVertical"_s, 0, 100, settings.verticalPosition);
    addSlider(*form, u"横栏粗细"_s, u"nHorize"_s, 0, 13, settings.horize);
    addSlider(*form, u"段落图片缩短"_s, u"nPramLen"_s, 0, 100, settings.pramLength);
    addSlider(*form, u"段落图片宽度"_s, u"nPramWidth"_s, 0, 50, settings.pramWidth);
    addSlider(*form, u"竖栏最大宽度"_s, u"nVerticalWidth"_s, 200, 1000, settings.verticalWidth);

    auto* sides = new QButtonGroup(group);
    auto* radios = new QHBoxLayout;
    const QStringList captions = {u"两侧竖栏"_s, u"左侧竖栏"_s, u"右侧竖栏"_s};
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions[i], group);
        radio->setObjectName(u"nSelect"_s + QString::number(i));
        radio->setChecked(settings.select == i);
        sides->addButton(radio, i);
        radios->addWidget(radio);
    }
    connect(sides, &QButtonGroup::idClicked, this, [this](int id) {
        m_display.settings.select = id;
        changed();
    });
    form->addRow(radios);

    const auto check = [&](const QString& caption, const QString& name, bool& flag) {
        auto* box = new QCheckBox(caption, group);
        box->setObjectName(name);
        box->setChecked(flag);
        connect(box, &QCheckBox::toggled, this, [this, &flag](bool on) {
            flag = on;
            changed();
        });
        return box;
    };
    auto* checks = new QHBoxLayout;
    checks->addWidget(check(u"竖栏"_s, u"bWholeLeft"_s, settings.wholeLeft));
    checks->addWidget(check(u"顶部横栏"_s, u"bWholeTop"_s, settings.wholeTop));
    checks->addWidget(check(u"底部横栏"_s, u"bWholeBottom"_s, settings.wholeBottom));
    form->addRow(checks);
    return group;
}

QWidget* ColourSettingsDialog::makeFolderGroup()
{
    auto* group = new QGroupBox(u"图片目录"_s, this);
    auto* form = new QFormLayout(group);
    addFolderList(*form, u"背景"_s, view::DecorationKind::Background)->setObjectName(u"backgroundDir"_s);
    addFolderList(*form, u"竖栏"_s, view::DecorationKind::VerticalBar)->setObjectName(u"verticalDir"_s);
    addFolderList(*form, u"行线"_s, view::DecorationKind::RowLine)->setObjectName(u"lineDir"_s);
    addFolderList(*form, u"段落图片"_s, view::DecorationKind::ParagraphPicture)->setObjectName(u"parmDir"_s);
    return group;
}

QComboBox* ColourSettingsDialog::addFolderList(QFormLayout& form, const QString& caption, view::DecorationKind kind)
{
    auto* list = new QComboBox(form.parentWidget());
    fillFolderList(*list, kind);
    connect(list, &QComboBox::activated, this, [this, list, kind] {
        if (!m_controller.chooseFolder(kind, list->currentText())) {
            fillFolderList(*list, kind);
            return;
        }
        if (kind == view::DecorationKind::Background) {
            m_display.settings.index0 = 0;
            m_display.setBackgroundPicture(m_display.backgrounds.empty() ? std::filesystem::path()
                                                                         : m_display.backgrounds.path(0));
        } else if (kind == view::DecorationKind::VerticalBar) {
            m_display.pickVerticalBars();
        } else if (kind == view::DecorationKind::RowLine) {
            m_display.pickStrip();
        }
        fillFolderList(*list, kind);
        changed();
    });
    form.addRow(caption, list);
    return list;
}

void ColourSettingsDialog::fillFolderList(QComboBox& list, view::DecorationKind kind)
{
    const QSignalBlocker block(&list);
    list.clear();
    list.addItem(u"无"_s);
    for (const auto& name : view::decorationFolderChoices(m_display.folders(), kind))
        list.addItem(QString::fromStdU16String(name));
    const QString current = QString::fromStdU16String(m_display.folderSetting(kind));
    int index = list.findText(current);
    if (index < 0 && !current.isEmpty()) {
        list.addItem(current);
        index = list.count() - 1;
    }
    list.addItem(u"自定义"_s);
    list.setCurrentIndex(std::max(0, index));
}

void ColourSettingsDialog::changed()
{
    m_view.refresh();
    updatePreview();
}

void ColourSettingsDialog::updatePreview()
{
    const QImage& frame = m_view.renderFrame();
    if (frame.isNull())
        return;
    m_preview->setPixmap(QPixmap::fromImage(frame.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace veyla::gui
