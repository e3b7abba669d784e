// SPDX-License-Identifier: MIT
#include "gui/icons/command_icons.h"

#include <array>

#include "gui/commands/command_id.h"
#include "gui/icons/svg_icon.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

// Every command shown as a button on the ribbon has a row here.
constexpr std::array kCommandIcons = {
    CommandIconSpec{kNewChapter, "file-plus", "document-new"},
    CommandIconSpec{kNewFolder, "folder-plus", "folder-new"},
    CommandIconSpec{kSaveChapter, "device-floppy", "document-save"},
    CommandIconSpec{kBookmarks, "bookmarks", ""},
    CommandIconSpec{kPreviousPage, "arrow-bar-up", "go-up"},
    CommandIconSpec{kNextPage, "arrow-bar-down", "go-down"},
    CommandIconSpec{kImportNovel, "file-import", ""},
    CommandIconSpec{kPresets, "adjustments-horizontal", ""},
    CommandIconSpec{kSpeakAll, "player-play", "media-playback-start"},
    CommandIconSpec{kSpeakContinue, "cursor-text", ""},
    CommandIconSpec{kStopSpeaking, "player-stop", "media-playback-stop"},
    // The four rates: walking, running, cycling, a rocket.
    CommandIconSpec{kSpeakRateNormal, "walk", ""},
    CommandIconSpec{kSpeakRateFaster1, "run", ""},
    CommandIconSpec{kSpeakRateFaster2, "bike", ""},
    CommandIconSpec{kSpeakRateFast3, "rocket", ""},
    CommandIconSpec{kChooseSpeaker, "microphone", ""},
    CommandIconSpec{kSearchVoices, "world-search", ""},
    CommandIconSpec{kWiderPage, "arrow-autofit-width", ""},
    CommandIconSpec{kNarrowerPage, "arrow-autofit-content", ""},
    CommandIconSpec{kFullScreen, "maximize", "view-fullscreen"},
    CommandIconSpec{kParagraphMode, "pilcrow", ""},
    CommandIconSpec{kExpandAllAtStart, "list-tree", ""},
    CommandIconSpec{kRandomColours, "arrows-shuffle", ""},
    CommandIconSpec{kSaveScheme, "device-floppy", ""},
    CommandIconSpec{kColourSettings, "palette", ""},
    CommandIconSpec{kNextBackground, "arrow-big-right", ""},
    CommandIconSpec{kPreviousBackground, "arrow-big-left", ""},
    CommandIconSpec{kRandomVerticalBar, "layout-sidebar", ""},
    CommandIconSpec{kRandomHorizontalBar, "layout-navbar", ""},
    CommandIconSpec{kToggleVerticalDecoration, "border-left", ""},
    CommandIconSpec{kToggleHorizontalBars, "separator-horizontal", ""},
    CommandIconSpec{kToggleRowLines, "line-dashed", ""},
    CommandIconSpec{kAnnotationColour, "color-picker", ""},
    CommandIconSpec{kAnnotationNone, "eraser", ""},
    CommandIconSpec{kAnnotate, "highlight", ""},
    CommandIconSpec{kInsertCode, "code", ""},
    CommandIconSpec{kFormatCode, "indent-increase", ""},
    CommandIconSpec{kFontLishu, "typography", ""},
    CommandIconSpec{kChunkProperties, "list-details", ""},
    CommandIconSpec{kMakeHtml, "html", ""},
    CommandIconSpec{kPublishChapter, "send", ""},
    CommandIconSpec{kUpgrade, "cloud-download", ""},
    CommandIconSpec{kCheckUpdate, "refresh", ""},
    CommandIconSpec{kOfficialSite, "world", ""},
    CommandIconSpec{kHomePage, "home", "go-home"},
};

}  // namespace

const CommandIconSpec* findCommandIcon(int id)
{
    for (const auto& entry : kCommandIcons) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

QIcon commandIcon(int id, const QColor& colour)
{
    const CommandIconSpec* entry = findCommandIcon(id);
    if (entry == nullptr)
        return tintedIcon(u"point"_s, colour);
    const QIcon vendored = tintedIcon(QString::fromLatin1(entry->vendored), colour);
    if (*entry->themeName == '\0')
        return vendored;
    return QIcon::fromTheme(QString::fromLatin1(entry->themeName), vendored);
}

QIcon lookIcon(int id)
{
    QColor colour(0x15, 0x65, 0xc0);
    switch (id) {
    case kLookBlack: colour = QColor(0x30, 0x30, 0x34); break;
    case kLookSilver: colour = QColor(0x8a, 0x90, 0x99); break;
    case kLookAqua: colour = QColor(0x00, 0x89, 0x7b); break;
    default: break;
    }
    return tintedIcon(u"palette"_s, colour);
}

}  // namespace veyla::gui
