// SPDX-License-Identifier: MIT
#include "gui/publish/publish_controller.h"

#include <QMetaObject>
#include <QtConcurrent/QtConcurrentRun>

#include "core/publish/chapter_publishing.h"
#include "core/util/utf16.h"
#include "gui/app/message_box.h"
#include "gui/dialogs/preset_dialog.h"
#include "gui/publish/blog_posts_dialog.h"
#include "gui/publish/blog_sites_group.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

PublishController::PublishController(platform::AppFolders folders, QWidget* window)
    : QObject(window), m_folders(std::move(folders)), m_window(window),
      m_makeTransport([] { return platform::makeCurlTransport(); })
{
    auto sites = publish::loadBlogSites(publish::blogSitesPath(m_folders));
    if (sites) {
        m_sites = std::move(*sites);
    } else {
        // Keep the file as it is: it is neither used nor written back.
        m_sitesReadable = false;
        m_sitesProblem = QString::fromStdString(sites.error().detail);
        QMetaObject::invokeMethod(this, [this] { emit status(m_sitesProblem); }, Qt::QueuedConnection);
    }
    connect(&m_watcher, &QFutureWatcher<Result<std::string>>::finished, this, [this] {
        m_busy = false;
        if (m_dropConnection)
            m_publisher.reset();
        m_dropConnection = false;
        for (const auto& name : m_failedCategories)
            warn(u"未能创建分类，请检查用户名、密码 或服务器忙  稍后再试"_s + u"（"_s + QString::fromStdU16String(name) + u"）"_s);
        const auto result = m_watcher.result();
        if (!result && (result.code() == ErrorCode::FileUnavailable || result.code() == ErrorCode::NotChapterFormat))
            emit status(u"无法读取章节："_s + QString::fromStdString(result.error().detail));
        emit finished(result.ok());
    });
    connect(&m_readBack, &QFutureWatcher<ReadBack>::finished, this, &PublishController::readBackFinished);
}

PublishController::~PublishController()
{
    requestStop();
    waitForFinished();
}

void PublishController::waitForFinished()
{
    m_watcher.waitForFinished();
    m_readBack.waitForFinished();
}

void PublishController::warn(const QString& text)
{
    if (m_window != nullptr && m_window->isVisible())
        showMessage(m_window, MessageKind::Warning, u"Veyla"_s, text);
    emit status(text);
}

void PublishController::report(std::u16string_view text)
{
    const QString line = QString::fromStdU16String(std::u16string(text));
    QMetaObject::invokeMethod(this, [this, line] { emit status(line); }, Qt::QueuedConnection);
}

bool PublishController::setSites(publish::BlogSiteList sites)
{
    const auto chosen = [](const publish::BlogSiteList& list) {
        return list.selected >= 0 ? std::optional(list.sites[static_cast<std::size_t>(list.selected)])
                                  : std::nullopt;
    };
    const auto before = chosen(m_sites);
    const auto after = chosen(sites);
    const bool changed = before.has_value() != after.has_value() ||
                         (before && (before->address != after->address || before->user != after->user ||
                                     before->password != after->password || before->type != after->type ||
                                     before->acceptSelfSignedCertificate != after->acceptSelfSignedCertificate));
    // The next publication connects anew; a running one finishes with the old site first.
    if (changed && m_busy)
        m_dropConnection = true;
    else if (changed)
        m_publisher.reset();
    m_sites = std::move(sites);
    m_sitesReadable = true;
    auto saved = publish::saveBlogSites(publish::blogSitesPath(m_folders), m_sites);
    if (!saved)
        warn(u"无法保存网站列表："_s + QString::fromStdString(saved.error().detail));
    return saved.ok();
}

void PublishController::extendPresetDialog(PresetDialog& dialog)
{
    if (!m_sitesReadable)
        return;
    auto* group = new BlogSitesGroup(m_sites, &dialog);
    dialog.addGroup(group);
    connect(&dialog, &QDialog::accepted, this, [this, group] { setSites(group->sites()); });
}

bool PublishController::ensurePublisher()
{
    if (m_publisher)
        return true;
    if (!m_sitesReadable) {
        warn(m_sitesProblem);
        return false;
    }
    if (m_sites.selected < 0) {
        warn(u"请先在“更多设置”的“发布”中选择网站"_s);
        return false;
    }
    auto login = publish::blogLogin(m_sites.sites[static_cast<std::size_t>(m_sites.selected)]);
    if (!login) {
        warn(QString::fromStdString(login.error().detail));
        return false;
    }
    m_transport = m_makeTransport();
    m_pinyin = std::make_unique<text::PinyinTable>(text::PinyinTable::shippedPath(m_folders));
    m_publisher = std::make_unique<publish::BlogPublisher>(*m_transport, std::move(*login), m_pinyin.get());
    m_publisher->setStopFlag(&m_stop);
    m_publisher->setStatusText([this](std::u16string_view text) { report(text); });
    return true;
}

bool PublishController::publishChapter(const std::filesystem::path& chapterFile, const output::CodeHtmlOptions& options)
{
    if (m_busy) {
        requestStop();
        emit status(u"正在停止发布……"_s);
        return false;
    }
    if (!ensurePublisher())
        return false;
    m_stop = false;
    m_busy = true;
    m_failedCategories.clear();
    output::CodeHtmlOptions withAddress = options;
    withAddress.blogAddress = QString::fromStdString(m_publisher->login().url).toStdU16String();
    m_watcher.setFuture(QtConcurrent::run([this, chapterFile, withAddress] {
        return publish::publishChapterFile(*m_publisher, m_folders.libraryFolder(), chapterFile, withAddress,
                                           &m_failedCategories);
    }));
    return true;
}

QString PublishController::callError(const Error& error) const
{
    if (m_publisher && m_publisher->client().isFault())
        return u"博客拒绝："_s + QString::number(m_publisher->client().fault().code) + u" "_s +
               QString::fromStdString(m_publisher->client().fault().message);
    return QString::fromStdString(error.detail);
}

bool PublishController::showPosts(const std::filesystem::path& libraryFolder, const std::filesystem::path& folder)
{
    auto categories = publish::blogCategoryPath(libraryFolder, folder / "x.xml");
    if (!categories) {
        warn(QString::fromStdString(categories.error().detail));
        return false;
    }
    if (m_postsDialog == nullptr) {
        m_postsDialog = new BlogPostsDialog(m_window);
        connect(m_postsDialog, &BlogPostsDialog::refreshRequested, this, [this] { listPosts(true); });
        connect(m_postsDialog, &BlogPostsDialog::fetchRequested, this,
                [this](const std::vector<publish::RemotePost>& posts) { fetchPosts(posts); });
        connect(m_postsDialog, &BlogPostsDialog::stopRequested, this, [this] {
            requestStop();
            emit status(u"正在停止读取……"_s);
        });
    }
    if (m_busy) {
        emit status(u"正在与博客通信，请稍候"_s);
        return false;
    }
    m_postsLibrary = libraryFolder;
    m_postsFolder = folder;
    m_postsCategory = categories->back();
    m_postsDialog->showCategory(QString::fromStdU16String(m_postsCategory));
    m_postsDialog->show();
    m_postsDialog->raise();
    return listPosts(false);
}

bool PublishController::listPosts(bool refresh)
{
    if (m_busy || m_postsFolder.empty())
        return false;
    // A list read before needs no site at all.
    if (!refresh) {
        if (auto cached = publish::readPostListCache(m_postsFolder)) {
            m_postsDialog->setPosts(*cached);
            emit status(u"文章列表（已缓存）：%1 篇"_s.arg(cached->size()));
            emit postsListed(static_cast<int>(cached->size()));
            return true;
        }
    }
    if (!ensurePublisher())
        return false;
    m_stop = false;
    m_busy = true;
    m_postsDialog->setBusy(true);
    emit status(u"正在读取文章列表：%1"_s.arg(QString::fromStdU16String(m_postsCategory)));
    m_readBack.setFuture(QtConcurrent::run([this, category = m_postsCategory] {
        ReadBack back;
        auto id = m_publisher->findCategory(category);
        if (!id) {
            back.status = id.error();
            return back;
        }
        auto posts = m_publisher->listPosts(*id);
        if (posts)
            back.posts = std::move(*posts);
        else
            back.status = posts.error();
        return back;
    }));
    return true;
}

bool PublishController::fetchPosts(std::vector<publish::RemotePost> posts)
{
    if (m_busy || m_postsFolder.empty() || posts.empty() || !ensurePublisher())
        return false;
    m_stop = false;
    m_busy = true;
    m_postsDialog->setBusy(true);
    m_readBack.setFuture(QtConcurrent::run([this, posts = std::move(posts)] {
        ReadBack back;
        back.listing = false;
        for (std::size_t i = 0; i < posts.size() && !m_stop; ++i) {
            report(u"正在读取文章 " + utf16::number(static_cast<int>(i + 1)) + u"/" +
                   utf16::number(static_cast<int>(posts.size())) + u"：" + posts[i].title);
            auto post = m_publisher->fetchPost(posts[i].id);
            if (!post) {
                back.status = post.error();
                break;
            }
            back.texts.emplace_back(post->first.empty() ? posts[i].title : post->first, std::move(post->second));
        }
        return back;
    }));
    return true;
}

void PublishController::readBackFinished()
{
    m_busy = false;
    if (m_dropConnection)
        m_publisher.reset();
    m_dropConnection = false;
    ReadBack back = m_readBack.result();
    if (m_postsDialog != nullptr)
        m_postsDialog->setBusy(false);
    if (back.listing) {
        if (!back.status && m_stop && back.status.code() == ErrorCode::Cancelled) {
            emit status(u"已停止读取文章列表"_s);
            return;
        }
        if (!back.status) {
            warn(u"无法读取文章列表："_s + callError(back.status.error()));
            return;
        }
        m_postsDialog->setPosts(back.posts);
        emit status(u"文章列表：%1 篇"_s.arg(back.posts.size()));
        if (auto cached = publish::writePostListCache(m_postsFolder, back.posts); !cached)
            emit status(u"无法保存文章列表："_s + QString::fromStdString(cached.error().detail));
        emit postsListed(static_cast<int>(back.posts.size()));
        return;
    }
    // The chapters are written here, on the thread that owns the tree.
    std::vector<std::filesystem::path> written;
    QString failure;
    for (const auto& [title, text] : back.texts) {
        auto path = publish::writeFetchedPost(publish::fetchedPostPath(m_postsFolder, title), text);
        if (!path) {
            failure = u"无法保存文章："_s + QString::fromStdString(path.error().detail);
            break;
        }
        written.push_back(*path);
    }
    // A request cut short by 停止 is no failure: what was read is kept.
    const bool stopped = m_stop && (back.status || back.status.code() == ErrorCode::Cancelled);
    if (failure.isEmpty() && !back.status && !stopped)
        failure = u"无法读取文章："_s + callError(back.status.error());
    if (!written.empty())
        emit postsFetched(m_postsFolder, written);
    if (!failure.isEmpty())
        warn(failure);
    else if (stopped)
        emit status(u"已停止读取，已读取文章：%1 篇"_s.arg(written.size()));
    else
        emit status(u"已读取文章：%1 篇"_s.arg(written.size()));
}

}  // namespace veyla::gui
