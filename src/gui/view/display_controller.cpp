// SPDX-License-Identifier: MIT
#include "gui/view/display_controller.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPainter>
#include <QSpinBox>

#include "gui/app/message_box.h"
#include "gui/commands/command_router.h"
#include "gui/dialogs/scheme_name_dialog.h"
#include "gui/tree/library_tree_pane.h"
#include "gui/view/display_state.h"
#include "gui/view/reading_view.h"
#include "gui/window/ribbon_bar.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

constexpr int kSmallestTextSize = 9;
constexpr int kLargestTextSize = 100;
constexpr int kLargestSpacing = 100;
constexpr std::size_t kMaxFontName = 100;

QIcon colourIcon(const QColor& colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(120, 120, 120));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
    return QIcon(pixmap);
}

}  // namespace

QStringList fontChoices()
{
    QStringList families = QFontDatabase::families();
    families.removeDuplicates();
    families.prepend(u"默认"_s);
    return families;
}

DisplayController::DisplayController(DisplayState& display, ReadingView& view, LibraryTreePane& tree,
                                     RibbonBar& ribbon, CommandRouter& router, SplitPresets& presets, QWidget* window)
    : QObject(window), m_display(display), m_view(view), m_tree(tree), m_ribbon(ribbon), m_router(router),
      m_presets(presets), m_window(window)
{
    m_chooseColour = [this](const QColor& initial, const QString& title) {
        return QColorDialog::getColor(initial, m_window, title);
    };
    m_choosePicture = [this](const QString& title) {
        return QFileDialog::getOpenFileName(m_window, title, QString(), u"图片 (*.jpg *.bmp *.png)"_s);
    };
    m_chooseFolder = [this](const QString& title) { return QFileDialog::getExistingDirectory(m_window, title); };
    bindSchemeCommands();
    bindColourCommands();
    bindLayoutCommands();
    bindPictureCommands();
    bindDecorationToggles();
    bindDialogs();
    fillRibbon();
}

void DisplayController::repaintAll()
{
    const auto& colours = m_display.schemes.colours();
    m_tree.setBackgroundColour(toQColor(colours.treeBg));
    QPalette palette = m_tree.palette();
    palette.setColor(QPalette::Text, toQColor(colours.text));
    m_tree.setPalette(palette);
    updateColourIcons();
    m_view.refresh();
}

void DisplayController::fillRibbon()
{
    if (auto* fonts = m_ribbon.control<QComboBox>(kFontCombo)) {
        fonts->clear();
        fonts->addItems(fontChoices());
        const QString current = QString::fromStdU16String(m_display.settings.fontName);
        const int index = current.isEmpty() ? 0 : fonts->findText(current);
        fonts->setCurrentIndex(std::max(0, index));
    }
    const auto setSpin = [this](int id, int low, int high, int value) {
        if (auto* spin = m_ribbon.control<QSpinBox>(id)) {
            spin->setRange(low, high);
            spin->setValue(value);
        }
    };
    const auto& settings = m_display.settings;
    setSpin(kFontSize, kSmallestTextSize, kLargestTextSize, settings.textSize);
    setSpin(kRowSpacing, 0, kLargestSpacing, settings.rowSpacing);
    setSpin(kParagraphSpacing, 0, kLargestSpacing, settings.paragraphSpacing);
    fillSchemeCombo();
    fillFolderCombo(kBackgroundFolder, view::DecorationKind::Background);
    fillFolderCombo(kParagraphPictureFolder, view::DecorationKind::ParagraphPicture);
    updateColourIcons();
    updateToggleMarks();
}

void DisplayController::fillSchemeCombo()
{
    auto* combo = m_ribbon.control<QComboBox>(kSchemeCombo);
    if (combo == nullptr)
        return;
    combo->clear();
    for (const auto& scheme : m_display.schemes.schemes())
        combo->addItem(QString::fromStdU16String(scheme.name));
}

void DisplayController::fillFolderCombo(int id, view::DecorationKind kind)
{
    auto* combo = m_ribbon.control<QComboBox>(id);
    if (combo == nullptr)
        return;
    combo->clear();
    combo->addItem(u"无"_s);
    for (const auto& name : view::decorationFolderChoices(m_display.folders(), kind))
        combo->addItem(QString::fromStdU16String(name));
    const QString current = QString::fromStdU16String(m_display.folderSetting(kind));
    int index = combo->findText(current);
    if (index < 0 && !current.isEmpty()) {
        combo->addItem(current);  // a folder chosen elsewhere
        index = combo->count() - 1;
    }
    combo->addItem(u"自定义"_s);
    combo->setCurrentIndex(std::max(0, index));
}

void DisplayController::updateColourIcons()
{
    const auto& colours = m_display.schemes.colours();
    m_router.action(kTextColour)->setIcon(colourIcon(toQColor(colours.text)));
    m_router.action(kBackgroundColour)->setIcon(colourIcon(toQColor(colours.bg)));
    m_router.action(kHighlightColour)->setIcon(colourIcon(toQColor(colours.textBright)));
}

void DisplayController::updateToggleMarks()
{
    const auto& settings = m_display.settings;
    m_router.action(kToggleVerticalDecoration)->setChecked(settings.vertical);
    m_router.action(kToggleHorizontalBars)->setChecked(settings.horizon);
    m_router.action(kToggleRowLines)->setChecked(settings.line);
    m_router.action(kParagraphMode)->setChecked(m_view.paragraphMode());
}

void DisplayController::bindSchemeCommands()
{
    for (int id = kSchemeWhite; id <= kSchemeBlack; ++id) {
        m_router.bind(id, [this, id] {
            m_display.schemes.applyBuiltIn(id);
            repaintAll();
        });
    }
    m_router.bind(kRandomColours, [this] {
        m_display.random = view::RandomEngine(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
        m_display.schemes.randomise(m_display.random);
        repaintAll();
    });
    m_router.bind(kSchemeCombo, [this] {
        auto* combo = m_ribbon.control<QComboBox>(kSchemeCombo);
        if (combo != nullptr && m_display.schemes.applyNamed(combo->currentText().toStdU16String()))
            repaintAll();
    });
    m_router.bind(kSaveScheme, [this] { saveScheme(); });
}

void DisplayController::saveScheme()
{
    SchemeNameDialog dialog(m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::u16string name = dialog.name().toStdU16String();
    auto saved = m_display.schemes.saveCurrent(name, view::DuplicateName::Refuse);
    if (saved == view::SchemeSaved::DuplicateRefused) {
        if (showMessage(m_window, MessageKind::Question, u"Veyla"_s, u"有重名配色方案，是否将其替换"_s) != QMessageBox::Yes)
            return;
        saved = m_display.schemes.saveCurrent(name, view::DuplicateName::Replace);
    }
    if (saved == view::SchemeSaved::Appended)
        fillSchemeCombo();
}

void DisplayController::changeColour(view::Colour& colour, const QString& title)
{
    const QColor chosen = m_chooseColour(toQColor(colour), title);
    if (!chosen.isValid())
        return;
    colour = fromQColor(chosen);
    repaintAll();
}

void DisplayController::bindColourCommands()
{
    m_router.bind(kTextColour, [this] { chooseTextColour(); });
    m_router.bind(kBackgroundColour, [this] { chooseBackgroundColour(); });
    m_router.bind(kHighlightColour, [this] { changeColour(m_display.schemes.colours().textBright, u"朗读颜色"_s); });
}

void DisplayController::chooseTextColour()
{
    changeColour(m_display.schemes.colours().text, u"文字颜色"_s);
}

void DisplayController::chooseBackgroundColour()
{
    changeColour(m_display.schemes.colours().bg, u"背景颜色"_s);
}

void DisplayController::bindLayoutCommands()
{
    m_router.bind(kFontCombo, [this] {
        auto* combo = m_ribbon.control<QComboBox>(kFontCombo);
        if (combo == nullptr)
            return;
        const QString face = combo->currentText();
        m_display.settings.fontName = face == u"默认"_s ? std::u16string() : face.left(kMaxFontName).toStdU16String();
        m_view.refresh();
    });
    const auto spinValue = [this](int id) {
        auto* spin = m_ribbon.control<QSpinBox>(id);
        return spin != nullptr ? spin->value() : 0;
    };
    m_router.bind(kFontSize, [this, spinValue] {
        m_display.settings.textSize = std::clamp(spinValue(kFontSize), kSmallestTextSize, kLargestTextSize);
        m_view.applyLayoutSettings();
    });
    m_router.bind(kRowSpacing, [this, spinValue] {
        m_display.settings.rowSpacing = std::clamp(spinValue(kRowSpacing), 0, kLargestSpacing);
        m_view.applyLayoutSettings();
    });
    m_router.bind(kParagraphSpacing, [this, spinValue] {
        m_display.settings.paragraphSpacing = std::clamp(spinValue(kParagraphSpacing), 0, kLargestSpacing);
        m_view.applyLayoutSettings();
    });
    for (int id : {kWiderPage, kWiderPageMenu})
        m_router.bind(id, [this] { m_view.widenPage(); });
    for (int id : {kNarrowerPage, kNarrowerPageMenu})
        m_router.bind(id, [this] { m_view.narrowPage(); });
    m_router.bind(kFontLishu, [this] {
        if (m_view.model().setCaretParagraphFace(u"隶书"))
            m_view.applyLayoutSettings();
    });
    m_router.bind(kParagraphMode, [this] {
        m_view.setParagraphMode(!m_view.paragraphMode());
        m_router.action(kParagraphMode)->setChecked(m_view.paragraphMode());
    });
}

}  // namespace veyla::gui
