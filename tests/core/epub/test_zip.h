// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veyla::test {

// One entry of an archive built by a test, with every field a hostile
// archive could set.
struct TestZipEntry {
    std::string name;
    std::string data;
    enum class Method { Stored, Deflated, Other } method = Method::Deflated;
    std::uint16_t flags = 0;
    std::uint32_t externalAttributes = 0;
    std::uint16_t versionMadeBy = 20;            // host system in the high byte (3 = Unix)
    std::optional<std::uint32_t> declaredSize{};  // instead of the true uncompressed size
    std::optional<std::uint32_t> declaredCrc{};   // instead of the true CRC-32
    std::optional<std::uint32_t> declaredCompressedSize{};  // in the central directory only
};

// A ZIP archive (local headers, central directory, end record) in memory.
std::string buildZipEntries(const std::vector<TestZipEntry>& entries);

// Entries given as (name, data), deflated.
std::string buildZip(const std::vector<std::pair<std::string, std::string>>& files);

// A Unix symbolic link entry pointing at target.
TestZipEntry symlinkEntry(std::string name, std::string target);

}  // namespace veyla::test
