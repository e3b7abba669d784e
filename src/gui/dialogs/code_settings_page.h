// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "core/view/colour_schemes.h"

class QButtonGroup;
class QListWidget;

namespace veyla::gui {

class DisplayController;
class DisplayState;

// "代码设置", the code page of "配色设置": a colour button per code colour,
// the code background switch, the code publishing mode ("Code发布方式："),
// the scope pair "仅本段"/"全篇", random code colours, saving the colours
// as a scheme, and the classic code colour schemes. Changes take effect at once.
class CodeSettingsPage : public QWidget {
    Q_OBJECT
public:
    CodeSettingsPage(DisplayController& controller, DisplayState& display, QWidget* parent = nullptr);

    // A named set of code colours offered by "经典配色方案".
    struct CodeScheme {
        QString name;
        view::Colour background, text, comment, parenthesis, brace, control, type, function, ownFunction, variable,
            boolean, string, digit;
    };
    static const std::vector<CodeScheme>& classicSchemes();
    static void applyScheme(const CodeScheme& scheme, view::ColourSet& colours);

signals:
    // The code colours or switches changed.
    void changed();

private:
    void randomise();

    DisplayController& m_controller;
    DisplayState& m_display;
};

}  // namespace veyla::gui
