// SPDX-License-Identifier: MIT
#include "core/update/file_download.h"

#include <optional>

#include "core/platform/atomic_file_writer.h"

namespace veyla::update {

Status downloadFile(platform::HttpTransport& transport, const std::string& url, const std::filesystem::path& target,
                    const DownloadLimits& limits, const DownloadProgress& progress)
{
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    Result<platform::AtomicFileWriter> writer = platform::AtomicFileWriter::create(target);
    if (!writer)
        return writer.error();

    platform::HttpRequest request;
    request.url = url;
    request.noCache = true;
    request.connectTimeout = limits.connectTimeout;
    request.receiveTimeout = limits.receiveTimeout;
    request.deadline = limits.deadline;
    platform::HttpCallbacks callbacks;
    callbacks.progress = progress;
    callbacks.sink = [&](std::string_view piece) { return writer->append(piece); };

    Result<platform::HttpResponse> response = transport.send(request, callbacks);
    if (!response)
        return response.error();  // the writer's destructor removes the partial file
    if (response->status < 200 || response->status > 299)
        return Error{ErrorCode::NetworkFailed,
                     url + ": HTTP " + std::to_string(response->status) + " " + response->reason};
    return writer->commit();
}

}  // namespace veyla::update
