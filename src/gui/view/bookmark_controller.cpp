// SPDX-License-Identifier: MIT
#include "gui/app/message_box.h"
#include "gui/view/bookmark_controller.h"

#include <QHeaderView>
#include <QMenu>
#include <QStackedWidget>
#include <QTreeWidget>

#include "core/library/library_folder.h"
#include "gui/commands/command_router.h"
#include "gui/tree/library_controller.h"
#include "gui/view/reading_controller.h"

namespace veyla::gui {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using library::Bookmark;
using library::BookmarkList;

namespace {

constexpr int kGroupRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1;

QString shown(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

// The entry as the list shows it: the chapter's title after its folder's.
QString entryCaption(const Bookmark& bookmark)
{
    QStringList parts;
    for (const auto& name : library::bookmarkNames(bookmark.text)) {
        const bool chapter = name.find(u".xml") != std::u16string::npos;
        parts << shown(library::itemText(name, chapter ? library::ItemKind::Chapter : library::ItemKind::Folder));
    }
    return parts.join(u" › "_s);
}

}  // namespace

BookmarkController::BookmarkController(const platform::AppFolders& folders, LibraryController& library,
                                       ReadingController& reading, QStackedWidget& viewStack, CommandRouter& router,
                                       QObject* parent)
    : QObject(parent), m_folders(folders), m_library(library), m_reading(reading), m_viewStack(viewStack),
      m_router(router), m_list(new QTreeWidget(&viewStack))
{
    m_list->setObjectName(u"bookmarkList"_s);
    m_list->setHeaderLabels({u"书签"_s, u"位置"_s});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_viewStack.addWidget(m_list);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(m_list);
        menu.addAction(m_router.action(kOpenBookmark));
        menu.addAction(m_router.action(kDeleteBookmark));
        menu.exec(m_list->viewport()->mapToGlobal(at));
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { m_router.trigger(kOpenBookmark); });

    m_router.bind(kAddBookmarkFromTree, [this] { addSelectedChapter(); });
    m_router.bind(kAddBookmarkFromView, [this] { addOpenChapter(); });
    m_router.bind(kBookmarks, [this] { showList(); });
    m_router.bind(kOpenBookmark, [this] {
        std::size_t group = 0;
        std::size_t entry = 0;
        if (currentEntry(group, entry))
            openEntry(group, entry);
    });
    m_router.bind(kDeleteBookmark, [this] {
        std::size_t group = 0;
        std::size_t entry = 0;
        if (currentEntry(group, entry))
            deleteEntry(group, entry);
    });
}

void BookmarkController::load()
{
    for (auto* list : {&m_bookmarks, &m_exit}) {
        const fs::path file = m_folders.dataControl(list == &m_exit ? "bookmark_quit.txt" : "bookmark.txt");
        if (list->load(file) == BookmarkList::LoadResult::NotUnicode)
            showMessage(nullptr, MessageKind::Warning, u"Veyla"_s, u"file.txt  不是Unicode"_s);
    }
}

void BookmarkController::save()
{
    (void)m_bookmarks.save(m_folders.dataControl("bookmark.txt"));
    (void)m_exit.save(m_folders.dataControl("bookmark_quit.txt"));
}

bool BookmarkController::reopenExitPosition()
{
    if (m_exit.empty())
        return false;
    return openBookmark(m_exit.groups().front().entries.front());
}

void BookmarkController::storeExitPosition()
{
    m_exit.clear();
    if (!m_reading.hasChapter() || m_reading.chapterPath().empty())
        return;
    addChapter(m_exit, m_reading.chapterPath(), m_reading.position(), library::kExitBookmarkMark);
}

void BookmarkController::saveExitPosition()
{
    storeExitPosition();
    (void)m_exit.save(m_folders.dataControl("bookmark_quit.txt"));
}

void BookmarkController::addChapter(BookmarkList& list, const fs::path& chapter, long long position, char16_t mark)
{
    const std::vector<std::u16string> names = m_library.namesOfPath(chapter);
    if (names.empty())
        return;
    const std::u16string title =
        names.size() < 2 ? std::u16string() : library::itemText(names[names.size() - 2], library::ItemKind::Folder);
    std::u16string text = library::bookmarkText(names);
    if (list.contains(text))
        return;
    if (mark != 0)
        text += mark;
    list.add(title, {text, position});
    refreshList();
}

void BookmarkController::addSelectedChapter()
{
    const fs::path selected = m_library.selectedPath();
    if (selected.empty() || library::pathText(selected.filename()).find(u".xml") == std::u16string::npos)
        return;
    addChapter(m_bookmarks, selected, selected == m_reading.chapterPath() ? m_reading.position() : 0);
}

void BookmarkController::addOpenChapter()
{
    if (!m_reading.chapterPath().empty())
        addChapter(m_bookmarks, m_reading.chapterPath(), m_reading.position());
}

void BookmarkController::showList()
{
    if (!m_bookmarks.empty()) {
        refreshList();
        m_viewStack.setCurrentWidget(m_list);
        m_firstTime = false;
        return;
    }
    if (m_firstTime) {
        m_viewStack.setCurrentIndex(0);
        m_reading.openPage(m_folders.programControl("path1.xml"));
        return;
    }
    showMessage(m_list, MessageKind::Information, u"书签"_s, u"还没有书签，可以右键，将感兴趣的文章，添加到书签中后，再查看"_s);
}

bool BookmarkController::openEntry(std::size_t group, std::size_t entry)
{
    if (group >= m_bookmarks.groups().size() || entry >= m_bookmarks.groups()[group].entries.size())
        return false;
    return openBookmark(m_bookmarks.groups()[group].entries[entry]);
}

void BookmarkController::deleteEntry(std::size_t group, std::size_t entry)
{
    m_bookmarks.remove(group, entry);
    refreshList();
    if (m_bookmarks.empty())
        m_viewStack.setCurrentIndex(0);
}

bool BookmarkController::isBookmarked(const fs::path& chapter) const
{
    for (const auto& group : m_bookmarks.groups()) {
        for (const auto& entry : group.entries) {
            const auto names = library::bookmarkNames(entry.text);
            fs::path path = m_library.rootFolder();
            for (const auto& name : names)
                path /= library::pathFromText(name);
            if (path == chapter)
                return true;
        }
    }
    return false;
}

void BookmarkController::itemRenamed(const std::vector<std::u16string>& oldNames, const std::u16string& newName)
{
    if (m_bookmarks.renameItem(oldNames, newName) + m_exit.renameItem(oldNames, newName) > 0)
        refreshList();
}

bool BookmarkController::openBookmark(const Bookmark& bookmark)
{
    fs::path chapter = m_library.rootFolder();
    for (const auto& name : library::bookmarkNames(bookmark.text))
        chapter /= library::pathFromText(name);
    m_viewStack.setCurrentIndex(0);
    if (!m_library.selectPath(chapter))
        return false;
    if (m_reading.chapterPath() != chapter && !m_reading.openChapter(chapter))
        return false;
    m_reading.setPosition(bookmark.position);
    return true;
}

void BookmarkController::refreshList()
{
    m_list->clear();
    const auto& groups = m_bookmarks.groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        auto* groupItem = new QTreeWidgetItem(m_list, {shown(groups[g].title)});
        groupItem->setFirstColumnSpanned(true);
        for (std::size_t e = 0; e < groups[g].entries.size(); ++e) {
            const Bookmark& bookmark = groups[g].entries[e];
            auto* item = new QTreeWidgetItem(groupItem, {entryCaption(bookmark), QString::number(bookmark.position)});
            item->setData(0, kGroupRole, static_cast<qulonglong>(g));
            item->setData(0, kEntryRole, static_cast<qulonglong>(e));
        }
    }
    m_list->expandAll();
}

bool BookmarkController::currentEntry(std::size_t& group, std::size_t& entry) const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->data(0, kEntryRole).isValid())
        return false;
    group = item->data(0, kGroupRole).toULongLong();
    entry = item->data(0, kEntryRole).toULongLong();
    return true;
}

}  // namespace veyla::gui
