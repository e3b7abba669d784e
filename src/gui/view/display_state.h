// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

#include <filesystem>
#include <optional>

#include "core/platform/app_folders.h"
#include "core/util/result.h"
#include "core/view/colour_schemes.h"
#include "core/view/decoration_folders.h"
#include "core/view/display_settings.h"

namespace veyla::gui {

// The values the reading view paints with: the settings of control/preSet.ini,
// the colours and schemes of control/Color.xml, and the decoration pictures
// the folder settings name. One copy lives from start to exit; commands and
// dialogs change it, the view repaints from it, and the exit writes it back.
class DisplayState {
public:
    explicit DisplayState(platform::AppFolders folders);

    // Reads both files (data folder first, then the program folder, then the
    // built-in values), lists the pictures and picks the background picture.
    void load();
    // Writes preSet.ini in the order of the exit, then Color.xml.
    Status save() const;

    const platform::AppFolders& folders() const { return m_folders; }

    view::DisplaySettings settings;
    view::ColourSchemes schemes;
    // The picture painted behind the page; empty: the background colour.
    std::filesystem::path backgroundPicture;
    view::DecorationImageList backgrounds;        // the background folder's pictures
    view::DecorationImageList rowLines;           // strips, paragraph bars and row lines
    view::DecorationImageList paragraphPictures;  // pictures beside paragraphs
    view::DecorationImageList leftBars;           // the vertical-bar folder's L pictures
    view::DecorationImageList rightBars;          // and its R pictures
    view::RandomEngine random;

    // Lists the pictures of one folder setting again (Count follows the backgrounds).
    void rebuildList(view::DecorationKind kind);
    void rebuildLists();
    // The folder setting of a kind.
    std::u16string& folderSetting(view::DecorationKind kind);

    // A background picture chosen by the user; an empty path clears it.
    void setBackgroundPicture(const std::filesystem::path& picture);
    // New random vertical-bar pictures (nWholeLR0 left, nWholeLR1 right).
    void pickVerticalBars();
    // A new random row-line strip picture (nWholeTB0).
    void pickStrip();
    // The strip picture in use (a random one when nWholeTB0 names none), if the folder has pictures.
    std::optional<std::filesystem::path> stripPicture();
    std::optional<std::filesystem::path> leftBarPicture() const;
    std::optional<std::filesystem::path> rightBarPicture() const;
    // control/IMG/Biaozhu/<n>.png of the program folder (0.png for a number outside 1…20).
    std::filesystem::path annotationPattern(int number) const;

    // The current annotation style 1…20, 0 for none (settings keep any number).
    int annotationStyle() const;

private:
    platform::AppFolders m_folders;
};

QColor toQColor(view::Colour colour);
view::Colour fromQColor(const QColor& colour);

}  // namespace veyla::gui
