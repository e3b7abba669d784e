// SPDX-License-Identifier: MIT
#include "gui/publish/publish_controller.h"

#include <QMetaObject>
#include <QtConcurrent/QtConcurrentRun>

#include "core/publish/chapter_publishing.h"
#include "gui/app/message_box.h"
#include "gui/dialogs/preset_dialog.h"
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
        const QString why = QString::fromStdString(sites.error().detail);
        QMetaObject::invokeMethod(this, [this, why] { emit status(why); }, Qt::QueuedConnection);
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
}

PublishController::~PublishController()
{
    requestStop();
    waitForFinished();
}

void PublishController::waitForFinished()
{
    m_watcher.waitForFinished();
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

bool PublishController::publishChapter(const std::filesystem::path& chapterFile, const output::CodeHtmlOptions& options)
{
    if (m_busy) {
        requestStop();
        emit status(u"正在停止发布……"_s);
        return false;
    }
    if (!m_publisher) {
        if (!m_sitesReadable || m_sites.selected < 0) {
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
    }
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

}  // namespace veyla::gui
