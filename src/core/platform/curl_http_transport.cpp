// SPDX-License-Identifier: MIT
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>

#include "core/platform/http_transport.h"
#include "core/platform/shared_library.h"

namespace veyla::platform {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The libcurl functions the transport calls, bound when the first request
// is made: libcurl pulls in some thirty libraries (TLS, Kerberos, LDAP...),
// and a program that never goes online should not pay for loading them.
struct CurlApi {
    decltype(&::curl_global_init) globalInit = nullptr;
    decltype(&::curl_easy_init) easyInit = nullptr;
    decltype(&::curl_easy_setopt) easySetopt = nullptr;
    decltype(&::curl_easy_perform) easyPerform = nullptr;
    decltype(&::curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&::curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&::curl_easy_strerror) easyStrerror = nullptr;
    decltype(&::curl_free) free = nullptr;
    decltype(&::curl_slist_append) slistAppend = nullptr;
    decltype(&::curl_slist_free_all) slistFreeAll = nullptr;
    decltype(&::curl_url) url = nullptr;
    decltype(&::curl_url_cleanup) urlCleanup = nullptr;
    decltype(&::curl_url_get) urlGet = nullptr;
    decltype(&::curl_url_set) urlSet = nullptr;
};

Result<CurlApi> bindCurl(const SharedLibrary& lib)
{
    CurlApi api;
    for (Status bound : {lib.bind(api.globalInit, "curl_global_init"), lib.bind(api.easyInit, "curl_easy_init"),
                         lib.bind(api.easySetopt, "curl_easy_setopt"), lib.bind(api.easyPerform, "curl_easy_perform"),
                         lib.bind(api.easyGetinfo, "curl_easy_getinfo"), lib.bind(api.easyCleanup, "curl_easy_cleanup"),
                         lib.bind(api.easyStrerror, "curl_easy_strerror"), lib.bind(api.free, "curl_free"),
                         lib.bind(api.slistAppend, "curl_slist_append"),
                         lib.bind(api.slistFreeAll, "curl_slist_free_all"), lib.bind(api.url, "curl_url"),
                         lib.bind(api.urlCleanup, "curl_url_cleanup"), lib.bind(api.urlGet, "curl_url_get"),
                         lib.bind(api.urlSet, "curl_url_set")}) {
        if (!bound)
            return bound.error();
    }
    // The global state is set up once per process, before any handle exists.
    if (api.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return Error{ErrorCode::NetworkFailed, lib.fileName() + " could not be initialised"};
    return api;
}

Result<CurlApi> loadCurl()
{
    // Debian's libcurl4 (OpenSSL) first, then the GnuTLS build.
    std::string reasons;
    for (const char* name : {"libcurl.so.4", "libcurl-gnutls.so.4"}) {
        auto library = SharedLibrary::open(name);
        if (library)
            return bindCurl(*library);
        reasons += (reasons.empty() ? "" : "; ") + library.error().detail;
    }
    return Error{ErrorCode::NetworkFailed, "going online needs libcurl (Debian package libcurl4): " + reasons};
}

// Loaded once per process; a function-local static is initialised safely
// when the first requests start on several worker threads at once.
const Result<CurlApi>& curlApi()
{
    static const Result<CurlApi> loaded = loadCurl();
    return loaded;
}

// Set in send() before any other function here runs on that thread.
const CurlApi& api()
{
    return *curlApi();
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// The parts of a URL that decide where a request body may be sent.
struct Origin {
    std::string scheme;
    std::string host;
    std::string port;
};

std::optional<Origin> originOf(const std::string& url)
{
    CURLU* handle = api().url();
    if (handle == nullptr)
        return std::nullopt;
    std::optional<Origin> origin;
    if (api().urlSet(handle, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* scheme = nullptr;
        char* host = nullptr;
        char* port = nullptr;
        if (api().urlGet(handle, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            api().urlGet(handle, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
            api().urlGet(handle, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK)
            origin = Origin{lower(scheme), lower(host), port};
        api().free(scheme);
        api().free(host);
        api().free(port);
    }
    api().urlCleanup(handle);
    return origin;
}

// A body may follow a redirect only to the same host and port, or from
// http to https on the same host with both default ports (a site that moved
// to TLS). Anything else could hand a password to a stranger.
bool bodyMayFollow(const std::string& from, const std::string& to)
{
    const auto a = originOf(from);
    const auto b = originOf(to);
    if (!a || !b || a->host != b->host)
        return false;
    if (a->scheme == b->scheme)
        return a->port == b->port;
    return a->scheme == "http" && b->scheme == "https" && a->port == "80" && b->port == "443";
}

bool schemeAllowed(const std::string& url)
{
    const auto origin = originOf(url);
    return origin && (origin->scheme == "http" || origin->scheme == "https");
}

// State one transfer (one hop of a redirect chain) shares with libcurl's callbacks.
struct Transfer {
    const HttpRequest* request = nullptr;
    const HttpCallbacks* callbacks = nullptr;

    // What the current hop received.
    int status = 0;
    std::string reason;
    std::vector<std::pair<std::string, std::string>> headers;
    bool redirectHop = false;  // a 3xx whose body is only kept aside
    std::string body;
    std::string redirectBody;
    std::uint64_t hopBytes = 0;

    // Across hops.
    std::uint64_t reportedBytes = 0;
    std::uint64_t lastReportedBytes = 0;
    Clock::time_point lastByte = Clock::now();
    std::optional<Clock::time_point> lastReport;  // none before the first report
    bool stalled = false;
    bool cancelled = false;
    bool tooLarge = false;
    std::optional<Error> sinkError;
};

bool isRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    t.lastByte = Clock::now();
    if (line.rfind("HTTP/", 0) == 0) {
        // A new status line: an interim 100 Continue or a new response.
        t.headers.clear();
        t.reason.clear();
        const auto firstSpace = line.find(' ');
        if (firstSpace != std::string_view::npos) {
            std::string_view rest = line.substr(firstSpace + 1);
            t.status = std::atoi(std::string(rest.substr(0, 3)).c_str());
            if (rest.size() > 3)
                t.reason = std::string(trim(rest.substr(3)));
        }
        t.redirectHop = false;
        return size * count;
    }
    const auto colon = line.find(':');
    if (colon != std::string_view::npos && colon > 0) {
        std::string name(trim(line.substr(0, colon)));
        std::string value(trim(line.substr(colon + 1)));
        if (isRedirectStatus(t.status) && lower(name) == "location")
            t.redirectHop = true;
        t.headers.emplace_back(std::move(name), std::move(value));
    }
    return size * count;
}

bool reportProgress(Transfer& t, std::optional<std::uint64_t> total, bool force)
{
    if (!t.callbacks->progress)
        return true;
    const auto now = Clock::now();
    // While bytes flow every piece is reported; while idle, a few times a
    // second so a cancel still reaches a stalled transfer.
    if (!force && t.lastReport && now - *t.lastReport < milliseconds(200))
        return true;
    t.lastReport = now;
    if (!t.callbacks->progress(HttpProgress{t.reportedBytes, total})) {
        t.cancelled = true;
        return false;
    }
    return true;
}

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    t.lastByte = Clock::now();
    if (t.redirectHop) {
        // The body of a redirect is not the resource: it is kept aside (under
        // the same cap) in case this response turns out to be the final one.
        if (t.redirectBody.size() + n > t.request->maxBodyBytes) {
            t.tooLarge = true;
            return 0;
        }
        t.redirectBody.append(data, n);
        return n;
    }
    t.hopBytes += n;
    t.reportedBytes += n;
    if (t.callbacks->sink) {
        Status written = t.callbacks->sink(std::string_view(data, n));
        if (!written) {
            t.sinkError = written.error();
            return 0;
        }
    } else {
        if (t.body.size() + n > t.request->maxBodyBytes) {
            t.tooLarge = true;
            return 0;
        }
        t.body.append(data, n);
    }
    return n;
}

int onProgress(void* user, curl_off_t downloadTotal, curl_off_t /*downloadNow*/, curl_off_t /*uploadTotal*/,
               curl_off_t /*uploadNow*/)
{
    auto& t = *static_cast<Transfer*>(user);
    const auto now = Clock::now();
    // Sub-second receive time-outs: libcurl's low-speed limit counts whole seconds.
    if (t.request->receiveTimeout.count() > 0 && now - t.lastByte > t.request->receiveTimeout) {
        t.stalled = true;
        return 1;
    }
    std::optional<std::uint64_t> total;
    if (downloadTotal > 0 && !t.redirectHop)
        total = static_cast<std::uint64_t>(downloadTotal);
    const bool moved = t.reportedBytes != t.lastReportedBytes;
    t.lastReportedBytes = t.reportedBytes;
    return reportProgress(t, total, moved) ? 0 : 1;
}

struct EasyHandle {
    CURL* curl = api().easyInit();
    curl_slist* headers = nullptr;
    ~EasyHandle()
    {
        api().slistFreeAll(headers);
        if (curl != nullptr)
            api().easyCleanup(curl);
    }
};

Error transferError(CURLcode code, const Transfer& t, const char* detail, const std::string& url)
{
    std::string message = url + ": " + (detail[0] != '\0' ? detail : api().easyStrerror(code));
    if (t.sinkError)
        return *t.sinkError;
    if (t.cancelled)
        return Error{ErrorCode::Cancelled, url};
    if (t.stalled)
        return Error{ErrorCode::TimedOut, url + ": no data received in time"};
    if (t.tooLarge)
        return Error{ErrorCode::TooLarge, url + ": the response is larger than " + std::to_string(t.request->maxBodyBytes) +
                                              " bytes"};
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return Error{ErrorCode::TimedOut, message};
    case CURLE_FILESIZE_EXCEEDED:
        return Error{ErrorCode::TooLarge, message};
    case CURLE_ABORTED_BY_CALLBACK:
        return Error{ErrorCode::Cancelled, message};
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return Error{ErrorCode::InvalidArgument, message};
    default:
        return Error{ErrorCode::NetworkFailed, message};
    }
}

class CurlTransport final : public HttpTransport {
public:
    Result<HttpResponse> send(const HttpRequest& request, const HttpCallbacks& callbacks) override;
};

Result<HttpResponse> CurlTransport::send(const HttpRequest& request, const HttpCallbacks& callbacks)
{
    if (request.method != "GET" && request.method != "POST")
        return Error{ErrorCode::InvalidArgument, "unsupported HTTP method " + request.method};
    if (!schemeAllowed(request.url))
        return Error{ErrorCode::InvalidArgument, "not an http or https address: " + request.url};
    if (const auto& loaded = curlApi(); !loaded)
        return loaded.error();

    const auto started = Clock::now();
    Transfer t;
    t.request = &request;
    t.callbacks = &callbacks;

    std::string url = request.url;
    std::string method = request.method;
    bool sendBody = method == "POST";
    for (int hop = 0;; ++hop) {
        EasyHandle easy;
        if (easy.curl == nullptr)
            return Error{ErrorCode::NetworkFailed, "the HTTP library could not start a transfer"};
        CURL* curl = easy.curl;
        char errorText[CURL_ERROR_SIZE] = {};
        t.status = 0;
        t.reason.clear();
        t.headers.clear();
        t.body.clear();
        t.redirectBody.clear();
        t.redirectHop = false;
        t.hopBytes = 0;
        t.lastByte = Clock::now();

        api().easySetopt(curl, CURLOPT_URL, url.c_str());
        api().easySetopt(curl, CURLOPT_ERRORBUFFER, errorText);
        api().easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
        api().easySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        api().easySetopt(curl, CURLOPT_USERAGENT, "Veyla");
        // Redirects are followed here, hop by hop, so a body never leaves
        // for another host.
        api().easySetopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
        // A site that accepts a self-signed certificate skips only the issuer
        // check; the certificate must still name the host.
        api().easySetopt(curl, CURLOPT_SSL_VERIFYPEER, request.acceptSelfSignedCertificate ? 0L : 1L);
        api().easySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);

        api().easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max<milliseconds::rep>(1, request.connectTimeout.count())));
        // The low-speed limit is the receive time-out in whole seconds; the
        // progress callback enforces the exact figure.
        if (request.receiveTimeout.count() > 0) {
            const long stallSeconds = static_cast<long>((request.receiveTimeout.count() + 999) / 1000);
            api().easySetopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
            api().easySetopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
        }
        if (request.deadline.count() > 0) {
            const auto left = std::chrono::duration_cast<milliseconds>(request.deadline - (Clock::now() - started));
            if (left.count() <= 0)
                return Error{ErrorCode::TimedOut, url + ": the transfer did not end in time"};
            api().easySetopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
        }
        if (!callbacks.sink)
            api().easySetopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::min<std::uint64_t>(
                                                                   request.maxBodyBytes, 0x7fffffffffffffffull)));

        api().easySetopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
        api().easySetopt(curl, CURLOPT_HEADERDATA, &t);
        api().easySetopt(curl, CURLOPT_WRITEFUNCTION, onBody);
        api().easySetopt(curl, CURLOPT_WRITEDATA, &t);
        api().easySetopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        api().easySetopt(curl, CURLOPT_XFERINFODATA, &t);
        api().easySetopt(curl, CURLOPT_NOPROGRESS, 0L);

        for (const auto& [name, value] : request.headers)
            easy.headers = api().slistAppend(easy.headers, (name + ": " + value).c_str());
        if (request.noCache) {
            easy.headers = api().slistAppend(easy.headers, "Cache-Control: no-cache");
            easy.headers = api().slistAppend(easy.headers, "Pragma: no-cache");
        }
        if (sendBody) {
            api().easySetopt(curl, CURLOPT_POST, 1L);
            api().easySetopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
            api().easySetopt(curl, CURLOPT_POSTFIELDS, request.body.data());
            if (!request.contentType.empty())
                easy.headers = api().slistAppend(easy.headers, ("Content-Type: " + request.contentType).c_str());
            // No 100-continue round trip: the body is small and sent at once.
            easy.headers = api().slistAppend(easy.headers, "Expect:");
        } else {
            api().easySetopt(curl, CURLOPT_HTTPGET, 1L);
        }
        api().easySetopt(curl, CURLOPT_HTTPHEADER, easy.headers);

        const CURLcode code = api().easyPerform(curl);
        if (code != CURLE_OK)
            return transferError(code, t, errorText, url);

        long status = 0;
        api().easyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        char* next = nullptr;
        api().easyGetinfo(curl, CURLINFO_REDIRECT_URL, &next);
        const std::string nextUrl = next != nullptr ? next : "";
        const bool follow = t.redirectHop && !nextUrl.empty() && request.maxRedirects > 0 &&
                            (!sendBody || bodyMayFollow(url, nextUrl));
        if (follow) {
            if (hop + 1 > request.maxRedirects)
                return Error{ErrorCode::NetworkFailed,
                             request.url + ": more than " + std::to_string(request.maxRedirects) + " redirects"};
            if (!schemeAllowed(nextUrl))
                return Error{ErrorCode::NetworkFailed, url + ": redirected to an unusable address " + nextUrl};
            // 303 always, and 301/302 after a POST, continue as a GET without a body.
            if (sendBody && (status == 301 || status == 302 || status == 303)) {
                sendBody = false;
                method = "GET";
            }
            url = nextUrl;
            continue;
        }

        HttpResponse response;
        response.status = static_cast<int>(status);
        response.reason = std::move(t.reason);
        response.headers = std::move(t.headers);
        char* effective = nullptr;
        api().easyGetinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
        response.effectiveUrl = effective != nullptr ? effective : url;
        if (t.redirectHop) {
            // A redirect returned as the answer: its body is the answer's body.
            t.hopBytes = t.redirectBody.size();
            if (callbacks.sink) {
                Status written = callbacks.sink(t.redirectBody);
                if (!written)
                    return written.error();
            } else {
                response.body = std::move(t.redirectBody);
            }
        } else {
            response.body = std::move(t.body);
        }
        response.bodyBytes = t.hopBytes;
        return response;
    }
}

}  // namespace

std::unique_ptr<HttpTransport> makeCurlTransport()
{
    return std::make_unique<CurlTransport>();
}

}  // namespace veyla::platform
