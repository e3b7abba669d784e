// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <map>
#include <utility>

namespace veyla::gui {

// How a picture is drawn.
enum class PictureKey {
    Opaque,       // as it is
    LightColours, // colours from RGB(200,200,200) up to white drawn transparent
};

// The decoration pictures of the reading view, decoded once per path and
// kept as ready-to-draw images: each picture is also kept scaled to the
// last size it was asked for, so that a frame copies pixels instead of
// scaling them. A picture that cannot be read is a null image.
class PictureCache {
public:
    const QImage& picture(const std::filesystem::path& path, PictureKey key = PictureKey::Opaque);
    // The picture scaled (smoothly) to size.
    const QImage& scaled(const std::filesystem::path& path, QSize size, PictureKey key = PictureKey::Opaque);
    void clear();

private:
    using Key = std::pair<std::filesystem::path, PictureKey>;
    struct Scaled {
        QSize size;
        QImage image;
    };
    std::map<Key, QImage> m_pictures;
    std::map<Key, Scaled> m_scaled;
};

// The picture with every pixel whose red, green and blue are all at least
// 200 made transparent (the colour key of strips and bars).
QImage withLightColoursTransparent(const QImage& picture);

}  // namespace veyla::gui
