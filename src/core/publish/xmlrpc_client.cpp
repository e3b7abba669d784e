// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_client.h"

#include <charconv>

namespace veyla::publish {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

}  // namespace

std::string XmlRpcEndpoint::url() const
{
    std::string out = https ? "https://" : "http://";
    out += host;
    if (port != (https ? 443 : 80))
        out += ":" + std::to_string(port);
    out += path.empty() ? "/" : path;
    return out;
}

Result<XmlRpcEndpoint> parseXmlRpcUrl(std::string_view url)
{
    XmlRpcEndpoint endpoint;
    std::string_view rest;
    if (startsWithIgnoringCase(url, "https://")) {
        endpoint.https = true;
        endpoint.port = 443;
        rest = url.substr(8);
    } else if (startsWithIgnoringCase(url, "http://")) {
        rest = url.substr(7);
    } else {
        return Error{ErrorCode::InvalidArgument, "The URI must begin with \"https://\" or \"http://\"."};
    }
    // A bracketed IPv6 address holds colons of its own.
    std::size_t hostEnd = rest.find_first_of(":/");
    if (rest.starts_with('[')) {
        const std::size_t bracket = rest.find(']');
        hostEnd = bracket == std::string_view::npos ? std::string_view::npos : rest.find_first_of(":/", bracket);
    }
    endpoint.host = std::string(rest.substr(0, hostEnd));
    if (endpoint.host.empty())
        return Error{ErrorCode::InvalidArgument, "The URI names no host."};
    if (hostEnd == std::string_view::npos)
        return endpoint;
    rest = rest.substr(hostEnd);
    if (rest.front() == ':') {
        rest.remove_prefix(1);
        int port = 0;
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), port);
        if (ec != std::errc() || port <= 0 || port > 65535)
            return Error{ErrorCode::InvalidArgument, "The URI has no valid port number after \":\"."};
        endpoint.port = port;
        rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()));
    }
    endpoint.path = std::string(rest);
    return endpoint;
}

std::string transportErrorText(const Error& error, bool https)
{
    const std::string& detail = error.detail;
    std::string reason;
    switch (error.code) {
    case ErrorCode::TimedOut: reason = "Internet timeout"; break;
    case ErrorCode::Cancelled: reason = "Cancelled"; break;
    case ErrorCode::TooLarge: reason = "Response too large"; break;
    case ErrorCode::InvalidArgument: reason = "Invalid URL"; break;
    default:
        if (contains(detail, "resolve"))
            reason = "Name not resolved";
        else if (contains(detail, "wrong version number") || (https && contains(detail, "packet length too long")))
            reason = "Talking HTTPS to an HTTP server?";
        else if (contains(detail, "certificate") || contains(detail, "SSL peer"))
            reason = "Invalid certificate authority";
        else if (contains(detail, "onnect to"))
            reason = "Failed to connect";
        else if (contains(detail, "reset by peer"))
            reason = "Connection reset";
        else if (contains(detail, "Empty reply") || contains(detail, "Recv failure"))
            reason = "Connection aborted";
        else
            reason = "Connection failed";
    }
    return detail.empty() ? reason : reason + " (" + detail + ")";
}

XmlRpcClient::XmlRpcClient(platform::HttpTransport& transport, std::string_view url, XmlRpcClientOptions options)
    : m_transport(transport), m_options(std::move(options))
{
    auto endpoint = parseXmlRpcUrl(url);
    if (!endpoint) {
        m_errorText = endpoint.error().detail;
        return;
    }
    m_endpoint = std::move(*endpoint);
    m_connected = true;
}

Error XmlRpcClient::failWith(ErrorCode code, std::string text)
{
    m_errorText = cutErrorText(text);
    return Error{code, m_errorText};
}

bool XmlRpcClient::report(std::string_view text) const
{
    return !m_progress || m_progress(text);
}

Result<XmlRpcValue> XmlRpcClient::execute(std::string_view method, const XmlRpcValue& params)
{
    m_errorText.clear();
    m_fault = false;
    m_faultDetail = {};
    m_status = 0;
    m_received = 0;
    if (!m_connected)
        return failWith(ErrorCode::InvalidArgument, "No connection");
    auto body = methodCallXml(method, params);
    if (!body)
        return failWith(ErrorCode::InvalidArgument, body.error().detail);
    if (!report("Sending data"))
        return failWith(ErrorCode::Cancelled, "Cancelled");

    platform::HttpRequest request;
    request.method = "POST";
    request.url = m_endpoint.url();
    request.contentType = "text/xml";
    request.body = std::move(*body);
    request.receiveTimeout = m_options.receiveTimeout;
    request.maxBodyBytes = m_options.limits.maxBytes;
    request.acceptSelfSignedCertificate = m_options.acceptSelfSignedCertificate;
    request.noCache = true;

    bool waiting = false;
    bool receiving = false;
    platform::HttpCallbacks callbacks;
    callbacks.progress = [&](const platform::HttpProgress& progress) {
        m_received = progress.received;
        if (progress.received == 0 && !waiting && !receiving) {
            waiting = true;
            return report("Waiting for response");
        }
        if (progress.received > 0 && !receiving) {
            receiving = true;
            return report("Receiving response");
        }
        return report({});
    };
    auto response = m_transport.send(request, callbacks);
    if (!response)
        return failWith(response.code(), transportErrorText(response.error(), m_endpoint.https));
    m_received = response->body.size();
    m_status = response->status;
    if (!report("Response received"))
        return failWith(ErrorCode::Cancelled, "Cancelled");
    if (m_status != 200)
        return failWith(ErrorCode::NetworkFailed,
                        "Low level (HTTP) error: " + std::to_string(m_status) + " " + response->reason);
    if (response->body.empty())
        return failWith(ErrorCode::Unsupported, "Invalid XMLRPC response: content size is 0");
    auto parsed = parseMethodResponse(response->body, m_options.limits);
    if (!parsed)
        return failWith(parsed.code(), parsed.error().detail);
    if (parsed->fault) {
        m_fault = true;
        m_faultDetail = faultOf(parsed->value);
        return failWith(ErrorCode::NetworkFailed, "unspecified error");
    }
    return std::move(parsed->value);
}

}  // namespace veyla::publish
