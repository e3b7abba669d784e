// SPDX-License-Identifier: MIT
// The display commands about pictures and decorations, and the two settings dialogs.
#include <QAction>
#include <QComboBox>

#include "core/util/utf16.h"
#include "core/view/annotations.h"
#include "core/view/background_picture.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/colour_settings_dialog.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/view/display_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

void DisplayController::bindPictureCommands()
{
    const auto step = [this](view::StepDirection direction) {
        const auto result = view::stepBackground(m_display.settings, m_display.backgrounds, m_display.schemes, direction);
        if (result.kind == view::BackgroundStep::Kind::Picture)
            m_display.setBackgroundPicture(result.picture);
        if (result.kind != view::BackgroundStep::Kind::Nothing)
            repaintAll();
    };
    m_router.bind(kNextBackground, [step] { step(view::StepDirection::Next); });
    m_router.bind(kPreviousBackground, [step] { step(view::StepDirection::Previous); });
    m_router.bind(kCustomBackground, [this] {
        const QString file = m_choosePicture(u"自定义背景"_s);
        if (file.isEmpty())
            return;
        m_display.setBackgroundPicture(fs::path(file.toStdU16String()));
        repaintAll();
    });
    m_router.bind(kClearCustomBackground, [this] {
        m_display.setBackgroundPicture({});
        repaintAll();
    });
    m_router.bind(kBackgroundFolder, [this] {
        auto* combo = m_ribbon.control<QComboBox>(kBackgroundFolder);
        if (combo == nullptr || !chooseFolder(view::DecorationKind::Background, combo->currentText()))
            return;
        m_display.settings.index0 = 0;
        m_display.setBackgroundPicture(m_display.backgrounds.empty() ? fs::path() : m_display.backgrounds.path(0));
        fillFolderCombo(kBackgroundFolder, view::DecorationKind::Background);
        repaintAll();
    });
    m_router.bind(kParagraphPictureFolder, [this] {
        auto* combo = m_ribbon.control<QComboBox>(kParagraphPictureFolder);
        if (combo == nullptr || !chooseFolder(view::DecorationKind::ParagraphPicture, combo->currentText()))
            return;
        fillFolderCombo(kParagraphPictureFolder, view::DecorationKind::ParagraphPicture);
        m_view.refresh();
    });
    m_router.bind(kRandomVerticalBar, [this] {
        m_display.pickVerticalBars();
        m_view.refresh();
    });
    m_router.bind(kRandomHorizontalBar, [this] {
        m_display.pickStrip();
        m_view.refresh();
    });
}

bool DisplayController::chooseFolder(view::DecorationKind kind, const QString& entry)
{
    std::u16string value;
    if (entry == u"自定义"_s) {
        const QString folder = m_chooseFolder(u"选择图片目录"_s);
        if (folder.isEmpty())
            return false;
        value = view::decorationFolderValue(m_display.folders(), kind, fs::path(folder.toStdU16String()));
    } else {
        value = entry.isEmpty() ? u"无" : entry.toStdU16String();
    }
    m_display.folderSetting(kind) = value;
    m_display.rebuildList(kind);
    return true;
}

void DisplayController::bindDecorationToggles()
{
    for (int id : {kToggleVerticalDecoration, kToggleHorizontalBars, kToggleRowLines})
        m_router.bind(id, [this, id] { toggleDecoration(id); });
}

void DisplayController::toggleDecoration(int id)
{
    auto& settings = m_display.settings;
    bool* flag = &settings.line;
    auto slot = view::DecorationSlot::HorizontalLine;
    const view::DecorationImageList* list = &m_display.rowLines;
    if (id == kToggleVerticalDecoration) {
        flag = &settings.vertical;
        slot = view::DecorationSlot::ParagraphPicture;
        list = &m_display.paragraphPictures;
    } else if (id == kToggleHorizontalBars) {
        flag = &settings.horizon;
        slot = view::DecorationSlot::Decoration;
    }
    *flag = !*flag;
    if (m_router.chapterOpen()) {
        auto& model = m_view.model();
        model.beginChange(0, model.document().paragraphs.size());
        const auto range = static_cast<view::AnnotationRange>(std::clamp(settings.annotationRange, 0, 2));
        const auto uniform = view::applyDecorationToggle(
            model.document(), model.caret().position.paragraph, slot, *flag ? view::Toggle::On : view::Toggle::Off,
            range, list->size(), settings.textSize, m_display.random);
        if (slot == view::DecorationSlot::Decoration && range == view::AnnotationRange::Uniform && uniform)
            settings.pramMode = *uniform;
        if (list->size() >= 2)
            model.document().modified = true;
        model.endChange();
    }
    updateToggleMarks();
    m_view.refresh();
}

void DisplayController::bindDialogs()
{
    m_router.bind(kColourSettings, [this] {
        ColourSettingsDialog dialog(*this, m_display, m_view, m_window);
        dialog.exec();
        fillRibbon();
    });
    m_router.bind(kPresets, [this] { runPresetDialog(); });
}

bool DisplayController::runPresetDialog()
{
    PresetDialog dialog(m_display.settings, m_presets, m_window);
    dialog.setVoices(m_voices, m_currentVoice);
    if (m_extendPresetDialog)
        m_extendPresetDialog(dialog);
    connect(&dialog, &PresetDialog::widenPageRequested, &m_view, &ReadingView::widenPage);
    connect(&dialog, &PresetDialog::narrowPageRequested, &m_view, &ReadingView::narrowPage);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.apply(m_display.settings, m_presets);
    m_view.applyLayoutSettings();
    fillRibbon();
    emit presetsApplied();
    return true;
}

}  // namespace veyla::gui
