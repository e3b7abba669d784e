// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "core/platform/http_transport.h"
#include "core/util/result.h"

namespace veyla::update {

struct DownloadLimits {
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(15)};
    std::chrono::milliseconds receiveTimeout{std::chrono::seconds(30)};
    std::chrono::milliseconds deadline{0};  // zero: none
};

// Called as bytes arrive; returning false stops the download (Cancelled).
using DownloadProgress = std::function<bool(const platform::HttpProgress&)>;

// Fetches url into target, asking caches for a fresh copy. The body goes
// to a temporary file beside target that replaces it only when the whole
// body arrived with a 2xx status, so a failed, cut, stalled or cancelled
// download leaves target as it was and no partial file behind. A status
// other than 2xx is NetworkFailed with the status line in the detail.
Status downloadFile(platform::HttpTransport& transport, const std::string& url, const std::filesystem::path& target,
                    const DownloadLimits& limits = {}, const DownloadProgress& progress = {});

}  // namespace veyla::update
