// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/platform/http_transport.h"
#include "core/publish/xmlrpc_response.h"
#include "core/publish/xmlrpc_value.h"
#include "core/util/result.h"

namespace veyla::publish {

// Where method calls go: "http[s]://host[:port][/path]".
struct XmlRpcEndpoint {
    bool https = false;
    std::string host;
    int port = 80;
    std::string path;  // with its leading "/", or empty

    // The address the transport is given.
    std::string url() const;
};

// The scheme is compared without regard to case; the host runs to the first
// ":" or "/"; a decimal port after ":" replaces 80 or 443. InvalidArgument
// "The URI must begin with "https://" or "http://"." for any other scheme,
// and a clear text for an empty host or a bad port.
Result<XmlRpcEndpoint> parseXmlRpcUrl(std::string_view url);

struct XmlRpcClientOptions {
    // Off by default: HTTPS certificates must be signed by a known authority.
    bool acceptSelfSignedCertificate = false;
    // A call fails when no byte arrives for this long.
    std::chrono::milliseconds receiveTimeout{std::chrono::seconds(30)};
    XmlRpcLimits limits;
};

// Progress texts of a call, in order: "Sending data", "Waiting for
// response" (while the server is silent), "Receiving response" (once bytes
// arrive), "Response received"; between them an empty text only asks
// whether to go on. Returning false stops the call (ErrorCode::Cancelled).
using XmlRpcProgress = std::function<bool(std::string_view text)>;

// Posts method calls to one XML-RPC server over a transport (text/xml,
// never from a cache) and reads the answers. Used by one thread at a time.
class XmlRpcClient {
public:
    XmlRpcClient(platform::HttpTransport& transport, std::string_view url, XmlRpcClientOptions options = {});

    // False when the address could not be used; errorText() says why.
    bool connected() const { return m_connected; }
    const XmlRpcEndpoint& endpoint() const { return m_endpoint; }

    // Calls method with params (an array gives one parameter per element).
    // The error's detail is errorText(): the HTTP status ("Low level (HTTP)
    // error: 404 Not Found"), a network reason, a malformed answer, or
    // "unspecified error" for a fault response (isFault() is true and fault()
    // then holds the server's code and text).
    Result<XmlRpcValue> execute(std::string_view method, const XmlRpcValue& params);

    // The last call's error text, at most 1254 bytes; empty after a success.
    const std::string& errorText() const { return m_errorText; }
    bool isFault() const { return m_fault; }
    const XmlRpcFault& fault() const { return m_faultDetail; }
    int httpStatus() const { return m_status; }
    std::uint64_t receivedBytes() const { return m_received; }

    void setProgress(XmlRpcProgress progress) { m_progress = std::move(progress); }
    void setAcceptSelfSignedCertificate(bool accept) { m_options.acceptSelfSignedCertificate = accept; }

private:
    Error failWith(ErrorCode code, std::string text);
    bool report(std::string_view text) const;

    platform::HttpTransport& m_transport;
    XmlRpcClientOptions m_options;
    XmlRpcEndpoint m_endpoint;
    bool m_connected = false;
    std::string m_errorText;
    bool m_fault = false;
    XmlRpcFault m_faultDetail;
    int m_status = 0;
    std::uint64_t m_received = 0;
    XmlRpcProgress m_progress;
};

// The reason a transport error gives, in the words users search for ("Name
// not resolved", "Failed to connect", "Internet timeout", "Invalid
// certificate authority", "Talking HTTPS to an HTTP server?"), followed by
// the transport's own detail in parentheses.
std::string transportErrorText(const Error& error, bool https);

}  // namespace veyla::publish
