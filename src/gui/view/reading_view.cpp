// SPDX-License-Identifier: MIT
#include "gui/view/reading_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/view/editor.h"
#include "gui/view/display_state.h"

namespace veyla::gui {

namespace {

// Below this client width the page column would vanish; the layout keeps at least a narrow column.
constexpr int kNarrowestClient = 450;

view::LayoutParams paramsFrom(const view::DisplaySettings& settings)
{
    view::LayoutParams params;
    params.textSize = settings.textSize;
    params.codeSize = settings.codeTextSize;
    params.rowSpacing = settings.rowSpacing;
    params.paragraphSpacing = settings.paragraphSpacing;
    return params;
}

}  // namespace

ReadingView::ReadingView(DisplayState& display, QWidget* parent)
    : QAbstractScrollArea(parent), m_display(display), m_model(paramsFrom(display.settings))
{
    setObjectName(QStringLiteral("readingView"));
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(view::ScrollState::kLineStep);
}

void ReadingView::showChapter(const library::Chapter& chapter)
{
    ensureGeometry();
    m_model.open(chapter);
    m_spokenParagraphs.clear();
    m_hover.reset();
    syncScrollBar();
    viewport()->update();
    emit chapterShown();
}

void ReadingView::clearChapter()
{
    showChapter(library::Chapter{});
}

void ReadingView::setModified(bool modified)
{
    m_model.document().modified = modified;
}

void ReadingView::applyLayoutSettings()
{
    const auto& settings = m_display.settings;
    const auto& params = m_model.engine().params();
    if (params.textSize != settings.textSize)
        m_model.setTextSize(settings.textSize);
    if (params.codeSize != settings.codeTextSize)
        m_model.setCodeSize(settings.codeTextSize);
    if (params.rowSpacing != settings.rowSpacing)
        m_model.setRowSpacing(settings.rowSpacing);
    if (params.paragraphSpacing != settings.paragraphSpacing)
        m_model.setParagraphSpacing(settings.paragraphSpacing);
    const auto lineStart = settings.noPunctuationAtLineStart ? view::LineStartRule::NoClosingPunctuation
                                                             : view::LineStartRule::AnyCharacter;
    if (params.lineStart != lineStart)
        m_model.setLineStartRule(lineStart);
    syncScrollBar();
    viewport()->update();
}

void ReadingView::refresh()
{
    viewport()->update();
}

bool ReadingView::widenPage()
{
    const bool changed = m_model.widenPage();
    syncScrollBar();
    viewport()->update();
    return changed;
}

bool ReadingView::narrowPage()
{
    const bool changed = m_model.narrowPage();
    syncScrollBar();
    viewport()->update();
    return changed;
}

void ReadingView::setParagraphMode(bool on)
{
    m_model.setDisplayMode(on ? view::DisplayMode::Paragraph : view::DisplayMode::WholeChapter);
    syncScrollBar();
    viewport()->update();
}

void ReadingView::resume()
{
    m_layoutPending = true;
    relayout();
    viewport()->update();
}

view::ClientArea ReadingView::clientArea() const
{
    view::ClientArea area;
    area.width = std::max(viewport()->width(), kNarrowestClient);
    area.height = viewport()->height();
    area.windowWidth = std::max(width(), kNarrowestClient);
    area.scrollBarWidth = verticalScrollBar()->sizeHint().width();
    area.mode = window()->isFullScreen() ? view::ScreenMode::FullScreen : view::ScreenMode::Window;
    return area;
}

void ReadingView::relayout()
{
    if (isStill()) {
        m_layoutPending = true;
        return;
    }
    m_layoutPending = false;
    m_model.resize(clientArea());
    syncScrollBar();
}

void ReadingView::ensureGeometry()
{
    const auto& area = m_model.geometry().area();
    const auto wanted = clientArea();
    if (m_layoutPending || area.width != wanted.width || area.height != wanted.height || area.mode != wanted.mode)
        relayout();
}

void ReadingView::syncScrollBar()
{
    m_syncingScrollBar = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, m_model.scroll().maximum());
    bar->setPageStep(std::max(1, viewport()->height()));
    bar->setValue(m_model.scroll().position());
    m_syncingScrollBar = false;
}

const QImage& ReadingView::renderFrame()
{
    ensureGeometry();
    const QSize size = viewport()->size();
    if (m_buffer.size() != size)
        m_buffer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (!m_buffer.isNull()) {
        PaintExtras extras;
        extras.hoverLine = m_hover;
        extras.caret = hasFocus();
        m_painter.paint(m_buffer, m_model, m_display, extras);
    }
    return m_buffer;
}

void ReadingView::paintEvent(QPaintEvent*)
{
    if (!isStill())
        renderFrame();
    if (m_buffer.isNull())
        return;
    QPainter painter(viewport());
    painter.drawImage(0, 0, m_buffer);
}

void ReadingView::resizeEvent(QResizeEvent*)
{
    relayout();
}

void ReadingView::scrollContentsBy(int, int)
{
    if (m_syncingScrollBar)
        return;
    m_model.scroll().scrollTo(verticalScrollBar()->value());
    viewport()->update();
}

void ReadingView::wheelEvent(QWheelEvent* event)
{
    m_model.wheel(event->angleDelta().y());
    syncScrollBar();
    viewport()->update();
    event->accept();
}

}  // namespace veyla::gui
