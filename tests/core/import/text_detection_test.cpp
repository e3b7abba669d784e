// SPDX-License-Identifier: MIT
// Which files are taken as novels: text with a few damaged bytes is
// imported with U+FFFD and a warning; random data and pictures are refused.
#include <gtest/gtest.h>

#include <random>

#include "core/import/novel_importer.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"
#include "support/test_support.h"

namespace veyla::import {
namespace {

namespace fs = std::filesystem;

std::string randomBytes(std::size_t size, unsigned start)
{
    std::mt19937 random(start);
    std::string bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return bytes;
}

// The bytes with damage inserted at a few character boundaries (after "\n").
std::string damaged(std::string bytes, std::string_view damage, int times)
{
    std::size_t at = 0;
    for (int i = 0; i < times; ++i) {
        at = bytes.find('\n', at + bytes.size() / (times + 1));
        bytes.insert(at + 1, damage);
    }
    return bytes;
}

std::size_t warningsNaming(const std::vector<std::string>& warnings, const std::string& count)
{
    std::size_t found = 0;
    for (const auto& w : warnings)
        found += w.rfind(count + " character(s) could not be decoded", 0) == 0 ? 1 : 0;
    return found;
}

TEST(TextDetection, ANovelWithAFewBadBytesIsImportedWithAWarning)
{
    const std::u16string novel = test::novelText(60000);
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        std::string replaced;  // the count the warning names
    };
    const Case cases[] = {
        {"GBK with two stray bytes", damaged(encodeCodePage(novel), "\xFF", 2), TextEncoding::Ansi, "2"},
        {"UTF-8 with three invalid sequences", damaged(utf16::toUtf8(novel), "\xE4\x28", 3), TextEncoding::Utf8, "3"},
        {"UTF-8 with a stray continuation byte", damaged(utf16::toUtf8(novel), "\x80", 1), TextEncoding::Utf8, "1"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const fs::path path = dir / "小说.txt";
        test::writeBytes(path, c.bytes);
        auto book = planNovelFile(path, {});
        ASSERT_TRUE(book.ok()) << c.name << ": " << book.error().detail;
        EXPECT_EQ(book->encoding, c.encoding) << c.name;
        EXPECT_EQ(warningsNaming(book->warnings, c.replaced), 1u) << c.name;
    }
    // Undamaged text gives no such warning.
    test::writeBytes(dir / "好.txt", utf16::toUtf8(novel));
    auto clean = planNovelFile(dir / "好.txt", {});
    ASSERT_TRUE(clean.ok());
    for (const auto& w : clean->warnings)
        EXPECT_EQ(w.find("could not be decoded"), std::string::npos) << w;
}

TEST(TextDetection, RandomDataAndPicturesAreStillRefused)
{
    test::TempDir dir;
    std::vector<std::pair<std::string, std::string>> files;
    for (unsigned n = 1; n <= 5; ++n)
        files.emplace_back("random " + std::to_string(n), randomBytes(4096 * n, n));
    files.emplace_back("PNG", test::readBytes(fs::path(VEYLA_SOURCE_DIR) / "resources/control/IMG/Pram/默认/01.png"));
    files.emplace_back("JPEG-like", "\xFF\xD8\xFF\xE0" + std::string("\0\x10JFIF\0\x01\x01", 9) + randomBytes(20000, 9));
    // NULs between letters: UTF-16 without a mark, or a database file.
    std::string nuls;
    for (int i = 0; i < 3000; ++i)
        nuls += std::string("a\0\0\0", 4);
    files.emplace_back("mostly NUL", nuls);
    for (const auto& [name, bytes] : files) {
        const fs::path path = dir / "x.txt";
        test::writeBytes(path, bytes);
        EXPECT_EQ(planNovelFile(path, {}).code(), ErrorCode::Unsupported) << name;
    }
}

TEST(TextDetection, GbkIsNotTakenForDamagedUtf8)
{
    const std::u16string novel = test::novelText(20000);
    EXPECT_FALSE(looksLikeUtf8(encodeCodePage(novel)));
    EXPECT_TRUE(looksLikeUtf8(utf16::toUtf8(novel)));
    EXPECT_TRUE(looksLikeUtf8(damaged(utf16::toUtf8(novel), "\xFF", 5)));
    EXPECT_FALSE(passesUtf8Scan(damaged(utf16::toUtf8(novel), "\xFF", 1)));
    // A short text with one bad byte has too few good sequences to outweigh it.
    EXPECT_FALSE(looksLikeUtf8("\xE4\xB8\x80\xFF"));
}

}  // namespace
}  // namespace veyla::import
