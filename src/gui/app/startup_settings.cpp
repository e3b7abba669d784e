// SPDX-License-Identifier: MIT
#include "gui/app/startup_settings.h"

#include "core/platform/ini_file.h"

namespace veyla::gui {

StartupSettings StartupSettings::read(const platform::AppFolders& folders)
{
    const auto ini = platform::IniFile::load(folders.controlFile("preSet.ini"));
    StartupSettings settings;
    settings.openAll = ini.integer(u"Start", u"OpenAll", 1) != 0;
    settings.searchAll = ini.integer(u"Search", u"all", 0) != 0;
    return settings;
}

void StartupSettings::write(const platform::AppFolders& folders) const
{
    // Starts from whichever copy was read, so a first write keeps the shipped values.
    auto ini = platform::IniFile::load(folders.controlFile("preSet.ini"));
    ini.setInteger(u"Start", u"OpenAll", openAll ? 1 : 0);
    ini.setInteger(u"Search", u"all", searchAll ? 1 : 0);
    (void)ini.save(folders.dataControl("preSet.ini"));
}

}  // namespace veyla::gui
