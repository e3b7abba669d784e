// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <filesystem>
#include <list>
#include <map>
#include <tuple>

namespace veyla::gui {

// How a picture is drawn.
enum class PictureKey {
    Opaque,       // as it is
    LightColours, // colours from RGB(200,200,200) up to white drawn transparent
};

// The decoration pictures of the reading view, decoded once per path and
// kept as ready-to-draw images, also scaled to the sizes they were asked
// for, so that a frame copies pixels instead of scaling them. The cache
// holds at most its capacity in pixel bytes: the least recently used
// images go first (the newest one always stays). A picture that cannot be
// read is a null image. Images are returned by value (shared, not copied),
// so an image in use stays valid when the cache drops it.
class PictureCache {
public:
    static constexpr std::size_t kDefaultCapacity = 64u << 20;

    explicit PictureCache(std::size_t capacityBytes = kDefaultCapacity) : m_capacity(capacityBytes) {}

    QImage picture(const std::filesystem::path& path, PictureKey key = PictureKey::Opaque);
    // The picture scaled (smoothly) to size.
    QImage scaled(const std::filesystem::path& path, QSize size, PictureKey key = PictureKey::Opaque);
    void clear();

    std::size_t bytes() const { return m_bytes; }
    std::size_t entries() const { return m_order.size(); }

private:
    // The path, how it is drawn, and the size (0 × 0 for the picture as read).
    using Key = std::tuple<std::filesystem::path, PictureKey, int, int>;
    struct Entry {
        Key key;
        QImage image;
    };

    const QImage* find(const Key& key);
    QImage insert(const Key& key, QImage image);

    std::size_t m_capacity;
    std::size_t m_bytes = 0;
    std::list<Entry> m_order;  // most recently used first
    std::map<Key, std::list<Entry>::iterator> m_index;
};

// The picture with every pixel whose red, green and blue are all at least
// 200 made transparent (the colour key of strips and bars).
QImage withLightColoursTransparent(const QImage& picture);

}  // namespace veyla::gui
