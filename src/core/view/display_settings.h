// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "core/platform/app_folders.h"
#include "core/platform/ini_file.h"
#include "core/util/result.h"

namespace veyla::view {

// Every value of control/preSet.ini, with the built-in defaults used when
// no settings file exists. Sizes and distances are pixels; colours are not
// in this file. Folder values hold a folder name or a full path (see
// decoration_folders.h).
struct DisplaySettings {
    // Voice
    int voice = 0;  // nVoice: index in the voice list, written for older readers of the file
    std::u16string voiceName;  // VoiceName: the chosen voice's engine identifier; it chooses the voice
    int rate = 0;   // nRate: −10…10
    // Size
    int textSize = 28;
    int codeTextSize = 22;
    // LocalWebSet
    int webPageSize = 120;  // Page: chapters per whole-book page of a generated site
    // Biaozhu: a settings file without these keys gives 22, no settings file 28.
    int comment = 28;     // bComment
    int single = 28;      // bSingle: non-zero annotates character runs, 0 paragraphs
    int annotation = 28;  // nBiaozhu: current annotation style, 1…20, anything else none
    // Distance
    int rowSpacing = 20;        // Row
    int paragraphSpacing = 20;  // Pram
    // FontName: empty or "默认" = the default faces
    std::u16string fontName;
    std::u16string codeFontName;
    // Background
    std::u16string verticalDir = u"默认";
    std::u16string lineDir = u"默认";
    std::u16string parmDir = u"默认";
    std::u16string backgroundDir = u"无";  // Background
    int index0 = 0;                        // current background picture
    int index1 = 1;
    int count = 0;  // number of background pictures
    int annotationRange = 0;  // nPramBZ: 0 this paragraph, 1 uniform, 2 consecutive
    bool vertical = false;    // bVertical: paragraph vertical decoration
    bool horizon = false;     // bHorizon: paragraph horizontal bars
    bool line = false;        // bLine: row lines under text lines
    bool codeBackground = false;  // bCodeBg
    // Parse
    int parse = 0;      // nParse: knowledge-mining search mode
    int parseBook = 0;  // nParseBook: written, never read
    // SpeakTxt, Aliyun: read at start, never written
    std::u16string speakHead;  // head, with a line break appended
    std::u16string speakEnd;   // end, with a line break put before it
    std::u16string aliyunToken;
    std::u16string aliyunSpeaker = u"aiqian";
    // Img: path of the current background picture
    std::u16string image = u"0";
    // Color
    int wholeLR0 = 0;  // nWholeLR0: vertical-bar picture
    int wholeLR1 = 0;
    int wholeTB0 = 0;  // nWholeTB0: row-line strip picture, −1 = random
    int wholeTB1 = 0;
    bool wholeLeft = false;    // bWholeLeft: vertical bars on the page sides
    bool wholeTop = false;     // bWholeTop: strip at the top of the view
    bool wholeBottom = false;  // bWholeBottom: strip at the bottom
    int pramWidth = 3;         // nPramWidth 0…50
    int pramLength = 0;        // nPramLen 0…100
    int horize = 3;            // nHorize 0…13
    int verticalPosition = 3;  // nVertical: per cent of the side margin, 0…100
    int verticalWidth = 200;   // nVerticalWidth 200…1000
    int select = 0;            // nSelect
    int lineMode = 0;          // nLineMode
    int pramMode = 0;          // nPramMode
    int verticalMode = 0;      // nVerticalMode
    // Page
    int pageWidth = 1000;  // nPageWidth: written at exit; the view starts at client width − 350
    // bNoPunctuationAtLineStart: closing punctuation stays off line starts
    // (on unless the file says 0; written once it was turned off).
    bool noPunctuationAtLineStart = true;
    // Voice AudioFormat: what 生成本书音频 makes, "wav", "opus" or "m4b"
    // (written once it was changed from wav).
    std::u16string audioFormat = u"wav";
    // Start, Search
    bool openAll = true;     // OpenAll: expand every book at start
    bool searchAll = false;  // all

    friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};

// Limits of values that only name a position in a list.
inline constexpr int kMaxIndex = 100000;
inline constexpr int kMinPageWidth = 100;
inline constexpr int kMaxPageWidth = 20000;

// Brings every value into the range the program can use (the limits of the
// settings dialogs; indexes and counts at least 0), so that a hand-edited
// or damaged file never leaves the view blank or unusable.
void clampToUsable(DisplaySettings& settings);

// Reads the values from a settings file (keys missing from it take their
// own defaults), clamped to usable values.
DisplaySettings displaySettingsFromIni(const platform::IniFile& ini);
// Reads the data folder's control/preSet.ini, else the program folder's;
// without either every value keeps its built-in default.
DisplaySettings readDisplaySettings(const platform::AppFolders& folders);

// Writes every key in the order of the exit: the reading view's keys, then
// the application's (the Background, Parse and Color keys, then nPageWidth).
void storeDisplaySettings(const DisplaySettings& settings, platform::IniFile& ini);
// Writes into the data folder's control/preSet.ini, starting from whichever
// copy was read so that other keys and sections stay.
Status writeDisplaySettings(const platform::AppFolders& folders, const DisplaySettings& settings);

}  // namespace veyla::view
