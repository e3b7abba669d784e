// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/platform/file_io.h"
#include "core/util/result.h"

namespace veyla::platform {

// Writes a file piece by piece, for files too large to build in memory
// first, with the guarantee of writeFileAtomically: the bytes go to a
// hidden temporary file in the target's folder, which commit() syncs and
// renames over the target. A writer destroyed without commit() removes its
// temporary file, so the target keeps its old content or stays absent.
class AtomicFileWriter {
public:
    // WriteFailed when the temporary file cannot be made (the folder must exist).
    static Result<AtomicFileWriter> create(const std::filesystem::path& path);

    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    Status append(std::string_view bytes);
    // Replaces bytes written before, at offset (a header whose sizes are
    // known only at the end).
    Status writeAt(std::uint64_t offset, std::string_view bytes);
    // Makes the file appear at its path; the writer is done afterwards.
    Status commit(Durability durability = Durability::Synced);

private:
    AtomicFileWriter(std::filesystem::path path, std::filesystem::path temporary, int fd);
    void abandon();
    Status fail(int error);

    std::filesystem::path m_path;
    std::filesystem::path m_temporary;
    int m_fd = -1;
};

}  // namespace veyla::platform
