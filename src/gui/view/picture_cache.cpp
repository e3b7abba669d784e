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

const QImage* PictureCache::find(const Key& key)
{
    const auto found = m_index.find(key);
    if (found == m_index.end())
        return nullptr;
    m_order.splice(m_order.begin(), m_order, found->second);
    return &found->second->image;
}

QImage PictureCache::insert(const Key& key, QImage image)
{
    m_order.push_front({key, image});
    m_index[key] = m_order.begin();
    m_bytes += static_cast<std::size_t>(image.sizeInBytes());
    while (m_bytes > m_capacity && m_order.size() > 1) {
        const Entry& oldest = m_order.back();
        m_bytes -= static_cast<std::size_t>(oldest.image.sizeInBytes());
        m_index.erase(oldest.key);
        m_order.pop_back();
    }
    return image;
}

QImage PictureCache::picture(const std::filesystem::path& path, PictureKey key)
{
    const Key id{path, key, 0, 0};
    if (const QImage* found = find(id))
        return *found;
    QImage image = load(path);
    if (!image.isNull()) {
        image = key == PictureKey::LightColours ? withLightColoursTransparent(image)
                                                : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return insert(id, std::move(image));
}

QImage PictureCache::scaled(const std::filesystem::path& path, QSize size, PictureKey key)
{
    const Key id{path, key, size.width(), size.height()};
    if (size.isEmpty())
        return {};
    if (const QImage* found = find(id))
        return *found;
    const QImage source = picture(path, key);
    QImage image;
    if (!source.isNull())
        image = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return insert(id, std::move(image));
}

void PictureCache::clear()
{
    m_order.clear();
    m_index.clear();
    m_bytes = 0;
}

}  // namespace veyla::gui
