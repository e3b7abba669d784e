// SPDX-License-Identifier: MIT
#include "core/view/display_settings.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "core/util/utf16.h"

namespace veyla::view {

namespace {

using platform::IniFile;

// Numbers beyond int read as the nearest int, for clampToUsable to bring into range.
int toInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int integer(const IniFile& ini, std::u16string_view section, std::u16string_view key, int missing)
{
    return toInt(ini.integer(section, key, missing));
}

bool flag(const IniFile& ini, std::u16string_view section, std::u16string_view key, bool missing)
{
    return ini.integer(section, key, missing ? 1 : 0) != 0;
}

// Color keys: a value read back empty keeps the value the setting already has.
void colorInteger(const IniFile& ini, std::u16string_view key, int missing, int& value)
{
    if (!ini.contains(u"Color", key)) {
        value = missing;
        return;
    }
    const std::u16string text = ini.value(u"Color", key);
    if (!text.empty())
        value = toInt(utf16::toInteger(text));
}

void colorFlag(const IniFile& ini, std::u16string_view key, bool& value)
{
    int number = value ? 1 : 0;
    colorInteger(ini, key, 0, number);
    value = number != 0;
}

void readColorSection(const IniFile& ini, DisplaySettings& s)
{
    colorInteger(ini, u"nWholeLR0", 0, s.wholeLR0);
    colorInteger(ini, u"nWholeTB0", 0, s.wholeTB0);
    colorFlag(ini, u"bWholeLeft", s.wholeLeft);
    colorFlag(ini, u"bWholeTop", s.wholeTop);
    colorFlag(ini, u"bWholeBottom", s.wholeBottom);
    colorInteger(ini, u"nPramWidth", 3, s.pramWidth);
    colorInteger(ini, u"nPramLen", 0, s.pramLength);
    colorInteger(ini, u"nHorize", 3, s.horize);
    colorInteger(ini, u"nVertical", 3, s.verticalPosition);
    colorInteger(ini, u"nVerticalWidth", 200, s.verticalWidth);
    colorInteger(ini, u"nSelect", 0, s.select);
    colorInteger(ini, u"nLineMode", 0, s.lineMode);
    colorInteger(ini, u"nPramMode", 0, s.pramMode);
    colorInteger(ini, u"nVerticalMode", 0, s.verticalMode);
}

void readBackgroundSection(const IniFile& ini, DisplaySettings& s)
{
    s.verticalDir = ini.value(u"Background", u"verticalDir");
    s.lineDir = ini.value(u"Background", u"lineDir");
    s.parmDir = ini.value(u"Background", u"parmDir");
    s.backgroundDir = ini.value(u"Background", u"Background");
    s.index0 = integer(ini, u"Background", u"Index0", 0);
    s.index1 = integer(ini, u"Background", u"Index1", 1);
    s.count = integer(ini, u"Background", u"Count", 0);
    s.annotationRange = integer(ini, u"Background", u"nPramBZ", 0);
    s.vertical = flag(ini, u"Background", u"bVertical", false);
    s.horizon = flag(ini, u"Background", u"bHorizon", false);
    s.line = flag(ini, u"Background", u"bLine", false);
    s.codeBackground = flag(ini, u"Background", u"bCodeBg", false);
}

void setFlag(IniFile& ini, std::u16string_view section, std::u16string_view key, bool value)
{
    ini.setValue(section, key, value ? u"1" : u"0");
}

}  // namespace

DisplaySettings displaySettingsFromIni(const IniFile& ini)
{
    DisplaySettings s;
    s.voice = integer(ini, u"Voice", u"nVoice", 0);
    s.rate = integer(ini, u"Voice", u"nRate", 0);
    s.voiceName = ini.value(u"Voice", u"VoiceName");
    s.audioFormat = ini.value(u"Voice", u"AudioFormat", u"wav");
    s.textSize = integer(ini, u"Size", u"TextSize", 28);
    s.codeTextSize = integer(ini, u"Size", u"CodeTextSize", 22);
    s.webPageSize = integer(ini, u"LocalWebSet", u"Page", 120);
    s.comment = integer(ini, u"Biaozhu", u"bComment", 22);
    s.single = integer(ini, u"Biaozhu", u"bSingle", 22);
    s.annotation = integer(ini, u"Biaozhu", u"nBiaozhu", 22);
    s.rowSpacing = integer(ini, u"Distance", u"Row", 20);
    s.paragraphSpacing = integer(ini, u"Distance", u"Pram", 20);
    s.fontName = ini.value(u"FontName", u"FontName");
    s.codeFontName = ini.value(u"FontName", u"CodeFontName");
    readBackgroundSection(ini, s);
    s.parse = integer(ini, u"Parse", u"nParse", 0);
    s.speakHead = ini.value(u"SpeakTxt", u"head") + u"\r\n";
    s.speakEnd = u"\r\n" + ini.value(u"SpeakTxt", u"end");
    s.aliyunToken = ini.value(u"Aliyun", u"Token");
    s.aliyunSpeaker = ini.value(u"Aliyun", u"Speaker", u"aiqian");
    s.image = ini.value(u"Img", u"Img", u"0");
    readColorSection(ini, s);
    s.pageWidth = integer(ini, u"Page", u"nPageWidth", 1000);
    s.noPunctuationAtLineStart = flag(ini, u"Page", u"bNoPunctuationAtLineStart", true);
    s.openAll = flag(ini, u"Start", u"OpenAll", true);
    s.searchAll = flag(ini, u"Search", u"all", false);
    clampToUsable(s);
    return s;
}

void clampToUsable(DisplaySettings& s)
{
    const auto clamp = [](int& value, int low, int high) { value = std::clamp(value, low, high); };
    // The limits of the settings dialogs and sliders.
    clamp(s.textSize, 9, 100);
    clamp(s.codeTextSize, 9, 100);
    clamp(s.rowSpacing, 0, 100);
    clamp(s.paragraphSpacing, 0, 100);
    clamp(s.rate, -10, 10);
    clamp(s.pramWidth, 0, 50);
    clamp(s.pramLength, 0, 100);
    clamp(s.horize, 0, 13);
    clamp(s.verticalPosition, 0, 100);
    clamp(s.verticalWidth, 200, 1000);
    clamp(s.annotationRange, 0, 2);
    // Counts and indexes: never negative (−1 is "random" for the strip);
    // an index past its list is taken modulo the list or picked anew where used.
    clamp(s.voice, 0, kMaxIndex);
    clamp(s.index0, 0, kMaxIndex);
    clamp(s.index1, 0, kMaxIndex);
    clamp(s.count, 0, kMaxIndex);
    clamp(s.wholeLR0, 0, kMaxIndex);
    clamp(s.wholeLR1, 0, kMaxIndex);
    clamp(s.wholeTB0, -1, kMaxIndex);
    clamp(s.wholeTB1, -1, kMaxIndex);
    clamp(s.select, 0, kMaxIndex);
    clamp(s.lineMode, 0, kMaxIndex);
    clamp(s.pramMode, 0, kMaxIndex);
    clamp(s.verticalMode, 0, kMaxIndex);
    clamp(s.parse, 0, kMaxIndex);
    clamp(s.webPageSize, 1, 100000);
    clamp(s.pageWidth, kMinPageWidth, kMaxPageWidth);
    std::transform(s.audioFormat.begin(), s.audioFormat.end(), s.audioFormat.begin(),
                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; });
    if (s.audioFormat != u"opus" && s.audioFormat != u"m4b")
        s.audioFormat = u"wav";
}

DisplaySettings readDisplaySettings(const platform::AppFolders& folders)
{
    const auto path = folders.controlFile("preSet.ini");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return DisplaySettings{};
    return displaySettingsFromIni(IniFile::load(path));
}

namespace {

// A face name is written when one is chosen. The default face (an empty
// name) replaces a name the file holds by "默认", so that choosing it is
// remembered; a file without the key stays without it.
void storeFaceName(IniFile& ini, std::u16string_view key, const std::u16string& name)
{
    if (!name.empty())
        ini.setValue(u"FontName", key, name);
    else if (ini.contains(u"FontName", key))
        ini.setValue(u"FontName", key, u"默认");
}

// The keys the reading view writes when it closes.
void storeViewKeys(const DisplaySettings& s, IniFile& ini)
{
    ini.setValue(u"Img", u"Img", s.image);
    ini.setInteger(u"Size", u"TextSize", s.textSize);
    ini.setInteger(u"LocalWebSet", u"Page", s.webPageSize);
    ini.setInteger(u"Distance", u"Row", s.rowSpacing);
    ini.setInteger(u"Distance", u"Pram", s.paragraphSpacing);
    storeFaceName(ini, u"FontName", s.fontName);
    ini.setInteger(u"Start", u"OpenAll", s.openAll ? 1 : 0);
    ini.setInteger(u"Search", u"all", s.searchAll ? 1 : 0);
    ini.setInteger(u"Biaozhu", u"bComment", s.comment);
    ini.setInteger(u"Biaozhu", u"bSingle", s.single);
    ini.setInteger(u"Biaozhu", u"nBiaozhu", s.annotation);
    ini.setInteger(u"Size", u"CodeTextSize", s.codeTextSize);
    ini.setInteger(u"Voice", u"nVoice", s.voice);
    storeFaceName(ini, u"CodeFontName", s.codeFontName);
    ini.setInteger(u"Voice", u"nRate", s.rate);
    if (!s.voiceName.empty())
        ini.setValue(u"Voice", u"VoiceName", s.voiceName);
    if (s.audioFormat != u"wav" || ini.contains(u"Voice", u"AudioFormat"))
        ini.setValue(u"Voice", u"AudioFormat", s.audioFormat);
}

// The keys the application writes at its exit, after the view's.
void storeApplicationKeys(const DisplaySettings& s, IniFile& ini)
{
    ini.setValue(u"Background", u"Background", s.backgroundDir);
    ini.setValue(u"Background", u"parmDir", s.parmDir);
    ini.setInteger(u"Background", u"nPramBZ", s.annotationRange);
    ini.setInteger(u"Background", u"bVertical", s.vertical ? 1 : 0);
    ini.setInteger(u"Background", u"bHorizon", s.horizon ? 1 : 0);
    ini.setInteger(u"Background", u"bLine", s.line ? 1 : 0);
    ini.setInteger(u"Background", u"bCodeBg", s.codeBackground ? 1 : 0);
    ini.setValue(u"Background", u"verticalDir", s.verticalDir);
    ini.setValue(u"Background", u"lineDir", s.lineDir);
    ini.setInteger(u"Background", u"Index0", s.index0);
    ini.setInteger(u"Background", u"Index1", s.index1);
    ini.setInteger(u"Background", u"Count", s.count);
    ini.setInteger(u"Parse", u"nParse", s.parse);
    ini.setInteger(u"Parse", u"nParseBook", s.parseBook);
    ini.setInteger(u"Color", u"nWholeTB0", s.wholeTB0);
    ini.setInteger(u"Color", u"nWholeTB1", s.wholeTB1);
    ini.setInteger(u"Color", u"nWholeLR0", s.wholeLR0);
    ini.setInteger(u"Color", u"nWholeLR1", s.wholeLR1);
    setFlag(ini, u"Color", u"bWholeLeft", s.wholeLeft);
    setFlag(ini, u"Color", u"bWholeTop", s.wholeTop);
    setFlag(ini, u"Color", u"bWholeBottom", s.wholeBottom);
    ini.setInteger(u"Color", u"nLineMode", s.lineMode);
    ini.setInteger(u"Color", u"nPramMode", s.pramMode);
    ini.setInteger(u"Color", u"nVerticalMode", s.verticalMode);
    ini.setInteger(u"Color", u"nPramLen", s.pramLength);
    ini.setInteger(u"Color", u"nPramWidth", s.pramWidth);
    ini.setInteger(u"Color", u"nHorize", s.horize);
    ini.setInteger(u"Color", u"nVertical", s.verticalPosition);
    ini.setInteger(u"Color", u"nVerticalWidth", s.verticalWidth);
    ini.setInteger(u"Color", u"nSelect", s.select);
    ini.setInteger(u"Page", u"nPageWidth", s.pageWidth);
    if (!s.noPunctuationAtLineStart || ini.contains(u"Page", u"bNoPunctuationAtLineStart"))
        setFlag(ini, u"Page", u"bNoPunctuationAtLineStart", s.noPunctuationAtLineStart);
}

}  // namespace

void storeDisplaySettings(const DisplaySettings& settings, IniFile& ini)
{
    storeViewKeys(settings, ini);
    storeApplicationKeys(settings, ini);
}

Status writeDisplaySettings(const platform::AppFolders& folders, const DisplaySettings& settings)
{
    IniFile ini = IniFile::load(folders.controlFile("preSet.ini"));
    storeDisplaySettings(settings, ini);
    return ini.save(folders.dataControl("preSet.ini"));
}

}  // namespace veyla::view
