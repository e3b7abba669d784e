// SPDX-License-Identifier: MIT
#include "core/publish/blog_sites.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace veyla::publish {
namespace {

unsigned modeOf(const std::filesystem::path& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777u;
}

TEST(BlogSites, RoundTripWithMode0600)
{
    veyla::test::TempDir dir;
    const auto file = dir / "control/blogSites.ini";
    BlogSiteList list;
    list.sites.push_back({BlogType::WordPress, u"我的博客", u"blog.example.org", u"作者", u" pa\"ss = word ", false});
    list.sites.push_back({BlogType::MetaWeblog, u"cnblogs", u"https://rpc.cnblogs.com/metaweblog/me", u"me", u"x", true});
    list.selected = 1;
    ASSERT_TRUE(saveBlogSites(file, list).ok());
    EXPECT_EQ(modeOf(file), 0600u);

    auto read = loadBlogSites(file);
    ASSERT_TRUE(read.ok()) << read.error().detail;
    ASSERT_EQ(read->sites.size(), 2u);
    EXPECT_EQ(read->selected, 1);
    EXPECT_EQ(read->sites[0].name, u"我的博客");
    EXPECT_EQ(read->sites[0].user, u"作者");
    EXPECT_EQ(read->sites[0].password, u" pa\"ss = word ");
    EXPECT_EQ(read->sites[1].type, BlogType::MetaWeblog);
    EXPECT_TRUE(read->sites[1].acceptSelfSignedCertificate);
    EXPECT_FALSE(read->sites[0].acceptSelfSignedCertificate);
    ASSERT_NE(read->find(u"cnblogs"), nullptr);
    EXPECT_EQ(read->find(u"none"), nullptr);

    // A file others could read is refused, named, and left as it was.
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const std::string before = veyla::test::readBytes(file);
    auto refused = loadBlogSites(file);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().detail.find(file.string()), std::string::npos);
    EXPECT_NE(refused.error().detail.find("0644"), std::string::npos);
    EXPECT_EQ(veyla::test::readBytes(file), before);

    // Saving again makes it private whatever its mode was.
    ASSERT_TRUE(saveBlogSites(file, *read).ok());
    EXPECT_EQ(modeOf(file), 0600u);
}

TEST(BlogSites, AMissingFileIsAnEmptyList)
{
    veyla::test::TempDir dir;
    auto read = loadBlogSites(dir / "none.ini");
    ASSERT_TRUE(read.ok());
    EXPECT_TRUE(read->sites.empty());
    EXPECT_EQ(read->selected, -1);
}

}  // namespace
}  // namespace veyla::publish
