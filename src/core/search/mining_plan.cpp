// SPDX-License-Identifier: MIT
#include "core/search/mining_plan.h"

#include <algorithm>

#include "core/library/library_folder.h"
#include "core/search/folder_identity.h"

namespace veyla::search {

namespace fs = std::filesystem;

namespace {

class PlanWalk {
public:
    PlanWalk(std::size_t bookLimit, std::stop_token stop) : m_limit(bookLimit), m_stop(std::move(stop)) {}

    // False when the walk ends early (limit reached or stop requested).
    bool walk(const fs::path& folder, const std::u16string& label)
    {
        // A folder the walk is already inside (through a link) is not walked again.
        const auto identity = folderIdentity(folder);
        if (!identity || std::find(m_inside.begin(), m_inside.end(), *identity) != m_inside.end())
            return true;
        m_inside.push_back(*identity);
        const bool finished = walkItems(folder, label);
        m_inside.pop_back();
        return finished;
    }

    MiningPlan take() { return std::move(m_plan); }

private:
    bool walkItems(const fs::path& folder, const std::u16string& label)
    {
        bool bookBegun = false;
        for (const auto& item : library::listFolder(folder)) {
            if (m_stop.stop_requested()) {
                m_plan.stopped = true;
                return false;
            }
            const bool isFolder = item.kind == library::ItemKind::Folder;
            if (isFolder && item.text == library::kCategoryFolderName)
                continue;
            const bool beginsBook = isFolder || !bookBegun;
            if (beginsBook && m_limit != 0 && m_plan.books >= m_limit)
                return false;
            const std::u16string itemLabel = label.empty() ? item.text : label + u"/" + item.text;
            if (isFolder) {
                if (!walk(folder / item.fileName, itemLabel))
                    return false;
                continue;
            }
            if (!bookBegun) {
                bookBegun = true;
                ++m_plan.books;
            }
            m_plan.chapters.push_back({folder / item.fileName, itemLabel});
        }
        return true;
    }

    std::size_t m_limit;
    std::stop_token m_stop;
    MiningPlan m_plan;
    std::vector<FolderIdentity> m_inside;
};

}  // namespace

fs::path miningStartFolder(const fs::path& item, const fs::path& libraryFolder)
{
    fs::path start = item;
    std::error_code ec;
    const bool chapter = !fs::is_directory(start, ec) && library::pathText(start.filename()).find(u".xml") != std::u16string::npos;
    if (start != libraryFolder && chapter)
        start = start.parent_path();
    if (start != libraryFolder && library::pathText(start.filename()) == library::kCategoryFolderName)
        start = start.parent_path();
    return start;
}

MiningPlan planMining(const fs::path& startFolder, std::size_t bookLimit, std::stop_token stop)
{
    PlanWalk walk(bookLimit, std::move(stop));
    walk.walk(startFolder, u"");
    return walk.take();
}

}  // namespace veyla::search
