// SPDX-License-Identifier: MIT
#include "core/view/background_picture.h"

#include <algorithm>
#include <system_error>

#include "core/util/utf16.h"

namespace veyla::view {

namespace fs = std::filesystem;

std::optional<fs::path> startBackgroundPicture(DisplaySettings& settings, const DecorationImageList& backgrounds)
{
    settings.count = static_cast<int>(backgrounds.size());
    std::error_code ec;
    const fs::path stored(utf16::toUtf8(settings.image));
    if (!settings.image.empty() && fs::is_regular_file(stored, ec))
        return stored;
    if (backgrounds.empty())
        return std::nullopt;
    if (settings.index0 < 0 || static_cast<std::size_t>(settings.index0) >= backgrounds.size())
        settings.index0 = 0;
    return backgrounds.path(static_cast<std::size_t>(settings.index0));
}

BackgroundStep stepBackground(DisplaySettings& settings, const DecorationImageList& backgrounds,
                              ColourSchemes& schemes, StepDirection direction)
{
    const int count = std::min(settings.count, static_cast<int>(backgrounds.size()));
    if (count > 0) {
        int index = settings.index0;
        if (index < 0 || index >= count)
            index = 0;
        else if (direction == StepDirection::Next)
            index = (index + 1) % count;
        else
            index = (index + count - 1) % count;
        settings.index0 = index;
        BackgroundStep step{BackgroundStep::Kind::Picture, backgrounds.path(static_cast<std::size_t>(index))};
        settings.image = utf16::fromUtf8(step.picture.string());
        return step;
    }
    if (schemes.stepScheme(direction == StepDirection::Next ? 1 : -1))
        return {BackgroundStep::Kind::Scheme, {}};
    return {};
}

}  // namespace veyla::view
