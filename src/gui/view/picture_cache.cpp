// SPDX-License-Identifier: MIT
#include "gui/view/picture_cache.h"

#include <QFile>

namespace veyla::gui {

namespace {

constexpr int kLightest = 200;

QImage load(const std::filesystem::path& path)
{
    QImage image;
    QFile file(QString::fromStdU16String(path.u16string()));
    if (file.open(QIODevice::ReadOnly))
        image.loadFromData(file.readAll());
    return image;
}

}  // namespace

QImage withLightColoursTransparent(const QImage& picture)
{
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            const QRgb pixel = line[x];
            if (qRed(pixel) >= kLightest && qGreen(pixel) >= kLightest && qBlue(pixel) >= kLightest)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return keyed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QImage& PictureCache::picture(const std::filesystem::path& path, PictureKey key)
{
    const Key id{path, key};
    auto found = m_pictures.find(id);
    if (found != m_pictures.end())
        return found->second;
    QImage image = load(path);
    if (!image.isNull()) {
        image = key == PictureKey::LightColours ? withLightColoursTransparent(image)
                                                : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return m_pictures.emplace(id, std::move(image)).first->second;
}

const QImage& PictureCache::scaled(const std::filesystem::path& path, QSize size, PictureKey key)
{
    const Key id{path, key};
    auto found = m_scaled.find(id);
    if (found != m_scaled.end() && found->second.size == size)
        return found->second.image;
    const QImage& source = picture(path, key);
    QImage image;
    if (!source.isNull() && !size.isEmpty())
        image = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Scaled& entry = m_scaled[id];
    entry = {size, std::move(image)};
    return entry.image;
}

void PictureCache::clear()
{
    m_pictures.clear();
    m_scaled.clear();
}

}  // namespace veyla::gui
