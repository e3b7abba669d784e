// SPDX-License-Identifier: MIT
#include "core/platform/app_folders.h"

#include <cstdlib>
#include <system_error>

namespace veyla::platform {

namespace fs = std::filesystem;

namespace {

bool isDirectory(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

}  // namespace

fs::path AppFolders::controlFile(const fs::path& name) const
{
    fs::path inData = dataControl(name);
    if (isFile(inData))
        return inData;
    return programControl(name);
}

AppFolders resolveAppFolders(const FolderInputs& inputs)
{
    AppFolders folders;
    const fs::path exeDir = inputs.executable.parent_path();
    const fs::path shareDir = exeDir.parent_path() / "share" / "veyla";
    if (isDirectory(exeDir / "control"))
        folders.programFolder = exeDir;
    else if (isDirectory(shareDir / "control"))
        folders.programFolder = shareDir;
    else if (!inputs.installedDataDir.empty() && isDirectory(inputs.installedDataDir))
        folders.programFolder = inputs.installedDataDir;
    else
        folders.programFolder = exeDir;

    if (inputs.dataOverride && !inputs.dataOverride->empty())
        folders.dataFolder = *inputs.dataOverride;
    else if (isFile(folders.programFolder / "portable"))
        folders.dataFolder = folders.programFolder;
    else if (inputs.xdgDataHome)
        folders.dataFolder = fs::path(*inputs.xdgDataHome) / "veyla";
    else if (inputs.home)
        folders.dataFolder = fs::path(*inputs.home) / ".local" / "share" / "veyla";
    else
        folders.dataFolder = folders.programFolder;
    return folders;
}

AppFolders appFoldersFromEnvironment(const std::optional<fs::path>& dataOverride, FolderCreation creation)
{
    FolderInputs inputs;
    std::error_code ec;
    inputs.executable = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        inputs.executable = fs::current_path(ec) / "veyla";
    inputs.dataOverride = dataOverride;
    if (!inputs.dataOverride) {
        if (auto fromEnv = environment("VEYLA_DATA_DIR"))
            inputs.dataOverride = fs::path(*fromEnv);
    }
    inputs.xdgDataHome = environment("XDG_DATA_HOME");
    inputs.home = environment("HOME");
#ifdef VEYLA_INSTALLED_DATA_DIR
    inputs.installedDataDir = VEYLA_INSTALLED_DATA_DIR;
#endif
    AppFolders folders = resolveAppFolders(inputs);
    folders.dataFolder = fs::absolute(folders.dataFolder, ec);
    if (creation == FolderCreation::Create)
        fs::create_directories(folders.dataFolder, ec);
    return folders;
}

void makeFoldersForPath(const fs::path& path)
{
    const std::string text = path.string();
    const bool namesFile = text.find(".xml") != std::string::npos || text.find(".wav") != std::string::npos;
    const fs::path folder = namesFile ? path.parent_path() : path;
    if (folder.empty())
        return;
    std::error_code ec;
    fs::create_directories(folder, ec);
}

}  // namespace veyla::platform
