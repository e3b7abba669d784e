// SPDX-License-Identifier: MIT
#include "core/update/update_checker.h"

#include <gtest/gtest.h>

#include "core/epub/test_zip.h"
#include "core/update/update_test_files.h"
#include "support/local_http_server.h"

namespace veyla::update {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string infoFile(int build, int force, int jsBuild = 1, const std::string& news = "https://news.example/a")
{
    return "[Build]\r\nBuild=" + std::to_string(build) + "\r\nJSBuild=" + std::to_string(jsBuild) +
           "\r\nFourceUpdate=" + std::to_string(force) + "\r\n[Zixun]\r\nURL=" + news + "\r\nname=最新资讯测试\r\n";
}

// A portable copy: the data folder is the program folder, the program is
// named "小说阅读", and the site is the local test server.
class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VEYLA_REQUIRE_HTTP_SERVER(server);
        fs::create_directories(folder / "control");
        test::writeBytes(program, "old program");
        context.folders = {folder, folder};
        context.executable = program;
        context.site = server.url("/files");
    }
    void serve(const std::string& relative, const std::string& bytes) { test::writeBytes(server.root() / relative, bytes); }
    std::size_t requestCount() const { return server.requests().size(); }

    test::LocalHttpServer server;
    test::TempDir dir;
    fs::path folder = dir / "程序";
    fs::path program = folder / "小说阅读";
    std::unique_ptr<platform::HttpTransport> transport = platform::makeCurlTransport();
    UpdateContext context;
};

TEST_F(UpdateCheckTest, PromptOnlyWhenForcedAndMoreThanFiveBuildsBehind)
{
    struct Case {
        int build;
        int force;
        CheckOutcome expected;
    };
    const Case cases[] = {
        {47, 1, CheckOutcome::UpToDate},   {40, 1, CheckOutcome::UpToDate},
        {48, 1, CheckOutcome::NewerBuild}, {52, 1, CheckOutcome::NewerBuild},  // within 5: never a prompt
        {53, 0, CheckOutcome::NewerBuild}, {53, 1, CheckOutcome::OfferUpdate},
        {900, 2, CheckOutcome::OfferUpdate},
    };
    for (const auto& c : cases) {
        serve("down/veyla.ini", infoFile(c.build, c.force));
        fs::remove(context.buildInfoFile());
        UpdateChecker checker(*transport, context);  // a new run
        const CheckReport report = checker.check();
        EXPECT_EQ(report.outcome, c.expected) << c.build << " force " << c.force;
        EXPECT_EQ(report.latestBuild, c.build);
        EXPECT_EQ(checker.isCurrent(), c.build <= 47);
        EXPECT_EQ(report.info.newsName, u"最新资讯测试");
        EXPECT_EQ(test::readBytes(context.buildInfoFile()), infoFile(c.build, c.force));
    }
}

TEST_F(UpdateCheckTest, InformationIsFetchedOncePerRun)
{
    serve("down/veyla.ini", infoFile(50, 1));
    UpdateChecker checker(*transport, context);
    EXPECT_TRUE(checker.isCurrent());  // nothing known yet: "已是最新版"
    EXPECT_TRUE(checker.check().fetchedNow);
    EXPECT_FALSE(checker.isCurrent());
    serve("down/veyla.ini", infoFile(60, 1));
    checker.requestPrompt();
    const CheckReport again = checker.check();
    EXPECT_FALSE(again.fetchedNow);
    EXPECT_EQ(again.latestBuild, 50);
    EXPECT_EQ(again.outcome, CheckOutcome::NewerBuild);
    EXPECT_EQ(requestCount(), 1u);
}

TEST_F(UpdateCheckTest, FailedFetchKeepsThePreviousCopyAndSaysNothingNew)
{
    const std::string previous = infoFile(45, 0, 3, "https://news.example/old");
    struct Case {
        const char* what;
        std::string site;
    };
    const Case cases[] = {
        {"missing file", server.url("/nothing-here")},
        {"cut in the middle", server.url("/cut?size=5000&sent=100&x=")},
        {"refused connection", "http://127.0.0.1:1"},
    };
    for (const auto& c : cases) {
        test::writeBytes(context.buildInfoFile(), previous);
        context.site = c.site;
        UpdateChecker checker(*transport, context);
        const CheckReport report = checker.check();
        EXPECT_EQ(report.outcome, CheckOutcome::NoInformation) << c.what;
        EXPECT_FALSE(report.detail.empty()) << c.what;
        EXPECT_EQ(test::readBytes(context.buildInfoFile()), previous) << c.what;
        EXPECT_TRUE(checker.isCurrent()) << c.what;
        EXPECT_EQ(test::folderSnapshot(folder / "control").size(), 1u) << c.what;  // no partial file
        // A later check this run does not ask again.
        const std::size_t asked = requestCount();
        EXPECT_EQ(checker.check().outcome, CheckOutcome::NoInformation);
        EXPECT_EQ(requestCount(), asked);
    }
}

TEST_F(UpdateCheckTest, StalledServerEndsAtTheDeadline)
{
    test::writeBytes(context.buildInfoFile(), infoFile(45, 0));
    context.site = server.url("/stall?sent=10&seconds=20&x=");
    context.infoLimits.receiveTimeout = 10s;
    context.infoLimits.deadline = 500ms;
    UpdateChecker checker(*transport, context);
    const CheckReport report = checker.check();
    EXPECT_EQ(report.outcome, CheckOutcome::NoInformation);
    EXPECT_EQ(test::readBytes(context.buildInfoFile()), infoFile(45, 0));
}

TEST_F(UpdateCheckTest, ProgramWithoutTheNameNeverAsks)
{
    serve("down/veyla.ini", infoFile(90, 1));
    for (const char* name : {"veyla", "reader", "小 说"}) {
        context.executable = folder / name;
        UpdateChecker checker(*transport, context);
        EXPECT_EQ(checker.check().outcome, CheckOutcome::NotThisProgram) << name;
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(fs::exists(context.buildInfoFile()));
}

TEST_F(UpdateCheckTest, NoSiteNoRequest)
{
    context.site.clear();
    UpdateChecker checker(*transport, context);
    EXPECT_EQ(checker.check().outcome, CheckOutcome::NoSite);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(UpdateCheckTest, PageScriptIsRefreshedOnlyInThePortableLayout)
{
    serve("down/veyla.ini", infoFile(47, 0, 4, "https://news.example/new"));
    serve("js/myVueCode.js", "new page script");
    test::writeBytes(folder / "HTML/js/myVueCode.js", "old page script");
    for (const bool portable : {false, true}) {
        test::writeBytes(context.buildInfoFile(), infoFile(47, 0, 2, "https://news.example/old"));
        context.folders.dataFolder = portable ? folder : dir / "data";
        if (!portable) {
            fs::create_directories(dir / "data/control");
            test::writeBytes(dir / "data/control/buildInfo.ini", infoFile(47, 0, 2, "https://news.example/old"));
        }
        UpdateChecker checker(*transport, context);
        const CheckReport report = checker.check();
        EXPECT_EQ(report.outcome, CheckOutcome::UpToDate);
        EXPECT_TRUE(report.newsChanged);
        EXPECT_EQ(report.script, portable ? ScriptRefresh::Refreshed : ScriptRefresh::NotNeeded);
        EXPECT_EQ(test::readBytes(folder / "HTML/js/myVueCode.js"), portable ? "new page script" : "old page script");
    }
}

TEST_F(UpdateCheckTest, InstallReplacesTheProgramAndKeepsThePreviousOne)
{
    serve("down/veyla.zip", test::buildZip({{"小说阅读", "new program"}, {"control/new.txt", "added"}}));
    const InstallReport report = installUpdate(*transport, context);
    ASSERT_EQ(report.outcome, InstallOutcome::Installed) << report.detail;
    EXPECT_EQ(test::readBytes(program), "new program");
    EXPECT_EQ(test::readBytes(folder / "小说阅读.PRE"), "old program");
    EXPECT_EQ(test::readBytes(folder / "control/new.txt"), "added");
    EXPECT_FALSE(fs::exists(folder / "veyla.zip"));
}

TEST_F(UpdateCheckTest, ArchiveWithoutTheProgramLeavesItInPlace)
{
    serve("down/veyla.zip", test::buildZip({{"control/new.txt", "added"}}));
    const InstallReport report = installUpdate(*transport, context);
    ASSERT_EQ(report.outcome, InstallOutcome::Installed) << report.detail;
    EXPECT_EQ(test::readBytes(program), "old program");
}

TEST_F(UpdateCheckTest, FailedExtractionRestoresTheProgramName)
{
    context.folders.dataFolder = dir / "data";
    fs::create_directories(dir / "data");
    serve("down/veyla.zip", test::buildZip({{"小说阅读", "new program"}, {"../escape", "x"}}));
    const auto before = test::folderSnapshot(folder);
    const InstallReport report = installUpdate(*transport, context);
    EXPECT_EQ(report.outcome, InstallOutcome::InstallFailed);
    EXPECT_EQ(test::folderSnapshot(folder), before);
    EXPECT_EQ(test::readBytes(program), "old program");
}

TEST_F(UpdateCheckTest, FailedDownloadChangesNothing)
{
    context.folders.dataFolder = dir / "data";
    fs::create_directories(dir / "data");
    const auto before = test::folderSnapshot(folder);
    context.site = server.url("/cut?size=100000&sent=5000&x=");
    EXPECT_EQ(installUpdate(*transport, context).outcome, InstallOutcome::DownloadFailed);
    context.site = server.url("/files");  // no veyla.zip served: 404
    EXPECT_EQ(installUpdate(*transport, context).outcome, InstallOutcome::DownloadFailed);
    EXPECT_EQ(test::folderSnapshot(folder), before);
    EXPECT_TRUE(test::folderSnapshot(dir / "data").empty());
}

TEST_F(UpdateCheckTest, UnwritableProgramFolderIsRefusedBeforeDownloading)
{
    // Not even root may create files in /proc.
    context.executable = "/proc/小说阅读";
    serve("down/veyla.zip", test::buildZip({{"小说阅读", "new program"}}));
    const InstallReport report = installUpdate(*transport, context);
    EXPECT_EQ(report.outcome, InstallOutcome::NotWritable);
    EXPECT_NE(report.detail.find("/proc"), std::string::npos);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(UpdateCheckTest, CancelledDownloadLeavesNoPartialFile)
{
    context.site = server.url("/stall?sent=1000&seconds=20&x=");
    const auto before = test::folderSnapshot(folder);
    const InstallReport report = installUpdate(*transport, context, [](const platform::HttpProgress& progress) {
        return progress.received == 0;
    });
    EXPECT_EQ(report.outcome, InstallOutcome::Cancelled);
    EXPECT_EQ(test::folderSnapshot(folder), before);
}

}  // namespace
}  // namespace veyla::update
