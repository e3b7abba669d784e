// SPDX-License-Identifier: MIT
#include "gui/view/display_state.h"

#include <chrono>

#include "core/util/utf16.h"
#include "core/view/annotations.h"
#include "core/view/background_picture.h"
#include "core/view/paint_geometry.h"

namespace veyla::gui {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> pictureAt(const view::DecorationImageList& list, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
        return std::nullopt;
    return list.path(static_cast<std::size_t>(index));
}

int randomIndex(view::RandomEngine& random, std::size_t count)
{
    return count == 0 ? 0 : static_cast<int>(random() % count);
}

}  // namespace

QColor toQColor(view::Colour colour)
{
    return QColor(view::redOf(colour), view::greenOf(colour), view::blueOf(colour));
}

view::Colour fromQColor(const QColor& colour)
{
    return view::rgb(colour.red(), colour.green(), colour.blue());
}

DisplayState::DisplayState(platform::AppFolders folders)
    : random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())),
      m_folders(std::move(folders))
{
}

void DisplayState::load()
{
    settings = view::readDisplaySettings(m_folders);
    schemes = view::ColourSchemes::read(m_folders);
    rebuildLists();
    backgroundPicture = view::startBackgroundPicture(settings, backgrounds).value_or(fs::path());
    if (leftBars.empty() || settings.wholeLR0 < 0 || static_cast<std::size_t>(settings.wholeLR0) >= leftBars.size() ||
        settings.wholeLR1 < 0 || static_cast<std::size_t>(settings.wholeLR1) >= rightBars.size())
        pickVerticalBars();
}

Status DisplayState::save() const
{
    const Status written = view::writeDisplaySettings(m_folders, settings);
    const Status colours = schemes.write(m_folders);
    return written ? colours : written;
}

std::u16string& DisplayState::folderSetting(view::DecorationKind kind)
{
    switch (kind) {
    case view::DecorationKind::Background: return settings.backgroundDir;
    case view::DecorationKind::RowLine: return settings.lineDir;
    case view::DecorationKind::VerticalBar: return settings.verticalDir;
    case view::DecorationKind::ParagraphPicture: break;
    }
    return settings.parmDir;
}

void DisplayState::rebuildList(view::DecorationKind kind)
{
    const auto folder = view::resolveDecorationFolder(m_folders, kind, folderSetting(kind));
    const auto list = [&](const fs::path& path) { return view::DecorationImageList(path); };
    switch (kind) {
    case view::DecorationKind::Background:
        backgrounds = folder ? list(*folder) : view::DecorationImageList();
        settings.count = static_cast<int>(backgrounds.size());
        break;
    case view::DecorationKind::RowLine: rowLines = folder ? list(*folder) : view::DecorationImageList(); break;
    case view::DecorationKind::ParagraphPicture:
        paragraphPictures = folder ? list(*folder) : view::DecorationImageList();
        break;
    case view::DecorationKind::VerticalBar:
        leftBars = folder ? list(*folder / "L") : view::DecorationImageList();
        rightBars = folder ? list(*folder / "R") : view::DecorationImageList();
        break;
    }
}

void DisplayState::rebuildLists()
{
    for (auto kind : {view::DecorationKind::Background, view::DecorationKind::RowLine,
                      view::DecorationKind::VerticalBar, view::DecorationKind::ParagraphPicture})
        rebuildList(kind);
}

void DisplayState::setBackgroundPicture(const fs::path& picture)
{
    backgroundPicture = picture;
    settings.image = picture.empty() ? std::u16string() : utf16::fromUtf8(picture.string());
}

void DisplayState::pickVerticalBars()
{
    settings.wholeLR0 = randomIndex(random, leftBars.size());
    settings.wholeLR1 = randomIndex(random, rightBars.size());
}

void DisplayState::pickStrip()
{
    settings.wholeTB0 = rowLines.empty() ? -1 : randomIndex(random, rowLines.size());
}

std::optional<fs::path> DisplayState::stripPicture()
{
    const auto index = view::stripPicture(settings.wholeTB0, rowLines.size(), random);
    if (!index)
        return std::nullopt;
    return rowLines.path(*index);
}

std::optional<fs::path> DisplayState::leftBarPicture() const
{
    return pictureAt(leftBars, settings.wholeLR0);
}

std::optional<fs::path> DisplayState::rightBarPicture() const
{
    return pictureAt(rightBars, settings.wholeLR1);
}

fs::path DisplayState::annotationPattern(int number) const
{
    return m_folders.programControl("IMG") / "Biaozhu" / fs::path(utf16::toUtf8(view::annotationStylePicture(number)));
}

int DisplayState::annotationStyle() const
{
    return view::effectiveAnnotation(settings.annotation);
}

}  // namespace veyla::gui
