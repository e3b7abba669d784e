// SPDX-License-Identifier: MIT
#include "core/import/plan_writer.h"

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
    for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
        const PlannedNode& node = plan.nodes[i];
        if (node.parent >= static_cast<int>(i))
            return Error{ErrorCode::InvalidArgument, "a plan node comes before its parent"};
        const fs::path parent = node.parent < 0 ? target : paths[static_cast<std::size_t>(node.parent)];
        const std::u16string name = node.parent < 0 ? freeName(parent, node.name, node.kind) : node.name;
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
