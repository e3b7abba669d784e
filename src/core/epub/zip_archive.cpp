// SPDX-License-Identifier: MIT
#include "core/epub/zip_archive.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "core/platform/file_io.h"
#include "core/util/code_page.h"
#include "core/util/utf16.h"

namespace veyla::epub {

namespace {

// The archive bytes seen through minizip's file interface.
struct MemoryStream {
    std::string bytes;
    std::uint64_t pos = 0;
};

voidpf ZCALLBACK streamOpen(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_WRITE) != 0)
        return nullptr;
    static_cast<MemoryStream*>(opaque)->pos = 0;
    return opaque;
}

uLong ZCALLBACK streamRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    auto* s = static_cast<MemoryStream*>(stream);
    if (s->pos >= s->bytes.size())
        return 0;
    const std::uint64_t count = std::min<std::uint64_t>(size, s->bytes.size() - s->pos);
    std::memcpy(buffer, s->bytes.data() + s->pos, count);
    s->pos += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK streamWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK streamTell(voidpf, voidpf stream)
{
    return static_cast<MemoryStream*>(stream)->pos;
}

long ZCALLBACK streamSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* s = static_cast<MemoryStream*>(stream);
    const std::uint64_t size = s->bytes.size();
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: base = size; break;
    default: return -1;
    }
    // Offsets wrap around for backward seeks from the end, as with fseeko.
    const std::uint64_t target = base + offset;
    if (target > size)
        return -1;
    s->pos = target;
    return 0;
}

int ZCALLBACK streamClose(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK streamError(voidpf, voidpf)
{
    return 0;
}

constexpr unsigned kUnixFileTypeMask = 0170000;
constexpr unsigned kUnixSymlink = 0120000;
constexpr uLong kFlagEncrypted = 0x1;
constexpr uLong kFlagStrongEncryption = 0x40;
constexpr std::size_t kReadChunk = 64 * 1024;

bool isDriveLetterName(std::string_view name)
{
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

// The problem of an entry judged from its central-directory record alone.
EntryProblem recordProblem(const unz_file_info64& info, const ZipLimits& limits)
{
    if ((info.flag & (kFlagEncrypted | kFlagStrongEncryption)) != 0)
        return EntryProblem::Encrypted;
    const unsigned unixMode = static_cast<unsigned>(info.external_fa >> 16);
    if ((unixMode & kUnixFileTypeMask) == kUnixSymlink)
        return EntryProblem::Symlink;
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
        return EntryProblem::UnsupportedMethod;
    if (info.uncompressed_size > limits.maxEntryBytes)
        return EntryProblem::TooLarge;
    if (info.uncompressed_size > limits.ratioFloorBytes &&
        info.uncompressed_size / std::max<ZPOS64_T>(info.compressed_size, 1) > limits.maxRatio)
        return EntryProblem::RatioTooHigh;
    return EntryProblem::None;
}

ErrorCode codeOf(EntryProblem problem)
{
    return problem == EntryProblem::TooLarge || problem == EntryProblem::RatioTooHigh ? ErrorCode::TooLarge
                                                                                      : ErrorCode::UnsafeEntry;
}

}  // namespace

std::string_view entryProblemName(EntryProblem problem)
{
    switch (problem) {
    case EntryProblem::None: return "none";
    case EntryProblem::BadName: return "bad name";
    case EntryProblem::AbsolutePath: return "absolute path";
    case EntryProblem::ParentComponent: return "'..' component";
    case EntryProblem::Symlink: return "symbolic link";
    case EntryProblem::Encrypted: return "encrypted";
    case EntryProblem::UnsupportedMethod: return "unsupported compression method";
    case EntryProblem::TooLarge: return "too large";
    case EntryProblem::RatioTooHigh: return "compression ratio too high";
    case EntryProblem::Duplicate: return "duplicate name";
    }
    return "unknown";
}

CleanedName cleanEntryName(std::string_view raw)
{
    if (raw.find('\0') != std::string_view::npos)
        return {std::string(raw), EntryProblem::BadName};
    std::string name(raw);
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.starts_with('/') || isDriveLetterName(name))
        return {name, EntryProblem::AbsolutePath};
    const bool isFolder = name.ends_with('/');
    std::string cleaned;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string_view part = std::string_view(name).substr(start, end - start);
        if (part == "..")
            return {name, EntryProblem::ParentComponent};
        if (!part.empty() && part != ".") {
            if (!cleaned.empty())
                cleaned += '/';
            cleaned += part;
        }
        start = end + 1;
    }
    if (cleaned.empty())
        return {name, EntryProblem::BadName};
    if (isFolder)
        cleaned += '/';
    return {cleaned, EntryProblem::None};
}

struct ZipArchive::Impl {
    MemoryStream stream;
    unzFile zip = nullptr;
    ZipLimits limits;
    std::vector<ZipEntry> entries;
    std::vector<unz64_file_pos> positions;
    std::vector<uLong> crcs;
    std::unordered_map<std::string_view, std::size_t> byName;

    ~Impl()
    {
        if (zip != nullptr)
            unzClose(zip);
    }

    Status openZip()
    {
        zlib_filefunc64_def functions{};
        functions.zopen64_file = streamOpen;
        functions.zread_file = streamRead;
        functions.zwrite_file = streamWrite;
        functions.ztell64_file = streamTell;
        functions.zseek64_file = streamSeek;
        functions.zclose_file = streamClose;
        functions.zerror_file = streamError;
        functions.opaque = &stream;
        zip = unzOpen2_64("memory", &functions);
        if (zip == nullptr)
            return Error{ErrorCode::CorruptArchive, "no ZIP central directory"};
        return {};
    }

    Status addCurrentEntry()
    {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return Error{ErrorCode::CorruptArchive, "unreadable central directory record"};
        std::string rawName(info.size_filename, '\0');
        if (!rawName.empty() &&
            unzGetCurrentFileInfo64(zip, nullptr, rawName.data(), static_cast<uLong>(rawName.size()), nullptr, 0,
                                    nullptr, 0) != UNZ_OK)
            return Error{ErrorCode::CorruptArchive, "unreadable entry name"};
        unz64_file_pos position{};
        if (unzGetFilePos64(zip, &position) != UNZ_OK)
            return Error{ErrorCode::CorruptArchive, "unreadable entry position"};

        // A name without the UTF-8 flag that is not UTF-8 is in the code page
        // of the system that made the archive (GBK on Chinese Windows). It is
        // decoded before '\\' is taken for a separator: a GBK trail byte can be 0x5C.
        constexpr uLong kUtf8NameFlag = 1u << 11;
        const bool decodeName = (info.flag & kUtf8NameFlag) == 0 && !utf16::isValidUtf8(rawName);
        CleanedName cleaned = cleanEntryName(decodeName ? utf16::toUtf8(decodeCodePage(rawName)) : rawName);
        ZipEntry entry;
        entry.isFolder = cleaned.name.ends_with('/');
        entry.name = std::move(cleaned.name);
        entry.rawName = std::move(rawName);
        entry.size = info.uncompressed_size;
        entry.compressedSize = info.compressed_size;
        entry.problem = cleaned.problem;
        if (entry.problem == EntryProblem::None)
            entry.problem = recordProblem(info, limits);
        entries.push_back(std::move(entry));
        positions.push_back(position);
        crcs.push_back(info.crc);
        return {};
    }

    Status listEntries()
    {
        int step = unzGoToFirstFile(zip);
        while (step == UNZ_OK) {
            if (entries.size() >= limits.maxEntries)
                return Error{ErrorCode::TooLarge, "more than " + std::to_string(limits.maxEntries) + " entries"};
            if (Status added = addCurrentEntry(); !added)
                return added;
            step = unzGoToNextFile(zip);
        }
        if (step != UNZ_END_OF_LIST_OF_FILE)
            return Error{ErrorCode::CorruptArchive, "broken central directory"};
        return {};
    }

    // Indexes the names, marks later duplicates, and checks the declared total.
    Status indexEntries()
    {
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ZipEntry& entry = entries[i];
            if (entry.problem == EntryProblem::None && !byName.emplace(entry.name, i).second)
                entry.problem = EntryProblem::Duplicate;
            if (entry.problem == EntryProblem::None && !entry.isFolder)
                total += entry.size;
            if (total > limits.maxTotalBytes)
                return Error{ErrorCode::TooLarge, "declared total over " + std::to_string(limits.maxTotalBytes) +
                                                      " bytes"};
        }
        return {};
    }

    // Entries whose compressed data overlap (the same bytes counted many
    // times: a zip bomb that defeats the ratio check) or run past the
    // archive. Entries minizip cannot open are refused elsewhere.
    Status checkDataRanges()
    {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (unzGoToFilePos64(zip, &positions[i]) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
                continue;
            const std::uint64_t start = unzGetCurrentFileZStreamPos64(zip);
            unzCloseCurrentFile(zip);
            const std::uint64_t end = start + entries[i].compressedSize;
            if (end < start || end > stream.bytes.size())
                return Error{ErrorCode::CorruptArchive, entries[i].rawName + ": data runs past the end of the archive"};
            ranges.emplace_back(start, end);
        }
        std::sort(ranges.begin(), ranges.end());
        for (std::size_t i = 1; i < ranges.size(); ++i) {
            if (ranges[i].first < ranges[i - 1].second)
                return Error{ErrorCode::CorruptArchive, "entries share their data"};
        }
        return {};
    }

    Result<std::string> readAt(std::size_t index)
    {
        const ZipEntry& entry = entries[index];
        if (entry.compressedSize > stream.bytes.size())
            return Error{ErrorCode::CorruptArchive, entry.name + ": data runs past the end of the archive"};
        if (unzGoToFilePos64(zip, &positions[index]) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
            return Error{ErrorCode::CorruptArchive, entry.name + ": bad local header"};
        // minizip never yields more than the declared size, which is capped.
        std::string data(static_cast<std::size_t>(entry.size), '\0');
        std::size_t filled = 0;
        int count = 1;
        while (filled < data.size() && count > 0) {
            const auto want = static_cast<unsigned>(std::min(kReadChunk, data.size() - filled));
            count = unzReadCurrentFile(zip, data.data() + filled, want);
            if (count > 0)
                filled += static_cast<std::size_t>(count);
        }
        const int closed = unzCloseCurrentFile(zip);
        if (count < 0)
            return Error{ErrorCode::CorruptArchive, entry.name + ": data does not inflate"};
        if (filled != data.size())
            return Error{ErrorCode::CorruptArchive, entry.name + ": shorter than its declared size"};
        uLong actual = crc32(0L, Z_NULL, 0);
        for (std::size_t at = 0; at < data.size(); at += kReadChunk) {
            const std::size_t length = std::min(kReadChunk, data.size() - at);
            actual = crc32(actual, reinterpret_cast<const Bytef*>(data.data() + at), static_cast<uInt>(length));
        }
        if (closed != UNZ_OK || actual != crcs[index])
            return Error{ErrorCode::CorruptArchive, entry.name + ": CRC error"};
        return data;
    }
};

ZipArchive::ZipArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
ZipArchive::ZipArchive(ZipArchive&& other) noexcept = default;
ZipArchive& ZipArchive::operator=(ZipArchive&& other) noexcept = default;
ZipArchive::~ZipArchive() = default;

Result<ZipArchive> ZipArchive::open(std::string bytes, RefusalPolicy policy, const ZipLimits& limits)
{
    if (bytes.size() > limits.maxArchiveBytes)
        return Error{ErrorCode::TooLarge, "archive over " + std::to_string(limits.maxArchiveBytes) + " bytes"};
    auto impl = std::make_unique<Impl>();
    impl->stream.bytes = std::move(bytes);
    impl->limits = limits;
    if (Status opened = impl->openZip(); !opened)
        return opened.error();
    if (Status listed = impl->listEntries(); !listed)
        return listed.error();
    if (Status indexed = impl->indexEntries(); !indexed)
        return indexed.error();
    if (policy == RefusalPolicy::RefuseArchive) {
        for (const ZipEntry& entry : impl->entries) {
            if (entry.problem != EntryProblem::None)
                return Error{codeOf(entry.problem),
                             entry.rawName + ": " + std::string(entryProblemName(entry.problem))};
        }
        if (Status ranges = impl->checkDataRanges(); !ranges)
            return ranges.error();
    }
    return ZipArchive(std::move(impl));
}

Result<ZipArchive> ZipArchive::openFile(const std::filesystem::path& path, RefusalPolicy policy,
                                        const ZipLimits& limits)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > limits.maxArchiveBytes)
        return Error{ErrorCode::TooLarge, path.string() + ": archive over " +
                                              std::to_string(limits.maxArchiveBytes) + " bytes"};
    Result<std::string> bytes = platform::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    return open(std::move(bytes).value(), policy, limits);
}

const std::vector<ZipEntry>& ZipArchive::entries() const
{
    return m_impl->entries;
}

const ZipEntry* ZipArchive::find(std::string_view name) const
{
    const auto it = m_impl->byName.find(name);
    return it == m_impl->byName.end() ? nullptr : &m_impl->entries[it->second];
}

Result<std::string> ZipArchive::read(std::string_view name)
{
    const auto it = m_impl->byName.find(name);
    if (it == m_impl->byName.end()) {
        // A refused entry is not indexed; say why it cannot be read.
        for (const ZipEntry& entry : m_impl->entries) {
            if (entry.name == name && entry.problem != EntryProblem::None)
                return Error{codeOf(entry.problem),
                             entry.rawName + ": " + std::string(entryProblemName(entry.problem))};
        }
        return Error{ErrorCode::FileUnavailable, std::string(name) + ": no such entry"};
    }
    const ZipEntry& entry = m_impl->entries[it->second];
    if (entry.isFolder)
        return Error{ErrorCode::FileUnavailable, entry.name + ": a folder"};
    if (entry.problem != EntryProblem::None)
        return Error{codeOf(entry.problem), entry.rawName + ": " + std::string(entryProblemName(entry.problem))};
    return m_impl->readAt(it->second);
}

}  // namespace veyla::epub
