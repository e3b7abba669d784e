// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

#include "core/view/colour_schemes.h"
#include "core/view/decoration_folders.h"

class QComboBox;
class QWidget;

namespace veyla::gui {

class CommandRouter;
class DisplayState;
class LibraryTreePane;
class PresetDialog;
class ReadingView;
class RibbonBar;
struct SplitPresets;

// The display commands of the ribbon and menus: colour schemes and colours,
// fonts, sizes and spacings, the page width, background pictures and
// decorations, paragraph mode and the two settings dialogs. Each command
// changes the display state and repaints the view (and the tree where its
// colours change); the state reaches the files only at exit.
class DisplayController : public QObject {
    Q_OBJECT
public:
    DisplayController(DisplayState& display, ReadingView& view, LibraryTreePane& tree, RibbonBar& ribbon,
                      CommandRouter& router, SplitPresets& presets, QWidget* window);

    // Where the user picks a colour, a picture file or a folder; tests replace them.
    using ColourChooser = std::function<QColor(const QColor& initial, const QString& title)>;
    using PathChooser = std::function<QString(const QString& title)>;
    void setColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }
    void setPictureChooser(PathChooser chooser) { m_choosePicture = std::move(chooser); }
    void setFolderChooser(PathChooser chooser) { m_chooseFolder = std::move(chooser); }

    // The voices the dialog "更多设置" offers in its group "朗诵" (the speech
    // engine's list) and the one in use, -1 for none.
    void setVoiceList(const QStringList& voices, int current)
    {
        m_voices = voices;
        m_currentVoice = current;
    }

    // Lets the user choose a colour (titled title) and repaints; unchanged when cancelled.
    void chooseColour(view::Colour& colour, const QString& title) { changeColour(colour, title); }
    // Asks for a name and saves the current colours as a scheme.
    void saveCurrentScheme() { saveScheme(); }
    // The view and the tree take the current colours; the view paints again.
    void repaintAll();
    // The ribbon controls show the current values.
    void fillRibbon();
    // Chooses a decoration folder by its list entry ("无", a sub-folder, or
    // "自定义", which asks for a folder); false when nothing changed.
    bool chooseFolder(view::DecorationKind kind, const QString& entry);
    // The colour buttons of the ribbon and the colour dialog.
    void chooseTextColour();
    void chooseBackgroundColour();
    // Runs "更多设置" and applies it on OK; returns whether it was accepted.
    bool runPresetDialog();
    // Lets another part of the program add its group to "更多设置".
    void setPresetDialogExtension(std::function<void(PresetDialog&)> extend) { m_extendPresetDialog = std::move(extend); }

signals:
    // "更多设置" was accepted and its values applied (the voice among them).
    void presetsApplied();

private:
    void bindSchemeCommands();
    void bindColourCommands();
    void bindLayoutCommands();
    void bindPictureCommands();
    void bindDecorationToggles();
    void bindDialogs();
    void saveScheme();
    void fillSchemeCombo();
    void fillFolderCombo(int id, view::DecorationKind kind);
    void updateColourIcons();
    void updateToggleMarks();
    void toggleDecoration(int id);
    void changeColour(view::Colour& colour, const QString& title);

    DisplayState& m_display;
    ReadingView& m_view;
    LibraryTreePane& m_tree;
    RibbonBar& m_ribbon;
    CommandRouter& m_router;
    SplitPresets& m_presets;
    std::function<void(PresetDialog&)> m_extendPresetDialog;
    QWidget* m_window;
    ColourChooser m_chooseColour;
    PathChooser m_choosePicture;
    PathChooser m_chooseFolder;
    QStringList m_voices;
    int m_currentVoice = -1;
};

// Every installed font family, each once, with "默认" first.
QStringList fontChoices();

}  // namespace veyla::gui
