// SPDX-License-Identifier: MIT
#include "core/publish/xmlrpc_client.h"

#include <gtest/gtest.h>

#include "fake_transport.h"

namespace veyla::publish {
namespace {

using test::FakeTransport;

TEST(XmlRpcUrl, ParsesSchemeHostPortAndPath)
{
    struct Case {
        const char* url;
        bool https;
        const char* host;
        int port;
        const char* path;
        const char* normalised;
    };
    const Case cases[] = {
        {"http://blog.example.org/xmlrpc.php", false, "blog.example.org", 80, "/xmlrpc.php",
         "http://blog.example.org/xmlrpc.php"},
        {"HTTPS://Blog.Example.org:8080/wp/xmlrpc.php", true, "Blog.Example.org", 8080, "/wp/xmlrpc.php",
         "https://Blog.Example.org:8080/wp/xmlrpc.php"},
        {"https://example.org", true, "example.org", 443, "", "https://example.org/"},
        {"http://127.0.0.1:8081", false, "127.0.0.1", 8081, "", "http://127.0.0.1:8081/"},
        {"http://[::1]:8081/rpc", false, "[::1]", 8081, "/rpc", "http://[::1]:8081/rpc"},
    };
    for (const auto& c : cases) {
        auto endpoint = parseXmlRpcUrl(c.url);
        ASSERT_TRUE(endpoint.ok()) << c.url;
        EXPECT_EQ(endpoint->https, c.https) << c.url;
        EXPECT_EQ(endpoint->host, c.host) << c.url;
        EXPECT_EQ(endpoint->port, c.port) << c.url;
        EXPECT_EQ(endpoint->path, c.path) << c.url;
        EXPECT_EQ(endpoint->url(), c.normalised) << c.url;
    }
}

TEST(XmlRpcUrl, RefusesOtherSchemesEmptyHostsAndBadPorts)
{
    struct Case {
        const char* url;
        const char* error;
    };
    const Case cases[] = {
        {"ftp://example.org/xmlrpc", "The URI must begin with \"https://\" or \"http://\"."},
        {"", "The URI must begin with \"https://\" or \"http://\"."},
        {"example.org/xmlrpc.php", "The URI must begin with \"https://\" or \"http://\"."},
        {"http:///xmlrpc.php", "The URI names no host."},
        {"http://example.org:/x", "The URI has no valid port number after \":\"."},
        {"http://example.org:99999/x", "The URI has no valid port number after \":\"."},
    };
    for (const auto& c : cases) {
        auto endpoint = parseXmlRpcUrl(c.url);
        ASSERT_FALSE(endpoint.ok()) << c.url;
        EXPECT_EQ(endpoint.error().detail, c.error) << c.url;
    }
}

TEST(XmlRpcClient, ABadAddressLeavesTheClientWithoutConnection)
{
    FakeTransport transport;
    XmlRpcClient client(transport, "ftp://example.org");
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(client.errorText(), "The URI must begin with \"https://\" or \"http://\".");
    auto result = client.execute("demo.sayHello", XmlRpcValue());
    EXPECT_EQ(result.error().detail, "No connection");
    EXPECT_TRUE(transport.requests.empty());
}

TEST(XmlRpcClient, PostsXmlWithoutCacheAndReadsTheResult)
{
    FakeTransport transport;
    transport.answer(FakeTransport::result("<value><string>Hello!</string></value>"));
    XmlRpcClient client(transport, "Http://127.0.0.1:8080/xmlrpc.php");
    std::vector<std::string> progress;
    client.setProgress([&](std::string_view text) {
        if (!text.empty())
            progress.emplace_back(text);
        return true;
    });
    auto result = client.execute("demo.sayHello", XmlRpcArray{"用户"});
    ASSERT_TRUE(result.ok()) << result.error().detail;
    EXPECT_EQ(*result->asString(), "Hello!");
    EXPECT_TRUE(client.errorText().empty());
    ASSERT_EQ(transport.requests.size(), 1u);
    const auto& request = transport.requests[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url, "http://127.0.0.1:8080/xmlrpc.php");
    EXPECT_EQ(request.contentType, "text/xml");
    EXPECT_TRUE(request.noCache);
    EXPECT_FALSE(request.acceptSelfSignedCertificate);
    EXPECT_EQ(request.receiveTimeout, std::chrono::seconds(30));
    EXPECT_EQ(request.body, *methodCallXml("demo.sayHello", XmlRpcArray{"用户"}));
    EXPECT_EQ(progress, (std::vector<std::string>{"Sending data", "Waiting for response", "Receiving response",
                                                  "Response received"}));
}

TEST(XmlRpcClient, TheSelfSignedOptionReachesTheTransport)
{
    FakeTransport transport;
    transport.answer(FakeTransport::result("<value><i4>1</i4></value>"));
    XmlRpcClientOptions options;
    options.acceptSelfSignedCertificate = true;
    XmlRpcClient client(transport, "https://self.example/xmlrpc.php", options);
    ASSERT_TRUE(client.execute("m", XmlRpcValue()).ok());
    EXPECT_TRUE(transport.requests[0].acceptSelfSignedCertificate);
}

TEST(XmlRpcClient, FailuresBecomeErrorTexts)
{
    struct Case {
        std::function<void(FakeTransport&)> script;
        ErrorCode code;
        std::string text;
    };
    const std::string html = "<html><body>blog</body></html>";
    const Case cases[] = {
        {[](FakeTransport& t) { t.answer("<html>gone</html>", 404, "Not Found"); }, ErrorCode::NetworkFailed,
         "Low level (HTTP) error: 404 Not Found"},
        {[](FakeTransport& t) { t.answer("", 200); }, ErrorCode::Unsupported,
         "Invalid XMLRPC response: content size is 0"},
        {[&](FakeTransport& t) { t.answer(html); }, ErrorCode::Unsupported,
         "It looks like you've configured the wrong URL. That URL is sending us HTML text, whereas we need RPC "
         "data."},
        {[](FakeTransport& t) { t.fail(ErrorCode::TimedOut, "http://h/x: no data received in time"); },
         ErrorCode::TimedOut, "Internet timeout (http://h/x: no data received in time)"},
        {[](FakeTransport& t) { t.fail(ErrorCode::NetworkFailed, "http://h/x: Could not resolve host: h"); },
         ErrorCode::NetworkFailed, "Name not resolved (http://h/x: Could not resolve host: h)"},
        {[](FakeTransport& t) {
             t.fail(ErrorCode::NetworkFailed,
                    "http://h/x: Failed to connect to h port 80 after 0 ms: Couldn't connect to server");
         },
         ErrorCode::NetworkFailed,
         "Failed to connect (http://h/x: Failed to connect to h port 80 after 0 ms: Couldn't connect to server)"},
        {[](FakeTransport& t) { t.fail(ErrorCode::TooLarge, "the response is larger than 33554432 bytes"); },
         ErrorCode::TooLarge, "Response too large (the response is larger than 33554432 bytes)"},
    };
    for (const auto& c : cases) {
        FakeTransport transport;
        c.script(transport);
        XmlRpcClient client(transport, "http://h/x");
        auto result = client.execute("m", XmlRpcValue());
        ASSERT_FALSE(result.ok()) << c.text;
        EXPECT_EQ(result.code(), c.code) << c.text;
        EXPECT_EQ(result.error().detail, c.text);
        EXPECT_EQ(client.errorText(), c.text);
        EXPECT_FALSE(client.isFault());
    }
}

TEST(XmlRpcClient, HttpsFailuresGiveTheirHints)
{
    struct Case {
        const char* detail;
        const char* reason;
    };
    const Case cases[] = {
        {"https://h/x: error:0A00010B:SSL routines::wrong version number", "Talking HTTPS to an HTTP server?"},
        {"https://h/x: SSL certificate problem: self-signed certificate", "Invalid certificate authority"},
    };
    for (const auto& c : cases) {
        FakeTransport transport;
        transport.fail(ErrorCode::NetworkFailed, c.detail);
        XmlRpcClient client(transport, "https://h/x");
        auto result = client.execute("m", XmlRpcValue());
        EXPECT_EQ(result.error().detail, std::string(c.reason) + " (" + c.detail + ")");
    }
}

TEST(XmlRpcClient, AFaultKeepsItsCodeAndText)
{
    FakeTransport transport;
    transport.answer(FakeTransport::fault(403, "Incorrect username or password."));
    transport.answer(FakeTransport::result("<value><boolean>1</boolean></value>"));
    XmlRpcClient client(transport, "http://h/xmlrpc.php");
    auto result = client.execute("wp.getPosts", XmlRpcValue());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.code(), ErrorCode::NetworkFailed);
    EXPECT_EQ(client.errorText(), "unspecified error");
    EXPECT_TRUE(client.isFault());
    EXPECT_EQ(client.fault().code, 403);
    EXPECT_EQ(client.fault().message, "Incorrect username or password.");
    // The next call starts clean.
    ASSERT_TRUE(client.execute("m", XmlRpcValue()).ok());
    EXPECT_FALSE(client.isFault());
    EXPECT_TRUE(client.errorText().empty());
}

TEST(XmlRpcClient, AnInvalidParameterIsRefusedBeforeSending)
{
    FakeTransport transport;
    XmlRpcClient client(transport, "http://h/x");
    auto result = client.execute("m", XmlRpcArray{1, XmlRpcValue()});
    EXPECT_EQ(result.error().detail, "Undefined XmlRpc value");
    EXPECT_TRUE(transport.requests.empty());
}

TEST(XmlRpcClient, ProgressCanStopTheCall)
{
    FakeTransport transport;
    transport.answer(FakeTransport::result("<value><i4>1</i4></value>"));
    XmlRpcClient client(transport, "http://h/x");
    client.setProgress([](std::string_view text) { return text != "Receiving response"; });
    auto result = client.execute("m", XmlRpcValue());
    EXPECT_EQ(result.code(), ErrorCode::Cancelled);
}

}  // namespace
}  // namespace veyla::publish
