// SPDX-License-Identifier: MIT
#include "core/search/mining_results.h"

#include <cstdio>

#include "core/library/chapter_file.h"
#include "core/library/library_folder.h"
#include "core/platform/file_io.h"
#include "core/util/utf16.h"

namespace veyla::search {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameUnits = 40;

std::u16string header(MiningMode mode, std::size_t count)
{
    const char* pattern = mode == MiningMode::Acrostic ? "共找到：%zu 个\n" : "共找到：%zu  个\n";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, count);
    return utf16::fromUtf8(buffer);
}

// A group name made fit for a file name: no '/', control characters or
// leading '.', at most 40 units (a surrogate pair kept whole), never empty.
std::u16string fileBaseName(std::u16string_view name)
{
    std::u16string base;
    for (char16_t c : name.substr(0, kMaxNameUnits))
        base.push_back(c == u'/' || c < 0x20 ? u'_' : c);
    if (!base.empty() && utf16::isHighSurrogate(base.back()) && name.size() > kMaxNameUnits)
        base.pop_back();
    if (base.empty() || base.front() == u'.')
        base.insert(base.begin(), u'_');
    return base;
}

std::u16string numberedName(std::u16string_view base, std::size_t number)
{
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "_%03zu.xml", number);
    std::u16string name = std::u16string(base) + utf16::fromUtf8(suffix);
    // "2008_000.xml" would read as the order number 2008 and the title "000".
    if (library::orderPrefix(name))
        name = u"0000_" + name;
    return name;
}

// Fills the files of one group.
class GroupWriter {
public:
    GroupWriter(MiningMode mode, const MiningOutcome& outcome, const MiningGroup& group, std::size_t maxUnits)
        : m_outcome(outcome), m_header(header(mode, group.hits.size())), m_base(fileBaseName(group.name)),
          m_maxUnits(maxUnits)
    {
    }

    void write(const MiningGroup& group, std::vector<ResultFile>& out)
    {
        for (const auto& hit : group.hits) {
            const std::u16string& label = m_outcome.chapters[hit.chapter].label;
            const bool newLabel = m_current == nullptr || hit.chapter != m_chapter;
            const std::size_t growth = hit.text.size() + 1 + (newLabel ? label.size() + 6 : 0);
            if (m_current == nullptr || (m_current->text.size() + growth > m_maxUnits && m_hitsInFile > 0))
                startFile(out);
            if (m_hitsInFile == 0 || hit.chapter != m_chapter)
                m_current->text += u"\n\n[" + label + u"]\n\n";
            m_chapter = hit.chapter;
            m_current->text += hit.text;
            m_current->text += u'\n';
            ++m_hitsInFile;
        }
    }

private:
    void startFile(std::vector<ResultFile>& out)
    {
        out.push_back({numberedName(m_base, m_files++), m_header});
        m_current = &out.back();
        m_hitsInFile = 0;
    }

    const MiningOutcome& m_outcome;
    std::u16string m_header;
    std::u16string m_base;
    std::size_t m_maxUnits;
    ResultFile* m_current = nullptr;
    std::size_t m_chapter = 0;
    std::size_t m_hitsInFile = 0;
    std::size_t m_files = 0;
};

}  // namespace

std::vector<ResultFile> miningResultFiles(MiningMode mode, const MiningOutcome& outcome, std::size_t maxUnits)
{
    std::vector<ResultFile> files;
    for (const auto& group : outcome.groups) {
        if (group.hits.empty())
            continue;
        std::vector<ResultFile> groupFiles;
        GroupWriter(mode, outcome, group, maxUnits).write(group, groupFiles);
        for (auto& file : groupFiles)
            files.push_back(std::move(file));
    }
    return files;
}

fs::path miningResultFolder(const fs::path& startFolder, MiningMode mode)
{
    return startFolder / library::pathFromText(library::kCategoryFolderName) /
           library::pathFromText(miningModeName(mode));
}

Result<std::vector<fs::path>> storeMiningResults(const fs::path& startFolder, MiningMode mode,
                                                 const std::vector<ResultFile>& files,
                                                 const platform::TrashLocations& trash)
{
    const fs::path folder = miningResultFolder(startFolder, mode);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder, ec))) {
        auto trashed = platform::moveToTrash(folder, trash);
        if (!trashed)
            return trashed.error();
    }
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return Error{ErrorCode::WriteFailed, folder.string() + ": the folder cannot be made"};
    std::vector<fs::path> written;
    for (const auto& file : files) {
        const fs::path path = folder / library::pathFromText(file.fileName);
        if (Status status = library::writeChapterFromText(path, file.text, library::TextForm::Import,
                                                          platform::Durability::Deferred);
            !status)
            return status.error();
        written.push_back(path);
    }
    platform::syncFileSystem(folder);
    return written;
}

}  // namespace veyla::search
