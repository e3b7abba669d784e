// SPDX-License-Identifier: MIT
#include "core/epub/zip_archive.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "test_zip.h"

namespace veyla::epub {
namespace {

using test::buildZip;
using test::buildZipEntries;
using test::TestZipEntry;
using Method = TestZipEntry::Method;

struct NameCase {
    std::string raw;
    std::string cleaned;  // expected when problem is None
    EntryProblem problem;
};

class CleanEntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CleanEntryNameTest, CleansOrRefuses)
{
    const NameCase& c = GetParam();
    const CleanedName result = cleanEntryName(c.raw);
    EXPECT_EQ(result.problem, c.problem) << c.raw;
    if (c.problem == EntryProblem::None) {
        EXPECT_EQ(result.name, c.cleaned);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, CleanEntryNameTest,
                         ::testing::Values(
                             // Ordinary names, folders, and what cleaning removes.
                             NameCase{"OEBPS/a.html", "OEBPS/a.html", EntryProblem::None},
                             NameCase{"OEBPS\\text\\a.html", "OEBPS/text/a.html", EntryProblem::None},
                             NameCase{"./OEBPS//a.html", "OEBPS/a.html", EntryProblem::None},
                             NameCase{"META-INF/", "META-INF/", EntryProblem::None},
                             NameCase{"a/.../b", "a/.../b", EntryProblem::None},
                             NameCase{"a..b", "a..b", EntryProblem::None},
                             // Climbing out of the archive, also after '\' becomes '/'.
                             NameCase{"../x", "", EntryProblem::ParentComponent},
                             NameCase{"a/../../x", "", EntryProblem::ParentComponent},
                             NameCase{"a\\..\\..\\x", "", EntryProblem::ParentComponent},
                             NameCase{"a/..", "", EntryProblem::ParentComponent},
                             NameCase{"a/b/../c", "", EntryProblem::ParentComponent},
                             // Absolute names.
                             NameCase{"/tmp/x", "", EntryProblem::AbsolutePath},
                             NameCase{"\\tmp\\x", "", EntryProblem::AbsolutePath},
                             NameCase{"C:/x", "", EntryProblem::AbsolutePath},
                             NameCase{"c:x", "", EntryProblem::AbsolutePath},
                             NameCase{"//server/share/x", "", EntryProblem::AbsolutePath},
                             // Nothing left, or a NUL byte.
                             NameCase{"", "", EntryProblem::BadName},
                             NameCase{"./", "", EntryProblem::BadName},
                             NameCase{std::string("a\0b", 3), "", EntryProblem::BadName}));

TEST(ZipArchiveTest, ReadsStoredAndDeflatedEntriesExactly)
{
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>(i * 7 % 256);
    auto archive = ZipArchive::open(buildZipEntries(std::vector<TestZipEntry>{
                                        {.name = "stored.txt", .data = "plain", .method = Method::Stored},
                                        {.name = "dir\\deflated.bin", .data = binary},
                                        {.name = "empty", .data = ""},
                                    }),
                                    RefusalPolicy::RefuseArchive);
    ASSERT_TRUE(archive) << archive.error().detail;
    ASSERT_EQ(archive->entries().size(), 3u);
    EXPECT_EQ(*archive->read("stored.txt"), "plain");
    EXPECT_EQ(*archive->read("dir/deflated.bin"), binary);
    EXPECT_EQ(*archive->read("empty"), "");
    EXPECT_EQ(archive->entries()[1].rawName, "dir\\deflated.bin");
}

TEST(ZipArchiveTest, MissingEntryAndFolderAreUnavailable)
{
    auto archive = ZipArchive::open(buildZip({{"a/", ""}, {"a/b.txt", "b"}}), RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->read("nothing").code(), ErrorCode::FileUnavailable);
    EXPECT_EQ(archive->read("a/").code(), ErrorCode::FileUnavailable);
    EXPECT_TRUE(archive->entries()[0].isFolder);
}

struct HostileCase {
    const char* what;
    TestZipEntry entry;
    EntryProblem problem;
    ErrorCode code;
};

std::vector<HostileCase> hostileCases()
{
    TestZipEntry encrypted{.name = "secret.txt", .data = "x", .flags = 0x1};
    TestZipEntry strong{.name = "strong.txt", .data = "x", .flags = 0x41};
    TestZipEntry bzip{.name = "bzip.txt", .data = "x", .method = Method::Other};
    return {
        {"parent", {.name = "../x", .data = "x"}, EntryProblem::ParentComponent, ErrorCode::UnsafeEntry},
        {"absolute", {.name = "/tmp/x", .data = "x"}, EntryProblem::AbsolutePath, ErrorCode::UnsafeEntry},
        {"backslash parent", {.name = "a\\..\\..\\x", .data = "x"}, EntryProblem::ParentComponent,
         ErrorCode::UnsafeEntry},
        {"symlink", test::symlinkEntry("link", "/etc/passwd"), EntryProblem::Symlink, ErrorCode::UnsafeEntry},
        {"encrypted", encrypted, EntryProblem::Encrypted, ErrorCode::UnsafeEntry},
        {"strong encryption", strong, EntryProblem::Encrypted, ErrorCode::UnsafeEntry},
        {"method", bzip, EntryProblem::UnsupportedMethod, ErrorCode::UnsafeEntry},
    };
}

TEST(ZipArchiveTest, HostileEntryIsRefusedAndTheRestStaysReadable)
{
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.what);
        const std::string bytes = buildZipEntries(std::vector<TestZipEntry>{{.name = "good.txt", .data = "good"}, c.entry});
        auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseEntry);
        ASSERT_TRUE(archive) << archive.error().detail;
        EXPECT_EQ(archive->entries()[1].problem, c.problem);
        EXPECT_EQ(*archive->read("good.txt"), "good");
        EXPECT_EQ(archive->find(archive->entries()[1].name), nullptr);
        EXPECT_EQ(archive->read(archive->entries()[1].name).code(), c.code);
    }
}

TEST(ZipArchiveTest, HostileEntryRefusesTheWholeArchiveWhenAsked)
{
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.what);
        const std::string bytes = buildZipEntries(std::vector<TestZipEntry>{{.name = "good.txt", .data = "good"}, c.entry});
        auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseArchive);
        ASSERT_FALSE(archive);
        EXPECT_EQ(archive.code(), c.code);
        EXPECT_NE(archive.error().detail.find(c.entry.name), std::string::npos) << archive.error().detail;
    }
}

TEST(ZipArchiveTest, EntryOverTheSizeCapIsRefusedBeforeInflating)
{
    // 65 MiB of zeros deflate to about 64 KiB.
    const std::string zeros(65 * kMiB, '\0');
    auto archive = ZipArchive::open(buildZip({{"bomb.bin", zeros}, {"ok.txt", "ok"}}), RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    EXPECT_LT(archive->entries()[0].compressedSize, 1 * kMiB);
    EXPECT_EQ(archive->entries()[0].problem, EntryProblem::TooLarge);
    EXPECT_EQ(archive->read("bomb.bin").code(), ErrorCode::TooLarge);
    EXPECT_EQ(*archive->read("ok.txt"), "ok");
}

TEST(ZipArchiveTest, EntryWithExtremeCompressionRatioIsRefused)
{
    const std::string zeros(2 * kMiB, '\0');
    auto archive = ZipArchive::open(buildZip({{"ratio.bin", zeros}}), RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->entries()[0].problem, EntryProblem::RatioTooHigh);
    EXPECT_EQ(archive->read("ratio.bin").code(), ErrorCode::TooLarge);

    // Up to the floor any ratio is fine: small files of spaces compress well.
    auto small = ZipArchive::open(buildZip({{"small.bin", std::string(kMiB, ' ')}}), RefusalPolicy::RefuseArchive);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->read("small.bin")->size(), kMiB);
}

TEST(ZipArchiveTest, DeclaredTotalOverTheCapRefusesTheArchive)
{
    ZipLimits limits;
    limits.maxTotalBytes = 10000;
    const std::string bytes = buildZip({{"a", std::string(6000, 'a')}, {"b", std::string(6000, 'b')}});
    auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseEntry, limits);
    ASSERT_FALSE(archive);
    EXPECT_EQ(archive.code(), ErrorCode::TooLarge);

    limits.maxTotalBytes = 12000;
    EXPECT_TRUE(ZipArchive::open(bytes, RefusalPolicy::RefuseEntry, limits));
    limits.maxArchiveBytes = bytes.size() - 1;
    EXPECT_EQ(ZipArchive::open(bytes, RefusalPolicy::RefuseEntry, limits).code(), ErrorCode::TooLarge);
}

TEST(ZipArchiveTest, DataDisagreeingWithItsRecordFailsTheRead)
{
    const std::string text(3000, 'x');
    const std::string bytes = buildZipEntries(std::vector<TestZipEntry>{
        {.name = "crc", .data = text, .declaredCrc = 12345},
        // Declares less than it inflates to: reading stops at the declared size and the CRC disagrees.
        {.name = "short", .data = text, .declaredSize = 1000},
        // Declares more than there is.
        {.name = "long", .data = text, .declaredSize = 5000},
        {.name = "stored-long", .data = text, .method = Method::Stored, .declaredSize = 5000},
        // Claims more compressed data than the whole archive holds.
        {.name = "past-end", .data = text, .declaredCompressedSize = 1'000'000},
    });
    auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    for (const char* name : {"crc", "short", "long", "stored-long", "past-end"})
        EXPECT_EQ(archive->read(name).code(), ErrorCode::CorruptArchive) << name;
}

TEST(ZipArchiveTest, DuplicateNameKeepsTheFirstEntry)
{
    auto archive = ZipArchive::open(buildZip({{"a.txt", "first"}, {"a.txt", "second"}, {"./a.txt", "third"}}),
                                    RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    EXPECT_EQ(*archive->read("a.txt"), "first");
    EXPECT_EQ(archive->entries()[1].problem, EntryProblem::Duplicate);
    EXPECT_EQ(archive->entries()[2].problem, EntryProblem::Duplicate);
    EXPECT_EQ(ZipArchive::open(buildZip({{"a.txt", "1"}, {"a.txt", "2"}}), RefusalPolicy::RefuseArchive).code(),
              ErrorCode::UnsafeEntry);
}

TEST(ZipArchiveTest, BytesThatAreNoArchiveFailCleanly)
{
    std::string noise;
    for (int i = 0; i < 500; ++i)
        noise += static_cast<char>((i * 7919) % 251);
    const std::string good = buildZip({{"a.txt", noise}, {"b.txt", "b"}});
    for (const std::string& bytes : {std::string(), std::string("PK\x05\x06"), std::string(1000, 'z'),
                                     good.substr(0, good.size() / 2), good.substr(0, good.size() - 5)}) {
        auto archive = ZipArchive::open(bytes, RefusalPolicy::RefuseEntry);
        if (archive) {
            for (const ZipEntry& entry : archive->entries())
                (void)archive->read(entry.name);
        } else {
            EXPECT_EQ(archive.code(), ErrorCode::CorruptArchive);
        }
    }
    // Damaged entry data behind an intact directory.
    std::string damaged = good;
    for (std::size_t i = 100; i < 120; ++i)
        damaged[i] = '\x55';
    auto archive = ZipArchive::open(damaged, RefusalPolicy::RefuseEntry);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->read("a.txt").code(), ErrorCode::CorruptArchive);
    EXPECT_EQ(*archive->read("b.txt"), "b");
}

TEST(ZipArchiveTest, OpensAFileAndReportsAMissingOne)
{
    test::TempDir dir;
    test::writeBytes(dir / "a.zip", buildZip({{"x", "y"}}));
    auto archive = ZipArchive::openFile(dir / "a.zip", RefusalPolicy::RefuseArchive);
    ASSERT_TRUE(archive);
    EXPECT_EQ(*archive->read("x"), "y");
    EXPECT_EQ(ZipArchive::openFile(dir / "none.zip", RefusalPolicy::RefuseArchive).code(), ErrorCode::FileUnavailable);
}

}  // namespace
}  // namespace veyla::epub
