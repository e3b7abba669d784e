// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/util/result.h"

namespace veyla::platform {

// One HTTP(S) request. Blog publishing posts XML; updates and the catalogue
// download files. Every limit is explicit so a hostile or stalled server can
// neither hang a worker nor exhaust memory.
struct HttpRequest {
    std::string method = "GET";  // "GET" or "POST"
    std::string url;
    std::string contentType;  // POST only, e.g. "text/xml"
    std::string body;         // POST only; sent with its Content-Length
    std::vector<std::pair<std::string, std::string>> headers;  // extra request headers

    std::chrono::milliseconds connectTimeout{std::chrono::seconds(15)};
    // The transfer fails when no byte arrives for this long.
    std::chrono::milliseconds receiveTimeout{std::chrono::seconds(30)};
    // The whole transfer must end within this time; zero means no deadline.
    std::chrono::milliseconds deadline{0};
    // Bodies kept in memory (no sink) are refused beyond this size.
    std::uint64_t maxBodyBytes = 64ull << 20;

    // HTTPS always verifies certificates; this per-site option accepts a
    // certificate no known authority signed (a self-signed blog).
    bool acceptSelfSignedCertificate = false;
    // Redirects are followed up to this many times. A request with a body is
    // never re-sent to another host.
    int maxRedirects = 5;
    // Asks proxies and the server not to answer from a cache.
    bool noCache = false;
};

struct HttpResponse {
    int status = 0;        // e.g. 200
    std::string reason;    // the status line's reason phrase, e.g. "OK"
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;      // empty when the body went to a sink
    std::string effectiveUrl;   // after redirects
    std::uint64_t bodyBytes = 0;  // bytes of body received (kept or sunk)
};

struct HttpProgress {
    std::uint64_t received = 0;
    std::optional<std::uint64_t> total;  // unknown when the server sends no length
};

struct HttpCallbacks {
    // Called as bytes arrive; returning false cancels the transfer
    // (the result is then ErrorCode::Cancelled).
    std::function<bool(const HttpProgress&)> progress;
    // When set, the body is handed over in pieces instead of being kept;
    // a failed Status stops the transfer and is returned.
    std::function<Status(std::string_view piece)> sink;
};

// The seam every network use goes through; tests substitute a fake.
// Implementations are safe to use from worker threads (one request at a
// time per object).
class HttpTransport {
public:
    virtual ~HttpTransport() = default;

    // Sends the request and returns the response, whatever its status code
    // (a 404 is a response, not an error). Errors: NetworkFailed (address,
    // connection, TLS, protocol), TimedOut, TooLarge, Cancelled,
    // InvalidArgument (a URL the transport cannot use).
    virtual Result<HttpResponse> send(const HttpRequest& request, const HttpCallbacks& callbacks = {}) = 0;
};

// The libcurl transport.
std::unique_ptr<HttpTransport> makeCurlTransport();

}  // namespace veyla::platform
