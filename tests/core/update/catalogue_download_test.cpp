// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/epub/test_zip.h"
#include "core/update/byte_size.h"
#include "core/update/catalogue.h"
#include "core/update/update_test_files.h"
#include "core/util/code_page.h"
#include "support/local_http_server.h"

namespace veyla::update {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class CatalogueDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VEYLA_REQUIRE_HTTP_SERVER(server);
        fs::create_directories(folder);
    }
    test::LocalHttpServer server;
    test::TempDir dir;
    fs::path folder = dir / "packages";
    std::unique_ptr<platform::HttpTransport> transport = platform::makeCurlTransport();
};

TEST_F(CatalogueDownloadTest, ListIsFetchedAndAFailedFetchKeepsTheOldCopy)
{
    const platform::AppFolders folders{dir.path(), dir.path()};
    const std::string list = encodeCodePage(u"书海拾遗-1\r\nhttps://pan.example/\r\n1-西游记.zip\r\n");
    test::writeBytes(server.root() / "down/catalogue.txt", list);
    ASSERT_TRUE(fetchCatalogue(*transport, server.url("/files"), folders).ok());
    EXPECT_EQ(test::readBytes(catalogueListFile(folders)), list);
    EXPECT_EQ(parseCatalogue(test::readBytes(catalogueListFile(folders)), folder).names,
              std::vector<std::u16string>{u"西游记.zip"});

    fs::remove(server.root() / "down/catalogue.txt");
    EXPECT_FALSE(fetchCatalogue(*transport, server.url("/files"), folders).ok());
    EXPECT_EQ(test::readBytes(catalogueListFile(folders)), list);
}

TEST_F(CatalogueDownloadTest, PackageArchiveIsUnpackedAndDeleted)
{
    test::writeBytes(server.root() / "down/西游记 全本.zip",
                     test::buildZip({{"西游记/0001_第一回.xml", "chapter"}, {"西游记/0002_第二回.xml", "next"}}));
    std::vector<DownloadProgressText> seen;
    const Status done = downloadPackage(*transport, server.url("/files"), u"西游记 全本.zip", folder, {},
                                        [&](const platform::HttpProgress& progress) {
                                            seen.push_back(downloadProgressText(progress.received, progress.total));
                                            return true;
                                        });
    ASSERT_TRUE(done.ok()) << done.error().detail;
    EXPECT_EQ(test::readBytes(folder / "西游记/0001_第一回.xml"), "chapter");
    EXPECT_FALSE(fs::exists(folder / "西游记 全本.zip"));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().percent, 100);
    EXPECT_TRUE(seen.back().text.starts_with("Downloaded ")) << seen.back().text;
    EXPECT_TRUE(packagePresent(u"西游记.zip", folder));
}

TEST_F(CatalogueDownloadTest, PlainFileIsKeptAsItIs)
{
    test::writeBytes(server.root() / "down/readme.txt", "plain");
    ASSERT_TRUE(downloadPackage(*transport, server.url("/files"), u"readme.txt", folder).ok());
    EXPECT_EQ(test::readBytes(folder / "readme.txt"), "plain");
}

TEST_F(CatalogueDownloadTest, FailuresLeaveTheFolderAsItWas)
{
    test::writeBytes(folder / "kept.txt", "kept");
    test::writeBytes(server.root() / "down/hostile.zip", test::buildZip({{"ok.txt", "ok"}, {"../escape.txt", "x"}}));
    test::writeBytes(server.root() / "down/bomb.zip", test::overlappingZip());
    const auto before = test::folderSnapshot(folder);
    struct Case {
        const char* what;
        std::string site;
        std::u16string name;
        DownloadLimits limits;
        ErrorCode expected;
    };
    DownloadLimits deadline;
    deadline.receiveTimeout = 10s;
    deadline.deadline = 500ms;
    const Case cases[] = {
        {"not on the server", server.url("/files"), u"missing.zip", {}, ErrorCode::NetworkFailed},
        {"cut in the middle", server.url("/cut?size=100000&sent=5000&x="), u"a.zip", {}, ErrorCode::NetworkFailed},
        {"stalled past the deadline", server.url("/stall?sent=100&seconds=20&x="), u"a.zip", deadline,
         ErrorCode::TimedOut},
        {"hostile archive", server.url("/files"), u"hostile.zip", {}, ErrorCode::UnsafeEntry},
        {"overlapping archive", server.url("/files"), u"bomb.zip", {}, ErrorCode::CorruptArchive},
        {"name leaving the folder", server.url("/files"), u"../x.zip", {}, ErrorCode::InvalidArgument},
    };
    for (const auto& c : cases) {
        const Status done = downloadPackage(*transport, c.site, c.name, folder, c.limits);
        ASSERT_FALSE(done.ok()) << c.what;
        EXPECT_EQ(done.code(), c.expected) << c.what << ": " << done.error().detail;
        EXPECT_EQ(test::folderSnapshot(folder), before) << c.what;
    }
    EXPECT_FALSE(fs::exists(dir / "escape.txt"));
}

}  // namespace
}  // namespace veyla::update
