// SPDX-License-Identifier: MIT
#include "core/update/update_test_files.h"

#include <cstring>

#include "core/epub/test_zip.h"
#include "support/test_support.h"

namespace veyla::test {

namespace fs = std::filesystem;

std::map<std::string, std::string> folderSnapshot(const fs::path& root)
{
    std::map<std::string, std::string> snapshot;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(item.path(), root).generic_string();
        if (item.is_symlink())
            snapshot[name] = "<link>";
        else if (item.is_directory())
            snapshot[name] = "<folder>";
        else
            snapshot[name] = readBytes(item.path());
    }
    return snapshot;
}

std::string overlappingZip()
{
    const std::string data(4000, 'A');
    std::string zip = buildZip({{"a.txt", data}, {"b.txt", data}});
    std::size_t first = zip.find("PK\x01\x02");
    const std::size_t second = zip.find("PK\x01\x02", first + 4);
    std::memcpy(zip.data() + second + 42, zip.data() + first + 42, 4);
    return zip;
}

}  // namespace veyla::test
