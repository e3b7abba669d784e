// SPDX-License-Identifier: MIT
// The naming and text rules around publishing: addresses, categories and
// titles from library paths, post content back to chapter text, and the
// post list cache.
#include <algorithm>

#include "core/library/library_folder.h"
#include "core/platform/file_io.h"
#include "core/publish/blog_publisher.h"
#include "core/util/utf16.h"

namespace veyla::publish {
namespace {

constexpr std::u16string_view kBlanks = u" \u3000";

bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::u16string blogEndpointAddress(std::u16string_view typed, BlogType type)
{
    std::u16string address(utf16::trim(typed, kBlanks));
    // An https address keeps its scheme ("http://" + "https://…" is no address).
    if (!startsWithIgnoringCase(address, u"http://") && !startsWithIgnoringCase(address, u"https://"))
        address = u"http://" + address;
    if (type == BlogType::WordPress && !utf16::contains(address, u"xmlrpc.php")) {
        while (address.ends_with(u'/'))
            address.pop_back();
        address += u"/xmlrpc.php";
    }
    return address;
}

Result<BlogLogin> blogLogin(const BlogSite& site)
{
    const std::u16string_view user = utf16::trim(site.user, kBlanks);
    if (utf16::trim(site.address, kBlanks).empty() || user.empty() || site.password.empty())
        return Error{ErrorCode::InvalidArgument, "网址、用户名、密码均不能为空"};
    BlogLogin login;
    login.type = site.type;
    login.url = utf16::toUtf8(blogEndpointAddress(site.address, site.type));
    login.user = utf16::toUtf8(user);
    login.password = utf16::toUtf8(site.password);
    login.acceptSelfSignedCertificate = site.acceptSelfSignedCertificate;
    if (!parseXmlRpcUrl(login.url))
        return Error{ErrorCode::InvalidArgument, "输入网站不正确或此网站不支持"};
    return login;
}

std::u16string withoutOrderPrefix(std::u16string_view name)
{
    const auto underscore = name.find(u'_');
    if (underscore == std::u16string_view::npos || underscore == 0)
        return std::u16string(name);
    return std::u16string(name.substr(underscore + 1));
}

Result<std::vector<std::u16string>> blogCategoryPath(const std::filesystem::path& libraryFolder,
                                                     const std::filesystem::path& chapterFile)
{
    const auto relative = chapterFile.lexically_normal().lexically_relative(libraryFolder.lexically_normal());
    if (relative.empty() || *relative.begin() == "..")
        return Error{ErrorCode::InvalidArgument, chapterFile.string() + " is not inside the library"};
    std::vector<std::u16string> path;
    for (const auto& part : relative.parent_path())
        if (part != ".")
            path.push_back(withoutOrderPrefix(library::pathText(part)));
    if (path.empty())
        path.push_back(u"默认顶层");
    return path;
}

std::u16string postTitleOf(const std::filesystem::path& chapterFile)
{
    std::u16string title = withoutOrderPrefix(library::pathText(chapterFile.filename()));
    if (title.ends_with(u".xml"))
        title.resize(title.size() - 4);
    return title;
}

std::u16string postContentToText(std::string_view utf8Content)
{
    std::u16string text = utf16::fromUtf8(utf8Content);
    // The style block of the code colours is no text of the chapter.
    for (auto open = text.find(u"<style"); open != std::u16string::npos; open = text.find(u"<style", open)) {
        const auto close = text.find(u"</style>", open);
        text.erase(open, close == std::u16string::npos ? std::u16string::npos : close + 8 - open);
    }
    for (const std::u16string_view mark : {u"<p>", u"</p>", u"<br />", u"<hr\u00A0/>"})
        text = utf16::replaceAll(text, mark, u"\n");
    // Text characters the blog (or this program's HTML) wrote as entities.
    for (const auto& [entity, c] : std::initializer_list<std::pair<std::u16string_view, std::u16string_view>>{
             {u"&lt;", u"<"}, {u"&gt;", u">"}, {u"&quot;", u"\""}, {u"&#039;", u"'"}, {u"&nbsp;", u"\u00A0"},
             {u"&amp;", u"&"}})
        text = utf16::replaceAll(text, entity, c);
    std::u16string out(utf16::trim(text, u"\r\n"));
    out += u"\r\n";
    return out;
}

Status writePostListCache(const std::filesystem::path& folder, const std::vector<RemotePost>& posts)
{
    std::u16string text = u"\uFEFF";
    for (const auto& post : posts)
        text += post.title + u"|" + utf16::number(post.id) + u"\r\n";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return platform::writeFileAtomically(folder / "0.txt", utf16::encodeLittleEndian(text));
}

std::optional<std::vector<RemotePost>> readPostListCache(const std::filesystem::path& folder)
{
    auto bytes = platform::readWholeFile(folder / "0.txt");
    if (!bytes || !bytes->starts_with("\xFF\xFE"))
        return std::nullopt;
    const std::u16string text = utf16::decodeLittleEndian(std::string_view(*bytes).substr(2));
    std::vector<RemotePost> posts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        const std::u16string_view line = utf16::trimRight(std::u16string_view(text).substr(start, end - start), u"\r");
        // A title may hold "|" itself: the id follows the last one.
        const auto bar = line.rfind(u'|');
        if (bar != std::u16string_view::npos)
            posts.push_back(RemotePost{static_cast<int>(utf16::toInteger(line.substr(bar + 1))),
                                       std::u16string(line.substr(0, bar))});
        start = end + 1;
    }
    return posts;
}

}  // namespace veyla::publish
