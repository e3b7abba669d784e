// SPDX-License-Identifier: MIT
#include "gui/app/command_line_files.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

#include "core/import/plan_writer.h"
#include "gui/app/message_box.h"
#include "gui/app/messages.h"
#include "gui/import/import_controller.h"
#include "gui/tree/library_controller.h"
#include "gui/window/main_window.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

fs::path toPath(const QString& text)
{
    return fs::path(text.toStdU16String());
}

// path as the tree names it when it lies inside folder, else empty.
fs::path pathInside(const fs::path& path, const fs::path& folder)
{
    std::error_code ec;
    const fs::path item = fs::weakly_canonical(path, ec);
    if (ec || folder.empty())
        return {};
    const fs::path root = fs::weakly_canonical(folder, ec);
    if (ec)
        return {};
    const auto [rootEnd, itemAt] = std::mismatch(root.begin(), root.end(), item.begin(), item.end());
    if (rootEnd != root.end())
        return {};
    fs::path inside = folder;
    for (auto it = itemAt; it != item.end(); ++it)
        inside /= *it;
    return inside;
}

// The name of the first item a plan writes into its target.
std::u16string topLevelName(const import::ImportPlan& plan)
{
    for (const auto& node : plan.nodes) {
        if (node.parent == -1)
            return node.name;
    }
    return {};
}

}  // namespace

CommandLineFiles::CommandLineFiles(MainWindow& window, const QStringList& paths)
    : QObject(&window), m_window(window), m_paths(paths)
{
    connect(&m_planning, &QFutureWatcherBase::finished, this, &CommandLineFiles::planned);
    connect(&m_writing, &QFutureWatcherBase::finished, this, &CommandLineFiles::written);
}

CommandLineFiles::~CommandLineFiles()
{
    // A book being written is finished, never left half written.
    m_planning.waitForFinished();
    m_writing.waitForFinished();
}

fs::path CommandLineFiles::targetFolder(const fs::path& library)
{
    return library / u8"小说";
}

fs::path CommandLineFiles::firstChapter(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        return path;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    // Order prefixes make name order the reading order, folders and chapters alike.
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
        if (fs::is_symlink(entry, ec))
            continue;
        if (fs::is_regular_file(entry, ec) && entry.extension() == ".xml")
            return entry;
        if (fs::is_directory(entry, ec)) {
            fs::path found = firstChapter(entry);
            if (!found.empty())
                return found;
        }
    }
    return {};
}

void CommandLineFiles::start()
{
    next();
}

void CommandLineFiles::next()
{
    LibraryController& library = m_window.library();
    while (m_next < m_paths.size()) {
        m_current = QFileInfo(m_paths[m_next++]).absoluteFilePath();
        const fs::path inside = pathInside(toPath(m_current), library.rootFolder());
        if (inside.empty()) {
            import::ImportOptions options;
            const SplitPresets& presets = m_window.importer().presets();
            options.prefix = presets.headingKey.toStdU16String();
            options.punctuation = presets.punctuation ? import::Punctuation::Allowed : import::Punctuation::Forbidden;
            m_planning.setFuture(QtConcurrent::run([path = toPath(m_current), options] {
                return std::make_shared<Result<import::PlannedBook>>(import::planNovelFile(path, options));
            }));
            return;
        }
        if (!library.selectPath(inside))
            fail(Error{ErrorCode::FileUnavailable, m_current.toStdString()});
    }
    m_done = true;
    emit finished();
}

void CommandLineFiles::planned()
{
    auto book = m_planning.result();
    if (!*book) {
        fail(book->error());
        next();
        return;
    }
    const fs::path target = targetFolder(m_window.library().rootFolder());
    const std::u16string name = topLevelName((*book)->plan);
    std::error_code ec;
    if (!name.empty() && fs::exists(target / name, ec)) {
        const QString text = u"书库里已有“%1”。要再导入一份吗？"_s.arg(QString::fromStdU16String(name));
        if (showMessage(&m_window, MessageKind::Question, u"Veyla"_s, text) != QMessageBox::Yes) {
            show(target / name);
            next();
            return;
        }
    }
    fs::create_directories(target, ec);
    m_book = std::move(book);
    m_writing.setFuture(QtConcurrent::run([book = m_book, target] {
        return std::make_shared<Result<import::WrittenPlan>>(import::writePlan((*book)->plan, target));
    }));
}

void CommandLineFiles::written()
{
    auto result = m_writing.result();
    m_book.reset();
    m_window.library().refreshPath(targetFolder(m_window.library().rootFolder()));
    if (!*result)
        fail(result->error());
    else if (!(*result)->topLevel.empty())
        show((*result)->topLevel.front());
    next();
}

void CommandLineFiles::show(const fs::path& path)
{
    const fs::path chapter = firstChapter(path);
    m_window.library().selectPath(chapter.empty() ? path : chapter);
}

void CommandLineFiles::fail(const Error& error)
{
    const QString text =
        u"无法打开“%1”：%2"_s.arg(QFileInfo(m_current).fileName(), messageFor(error.code, Operation::Import));
    (void)showMessage(&m_window, MessageKind::Warning, u"Veyla"_s, text);
}

}  // namespace veyla::gui
