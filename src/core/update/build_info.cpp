// SPDX-License-Identifier: MIT
#include "core/update/build_info.h"

#include <climits>

#include "core/platform/ini_file.h"

namespace veyla::update {

namespace {

int clampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}  // namespace

BuildInfo readBuildInfo(const std::filesystem::path& file)
{
    const platform::IniFile ini = platform::IniFile::load(file);
    BuildInfo info;
    info.build = clampToInt(ini.integer(u"Build", u"Build", 1));
    info.jsBuild = clampToInt(ini.integer(u"Build", u"JSBuild", 1));
    info.forceUpdate = ini.integer(u"Build", u"FourceUpdate", 0) != 0;
    info.newsUrl = ini.value(u"Zixun", u"URL", kDefaultNewsUrl);
    info.newsName = ini.value(u"Zixun", u"name", kDefaultNewsName);
    return info;
}

bool executableMayUpdate(const std::filesystem::path& executable)
{
    return executable.filename().u8string().find(u8"小说") != std::u8string::npos;
}

}  // namespace veyla::update
