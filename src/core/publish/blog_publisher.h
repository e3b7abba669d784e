// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/http_transport.h"
#include "core/publish/blog_sites.h"
#include "core/publish/xmlrpc_client.h"
#include "core/util/result.h"

namespace veyla::text {
class PinyinTable;
}

namespace veyla::publish {

// The blog's XML-RPC address from the address as typed: blanks and
// ideographic spaces trimmed; "http://" put in front unless it starts with
// "http://" or "https://"; for WordPress "/xmlrpc.php" appended unless it
// already contains "xmlrpc.php".
std::u16string blogEndpointAddress(std::u16string_view address, BlogType type);

// What a connection to a blog needs, in the bytes that go on the wire (UTF-8).
struct BlogLogin {
    BlogType type = BlogType::WordPress;
    std::string url;
    std::string user;
    std::string password;
    bool acceptSelfSignedCertificate = false;
};

// InvalidArgument "网址、用户名、密码均不能为空" when a field is empty, and
// "输入网站不正确或此网站不支持" when the address cannot be used.
Result<BlogLogin> blogLogin(const BlogSite& site);

// A name without its order prefix: everything up to and including the
// first "_" is removed, unless the "_" is the first character.
std::u16string withoutOrderPrefix(std::u16string_view name);

// The category path of a chapter file of the library: the names of its
// book and the book's ancestors below the library folder, from the top,
// without order prefixes; {"默认顶层"} for a chapter lying in the library
// folder itself. InvalidArgument when the chapter is not inside it.
Result<std::vector<std::u16string>> blogCategoryPath(const std::filesystem::path& libraryFolder,
                                                     const std::filesystem::path& chapterFile);

// The post title of a chapter file name: no order prefix, no ".xml".
std::u16string postTitleOf(const std::filesystem::path& chapterFile);

struct RemotePost {
    int id = 0;
    std::u16string title;
};

// A post's content as chapter text: style blocks are dropped; "<p>",
// "</p>", "<br />" and "<hr" + no-break space + "/>" become line feeds, the entities the blog writes
// for text characters are decoded, carriage returns and line feeds are
// trimmed from both ends, and "\r\n" ends the text.
std::u16string postContentToText(std::string_view utf8Content);

// The post list cache "0.txt" of a remote category's folder: UTF-16LE with
// a byte-order mark, a line "title|id\r\n" per post.
Status writePostListCache(const std::filesystem::path& folder, const std::vector<RemotePost>& posts);
// nullopt when the file is missing or does not start with the byte-order mark.
std::optional<std::vector<RemotePost>> readPostListCache(const std::filesystem::path& folder);

// Talks to one blog: categories, posts and reading posts back, with the
// retries and status texts the status bar shows. Used by one thread at a time.
class BlogPublisher {
public:
    using StatusText = std::function<void(std::u16string_view)>;

    BlogPublisher(platform::HttpTransport& transport, BlogLogin login, text::PinyinTable* pinyin,
                  XmlRpcClientOptions options = {});

    void setStatusText(StatusText statusText) { m_status = std::move(statusText); }
    // When the flag is raised, the call in progress stops and no retry follows.
    void setStopFlag(const std::atomic<bool>* stop);

    // wp.newCategory with a pinyin slug, tried up to 11 times: the new
    // category's id (WordPress returns the existing id for a name that exists).
    Result<int> ensureCategory(std::u16string_view name, int parentId);
    // Makes every level of path exist (known names are not asked again); a
    // level that cannot be made counts as 0 and its name is added to failed.
    // Returns the id of the last level.
    int ensureCategories(const std::vector<std::u16string>& path, std::vector<std::u16string>* failed = nullptr);

    // metaWeblog.newPost, published, tried up to 11 times; the new post's id.
    Result<std::string> publishPost(std::u16string_view category, std::u16string_view title,
                                    std::u16string_view html);
    int successes() const { return m_successes; }
    int failures() const { return m_failures; }

    // The id of the category named name (wp.getTerms).
    Result<int> findCategory(std::u16string_view name);
    // The posts filed under a category, oldest first (wp.getPosts).
    Result<std::vector<RemotePost>> listPosts(int categoryId);
    // A post's title and content as chapter text (wp.getPost).
    Result<std::pair<std::u16string, std::u16string>> fetchPost(int postId);

    XmlRpcClient& client() { return m_client; }
    const XmlRpcClient& client() const { return m_client; }
    const BlogLogin& login() const { return m_login; }

private:
    using Call = std::function<Result<XmlRpcValue>()>;
    // Runs call once and retries up to retries times, showing retryText(attempt)
    // first; no retry after a stop, a refused login or permission, or a bad request.
    Result<XmlRpcValue> withRetries(const Call& call, int retries,
                                    const std::function<std::u16string(int)>& retryText);
    void show(std::u16string_view text) const;
    bool stopped() const { return m_stop != nullptr && m_stop->load(); }

    BlogLogin m_login;
    text::PinyinTable* m_pinyin;
    XmlRpcClient m_client;
    StatusText m_status;
    const std::atomic<bool>* m_stop = nullptr;
    // Categories made or found during this run, by parent id and name.
    std::map<std::pair<int, std::u16string>, int> m_categories;
    int m_lastCategoryId = 0;
    int m_successes = 0;
    int m_failures = 0;
};

// Why a failed call is not worth retrying, as a status text; empty when it is.
std::u16string refusalText(const Error& error, const XmlRpcClient& client);

}  // namespace veyla::publish
