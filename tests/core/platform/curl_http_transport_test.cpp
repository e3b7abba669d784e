// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <thread>

#include "core/platform/http_transport.h"
#include "support/local_http_server.h"

namespace veyla::platform {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;

std::string header(const HttpResponse& response, std::string_view name)
{
    for (const auto& [key, value] : response.headers) {
        if (std::equal(key.begin(), key.end(), name.begin(), name.end(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return value;
    }
    return "<absent>";
}

class CurlTransportTest : public ::testing::Test {
protected:
    void SetUp() override { VEYLA_REQUIRE_HTTP_SERVER(server); }

    HttpRequest get(std::string url)
    {
        HttpRequest request;
        request.url = std::move(url);
        return request;
    }
    HttpRequest post(std::string url, std::string body)
    {
        HttpRequest request;
        request.method = "POST";
        request.url = std::move(url);
        request.contentType = "text/xml";
        request.body = std::move(body);
        return request;
    }
    bool arrived(std::string_view prefix) const
    {
        const auto lines = server.requests();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    }

    LocalHttpServer server;
    std::unique_ptr<HttpTransport> transport = makeCurlTransport();
};

TEST_F(CurlTransportTest, GetReturnsFileStatusHeadersAndAddress)
{
    test::writeBytes(server.root() / "version.txt", "1.2.3\n西游记");
    auto response = transport->send(get(server.url("/files/version.txt")));
    ASSERT_TRUE(response.ok()) << response.error().detail;
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->reason, "OK");
    EXPECT_EQ(response->body, "1.2.3\n西游记");
    EXPECT_EQ(response->bodyBytes, response->body.size());
    EXPECT_EQ(header(*response, "content-length"), std::to_string(response->body.size()));
    EXPECT_EQ(header(*response, "Content-Type"), "application/octet-stream");
    EXPECT_EQ(response->effectiveUrl, server.url("/files/version.txt"));
}

TEST_F(CurlTransportTest, ErrorStatusIsAResponseWithItsReasonPhrase)
{
    auto response = transport->send(get(server.url("/status?code=404&reason=Gone%20Away")));
    ASSERT_TRUE(response.ok()) << response.error().detail;
    EXPECT_EQ(response->status, 404);
    EXPECT_EQ(response->reason, "Gone Away");

    auto serverError = transport->send(get(server.url("/status?code=503")));
    ASSERT_TRUE(serverError.ok());
    EXPECT_EQ(serverError->status, 503);
    EXPECT_EQ(serverError->reason, "Service Unavailable");
}

TEST_F(CurlTransportTest, PostSendsBodyTypeAndLength)
{
    const std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodCall>红楼梦</methodCall>";
    auto response = transport->send(post(server.url("/echo"), body));
    ASSERT_TRUE(response.ok()) << response.error().detail;
    EXPECT_EQ(response->body, body);
    EXPECT_EQ(header(*response, "X-Echo-Method"), "POST");
    EXPECT_EQ(header(*response, "X-Echo-Content-Type"), "text/xml");
    EXPECT_EQ(header(*response, "X-Echo-Content-Length"), std::to_string(body.size()));
}

TEST_F(CurlTransportTest, NoCacheAsksForAFreshAnswer)
{
    auto request = get(server.url("/echo"));
    auto cached = transport->send(request);
    ASSERT_TRUE(cached.ok());
    EXPECT_EQ(header(*cached, "X-Echo-Cache-Control"), "");

    request.noCache = true;
    auto fresh = transport->send(request);
    ASSERT_TRUE(fresh.ok());
    EXPECT_EQ(header(*fresh, "X-Echo-Cache-Control"), "no-cache");
    EXPECT_EQ(header(*fresh, "X-Echo-Pragma"), "no-cache");
}

// Each failure a server or the network can cause, and the code it maps to.
TEST_F(CurlTransportTest, FailuresMapToTheirCodes)
{
    struct Case {
        const char* what;
        HttpRequest request;
        ErrorCode expected;
    };
    auto stalled = get(server.url("/stall?sent=10&seconds=20"));
    stalled.receiveTimeout = 400ms;
    auto silentAfterHeaders = get(server.url("/stall?sent=0&seconds=20"));
    silentAfterHeaders.receiveTimeout = 400ms;
    // Every piece arrives well within the receive time-out, but the whole
    // body takes far longer than the deadline.
    auto slow = get(server.url("/drip?pieces=100&delay=100"));
    slow.receiveTimeout = 5s;
    slow.deadline = 600ms;
    auto put = get(server.url("/echo"));
    put.method = "PUT";
    const Case cases[] = {
        {"refused connection", get("http://127.0.0.1:1/"), ErrorCode::NetworkFailed},
        {"body cut mid-way", get(server.url("/cut?size=5000&sent=1000")), ErrorCode::NetworkFailed},
        {"TLS to a plain HTTP server", get("https://127.0.0.1:" + std::to_string(server.port()) + "/echo"),
         ErrorCode::NetworkFailed},
        {"stall mid-body", stalled, ErrorCode::TimedOut},
        {"stall after headers", silentAfterHeaders, ErrorCode::TimedOut},
        {"deadline", slow, ErrorCode::TimedOut},
        {"file scheme", get("file:///etc/passwd"), ErrorCode::InvalidArgument},
        {"ftp scheme", get("ftp://127.0.0.1/"), ErrorCode::InvalidArgument},
        {"not a URL", get("not a url"), ErrorCode::InvalidArgument},
        {"unsupported method", put, ErrorCode::InvalidArgument},
    };
    for (const auto& c : cases) {
        auto response = transport->send(c.request);
        ASSERT_FALSE(response.ok()) << c.what << ": status " << response->status;
        EXPECT_EQ(response.code(), c.expected) << c.what << ": " << response.error().detail;
    }
}

TEST_F(CurlTransportTest, BodyKeptInMemoryIsCapped)
{
    struct Case {
        const char* path;
        std::uint64_t cap;
        bool ok;
    };
    const Case cases[] = {
        {"/big?size=1000", 1000, true},
        {"/big?size=1001", 1000, false},              // refused from its Content-Length
        {"/big?size=300000&nolength=1", 100000, false},  // refused while arriving
        {"/big?size=100000&nolength=1", 100000, true},
    };
    for (const auto& c : cases) {
        auto request = get(server.url(c.path));
        request.maxBodyBytes = c.cap;
        auto response = transport->send(request);
        EXPECT_EQ(response.ok(), c.ok) << c.path;
        if (response.ok())
            EXPECT_EQ(response->body.size(), c.cap) << c.path;
        else
            EXPECT_EQ(response.code(), ErrorCode::TooLarge) << c.path;
    }
}

TEST_F(CurlTransportTest, SinkReceivesTheWholeBodyPastTheMemoryCap)
{
    auto request = get(server.url("/big?size=300000"));
    request.maxBodyBytes = 1000;
    std::string sunk;
    HttpCallbacks callbacks;
    callbacks.sink = [&](std::string_view piece) -> Status {
        sunk.append(piece);
        return {};
    };
    auto response = transport->send(request, callbacks);
    ASSERT_TRUE(response.ok()) << response.error().detail;
    EXPECT_EQ(sunk, std::string(300000, 'x'));
    EXPECT_TRUE(response->body.empty());
    EXPECT_EQ(response->bodyBytes, 300000u);
}

TEST_F(CurlTransportTest, FailingSinkStopsTheTransferWithItsError)
{
    HttpCallbacks callbacks;
    int pieces = 0;
    callbacks.sink = [&](std::string_view) -> Status {
        ++pieces;
        return Error{ErrorCode::WriteFailed, "disk full"};
    };
    auto response = transport->send(get(server.url("/big?size=300000")), callbacks);
    ASSERT_FALSE(response.ok());
    EXPECT_EQ(response.code(), ErrorCode::WriteFailed);
    EXPECT_EQ(response.error().detail, "disk full");
    EXPECT_EQ(pieces, 1);
}

TEST_F(CurlTransportTest, ProgressCountsBytesAndKnowsTheTotalOnlyFromALength)
{
    for (const bool withLength : {true, false}) {
        std::vector<HttpProgress> seen;
        HttpCallbacks callbacks;
        callbacks.progress = [&](const HttpProgress& progress) {
            seen.push_back(progress);
            return true;
        };
        auto response = transport->send(
            get(server.url(withLength ? "/big?size=200000" : "/big?size=200000&nolength=1")), callbacks);
        ASSERT_TRUE(response.ok()) << response.error().detail;
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().received, 200000u) << withLength;
        for (std::size_t i = 1; i < seen.size(); ++i)
            EXPECT_LE(seen[i - 1].received, seen[i].received);
        if (withLength)
            EXPECT_EQ(seen.back().total, std::optional<std::uint64_t>(200000));
        else
            EXPECT_EQ(seen.back().total, std::nullopt);
    }
}

TEST_F(CurlTransportTest, ProgressCancelsEvenAStalledTransfer)
{
    auto request = get(server.url("/stall?sent=10&seconds=20"));
    request.receiveTimeout = 60s;
    HttpCallbacks callbacks;
    callbacks.progress = [](const HttpProgress& progress) { return progress.received < 10; };
    auto response = transport->send(request, callbacks);
    ASSERT_FALSE(response.ok());
    EXPECT_EQ(response.code(), ErrorCode::Cancelled);
}

TEST_F(CurlTransportTest, GetFollowsRedirectsToAnyHost)
{
    test::writeBytes(server.root() / "list.txt", "catalogue");
    // Same server, then another port (another host as far as the client knows).
    const std::string hop2 = server.otherUrl("/files/list.txt");
    const std::string hop1 = server.url("/redirect?code=301&to=" + hop2);
    auto response = transport->send(get(hop1));
    ASSERT_TRUE(response.ok()) << response.error().detail;
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body, "catalogue");
    EXPECT_EQ(response->effectiveUrl, hop2);
}

TEST_F(CurlTransportTest, RedirectLimits)
{
    test::writeBytes(server.root() / "a.txt", "a");
    auto once = get(server.url("/redirect?to=/files/a.txt"));
    once.maxRedirects = 0;
    auto notFollowed = transport->send(once);
    ASSERT_TRUE(notFollowed.ok());
    EXPECT_EQ(notFollowed->status, 302);
    EXPECT_EQ(header(*notFollowed, "Location"), "/files/a.txt");
    EXPECT_EQ(notFollowed->body, "moved");

    once.maxRedirects = 1;
    auto followed = transport->send(once);
    ASSERT_TRUE(followed.ok());
    EXPECT_EQ(followed->body, "a");

    // A redirect to itself never ends.
    auto loop = transport->send(get(server.url("/loop")));
    ASSERT_FALSE(loop.ok());
    EXPECT_EQ(loop.code(), ErrorCode::NetworkFailed);

    // Only http and https are followed.
    auto toFile = transport->send(get(server.url("/redirect?to=file:///etc/passwd")));
    ASSERT_FALSE(toFile.ok());
    EXPECT_EQ(toFile.code(), ErrorCode::NetworkFailed);
}

TEST_F(CurlTransportTest, PostIsNeverResentToAnotherHost)
{
    for (const char* code : {"302", "307", "308"}) {
        const std::string target = server.otherUrl("/echo");
        auto response =
            transport->send(post(server.url("/redirect?code=" + std::string(code) + "&to=" + target), "secret"));
        ASSERT_TRUE(response.ok()) << response.error().detail;
        EXPECT_EQ(response->status, std::stoi(code));
        EXPECT_EQ(header(*response, "Location"), target);
    }
    EXPECT_FALSE(arrived("POST /echo"));
    EXPECT_FALSE(arrived("GET /echo"));
}

TEST_F(CurlTransportTest, PostFollowsRedirectsOnItsOwnHost)
{
    auto kept = transport->send(post(server.url("/redirect?code=307&to=/echo"), "body kept"));
    ASSERT_TRUE(kept.ok()) << kept.error().detail;
    EXPECT_EQ(header(*kept, "X-Echo-Method"), "POST");
    EXPECT_EQ(kept->body, "body kept");

    // 303 (and 301/302) continue as a GET without the body.
    auto seeOther = transport->send(post(server.url("/redirect?code=303&to=/echo"), "body dropped"));
    ASSERT_TRUE(seeOther.ok()) << seeOther.error().detail;
    EXPECT_EQ(header(*seeOther, "X-Echo-Method"), "GET");
    EXPECT_EQ(seeOther->body, "");
}

TEST(CurlTransport, SeveralThreadsMayStartAtOnce)
{
    LocalHttpServer server;
    VEYLA_REQUIRE_HTTP_SERVER(server);
    test::writeBytes(server.root() / "f.txt", "same");
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            auto transport = makeCurlTransport();
            HttpRequest request;
            request.url = server.url("/files/f.txt");
            auto response = transport->send(request);
            if (response.ok() && response->body == "same")
                ++good;
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(good.load(), 4);
}

}  // namespace
}  // namespace veyla::platform
