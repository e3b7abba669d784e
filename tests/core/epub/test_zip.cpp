// SPDX-License-Identifier: MIT
#include "test_zip.h"

#include <zlib.h>

#include <stdexcept>

namespace veyla::test {

namespace {

void put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::string rawDeflate(const std::string& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::uint16_t methodCode(TestZipEntry::Method method)
{
    switch (method) {
    case TestZipEntry::Method::Stored: return 0;
    case TestZipEntry::Method::Deflated: return 8;
    case TestZipEntry::Method::Other: return 12;
    }
    return 0;
}

}  // namespace

std::string buildZipEntries(const std::vector<TestZipEntry>& entries)
{
    std::string out;
    std::string central;
    for (const TestZipEntry& entry : entries) {
        const std::string stored = entry.method == TestZipEntry::Method::Deflated ? rawDeflate(entry.data) : entry.data;
        const auto trueCrc = static_cast<std::uint32_t>(
            crc32(0L, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
        const std::uint32_t crc = entry.declaredCrc.value_or(trueCrc);
        const std::uint32_t size = entry.declaredSize.value_or(static_cast<std::uint32_t>(entry.data.size()));
        const auto offset = static_cast<std::uint32_t>(out.size());

        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, entry.flags);
        put16(out, methodCode(entry.method));
        put32(out, 0);  // time and date
        put32(out, crc);
        put32(out, static_cast<std::uint32_t>(stored.size()));
        put32(out, size);
        put16(out, static_cast<std::uint32_t>(entry.name.size()));
        put16(out, 0);
        out += entry.name;
        out += stored;

        put32(central, 0x02014b50);
        put16(central, entry.versionMadeBy);
        put16(central, 20);
        put16(central, entry.flags);
        put16(central, methodCode(entry.method));
        put32(central, 0);
        put32(central, crc);
        put32(central, entry.declaredCompressedSize.value_or(static_cast<std::uint32_t>(stored.size())));
        put32(central, size);
        put16(central, static_cast<std::uint32_t>(entry.name.size()));
        put16(central, 0);  // extra
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, entry.externalAttributes);
        put32(central, offset);
        central += entry.name;
    }
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put32(out, static_cast<std::uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

std::string buildZip(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::vector<TestZipEntry> entries;
    for (const auto& [name, data] : files)
        entries.push_back({.name = name, .data = data});
    return buildZipEntries(entries);
}

TestZipEntry symlinkEntry(std::string name, std::string target)
{
    TestZipEntry entry{.name = std::move(name), .data = std::move(target), .method = TestZipEntry::Method::Stored};
    entry.versionMadeBy = (3 << 8) | 20;
    entry.externalAttributes = 0120777u << 16;
    return entry;
}

}  // namespace veyla::test
