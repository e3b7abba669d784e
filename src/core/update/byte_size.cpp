// SPDX-License-Identifier: MIT
#include "core/update/byte_size.h"

#include <algorithm>
#include <cstdio>

namespace veyla::update {

std::string formatByteSize(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " bytes";
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    // Hundredths of the unit, computed in integers so nothing rounds up.
    int unit = 0;
    std::uint64_t scale = 1024;
    while (unit + 1 < 6 && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    const std::uint64_t whole = bytes / scale;
    const std::uint64_t hundredths = (bytes % scale) * 100 / scale;
    char buffer[32];
    if (whole >= 100)
        std::snprintf(buffer, sizeof buffer, "%llu %s", static_cast<unsigned long long>(whole), kUnits[unit]);
    else if (whole >= 10)
        std::snprintf(buffer, sizeof buffer, "%llu.%llu %s", static_cast<unsigned long long>(whole),
                      static_cast<unsigned long long>(hundredths / 10), kUnits[unit]);
    else
        std::snprintf(buffer, sizeof buffer, "%llu.%02llu %s", static_cast<unsigned long long>(whole),
                      static_cast<unsigned long long>(hundredths), kUnits[unit]);
    return buffer;
}

DownloadProgressText downloadProgressText(std::uint64_t received, std::optional<std::uint64_t> total)
{
    if (!total || *total == 0)
        return {"Downloaded " + formatByteSize(received) + " (total size unknown)", 0};
    std::uint64_t percent = 100;
    if (received < *total)
        percent = *total < (1ull << 56) ? received * 100 / *total : received / (*total / 100);
    return {"Downloaded " + formatByteSize(received) + " of " + formatByteSize(*total), static_cast<int>(percent)};
}

}  // namespace veyla::update
