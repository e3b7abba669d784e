// SPDX-License-Identifier: MIT
// The XML-RPC client over libcurl against Python's xmlrpc.server on
// loopback: every kind round-trips, and every failure a real server can
// cause ends as a clear error text.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/publish/xmlrpc_client.h"
#include "support/test_support.h"

namespace veyla::publish {
namespace {

bool havePython()
{
    return veyla::test::runProcess("/usr/bin/env", {"python3", "-c", "import xmlrpc.server"}).exitCode == 0;
}

// tests/core/publish/xmlrpc_peer.py, running until the object goes.
class Peer {
public:
    explicit Peer(const veyla::test::TempDir& dir, bool https = false)
    {
        const auto portFile = dir / (https ? "https.port" : "http.port");
        std::vector<std::string> args = {"python3", VEYLA_XMLRPC_PEER, portFile.string()};
        if (https) {
            args.push_back((dir / "cert.pem").string());
            args.push_back((dir / "key.pem").string());
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            std::vector<char*> argv;
            for (auto& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execvp("python3", argv.data());
            ::_exit(127);
        }
        // Up to a minute: Python starts slowly on a loaded machine. A peer
        // that exits (no Python, a busy port) ends the wait at once.
        for (int i = 0; i < 1200 && !std::filesystem::exists(portFile); ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (std::filesystem::exists(portFile))
            m_port = std::stoi(veyla::test::readBytes(portFile));
    }
    ~Peer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    int port() const { return m_port; }
    std::string url(std::string_view path, bool https = false) const
    {
        return std::string(https ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) + std::string(path);
    }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};

// One peer serves every test of the suite (starting Python takes a while).
class XmlRpcPeer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!havePython())
            return;
        s_dir = new veyla::test::TempDir;
        s_peer = new Peer(*s_dir);
    }
    static void TearDownTestSuite()
    {
        delete s_peer;
        delete s_dir;
        s_peer = nullptr;
        s_dir = nullptr;
    }
    void SetUp() override
    {
        if (s_peer == nullptr)
            GTEST_SKIP() << "python3 with xmlrpc.server is not installed";
        ASSERT_NE(s_peer->port(), 0) << "the Python peer did not start";
        m_peer = s_peer;
        m_transport = platform::makeCurlTransport();
    }

    Result<XmlRpcValue> call(std::string_view path, std::string_view method, const XmlRpcValue& params,
                             XmlRpcClientOptions options = {})
    {
        XmlRpcClient client(*m_transport, m_peer->url(path), options);
        return client.execute(method, params);
    }

    static inline veyla::test::TempDir* s_dir = nullptr;
    static inline Peer* s_peer = nullptr;
    veyla::test::TempDir m_dir;
    Peer* m_peer = nullptr;
    std::unique_ptr<platform::HttpTransport> m_transport;
};

TEST_F(XmlRpcPeer, EveryKindRoundTrips)
{
    XmlRpcValue post = XmlRpcValue::structure();
    ASSERT_TRUE(post.set("title", "第一回 灵根育孕源流出").ok());
    ASSERT_TRUE(post.set("nested", XmlRpcArray{XmlRpcArray{1, 2}, XmlRpcValue::structure()}).ok());
    const XmlRpcValue values[] = {
        true,
        false,
        -2147483647 - 1,
        2147483647,
        3.141592653589793,
        -0.001,
        "",
        "a & b < c > d \"e\" 'f' &amp; \r\n line\n\t end",
        "诗曰：混沌未分天地乱",
        XmlRpcDateTime{2026, 12, 9, 17, 5, 9},
        XmlRpcBinary{std::string("\0\x01\xFE\xFF", 4) + std::string(300, 'z')},
        XmlRpcBinary{""},
        XmlRpcArray{},
        XmlRpcArray{1, "two", 3.5, XmlRpcNil{}},
        post,
        XmlRpcValue::structure(),
        XmlRpcNil{},
    };
    for (const auto& value : values) {
        auto echoed = call("/RPC2", "echo", XmlRpcArray{value});
        ASSERT_TRUE(echoed.ok()) << *valueToXml(value) << ": " << echoed.error().detail;
        EXPECT_EQ(*echoed, value) << *valueToXml(value);
    }
}

TEST_F(XmlRpcPeer, FaultsKeepTheirCodeAndText)
{
    XmlRpcClient client(*m_transport, m_peer->url("/RPC2"));
    auto result = client.execute("fault", XmlRpcArray{403, "用户名或密码不正确"});
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(client.isFault());
    EXPECT_EQ(client.errorText(), "unspecified error");
    EXPECT_EQ(client.fault().code, 403);
    EXPECT_EQ(client.fault().message, "用户名或密码不正确");
    EXPECT_EQ(client.httpStatus(), 200);
}

TEST_F(XmlRpcPeer, FailuresOfARealServerBecomeErrorTexts)
{
    struct Case {
        const char* path;
        std::string error;
    };
    const Case cases[] = {
        {"/missing", "Low level (HTTP) error: 404 Not Found"},
        {"/page", "It looks like you've configured the wrong URL. That URL is sending us HTML text, whereas we "
                  "need RPC data."},
        {"/deep", "Response nested too deeply"},
        {"/bad64", "Bad base64"},
        {"/overflow", "Bad int: out of range"},
        {"/truncated", "Expecting tag: </string>"},
    };
    for (const auto& c : cases) {
        auto result = call(c.path, "echo", XmlRpcArray{1});
        ASSERT_FALSE(result.ok()) << c.path;
        EXPECT_EQ(result.error().detail, c.error) << c.path;
    }
}

TEST_F(XmlRpcPeer, AHugeBodyIsRefusedWithoutBeingKept)
{
    auto result = call("/huge", "echo", XmlRpcArray{1});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.code(), ErrorCode::TooLarge);
    EXPECT_EQ(result.error().detail.rfind("Response too large (", 0), 0u) << result.error().detail;
}

TEST_F(XmlRpcPeer, ASilentServerHitsTheReceiveTimeOut)
{
    XmlRpcClientOptions options;
    options.receiveTimeout = std::chrono::seconds(1);
    auto result = call("/slow", "echo", XmlRpcArray{1}, options);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.code(), ErrorCode::TimedOut);
    EXPECT_EQ(result.error().detail.rfind("Internet timeout (", 0), 0u) << result.error().detail;
}

TEST_F(XmlRpcPeer, ARedirectToAnotherHostDoesNotCarryTheBody)
{
    auto before = call("/RPC2", "bytes_seen", XmlRpcValue());
    ASSERT_TRUE(before.ok());
    auto moved = call("/moved", "echo", XmlRpcArray{"password"});
    ASSERT_FALSE(moved.ok());
    EXPECT_EQ(moved.error().detail, "Low level (HTTP) error: 307 Temporary Redirect");
    auto after = call("/RPC2", "bytes_seen", XmlRpcValue());
    ASSERT_TRUE(after.ok());
    // The /moved request and this call: nothing went on to "localhost".
    EXPECT_EQ(*after->asInt(), *before->asInt() + 2);
}

TEST_F(XmlRpcPeer, AServerThatIsDownOrSpeaksHttpOnly)
{
    XmlRpcClient closed(*m_transport, "http://127.0.0.1:9/RPC2");
    auto refused = closed.execute("echo", XmlRpcArray{1});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().detail.rfind("Failed to connect (", 0), 0u) << refused.error().detail;

    XmlRpcClient tls(*m_transport, m_peer->url("/RPC2", true));
    auto wrong = tls.execute("echo", XmlRpcArray{1});
    ASSERT_FALSE(wrong.ok());
    EXPECT_EQ(wrong.error().detail.rfind("Talking HTTPS to an HTTP server? (", 0), 0u) << wrong.error().detail;
}

TEST_F(XmlRpcPeer, ASelfSignedCertificateIsRefusedUnlessTheSiteAcceptsIt)
{
    const auto made = veyla::test::runProcess(
        "/usr/bin/env", {"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", (m_dir / "key.pem").string(), "-out",
                    (m_dir / "cert.pem").string()});
    if (made.exitCode != 0)
        GTEST_SKIP() << "openssl cannot make a certificate: " << made.err;
    Peer secure(m_dir, true);
    ASSERT_NE(secure.port(), 0);

    XmlRpcClient strict(*m_transport, secure.url("/RPC2", true));
    auto refused = strict.execute("echo", XmlRpcArray{"x"});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().detail.rfind("Invalid certificate authority (", 0), 0u) << refused.error().detail;

    XmlRpcClientOptions options;
    options.acceptSelfSignedCertificate = true;
    XmlRpcClient lenient(*m_transport, secure.url("/RPC2", true), options);
    auto accepted = lenient.execute("echo", XmlRpcArray{"x"});
    ASSERT_TRUE(accepted.ok()) << accepted.error().detail;
    EXPECT_EQ(*accepted->asString(), "x");

    // Accepting an unknown issuer still checks that the certificate names the host.
    std::string byName = secure.url("/RPC2", true);
    byName.replace(byName.find("127.0.0.1"), 9, "localhost");
    XmlRpcClient otherName(*m_transport, byName, options);
    EXPECT_FALSE(otherName.execute("echo", XmlRpcArray{"x"}).ok()) << "a certificate for another host was accepted";
}

}  // namespace
}  // namespace veyla::publish
