// SPDX-License-Identifier: MIT
#include "gui/publish/blog_posts_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace veyla::gui {

using namespace Qt::StringLiterals;

BlogPostsDialog::BlogPostsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u"博客文章"_s);
    m_category = new QLabel(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"blogPosts"_s);
    m_all = new QPushButton(u"全选"_s, this);
    m_refresh = new QPushButton(u"刷新列表"_s, this);
    m_refresh->setObjectName(u"refreshPosts"_s);
    m_fetch = new QPushButton(u"读取"_s, this);
    m_fetch->setObjectName(u"fetchPosts"_s);
    m_fetch->setDefault(true);
    m_stop = new QPushButton(u"停止"_s, this);
    m_stop->setObjectName(u"stopReading"_s);
    m_stop->setEnabled(false);
    auto* close = new QPushButton(u"关闭"_s, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_all);
    buttons->addWidget(m_refresh);
    buttons->addStretch();
    buttons->addWidget(m_fetch);
    buttons->addWidget(m_stop);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_category);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(m_all, &QPushButton::clicked, this, &BlogPostsDialog::checkAll);
    connect(m_refresh, &QPushButton::clicked, this, &BlogPostsDialog::refreshRequested);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_stop->setEnabled(false);
        emit stopRequested();
    });
    connect(m_fetch, &QPushButton::clicked, this, [this] {
        auto posts = checkedPosts();
        if (!posts.empty())
            emit fetchRequested(posts);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void BlogPostsDialog::showCategory(const QString& category)
{
    m_category->setText(u"分类："_s + category);
    m_list->clear();
}

void BlogPostsDialog::setPosts(const std::vector<publish::RemotePost>& posts)
{
    m_list->clear();
    for (const auto& post : posts) {
        auto* item = new QListWidgetItem(QString::fromStdU16String(post.title), m_list);
        item->setData(Qt::UserRole, post.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (posts.empty())
        new QListWidgetItem(u"此分类中没有文章"_s, m_list);
}

void BlogPostsDialog::setBusy(bool busy)
{
    for (QPushButton* button : {m_fetch, m_refresh, m_all})
        button->setEnabled(!busy);
    m_stop->setEnabled(busy);
}

std::vector<publish::RemotePost> BlogPostsDialog::checkedPosts() const
{
    std::vector<publish::RemotePost> posts;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->data(Qt::UserRole).isValid() && item->checkState() == Qt::Checked)
            posts.push_back({item->data(Qt::UserRole).toInt(), item->text().toStdU16String()});
    }
    return posts;
}

void BlogPostsDialog::checkAll()
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        if (item->data(Qt::UserRole).isValid())
            item->setCheckState(Qt::Checked);
    }
}

}  // namespace veyla::gui
