// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <vector>

#include "core/publish/blog_publisher.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace veyla::gui {

// "博客文章": the posts of the blog category that stands for a library
// folder, each with a check box. "读取" reads the checked posts into the
// folder as chapters, "刷新列表" asks the blog again instead of the cached
// list, "全选" checks every post. The buttons rest while a call runs.
class BlogPostsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BlogPostsDialog(QWidget* parent = nullptr);

    void showCategory(const QString& category);
    void setPosts(const std::vector<publish::RemotePost>& posts);
    void setBusy(bool busy);
    std::vector<publish::RemotePost> checkedPosts() const;
    void checkAll();

signals:
    void refreshRequested();
    void fetchRequested(const std::vector<publish::RemotePost>& posts);
    // "停止": the reading going on ends after the post being read.
    void stopRequested();

private:
    QLabel* m_category = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_fetch = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_all = nullptr;
    QPushButton* m_stop = nullptr;
};

}  // namespace veyla::gui
