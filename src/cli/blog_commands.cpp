// SPDX-License-Identifier: MIT
#include "cli/blog_commands.h"

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <optional>

#include "cli/cli_context.h"
#include "cli/interrupt_watcher.h"
#include "cli/progress_bar.h"
#include "core/library/library_folder.h"
#include "core/platform/http_transport.h"
#include "core/publish/blog_sites.h"
#include "core/publish/chapter_publishing.h"
#include "core/text/pinyin_table.h"
#include "core/util/utf16.h"
#include "core/view/colour_schemes.h"

namespace veyla::cli {
namespace {

using publish::BlogSite;
using publish::BlogSiteList;
using publish::BlogType;

std::string u8(std::u16string_view text)
{
    return utf16::toUtf8(text);
}

// Options and the words that are not options.
struct Arguments {
    std::optional<std::string> site;
    std::optional<std::string> type;
    bool selfSigned = false;
    std::vector<std::string> words;
    std::string unknown;
};

Arguments parseArguments(const std::vector<std::string>& args, std::size_t from)
{
    Arguments parsed;
    for (std::size_t i = from; i < args.size(); ++i) {
        if (args[i] == "--site" && i + 1 < args.size())
            parsed.site = args[++i];
        else if (args[i] == "--type" && i + 1 < args.size())
            parsed.type = args[++i];
        else if (args[i] == "--self-signed")
            parsed.selfSigned = true;
        else if (args[i].starts_with("--") && parsed.unknown.empty())
            parsed.unknown = args[i];
        else
            parsed.words.push_back(args[i]);
    }
    return parsed;
}

// The password: typed at a prompt without echo on a terminal, else the
// first line of standard input. Never taken from the command line.
std::optional<std::string> readPassword(CliContext& context)
{
    const bool terminal = ::isatty(STDIN_FILENO) == 1 && &context.in() == &std::cin;
    termios saved {};
    if (terminal) {
        context.err() << "密码: " << std::flush;
        ::tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string password;
    const bool got = static_cast<bool>(std::getline(context.in(), password));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        context.err() << '\n';
    }
    if (!got)
        return std::nullopt;
    if (password.ends_with('\r'))
        password.pop_back();
    return password;
}

Result<BlogSiteList> loadSites(CliContext& context)
{
    return publish::loadBlogSites(publish::blogSitesPath(context.folders()));
}

int runAdd(CliContext& context, const Arguments& arguments)
{
    if (arguments.words.size() != 3)
        return context.usage("blog", "add expects NAME ADDRESS USER");
    BlogSite site;
    site.name = utf16::fromUtf8(arguments.words[0]);
    site.address = utf16::fromUtf8(arguments.words[1]);
    site.user = utf16::fromUtf8(arguments.words[2]);
    site.acceptSelfSignedCertificate = arguments.selfSigned;
    if (arguments.type && *arguments.type != "wordpress" && *arguments.type != "metaweblog")
        return context.usage("blog", "--type is wordpress or metaweblog");
    site.type = arguments.type == "metaweblog" ? BlogType::MetaWeblog : BlogType::WordPress;
    auto list = loadSites(context);
    if (!list)
        return context.fail("blog", list.error());
    if (list->find(site.name) != nullptr)
        return context.fail("blog", "a site named " + arguments.words[0] + " exists already");
    const auto password = readPassword(context);
    if (!password)
        return context.fail("blog", "no password was given");
    site.password = utf16::fromUtf8(*password);
    if (auto login = publish::blogLogin(site); !login)
        return context.fail("blog", login.error().detail);
    list->sites.push_back(std::move(site));
    // With no site chosen yet, the new one becomes the desktop app's choice.
    if (list->selected < 0)
        list->selected = static_cast<int>(list->sites.size()) - 1;
    if (auto saved = publish::saveBlogSites(publish::blogSitesPath(context.folders()), *list); !saved)
        return context.fail("blog", saved.error());
    context.out() << "added " << arguments.words[0] << " ("
                  << publish::blogLogin(list->sites.back())->url << ")\n";
    return kExitOk;
}

int runList(CliContext& context)
{
    auto list = loadSites(context);
    if (!list)
        return context.fail("blog", list.error());
    for (const auto& site : list->sites)
        context.out() << u8(site.name) << '\t' << (site.type == BlogType::MetaWeblog ? "MetaWeblog" : "Wordpress")
                      << '\t' << u8(site.address) << '\t' << u8(site.user)
                      << (site.acceptSelfSignedCertificate ? "\tself-signed" : "") << '\n';
    return kExitOk;
}

int runRemove(CliContext& context, const Arguments& arguments)
{
    if (arguments.words.size() != 1)
        return context.usage("blog", "remove expects NAME");
    auto list = loadSites(context);
    if (!list)
        return context.fail("blog", list.error());
    const std::u16string name = utf16::fromUtf8(arguments.words[0]);
    const auto before = list->sites.size();
    const std::u16string chosen =
        list->selected >= 0 ? list->sites[static_cast<std::size_t>(list->selected)].name : std::u16string();
    std::erase_if(list->sites, [&](const BlogSite& site) { return site.name == name; });
    if (list->sites.size() == before)
        return context.fail("blog", "no site named " + arguments.words[0]);
    // The chosen site stays chosen unless it was the one removed.
    list->selected = -1;
    for (std::size_t i = 0; i < list->sites.size(); ++i)
        if (!chosen.empty() && list->sites[i].name == chosen)
            list->selected = static_cast<int>(i);
    if (auto saved = publish::saveBlogSites(publish::blogSitesPath(context.folders()), *list); !saved)
        return context.fail("blog", saved.error());
    return kExitOk;
}

// The publisher for --site, or an exit code after a message.
struct Session {
    std::unique_ptr<platform::HttpTransport> transport;
    std::unique_ptr<text::PinyinTable> pinyin;
    std::unique_ptr<publish::BlogPublisher> publisher;
};

std::optional<int> openSession(CliContext& context, const std::string& command, const Arguments& arguments,
                               Session& session)
{
    if (!arguments.site)
        return context.usage(command, "expects --site NAME");
    auto list = loadSites(context);
    if (!list)
        return context.fail(command, list.error());
    const BlogSite* site = list->find(utf16::fromUtf8(*arguments.site));
    if (site == nullptr)
        return context.fail(command, "no site named " + *arguments.site + " (see veyla-cli blog list)");
    auto login = publish::blogLogin(*site);
    if (!login)
        return context.fail(command, login.error().detail);
    session.transport = platform::makeCurlTransport();
    session.pinyin = std::make_unique<text::PinyinTable>(text::PinyinTable::shippedPath(context.folders()));
    session.publisher = std::make_unique<publish::BlogPublisher>(*session.transport, std::move(*login),
                                                                 session.pinyin.get());
    return std::nullopt;
}

std::string callError(const publish::BlogPublisher& publisher, const Error& error)
{
    const auto& client = publisher.client();
    if (client.isFault())
        return "the blog refused: " + std::to_string(client.fault().code) + " " + client.fault().message;
    return error.detail;
}

int runPosts(CliContext& context, const Arguments& arguments)
{
    if (arguments.words.size() != 1)
        return context.usage("blog", "posts expects --site NAME CATEGORY");
    Session session;
    if (auto exit = openSession(context, "blog", arguments, session))
        return *exit;
    const std::string& category = arguments.words[0];
    Result<int> id = Error{ErrorCode::InvalidArgument, {}};
    if (!category.empty() && category.find_first_not_of("0123456789") == std::string::npos)
        id = std::stoi(category.substr(0, 9));
    else
        id = session.publisher->findCategory(utf16::fromUtf8(category));
    if (!id)
        return context.fail("blog", callError(*session.publisher, id.error()));
    auto posts = session.publisher->listPosts(*id);
    if (!posts)
        return context.fail("blog", callError(*session.publisher, posts.error()));
    for (const auto& post : *posts)
        context.out() << post.id << '\t' << u8(post.title) << '\n';
    return kExitOk;
}

int runFetch(CliContext& context, const Arguments& arguments)
{
    if (arguments.words.size() != 2 || arguments.words[0].empty() ||
        arguments.words[0].find_first_not_of("0123456789") != std::string::npos || arguments.words[0].size() > 9)
        return context.usage("blog", "fetch expects --site NAME POST-ID PATH");
    Session session;
    if (auto exit = openSession(context, "blog", arguments, session))
        return *exit;
    auto post = session.publisher->fetchPost(std::stoi(arguments.words[0]));
    if (!post)
        return context.fail("blog", callError(*session.publisher, post.error()));
    auto written = publish::writeFetchedPost(context.libraryPath(arguments.words[1]), post->second);
    if (!written)
        return context.fail("blog", written.error());
    context.out() << written->string() << '\n';
    return kExitOk;
}

// The chapter files of path: itself, or every chapter below a folder in tree order.
void collectChapters(const std::filesystem::path& path, std::vector<std::filesystem::path>& chapters)
{
    if (!std::filesystem::is_directory(path)) {
        chapters.push_back(path);
        return;
    }
    for (const auto& item : library::listFolder(path)) {
        if (item.kind == library::ItemKind::Folder)
            collectChapters(path / item.fileName, chapters);
        else
            chapters.push_back(path / item.fileName);
    }
}

}  // namespace

int runBlog(CliContext& context, const std::vector<std::string>& args)
{
    if (args.empty())
        return context.usage("blog", "expects add, list, remove, posts or fetch");
    const Arguments arguments = parseArguments(args, 1);
    if (!arguments.unknown.empty())
        return context.usage("blog", "unknown option " + arguments.unknown);
    const std::string& action = args[0];
    if (action == "add")
        return runAdd(context, arguments);
    if (action == "list")
        return runList(context);
    if (action == "remove")
        return runRemove(context, arguments);
    if (action == "posts")
        return runPosts(context, arguments);
    if (action == "fetch")
        return runFetch(context, arguments);
    return context.usage("blog", "unknown action " + action);
}

int runPublish(CliContext& context, const std::vector<std::string>& args)
{
    const Arguments arguments = parseArguments(args, 0);
    if (!arguments.unknown.empty())
        return context.usage("publish", "unknown option " + arguments.unknown);
    if (arguments.words.size() != 1)
        return context.usage("publish", "expects --site NAME PATH");
    const std::filesystem::path libraryFolder = context.folders().libraryFolder();
    const std::filesystem::path target = context.libraryPath(arguments.words[0]);
    if (!std::filesystem::exists(target))
        return context.fail("publish", target.string() + ": no such chapter or folder");
    std::vector<std::filesystem::path> chapters;
    collectChapters(target, chapters);
    if (chapters.empty())
        return context.fail("publish", target.string() + " holds no chapter");
    Session session;
    if (auto exit = openSession(context, "publish", arguments, session))
        return *exit;

    std::atomic<bool> stop = false;
    InterruptWatcher watcher([&] { stop = true; });
    auto& publisher = *session.publisher;
    publisher.setStopFlag(&stop);
    ProgressBar bar(context.out(), context.outputIsTerminal(), "发布");
    publisher.setStatusText([&](std::u16string_view text) {
        bar.finish();
        context.out() << u8(text) << '\n';
    });
    const auto colours = view::ColourSchemes::read(context.folders()).colours();
    output::CodeHtmlOptions options;
    options.colours = colours;
    options.blogAddress = utf16::fromUtf8(publisher.login().url);
    int unreadable = 0;
    for (std::size_t i = 0; i < chapters.size() && !stop; ++i) {
        bar.update(i, chapters.size());
        std::vector<std::u16string> failedCategories;
        auto posted = publish::publishChapterFile(publisher, libraryFolder, chapters[i], options, &failedCategories);
        for (const auto& name : failedCategories)
            context.err() << "veyla-cli: publish: 未能创建分类，请检查用户名、密码 或服务器忙  稍后再试 (" << u8(name)
                          << ")\n";
        if (!posted && (posted.code() == ErrorCode::FileUnavailable || posted.code() == ErrorCode::NotChapterFormat)) {
            ++unreadable;
            context.err() << "veyla-cli: publish: " << chapters[i].string() << ": cannot be read ("
                          << errorCodeName(posted.code()) << ")\n";
        } else if (!posted && publisher.client().isFault()) {
            context.err() << "veyla-cli: publish: the blog refused: " << publisher.client().fault().code << ' '
                          << publisher.client().fault().message << '\n';
        } else if (!posted && !stop) {
            context.err() << "veyla-cli: publish: " << publisher.client().errorText() << '\n';
        }
    }
    bar.finish();
    context.out() << "published " << publisher.successes() << ", failed " << publisher.failures() + unreadable
                  << (stop ? ", stopped" : "") << '\n';
    if (stop)
        return kExitInterrupted;
    return publisher.failures() + unreadable == 0 ? kExitOk : kExitFailure;
}

}  // namespace veyla::cli
