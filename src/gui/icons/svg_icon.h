// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace veyla::gui {

// An icon drawn from one of the vendored line icons (src/gui/icons/tabler,
// compiled in as ":/icons/tabler/NAME.svg") with its strokes in colour.
// Drawn at the size asked for, so it stays sharp at any scale; a disabled
// icon is drawn in grey, a selected one in the highlighted-text colour.
// A name that is not vendored gives a null icon.
QIcon tintedIcon(const QString& name, const QColor& colour);

// Whether NAME.svg is among the vendored icons and reads as SVG.
bool hasVendoredIcon(const QString& name);

// The program's own icon: the theme's "org.veyla.Veyla" when installed,
// else the copy compiled in.
QIcon applicationIcon();

}  // namespace veyla::gui
