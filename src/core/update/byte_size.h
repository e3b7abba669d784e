// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace veyla::update {

// A byte count as the download label shows it: "532 bytes", "1.50 KB",
// "11.7 KB", "117 KB", "1.14 MB": three significant digits, truncated, in
// units of 1024.
std::string formatByteSize(std::uint64_t bytes);

// The label text and the bar's percent for a download in progress:
// "Downloaded %s of %s" with received × 100 / total, or
// "Downloaded %s (total size unknown)" with 0 when the total is unknown or 0.
struct DownloadProgressText {
    std::string text;
    int percent = 0;
};
DownloadProgressText downloadProgressText(std::uint64_t received, std::optional<std::uint64_t> total);

}  // namespace veyla::update
