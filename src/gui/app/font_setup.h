// SPDX-License-Identifier: MIT
#pragma once

namespace veyla::gui {

// Maps the face names kept in settings and chapter files (Windows faces)
// onto faces installed here, so text looks as intended: the Kai face
// "方正楷体S-超大字符集" to AR PL UKai, "Andale Mono" to a monospace face,
// "隶书" and "宋体" to installed Chinese faces.
void installFontSubstitutions();

}  // namespace veyla::gui
