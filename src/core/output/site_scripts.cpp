// SPDX-License-Identifier: MIT
#include "core/output/site_scripts.h"

#include <system_error>

#include "core/platform/file_io.h"

namespace veyla::output {

namespace fs = std::filesystem;

ScriptCopy installSiteScripts(const fs::path& programFolder, const fs::path& dataFolder)
{
    ScriptCopy result;
    const fs::path source = programFolder / "HTML" / "js";
    const fs::path target = dataFolder / "HTML" / "js";
    std::error_code error;
    if (!fs::is_directory(source, error) || fs::equivalent(programFolder, dataFolder, error))
        return result;
    for (auto it = fs::recursive_directory_iterator(source, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (!it->is_regular_file(error) || it->is_symlink(error))
            continue;
        const fs::path to = target / fs::relative(it->path(), source, error);
        std::error_code ignored;
        if (fs::exists(to, ignored) && fs::last_write_time(to, ignored) >= it->last_write_time(ignored))
            continue;
        auto bytes = platform::readWholeFile(it->path());
        if (!bytes) {
            result.failures.emplace_back(it->path(), bytes.error());
            continue;
        }
        fs::create_directories(to.parent_path(), ignored);
        const Status written = platform::writeFileAtomically(to, *bytes);
        if (!written) {
            result.failures.emplace_back(to, written.error());
            continue;
        }
        // The copy takes the shipped file's time, so the same version is not copied again.
        fs::last_write_time(to, it->last_write_time(ignored), ignored);
        ++result.copied;
    }
    return result;
}

}  // namespace veyla::output
