// SPDX-License-Identifier: MIT
#include "core/publish/blog_publisher.h"

#include <charconv>
#include <cstdlib>

#include "core/text/pinyin_spelling.h"
#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"

namespace veyla::publish {
namespace {

constexpr int kRetries = 10;
// wp.getPosts is asked for this many posts at a time, up to kMaxPosts in all.
constexpr int kPostsPerPage = 100;
constexpr std::size_t kMaxPosts = 10000;

std::u16string number(long long n)
{
    return utf16::number(n);
}

// A category or post id: an int, or a string that starts with a digit
// (read as a decimal number); other kinds count by their value as an int.
Result<int> idOf(const XmlRpcValue& value)
{
    if (auto n = value.asInt())
        return *n;
    const Error outOfRange{ErrorCode::Unsupported, "the server answered with an id out of range"};
    if (auto text = value.asString(); text && !text->empty() && (*text)[0] >= '0' && (*text)[0] <= '9') {
        int id = 0;
        if (std::from_chars(text->data(), text->data() + text->size(), id).ec != std::errc())
            return outOfRange;
        return id;
    }
    if (auto d = value.asDouble()) {
        if (!(*d > -2147483649.0 && *d < 2147483648.0))
            return outOfRange;
        return static_cast<int>(*d);
    }
    if (auto b = value.asBool())
        return *b ? 1 : 0;
    return Error{ErrorCode::Unsupported, "the server did not answer with an id"};
}

std::u16string textOf(const XmlRpcValue* value)
{
    if (value == nullptr)
        return {};
    auto text = value->asString();
    return text ? utf16::fromUtf8(*text) : std::u16string();
}

XmlRpcValue strings(std::initializer_list<const char*> items)
{
    XmlRpcArray array;
    for (const char* item : items)
        array.emplace_back(item);
    return XmlRpcValue(std::move(array));
}

}  // namespace

std::u16string refusalText(const Error& error, const XmlRpcClient& client)
{
    if (error.code == ErrorCode::Cancelled)
        return u"已停止";
    if (client.isFault() && client.fault().code == 403)
        return u"用户名或密码不正确，不再重试";
    if (client.isFault() && client.fault().code == 401)
        return u"此账号没有权限做这件事，不再重试";
    if (error.code == ErrorCode::InvalidArgument)
        return u"请求无法发出：" + utf16::fromUtf8(error.detail);
    return {};
}

// Why a call failed, short enough for a status line: the refusal when there
// is one, else the first line of the error (an error can quote a whole page).
std::u16string failureText(const Error& error, const XmlRpcClient& client)
{
    if (std::u16string refusal = refusalText(error, client); !refusal.empty())
        return refusal;
    std::u16string text = utf16::fromUtf8(error.detail.substr(0, error.detail.find('\n')));
    constexpr std::size_t kMaxUnits = 120;
    if (text.size() > kMaxUnits) {
        std::size_t cut = kMaxUnits;
        if (utf16::isLowSurrogate(text[cut]))
            --cut;
        text = text.substr(0, cut) + u"…";
    }
    return text;
}

BlogPublisher::BlogPublisher(platform::HttpTransport& transport, BlogLogin login, text::PinyinTable* pinyin,
                             XmlRpcClientOptions options)
    : m_login(std::move(login)), m_pinyin(pinyin), m_client(transport, m_login.url, [&] {
          options.acceptSelfSignedCertificate = m_login.acceptSelfSignedCertificate;
          return options;
      }())
{
}

void BlogPublisher::setStopFlag(const std::atomic<bool>* stop)
{
    m_stop = stop;
    m_client.setProgress([stop](std::string_view) { return stop == nullptr || !stop->load(); });
}

void BlogPublisher::show(std::u16string_view text) const
{
    if (m_status)
        m_status(text);
}

Result<XmlRpcValue> BlogPublisher::withRetries(const Call& call, int retries,
                                               const std::function<std::u16string(int)>& retryText)
{
    auto result = call();
    for (int attempt = 2; !result.ok() && attempt <= retries + 1; ++attempt) {
        if (stopped() || !refusalText(result.error(), m_client).empty())
            break;
        show(retryText(attempt));
        result = call();
    }
    return result;
}

Result<int> BlogPublisher::ensureCategory(std::u16string_view name, int parentId)
{
    std::u16string slug;
    if (m_pinyin != nullptr) {
        auto spellings = text::spellInPinyin(*m_pinyin, name, 1);
        if (spellings && !spellings->spellings.empty())
            slug = spellings->spellings.front();
    }
    if (slug.empty())
        slug = name;
    XmlRpcValue category = XmlRpcValue::structure();
    (void)category.set("name", utf16::toUtf8(name));
    (void)category.set("slug", utf16::toUtf8(slug));
    (void)category.set("parent_id", parentId);
    const XmlRpcValue params = XmlRpcArray{"", m_login.user, m_login.password, category};

    show(u"正在创建分类：" + std::u16string(name));
    auto result = withRetries([&] { return m_client.execute("wp.newCategory", params); }, kRetries,
                              [&](int attempt) { return u"正在尝试第" + number(attempt) + u"次创建类别：" + std::u16string(name); });
    if (!result) {
        if (!stopped()) {
            const std::u16string why = refusalText(result.error(), m_client);
            show(u"创建分类失败： " + std::u16string(name) + (why.empty() ? u"" : u"（" + why + u"）"));
        }
        return result.error();
    }
    auto id = idOf(*result);
    if (!id)
        return id.error();
    show(u"创建分类成功： " + std::u16string(name));
    m_lastCategoryId = *id;
    return *id;
}

int BlogPublisher::ensureCategories(const std::vector<std::u16string>& path, std::vector<std::u16string>* failed)
{
    int parent = 0;
    for (const auto& name : path) {
        const auto key = std::make_pair(parent, name);
        if (const auto known = m_categories.find(key); known != m_categories.end()) {
            parent = known->second;
            continue;
        }
        auto id = ensureCategory(name, parent);
        if (!id && failed != nullptr)
            failed->push_back(name);
        parent = id ? *id : 0;
        m_categories[key] = parent;
    }
    return parent;
}

Result<std::string> BlogPublisher::publishPost(std::u16string_view category, std::u16string_view title,
                                               std::u16string_view html)
{
    XmlRpcValue post = XmlRpcValue::structure();
    (void)post.set("title", utf16::toUtf8(title));
    (void)post.set("description", utf16::toUtf8(html));
    (void)post.set("categories", XmlRpcArray{utf16::toUtf8(category)});
    const XmlRpcValue params = XmlRpcArray{"True", m_login.user, m_login.password, post, true};

    show(u"success: " + number(m_successes) + u"   failed: " + number(m_failures) + u"  正在发布文章" +
         std::u16string(title));
    auto result = withRetries([&] { return m_client.execute("metaWeblog.newPost", params); }, kRetries,
                              [&](int attempt) { return u"正在尝试 第 " + number(attempt) + u" 次发布" + std::u16string(title); });
    if (!result) {
        if (stopped())
            return result.error();
        ++m_failures;
        const std::u16string why = failureText(result.error(), m_client);
        show(u"发布文章失败： " + std::u16string(title) + (why.empty() ? u"" : u"（" + why + u"）"));
        return result.error();
    }
    ++m_successes;
    show(u"成功发布文章： " + std::u16string(title));
    if (auto text = result->asString())
        return *text;
    auto id = idOf(*result);
    return id ? std::to_string(*id) : std::string();
}

Result<int> BlogPublisher::findCategory(std::u16string_view name)
{
    XmlRpcValue filter = XmlRpcValue::structure();
    (void)filter.set("search", utf16::toUtf8(name));
    (void)filter.set("hide_empty", false);
    auto result = m_client.execute("wp.getTerms", XmlRpcArray{1, m_login.user, m_login.password, "category", filter});
    if (!result)
        return result.error();
    if (const auto* terms = result->elements()) {
        for (const auto& term : *terms) {
            const XmlRpcValue* termName = term.member("name");
            auto text = termName ? termName->asString() : Result<std::string>(Error{ErrorCode::Unsupported, {}});
            if (text && utf16::fromUtf8(decodeEntities(*text)) == name && term.member("term_id"))
                return idOf(*term.member("term_id"));
        }
    }
    return Error{ErrorCode::FileUnavailable, "no category named " + utf16::toUtf8(name)};
}

Result<std::vector<RemotePost>> BlogPublisher::listPosts(int categoryId)
{
    std::vector<RemotePost> posts;
    for (int offset = 0; posts.size() < kMaxPosts; offset += kPostsPerPage) {
        XmlRpcValue filter = XmlRpcValue::structure();
        (void)filter.set("category", categoryId);
        (void)filter.set("number", kPostsPerPage);
        (void)filter.set("offset", offset);
        (void)filter.set("order", "ASC");
        (void)filter.set("orderby", "post_date");
        auto result = m_client.execute("wp.getPosts", XmlRpcArray{1, m_login.user, m_login.password, filter,
                                                                 strings({"post_id", "post_title", "terms"})});
        if (!result)
            return result.error();
        const auto* page = result->elements();
        if (page == nullptr)
            return Error{ErrorCode::Unsupported, "wp.getPosts did not answer with a list"};
        for (const auto& post : *page) {
            // WordPress ignores the category of the filter: keep the posts
            // whose terms name it. A server that sends no terms filtered itself.
            bool inCategory = post.member("terms") == nullptr;
            if (const auto* terms = post.member("terms"); terms && terms->elements()) {
                for (const auto& term : *terms->elements()) {
                    const auto* termId = term.member("term_id");
                    const auto* taxonomy = term.member("taxonomy");
                    auto id = termId ? idOf(*termId) : Result<int>(Error{ErrorCode::Unsupported, {}});
                    if (id && *id == categoryId && (!taxonomy || textOf(taxonomy) == u"category"))
                        inCategory = true;
                }
            }
            const auto* postId = post.member("post_id");
            auto id = postId ? idOf(*postId) : Result<int>(Error{ErrorCode::Unsupported, {}});
            if (inCategory && id)
                posts.push_back(RemotePost{*id, textOf(post.member("post_title"))});
        }
        if (page->size() < static_cast<std::size_t>(kPostsPerPage))
            break;
    }
    return posts;
}

Result<std::pair<std::u16string, std::u16string>> BlogPublisher::fetchPost(int postId)
{
    auto result = m_client.execute("wp.getPost", XmlRpcArray{1, m_login.user, m_login.password, postId,
                                                            strings({"post_id", "post_title", "post_content"})});
    if (!result)
        return result.error();
    const XmlRpcValue* content = result->member("post_content");
    if (content == nullptr || !content->asString())
        return Error{ErrorCode::Unsupported, "wp.getPost sent no post_content"};
    return std::make_pair(textOf(result->member("post_title")), postContentToText(*content->asString()));
}

}  // namespace veyla::publish
