// SPDX-License-Identifier: MIT
#include "core/text/pinyin_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/test_support.h"

namespace veyla::text {
namespace {

namespace fs = std::filesystem;

const fs::path kShipped = VEYLA_PINYIN_TABLE;

struct Readings {
    bool ok = false;
    std::vector<std::u16string> syllables;
    std::vector<std::u16string> initials;
    bool operator==(const Readings&) const = default;
};

// The table read the slow way, line by line through a 64-byte buffer with
// fgets and strtoul, from the U+4E00 line on every call: the reference
// the in-memory table must agree with.
class LineByLineReader {
public:
    explicit LineByLineReader(const fs::path& path) : m_file(std::fopen(path.c_str(), "rb"))
    {
        char buffer[64];
        if (m_file == nullptr)
            return;
        for (long offset = std::ftell(m_file); std::fgets(buffer, sizeof buffer, m_file); offset = std::ftell(m_file)) {
            if (std::strtoul(buffer, nullptr, 16) == 0x4E00) {
                m_block = offset;
                return;
            }
        }
    }
    ~LineByLineReader()
    {
        if (m_file != nullptr)
            std::fclose(m_file);
    }

    Readings lookup(char32_t c)
    {
        Readings r;
        if (c < 0x4E00 || c > 0x9FA5) {
            r.ok = true;
            r.syllables.push_back(std::u16string(1, static_cast<char16_t>(c)));
            return r;
        }
        char buffer[64];
        // Asked for the character after the last one, the file is already
        // where seeking to the block and skipping would put it.
        const bool sequential = c == m_next;
        m_next = 0;
        if (!sequential) {
            if (m_block < 0 || std::fseek(m_file, m_block, SEEK_SET) != 0)
                return r;
            for (char32_t skip = 0x4E00; skip < c; ++skip) {
                if (std::fgets(buffer, sizeof buffer, m_file) == nullptr)
                    return r;
            }
        }
        if (std::fgets(buffer, sizeof buffer, m_file) == nullptr)
            return r;
        m_next = c + 1;
        if (std::strtoul(buffer, nullptr, 16) != c)
            return r;
        r.ok = true;
        const std::size_t length = std::strlen(buffer);
        std::u16string run;
        for (std::size_t i = 4; i <= length; ++i) {
            if (buffer[i] >= 'a' && buffer[i] <= 'z') {
                run.push_back(static_cast<char16_t>(buffer[i]));
            } else if (!run.empty()) {
                if (std::find(r.syllables.begin(), r.syllables.end(), run) == r.syllables.end())
                    r.syllables.push_back(run);
                const std::u16string initial(1, static_cast<char16_t>(run[0] - 32));
                if (std::find(r.initials.begin(), r.initials.end(), initial) == r.initials.end())
                    r.initials.push_back(initial);
                run.clear();
            }
        }
        return r;
    }

private:
    std::FILE* m_file;
    long m_block = -1;
    char32_t m_next = 0;
};

Readings lookup(PinyinTable& table, char32_t c)
{
    Readings r;
    r.ok = table.lookup(c, r.syllables, r.initials).ok();
    return r;
}

TEST(PinyinTable, ShippedTableAnswers)
{
    PinyinTable table(kShipped);
    struct Case {
        char32_t c;
        std::vector<std::u16string> syllables;
        std::vector<std::u16string> initials;
    };
    const Case cases[] = {
        // U+4E00 itself sits on the first line of the block; yi1, yi2 and yi4 give yi once.
        {U'一', {u"yi"}, {u"Y"}},
        // The last character of the block.
        {U'龥', {u"yu"}, {u"Y"}},
        // 多音字: readings in the order of the line, initials once each.
        {U'长', {u"zhang", u"chang"}, {u"Z", u"C"}},
        {U'行', {u"xing", u"hang", u"heng"}, {u"X", u"H"}},
        {U'了', {u"le", u"liao"}, {u"L"}},
        // ü is written v.
        {U'女', {u"nv", u"ru"}, {u"N", u"R"}},
        // Syllables of a nasal alone.
        {U'嗯', {u"n", u"ng"}, {u"N"}},
        // A character the data has no reading for: found, nothing added.
        {U'\u5159', {}, {}},
        // Outside the block: the character itself, no initial.
        {U'A', {u"A"}, {}},
        {U'7', {u"7"}, {}},
        {U'\u3000', {u"\u3000"}, {}},
        {U'\u4DFF', {u"\u4DFF"}, {}},
        {U'\u9FA6', {u"\u9FA6"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.c));
        const Readings r = lookup(table, c.c);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.syllables, c.syllables);
        EXPECT_EQ(r.initials, c.initials);
    }
}

TEST(PinyinTable, LookupAppendsOnlyWhatTheListsLack)
{
    PinyinTable table(kShipped);
    std::vector<std::u16string> syllables{u"chang"};
    std::vector<std::u16string> initials{u"C"};
    ASSERT_TRUE(table.lookup(U'长', syllables, initials).ok());
    EXPECT_EQ(syllables, (std::vector<std::u16string>{u"chang", u"zhang"}));
    EXPECT_EQ(initials, (std::vector<std::u16string>{u"C", u"Z"}));
}

TEST(PinyinTable, EveryCharacterOfTheBlockMatchesTheLineByLineReading)
{
    PinyinTable table(kShipped);
    LineByLineReader reference(kShipped);
    int withReadings = 0;
    for (char32_t c = 0x4E00; c <= 0x9FA5; ++c) {
        const Readings expected = reference.lookup(c);
        ASSERT_TRUE(expected.ok) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(lookup(table, c), expected) << std::hex << static_cast<unsigned>(c);
        withReadings += expected.syllables.empty() ? 0 : 1;
    }
    EXPECT_EQ(withReadings, 20892);
}

TEST(PinyinTable, ShippedFileKeepsItsLineFormat)
{
    std::ifstream in(kShipped, std::ios::binary);
    std::string line;
    unsigned expected = 0x4E00;
    while (std::getline(in, line)) {
        SCOPED_TRACE(line);
        ASSERT_LT(line.size() + 1, 63u);  // with its '\n'
        ASSERT_EQ(std::strtoul(line.c_str(), nullptr, 16), expected);
        for (char c : line.substr(4))
            ASSERT_TRUE((c >= 'a' && c <= 'z') || (c >= '1' && c <= '5') || std::strchr(" (),\r", c)) << c;
        ++expected;
    }
    EXPECT_EQ(expected, 0x9FA6u);
}

// Tables that are damaged in the ways a copied or hand-edited file can be.
class DamagedTable : public ::testing::Test {
protected:
    fs::path write(const std::string& bytes)
    {
        const fs::path path = m_dir / ("table" + std::to_string(m_count++) + ".DAT");
        test::writeBytes(path, bytes);
        return path;
    }
    static std::string shippedLines(std::size_t count)
    {
        std::ifstream in(kShipped, std::ios::binary);
        std::string out;
        std::string line;
        for (std::size_t i = 0; i < count && std::getline(in, line); ++i)
            out += line + "\n";
        return out;
    }
    test::TempDir m_dir;
    int m_count = 0;
};

TEST_F(DamagedTable, MissingFileFailsButLatinStillPassesThrough)
{
    PinyinTable table(m_dir / "none.DAT");
    EXPECT_EQ(table.open().code(), ErrorCode::FileUnavailable);
    EXPECT_FALSE(lookup(table, U'中').ok);
    const Readings latin = lookup(table, U'b');
    EXPECT_TRUE(latin.ok);
    EXPECT_EQ(latin.syllables, std::vector<std::u16string>{u"b"});
}

TEST_F(DamagedTable, NoU4E00LineFailsToOpen)
{
    PinyinTable table(write("3400 (qiu1)\n4E01 (ding1)\n"));
    EXPECT_EQ(table.open().code(), ErrorCode::MalformedData);
    std::vector<std::u16string> s, i;
    EXPECT_EQ(table.lookup(U'丁', s, i).code(), ErrorCode::MalformedData);
    EXPECT_TRUE(s.empty());
}

TEST_F(DamagedTable, TruncatedTableFailsBeyondItsEnd)
{
    PinyinTable table(write(shippedLines(300)));
    EXPECT_TRUE(lookup(table, U'\u4E00' + 299).ok);
    std::vector<std::u16string> s, i;
    EXPECT_EQ(table.lookup(U'\u4E00' + 300, s, i).code(), ErrorCode::MalformedData);
    EXPECT_EQ(table.lookup(U'长', s, i).code(), ErrorCode::MalformedData);
    EXPECT_TRUE(s.empty() && i.empty());
}

TEST_F(DamagedTable, AgreesWithTheLineByLineReadingOnDamage)
{
    // "4E00abc" reads as the number 4E00ABC: no U+4E00 line at all.
    const std::string noBlock = "# header\n4E00abc (x)\n4E01 (ding1)\n";
    const std::string tables[] = {
        // junk before the block; a line cut by a NUL; a missing line shifts every later one
        "junk\n3400 qiu\n" + shippedLines(3) + "4E03 (qi1)\n" + shippedLines(10).substr(shippedLines(4).size()),
        shippedLines(2) + std::string("4E02 (ka\0o3,qiao3)\n", 19) + shippedLines(8).substr(shippedLines(3).size()),
        // a line of 70 bytes is read as two lines
        shippedLines(1) + "4E01 (" + std::string(60, 'd') + ")\n" + shippedLines(6).substr(shippedLines(2).size()),
        // LF only, upper-case letters are separators, "0x" prefixes and leading blanks
        "  0x4E00 (yi1)\n4e01 DING1 ding\n+4E02 kao3 kao\n",
        noBlock,
    };
    for (const auto& bytes : tables) {
        const fs::path path = write(bytes);
        PinyinTable table(path);
        LineByLineReader reference(path);
        for (char32_t c = 0x4DFF; c <= 0x4E09; ++c)
            EXPECT_EQ(lookup(table, c), reference.lookup(c)) << m_count << ' ' << std::hex << static_cast<unsigned>(c);
    }
}

TEST(LeadingHexNumber, ReadsAsStrtoulDoes)
{
    const char* lines[] = {"4E00 (yi1)", "  4e00", "0x4E00", "0x", "0xg", "-1", "+4E00", "", "g", "FFFFFFFFFFFFFFFFFF",
                           "\t\r\n4E01", "4E00abc (x)"};
    for (const char* line : lines)
        EXPECT_EQ(leadingHexNumber(line), std::strtoull(line, nullptr, 16)) << line;
}

}  // namespace
}  // namespace veyla::text
