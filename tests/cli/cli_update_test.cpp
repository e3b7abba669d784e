// SPDX-License-Identifier: MIT
// veyla-cli update-check and catalogue against a local HTTP server.
#include <gtest/gtest.h>

#include "core/epub/test_zip.h"
#include "core/util/code_page.h"
#include "support/local_http_server.h"
#include "support/test_support.h"

namespace veyla {
namespace {

namespace fs = std::filesystem;

class CliUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { VEYLA_REQUIRE_HTTP_SERVER(server); }

    test::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path().string()});
        return test::runProcess(VEYLA_CLI_PATH, args, {}, {"XDG_DATA_HOME=" + (data / "xdg").string()});
    }
    void serve(const std::string& relative, const std::string& bytes)
    {
        test::writeBytes(server.root() / relative, bytes);
    }

    test::LocalHttpServer server;
    test::TempDir data;
};

TEST_F(CliUpdateTest, UpdateCheckPrintsBothBuildsAndWhatWouldHappen)
{
    serve("down/veyla.ini", "[Build]\r\nBuild=53\r\nFourceUpdate=1\r\n");
    const auto result = cli({"update-check", "--site", server.url("/files"), "--program", "/opt/小说阅读"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("own build: 47\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("latest build: 53\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("程序更新"), std::string::npos) << result.out;
    EXPECT_EQ(test::readBytes(data / "control/buildInfo.ini"), "[Build]\r\nBuild=53\r\nFourceUpdate=1\r\n");
}

TEST_F(CliUpdateTest, NoRequestWithoutSiteOrForAProgramThatDoesNotUpdate)
{
    const auto noSite = cli({"update-check", "--program", "/opt/小说阅读"});
    EXPECT_EQ(noSite.exitCode, 0) << noSite.err;
    EXPECT_NE(noSite.out.find("no site address is set"), std::string::npos) << noSite.out;
    const auto veyla = cli({"update-check", "--site", server.url("/files"), "--program", "/usr/bin/veyla"});
    EXPECT_EQ(veyla.exitCode, 0) << veyla.err;
    EXPECT_NE(veyla.out.find("does not contain 小说"), std::string::npos) << veyla.out;
    EXPECT_NE(cli({"catalogue"}).exitCode, 0);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CliUpdateTest, FailedFetchIsAnError)
{
    const auto result = cli({"update-check", "--site", server.url("/files"), "--program", "/opt/小说阅读"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("veyla-cli: update-check: "), std::string::npos) << result.err;
}

TEST_F(CliUpdateTest, CatalogueListsAndDownloads)
{
    serve("down/catalogue.txt", encodeCodePage(u"书海拾遗-1\r\nhttps://pan.example/\r\n1-西游记.zip\r\n0-红楼梦.zip\r\n"));
    serve("down/西游记.zip", test::buildZip({{"西游记/第一回.txt", "第一回"}}));
    const auto list = cli({"catalogue", "--site", server.url("/files")});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_TRUE(list.out.starts_with("从网盘进行下载\n西游记.zip\n红楼梦.zip\n")) << list.out;
    const auto download = cli({"catalogue", "--site", server.url("/files"), "--download", "西游记.zip"});
    ASSERT_EQ(download.exitCode, 0) << download.err;
    EXPECT_EQ(test::readBytes(data / "西游记/第一回.txt"), "第一回");
    EXPECT_FALSE(fs::exists(data / "西游记.zip"));
    const auto missing = cli({"catalogue", "--site", server.url("/files"), "--download", "红楼梦.zip"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("下载失败"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace veyla
