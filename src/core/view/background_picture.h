// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>

#include "core/view/colour_schemes.h"
#include "core/view/decoration_folders.h"
#include "core/view/display_settings.h"

namespace veyla::view {

// The background picture at start: the Img path when it names an existing
// file; otherwise the background folder's picture number Index0 (the first
// one when Index0 is outside the list); otherwise none. Count becomes the
// number of pictures in the folder.
std::optional<std::filesystem::path> startBackgroundPicture(DisplaySettings& settings,
                                                            const DecorationImageList& backgrounds);

enum class StepDirection { Next, Previous };

// What "下一个背景" / "上一个背景" changed.
struct BackgroundStep {
    enum class Kind { Nothing, Picture, Scheme } kind = Kind::Nothing;
    std::filesystem::path picture;  // the new background picture (Kind::Picture)
};

// With pictures (Count > 0) Index0 steps with wrapping and the picture is
// that of the background list; without, the colour schemes are stepped
// (at least two needed) and the one reached is applied. Img follows the picture.
BackgroundStep stepBackground(DisplaySettings& settings, const DecorationImageList& backgrounds,
                              ColourSchemes& schemes, StepDirection direction);

}  // namespace veyla::view
