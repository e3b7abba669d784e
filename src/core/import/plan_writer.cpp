// SPDX-License-Identifier: MIT
#include "core/import/plan_writer.h"

#include <algorithm>

#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::import {

namespace fs = std::filesystem;

namespace {

bool taken(const fs::path& target, std::u16string_view name)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(target / library::pathFromText(name), ec));
}

std::size_t leadingDigits(std::u16string_view name)
{
    std::size_t digits = 0;
    while (digits < name.size() && name[digits] >= u'0' && name[digits] <= u'9')
        ++digits;
    return digits;
}

// The width the numbers at the start of the names in each folder are padded
// to (index: parent node + 1). Past 9999 the numbers grow a digit, and
// "10000_" would sort before "9999_": every name of that folder then gets
// the same width, so that name order stays reading order.
std::vector<std::size_t> numberWidths(const ImportPlan& plan)
{
    std::vector<std::size_t> widths(plan.nodes.size() + 1, 0);
    for (const auto& node : plan.nodes) {
        auto& width = widths[static_cast<std::size_t>(node.parent + 1)];
        width = std::max(width, leadingDigits(node.name));
    }
    return widths;
}

std::u16string padded(std::u16string_view name, std::size_t width)
{
    const std::size_t digits = leadingDigits(name);
    if (digits == 0 || digits >= width)
        return std::u16string(name);
    return std::u16string(width - digits, u'0') + std::u16string(name);
}

}  // namespace

std::u16string freeName(const fs::path& target, std::u16string_view name, NodeKind kind)
{
    if (!taken(target, name))
        return std::u16string(name);
    std::u16string_view stem = name;
    std::u16string_view extension;
    if (kind == NodeKind::Chapter && name.size() >= 4 && name.substr(name.size() - 4) == u".xml") {
        stem = name.substr(0, name.size() - 4);
        extension = name.substr(name.size() - 4);
    }
    for (long long n = 2;; ++n) {
        std::u16string candidate = std::u16string(stem) + u" (" + utf16::number(n) + u")" + std::u16string(extension);
        if (!taken(target, candidate))
            return candidate;
    }
}

Result<WrittenPlan> writePlan(const ImportPlan& plan, const fs::path& target, const PlanProgress& progress,
                              std::stop_token stop)
{
    std::error_code ec;
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec))
        return Error{ErrorCode::WriteFailed, target.string() + ": not a folder"};

    // A stop is honoured before the book is begun, never inside it.
    if (stop.stop_requested())
        return Error{ErrorCode::Cancelled, "stopped before " + target.string()};
    WrittenPlan written;
    std::vector<fs::path> paths(plan.nodes.size());
    const std::vector<std::size_t> widths = numberWidths(plan);
    for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
        const PlannedNode& node = plan.nodes[i];
        if (node.parent >= static_cast<int>(i))
            return Error{ErrorCode::InvalidArgument, "a plan node comes before its parent"};
        const fs::path parent = node.parent < 0 ? target : paths[static_cast<std::size_t>(node.parent)];
        const std::u16string name = node.parent < 0
                                        ? freeName(parent, node.name, node.kind)
                                        : padded(node.name, widths[static_cast<std::size_t>(node.parent + 1)]);
        paths[i] = parent / library::pathFromText(name);
        if (node.kind == NodeKind::Folder) {
            fs::create_directories(paths[i], ec);
            if (ec)
                return Error{ErrorCode::WriteFailed, paths[i].string() + ": " + ec.message()};
            ++written.folders;
        } else {
            auto status = library::writeChapterFromText(paths[i], node.text, library::TextForm::Import,
                                                        platform::Durability::Deferred);
            if (!status)
                return status.error();
            ++written.chapterFiles;
        }
        if (node.parent < 0)
            written.topLevel.push_back(paths[i]);
        if (progress)
            progress(i + 1, plan.nodes.size());
    }
    platform::syncFileSystem(target);
    return written;
}

}  // namespace veyla::import
