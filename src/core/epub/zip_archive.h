// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/result.h"

namespace veyla::epub {

inline constexpr std::uint64_t kMiB = 1024 * 1024;

// Caps that keep a hostile archive from exhausting memory. Sizes are the
// ones the archive declares; reading never yields more than the declared
// size, and an entry whose data disagrees with it fails its read.
struct ZipLimits {
    std::uint64_t maxArchiveBytes = 512 * kMiB;  // the archive file itself
    std::uint64_t maxEntryBytes = 64 * kMiB;     // one entry, uncompressed
    std::uint64_t maxTotalBytes = 512 * kMiB;    // all readable entries, uncompressed
    std::uint64_t maxRatio = 200;                // uncompressed : compressed ...
    std::uint64_t ratioFloorBytes = 1 * kMiB;    // ... for entries larger than this
    std::size_t maxEntries = 65535;              // entries in the central directory
};

// Why an entry is refused; None for an entry that may be read.
enum class EntryProblem {
    None,
    BadName,            // empty after cleaning, or holds a NUL byte
    AbsolutePath,       // starts with '/' or a drive letter
    ParentComponent,    // has a ".." component
    Symlink,            // the Unix mode in the external attributes is a link
    Encrypted,          // general-purpose flag bit 0 (or strong encryption, bit 6)
    UnsupportedMethod,  // neither stored nor deflated
    TooLarge,           // over ZipLimits::maxEntryBytes
    RatioTooHigh,       // over ZipLimits::maxRatio
    Duplicate,          // the same cleaned name as an earlier entry
};
std::string_view entryProblemName(EntryProblem problem);

// What one refused entry does to the archive.
enum class RefusalPolicy {
    RefuseEntry,    // only that entry is unreadable (EPUB books)
    RefuseArchive,  // opening fails (update archives)
};

struct ZipEntry {
    std::string name;     // cleaned name: '/' separators, no empty or "." components; folders end in '/'
    std::string rawName;  // the name as stored in the archive
    std::uint64_t size = 0;            // declared uncompressed size in bytes
    std::uint64_t compressedSize = 0;  // declared compressed size in bytes
    bool isFolder = false;
    EntryProblem problem = EntryProblem::None;
};

struct CleanedName {
    std::string name;
    EntryProblem problem = EntryProblem::None;
};
// Cleans a stored entry name: '\' becomes '/', empty and "." components go,
// and an absolute name or a ".." component is refused.
CleanedName cleanEntryName(std::string_view raw);

// A ZIP archive held in memory. Nothing is ever unpacked to disk: entries
// are read by cleaned name into memory, each checked against its CRC and
// declared size.
class ZipArchive {
public:
    // CorruptArchive when the bytes are no ZIP archive; TooLarge when the
    // archive or its declared total is over the caps; UnsafeEntry (with the
    // entry's name in the detail) under RefuseArchive when any entry is
    // refused, and CorruptArchive there when entries' data overlap.
    static Result<ZipArchive> open(std::string bytes, RefusalPolicy policy, const ZipLimits& limits = {});
    // The same for a file, read whole first; FileUnavailable when it cannot be read.
    static Result<ZipArchive> openFile(const std::filesystem::path& path, RefusalPolicy policy,
                                       const ZipLimits& limits = {});

    ZipArchive(ZipArchive&& other) noexcept;
    ZipArchive& operator=(ZipArchive&& other) noexcept;
    ~ZipArchive();

    // Every entry in central-directory order, refused ones included.
    const std::vector<ZipEntry>& entries() const;
    // The entry with this cleaned name, or nullptr.
    const ZipEntry* find(std::string_view name) const;

    // The bytes of one file entry. FileUnavailable when there is no such
    // file, UnsafeEntry or TooLarge when the entry is refused,
    // CorruptArchive when its data fails to inflate or its CRC or size check.
    Result<std::string> read(std::string_view name);

private:
    struct Impl;
    explicit ZipArchive(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace veyla::epub
