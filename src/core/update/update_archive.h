// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/epub/zip_archive.h"
#include "core/util/result.h"

namespace veyla::update {

// Caps for update and catalogue archives (whole books of packages, so
// larger than an EPUB's, but a zip bomb still cannot fill the disk).
epub::ZipLimits packageZipLimits();

// Unpacks every entry of a ZIP archive into folder, keeping the entries'
// relative paths (names stored in GBK are converted to UTF-8).
//
// The archive is checked completely before anything is written: any
// refused entry (absolute name, ".." component, symbolic link, encrypted,
// unsupported method, over a size cap, entries sharing data) refuses the
// whole archive, and every entry is inflated and CRC-checked into a staging
// folder inside folder. Only when all came out whole are the files moved
// into place, each replaced file kept aside until the last move succeeded,
// so any failure leaves folder as it was. Returns the relative names
// written.
Result<std::vector<std::string>> extractArchive(const std::filesystem::path& archive,
                                                const std::filesystem::path& folder,
                                                const epub::ZipLimits& limits = packageZipLimits());

// WriteFailed, with a message for people, when files cannot be created in
// folder (a system-wide install that the package manager owns).
Status checkFolderWritable(const std::filesystem::path& folder);

}  // namespace veyla::update
