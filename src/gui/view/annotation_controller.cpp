// SPDX-License-Identifier: MIT
#include "gui/view/annotation_controller.h"

#include <QAction>
#include <QComboBox>
#include <QImage>

#include "core/view/annotations.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/annotation_dialog.h"
#include "gui/tree/library_controller.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QImage loadTile(const std::filesystem::path& path)
{
    return QImage(QString::fromStdU16String(path.u16string()));
}

QStringList namesOf(const view::AnnotationCategories& categories)
{
    QStringList names;
    for (const auto& name : categories.names())
        names << QString::fromStdU16String(name);
    return names;
}

}  // namespace

AnnotationController::AnnotationController(DisplayState& display, ReadingView& view, RibbonBar& ribbon,
                                           CommandRouter& router, LibraryController& library, QWidget* window)
    : QObject(window), m_display(display), m_view(view), m_ribbon(ribbon), m_router(router), m_library(library),
      m_window(window)
{
    m_chooseStyle = [this] {
        QList<QImage> tiles;
        for (int n = 1; n <= view::kAnnotationStyles; ++n)
            tiles << loadTile(m_display.annotationPattern(n));
        AnnotationStyleDialog dialog(tiles, m_window);
        dialog.exec();
        return dialog.chosen();
    };
    m_router.bind(kAnnotationRange, [this] {
        if (auto* combo = m_ribbon.control<QComboBox>(kAnnotationRange))
            m_display.settings.annotationRange = std::max(0, combo->currentIndex());
    });
    m_router.bind(kAnnotationStyle, [this] {
        if (auto* combo = m_ribbon.control<QComboBox>(kAnnotationStyle))
            m_display.settings.single = combo->currentIndex() == 0 ? 1 : 0;
    });
    m_router.bind(kAnnotationColour, [this] {
        const int index = chooseStyle();
        if (index < 0)
            return;
        m_display.settings.annotation = index + 1;
        apply();
    });
    m_router.bind(kAnnotationNone, [this] {
        m_display.settings.annotation = 0;
        apply();
    });
    m_router.bind(kAnnotate, [this] {
        m_view.setModified(true);
        openDialog();
    });
    fillRibbon();
}

int AnnotationController::chooseStyle()
{
    return m_chooseStyle ? m_chooseStyle() : -1;
}

void AnnotationController::fillRibbon()
{
    if (auto* range = m_ribbon.control<QComboBox>(kAnnotationRange)) {
        range->clear();
        range->addItems({u"仅本段"_s, u"统一"_s, u"连续"_s});
        range->setCurrentIndex(std::clamp(m_display.settings.annotationRange, 0, 2));
    }
    if (auto* style = m_ribbon.control<QComboBox>(kAnnotationStyle)) {
        style->clear();
        style->addItems({u"单字"_s, u"多字"_s});
        style->setCurrentIndex(m_display.settings.single != 0 ? 0 : 1);
    }
}

void AnnotationController::apply()
{
    auto& model = m_view.model();
    model.beginChange(0, model.document().paragraphs.size());
    annotate();
    model.endChange();
    m_view.refresh();
}

void AnnotationController::annotate()
{
    auto& settings = m_display.settings;
    auto& model = m_view.model();
    const auto target =
        settings.single != 0 ? view::AnnotationTarget::CharacterRuns : view::AnnotationTarget::Paragraphs;
    const auto range = static_cast<view::AnnotationRange>(std::clamp(settings.annotationRange, 0, 2));
    const int current = view::applyAnnotation(model.document(), model.caret().position.paragraph, target, range,
                                              m_display.annotationStyle());
    // The consecutive range moves the current style along; other values stay as they were.
    if (current != m_display.annotationStyle())
        settings.annotation = current;
}

void AnnotationController::clearAnnotations()
{
    // The annotations and decorations go in one step that undo brings back.
    auto& model = m_view.model();
    model.beginChange(0, model.document().paragraphs.size());
    m_display.settings.annotation = 0;
    annotate();
    const auto range = static_cast<view::AnnotationRange>(std::clamp(m_display.settings.annotationRange, 0, 2));
    const std::size_t caret = model.caret().position.paragraph;
    const int textSize = m_display.settings.textSize;
    view::applyDecorationToggle(model.document(), caret, view::DecorationSlot::ParagraphPicture, view::Toggle::Off,
                                range, m_display.paragraphPictures.size(), textSize, m_display.random);
    view::applyDecorationToggle(model.document(), caret, view::DecorationSlot::Decoration, view::Toggle::Off, range,
                                m_display.rowLines.size(), textSize, m_display.random);
    view::applyDecorationToggle(model.document(), caret, view::DecorationSlot::HorizontalLine, view::Toggle::Off,
                                range, m_display.rowLines.size(), textSize, m_display.random);
    model.endChange();
    m_view.refresh();
}

void AnnotationController::openDialog()
{
    if (m_dialog == nullptr) {
        if (!m_categoriesLoaded) {
            m_categories = view::AnnotationCategories::read(m_display.folders());
            m_categoriesLoaded = true;
        }
        m_dialog = new AnnotationDialog(m_window);
        m_dialog->setNames(namesOf(m_categories));
        connect(m_dialog, &AnnotationDialog::categoryChosen, this,
                [this](int index) { fileExcerpt(static_cast<std::size_t>(index)); });
        connect(m_dialog, &AnnotationDialog::clearRequested, this, &AnnotationController::clearAnnotations);
        connect(m_dialog, &AnnotationDialog::renameRequested, this, [this] {
            CategoryNamesDialog names(namesOf(m_categories), m_dialog);
            if (names.exec() == QDialog::Accepted)
                renameCategories(names.names());
        });
    }
    m_dialog->show();
    m_dialog->raise();
}

void AnnotationController::renameCategories(const QStringList& names)
{
    for (int i = 0; i < names.size() && i < static_cast<int>(view::AnnotationCategories::kCount); ++i)
        m_categories.setName(static_cast<std::size_t>(i), names[i].toStdU16String());
    m_categoriesLoaded = true;
    if (m_dialog != nullptr)
        m_dialog->setNames(namesOf(m_categories));
}

bool AnnotationController::fileExcerpt(std::size_t category)
{
    if (category >= view::AnnotationCategories::kCount)
        return false;
    const std::u16string excerpt = m_view.model().copy();
    if (excerpt.empty())
        return false;
    const auto& name = m_categories.name(category);
    const Status filed = view::fileExcerpt(m_display.folders(), name, excerpt);
    if (!filed) {
        showMessage(m_window, MessageKind::Warning, u"Veyla"_s, messageFor(filed.code(), Operation::AppendToChapter));
        return false;
    }
    if (const auto chapter = view::notesChapterPath(m_display.folders(), name))
        m_library.refreshPath(chapter->parent_path());
    return true;
}

Status AnnotationController::save() const
{
    if (!m_categoriesLoaded)
        return {};
    return m_categories.write(m_display.folders());
}

}  // namespace veyla::gui
