// SPDX-License-Identifier: MIT
#include "core/platform/shell_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/test_support.h"

namespace veyla::platform {
namespace {

TEST(ShellOpen, RoamingPathsMoveIntoThePackageFolder)
{
    struct Case {
        std::string path;
        std::string expected;
    };
    const std::string package = "/pkg/LocalCache/Roaming";
    const Case cases[] = {
        {"C:\\Users\\me\\AppData\\Roaming\\veyla\\HTML\\a.html", "/pkg/LocalCache/Roaming/veyla\\HTML\\a.html"},
        {"/home/me/Roaming/veyla/x.html", "/pkg/LocalCache/Roaming/veyla/x.html"},
        {"/home/me/.local/share/veyla/HTML/x.html", "/home/me/.local/share/veyla/HTML/x.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rewriteRoamingPath(c.path, package), c.expected) << c.path;
    EXPECT_EQ(rewriteRoamingPath("/a/Roaming/b", ""), "/a/Roaming/b");
}

TEST(ShellOpen, CommandUsesTheBrowserSettingOrXdgOpen)
{
    EXPECT_EQ(openCommand("/x/目录.html", ""), (std::vector<std::string>{"xdg-open", "/x/目录.html"}));
    EXPECT_EQ(openCommand("/x/a b.html", "chromium --new-window"),
              (std::vector<std::string>{"chromium", "--new-window", "/x/a b.html"}));
}

TEST(ShellOpen, StartsProgramsDetachedAndReportsMissingOnes)
{
    test::TempDir dir;
    const auto marker = dir / "ran";
    ASSERT_TRUE(startDetached({"/bin/sh", "-c", "touch \"$0\"", marker.string()}).ok());
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(startDetached({"/no/such/program"}).code(), ErrorCode::Unsupported);
    EXPECT_EQ(startDetached({}).code(), ErrorCode::InvalidArgument);
}

}  // namespace
}  // namespace veyla::platform
