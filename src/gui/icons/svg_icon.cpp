// SPDX-License-Identifier: MIT
#include "gui/icons/svg_icon.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

const QColor kDisabledGrey(0xa0, 0xa0, 0xa0);

QString resourcePath(const QString& name)
{
    return u":/icons/tabler/"_s + name + u".svg"_s;
}

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The line icons stroke with "currentColor"; the colour is put in its place.
QByteArray withColour(QByteArray svg, const QColor& colour)
{
    return svg.replace("currentColor", colour.name(QColor::HexRgb).toLatin1());
}

class TintedSvgEngine : public QIconEngine {
public:
    // key names the drawing in the pixmap cache: the icon's name and colour.
    // selected is drawn on a selection's highlight; empty: as normal.
    TintedSvgEngine(QString key, QByteArray normal, QByteArray disabled, QByteArray selected)
        : m_key(std::move(key)), m_normal(std::move(normal)), m_disabled(std::move(disabled)),
          m_selected(std::move(selected))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QSvgRenderer renderer(drawing(mode));
        renderer.render(painter, QRectF(rect));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const QString key = u"veyla-icon/%1/%2x%3/%4"_s.arg(m_key)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(static_cast<int>(mode));
        QPixmap cached;
        if (QPixmapCache::find(key, &cached))
            return cached;
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(&painter, image.rect(), mode, state);
        }
        cached = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, cached);
        return cached;
    }

    QIconEngine* clone() const override { return new TintedSvgEngine(*this); }
    QString key() const override { return u"veyla-tinted-svg"_s; }

private:
    const QByteArray& drawing(QIcon::Mode mode) const
    {
        if (mode == QIcon::Disabled)
            return m_disabled;
        if (mode == QIcon::Selected && !m_selected.isEmpty())
            return m_selected;
        return m_normal;
    }

    QString m_key;
    QByteArray m_normal;
    QByteArray m_disabled;
    QByteArray m_selected;
};

}  // namespace

QIcon tintedIcon(const QString& name, const QColor& colour)
{
    const QByteArray svg = readResource(resourcePath(name));
    if (svg.isEmpty())
        return {};
    const QColor selected = QGuiApplication::palette().color(QPalette::HighlightedText);
    return QIcon(new TintedSvgEngine(name + u'/' + colour.name() + u'/' + selected.name(), withColour(svg, colour),
                                     withColour(svg, kDisabledGrey), withColour(svg, selected)));
}

bool hasVendoredIcon(const QString& name)
{
    const QByteArray svg = readResource(resourcePath(name));
    return !svg.isEmpty() && QSvgRenderer(svg).isValid();
}

QIcon applicationIcon()
{
    const QByteArray svg = readResource(u":/icons/org.veyla.Veyla.svg"_s);
    return QIcon::fromTheme(u"org.veyla.Veyla"_s, QIcon(new TintedSvgEngine(u"org.veyla.Veyla"_s, svg, svg, {})));
}

}  // namespace veyla::gui
