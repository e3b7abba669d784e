// SPDX-License-Identifier: MIT
#include "gui/window/ribbon_bar.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/commands/command_router.h"
#include "core/view/colour_schemes.h"
#include "gui/commands/command_table.h"
#include "gui/icons/command_icons.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

// The tile colour of each tab's icons.
QColor tabColour(const QString& tab)
{
    if (tab == u"朗读"_s)
        return QColor(0x2e, 0x7d, 0x32);
    if (tab == u"显示"_s)
        return QColor(0x6a, 0x4c, 0x93);
    if (tab == u"标注"_s)
        return QColor(0xc6, 0x28, 0x28);
    if (tab == u"工具"_s)
        return QColor(0x45, 0x5a, 0x64);
    return QColor(0x15, 0x65, 0xc0);
}

// Colour swatches of the five built-in schemes (background, text).
bool schemeColours(int id, QColor& background, QColor& text)
{
    const auto scheme = view::builtInScheme(id);
    if (!scheme)
        return false;
    background = toQColor(scheme->bg);
    text = toQColor(scheme->text);
    return true;
}

QIcon schemeIcon(const QColor& background, const QColor& text)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(150, 150, 150));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
    painter.setPen(text);
    QFont font = painter.font();
    font.setPixelSize(16);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, u"文"_s);
    return QIcon(pixmap);
}

}  // namespace

RibbonGroup::RibbonGroup(const QString& caption, QWidget* parent) : QWidget(parent), m_grid(new QGridLayout)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->setSpacing(2);
    m_grid->setSpacing(2);
    layout->addLayout(m_grid);
    layout->addStretch();
    auto* label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    layout->addWidget(label);
}

void RibbonGroup::addControl(QWidget* control)
{
    m_grid->addWidget(control, m_count % 3, m_count / 3);
    ++m_count;
}

RibbonBar::RibbonBar(CommandRouter& router, QWidget* parent) : QTabWidget(parent), m_router(router)
{
    setDocumentMode(true);
    for (const auto& entry : commandTable()) {
        if (entry.ribbonTab.isEmpty())
            continue;
        QWidget* control = makeControl(entry);
        group(entry.ribbonTab, entry.ribbonGroup)->addControl(control);
        m_controls[entry.id] = control;
    }
    tintIcons();
    setFixedHeight(sizeHint().height());
}

void RibbonBar::tintIcons()
{
    // On a dark ribbon the tab colours are lightened so that the lines stay
    // visible. An icon its owner has replaced since (a colour swatch) stays.
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    for (auto& tinted : m_tinted) {
        QAction* action = m_router.action(tinted.id);
        if (tinted.iconKey != 0 && action->icon().cacheKey() != tinted.iconKey)
            continue;
        const QColor colour = tabColour(tinted.tab);
        action->setIcon(commandIcon(tinted.id, dark ? colour.lighter(190) : colour));
        tinted.iconKey = action->icon().cacheKey();
    }
}

void RibbonBar::changeEvent(QEvent* event)
{
    QTabWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        tintIcons();
}

QWidget* RibbonBar::control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

RibbonGroup* RibbonBar::group(const QString& tab, const QString& caption)
{
    auto page = m_pages.find(tab);
    if (page == m_pages.end()) {
        auto* widget = new QWidget(this);
        auto* layout = new QHBoxLayout(widget);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(0);
        layout->addStretch();
        addTab(widget, tab);
        page = m_pages.emplace(tab, layout).first;
    }
    const QString key = tab + u'/' + caption;
    auto found = m_groups.find(key);
    if (found == m_groups.end()) {
        auto* group = new RibbonGroup(caption, this);
        QHBoxLayout* layout = page->second;
        if (layout->count() > 1) {
            auto* line = new QFrame(this);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            layout->insertWidget(layout->count() - 1, line);
        }
        layout->insertWidget(layout->count() - 1, group);
        found = m_groups.emplace(key, group).first;
    }
    return found->second;
}

QWidget* RibbonBar::makeControl(const CommandSpec& entry)
{
    QAction* action = m_router.action(entry.id);
    QWidget* control = nullptr;
    switch (entry.kind) {
    case ControlKind::Combo: {
        auto* combo = new QComboBox(this);
        combo->setMinimumWidth(110);
        combo->setToolTip(entry.caption.isEmpty() ? entry.toolTip : entry.caption);
        connect(combo, &QComboBox::activated, this, [this, id = entry.id] { m_router.trigger(id); });
        control = combo;
        break;
    }
    case ControlKind::Spin: {
        auto* spin = new QSpinBox(this);
        spin->setRange(0, 100);
        spin->setPrefix(entry.caption + u' ');
        connect(spin, &QSpinBox::editingFinished, this, [this, id = entry.id] { m_router.trigger(id); });
        control = spin;
        break;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(entry.caption, this);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        connect(label, &QLabel::linkActivated, this, [this, id = entry.id] { m_router.trigger(id); });
        control = label;
        break;
    }
    default: {
        auto* button = new QToolButton(this);
        QColor background;
        QColor text;
        if (schemeColours(entry.id, background, text))
            action->setIcon(schemeIcon(background, text));
        else if (entry.id >= kLookBlue && entry.id <= kLookAqua)
            action->setIcon(lookIcon(entry.id));
        else if (action->icon().isNull())
            m_tinted.push_back({entry.id, entry.ribbonTab, 0});
        button->setDefaultAction(action);
        button->setToolButtonStyle(entry.caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setIconSize(QSize(18, 18));
        control = button;
        break;
    }
    }
    if (entry.kind == ControlKind::Combo || entry.kind == ControlKind::Spin || entry.kind == ControlKind::Label) {
        control->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, control, &QWidget::setEnabled);
    }
    control->setObjectName(u"command-"_s + QString::number(entry.id));
    return control;
}

}  // namespace veyla::gui
