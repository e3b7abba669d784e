// SPDX-License-Identifier: MIT
#include "cli/command_table.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <optional>

#include "cli/blog_commands.h"
#include "cli/chapter_commands.h"
#include "cli/cli_context.h"
#include "cli/import_commands.h"
#include "cli/library_commands.h"
#include "cli/search_commands.h"
#include "cli/site_commands.h"
#include "cli/speech_commands.h"
#include "cli/text_commands.h"
#include "cli/update_commands.h"
#include "core/speech/render_workers.h"

namespace veyla::cli {

namespace {

constexpr std::string_view kPathNote =
    "Paths inside the library are written relative to 藏书库 (小说/西游记/0001_第一回.xml);\n"
    "absolute paths and paths starting with ./ or ../ are taken as they stand.\n";

void printOverview(std::ostream& out)
{
    out << "usage: veyla-cli [--data DIR] COMMAND [ARGS...]\n"
           "       veyla-cli COMMAND --help\n\n"
           "Works on the Veyla library in the data folder: the folder given by --data,\n"
           "else $VEYLA_DATA_DIR, else the folder the desktop app uses.\n\n"
           "Commands:\n";
    for (const auto& command : commandTable()) {
        std::string name(command.name);
        name.resize(std::max<std::size_t>(10, name.size() + 1), ' ');
        out << "  " << name << command.summary << '\n';
    }
    out << "\nOptions:\n"
           "  --data DIR  use DIR as the data folder\n"
           "  --help      show this help\n"
           "  --version   show the version\n";
}

void printCommandHelp(std::ostream& out, const Command& command)
{
    out << "usage: veyla-cli " << command.usage << "\n\n" << command.summary << '\n';
    if (!command.help.empty())
        out << '\n' << command.help;
    out << '\n' << kPathNote;
}

}  // namespace

const std::vector<Command>& commandTable()
{
    static const std::vector<Command> table = {
        {"cat", "print a chapter's paragraphs as UTF-8 lines", "cat CHAPTER.xml", "", runCat},
        {"new", "make a chapter file from UTF-8 text on standard input", "new [--force] [--from FILE] CHAPTER.xml",
         "Each line that is not blank becomes a paragraph; leading blanks, ideographic\n"
         "spaces and tabs are removed. --from reads the text from FILE instead of\n"
         "standard input. An existing file is replaced only with --force.\n",
         runNew},
        {"append", "append UTF-8 text from standard input to a chapter", "append CHAPTER.xml",
         "Each line that is not blank becomes a new paragraph at the end of the chapter.\n", runAppend},
        {"import", "import TXT or EPUB novels, or folders of TXT novels, into the library",
         "import [--into FOLDER] [--prefix P] [--suffix S] [--no-punct] [--ignore-case] [--report] "
         "[--apply-suggestion] FILE|FOLDER...",
         "Each novel becomes a book folder of chapter files, its chapters found from\n"
         "their headings. --into names a folder inside 藏书库 (made when missing; default\n"
         "the library itself). --prefix and --suffix give the heading style by hand;\n"
         "--no-punct refuses headings that hold punctuation; --ignore-case matches the\n"
         "letters of headings in either case (chapter finds CHAPTER). A folder becomes a\n"
         "folder of the library, with a book for each file whose name contains \".txt\".\n"
         "Each book's split is checked: the verdict (\"looks right\" or \"suspicious\"\n"
         "with the reason) is printed, with the options of a better split when one\n"
         "is found. --report prints the whole check; --apply-suggestion imports a\n"
         "suspicious book with the suggested options instead.\n",
         runImport},
        {"split", "show how a novel would be split, without writing anything",
         "split --dry-run [--prefix P] [--suffix S] [--no-punct] [--ignore-case] [--apply-suggestion] FILE",
         "Prints the encoding found, the heading style, and each chapter file the import\n"
         "would write: its length in UTF-16 units, its name and its first line. Then\n"
         "the check of the split: chapter count, runs of chapter numbers, gaps, repeats\n"
         "and restarts, chapters without a number, length outliers and the verdict,\n"
         "with the options of a better split when it looks suspicious. --apply-suggestion\n"
         "shows the split with the suggested options instead.\n",
         runSplit},
        {"tree", "print the library tree as the tree pane shows it", "tree [--depth N] [FOLDER]",
         "Folders come first (类别 in front), then chapters; order prefixes and \".xml\"\n"
         "are not shown. FOLDER defaults to the whole library.\n",
         runTree},
        {"audio", "render a book, folder or chapter to audio files below 音频",
         "audio [--voice V] [--rate R] [--jobs N] [--format FORMAT] PATH",
         "One audio file per chapter, in 音频 of the data folder, in\n"
         "folders that mirror the library: spaces leave folder names and become \",\" in\n"
         "file names. A book or folder renders all the chapters below it; a chapter\n"
         "renders itself and the chapters after it. Files already there are kept, so\n"
         "a stopped rendering (Ctrl-C stops after the chapters being rendered) resumes.\n"
         "Chapters are rendered in worker processes, --jobs at a time (default: one\n"
         "per core); a chapter whose worker fails is reported and the rest goes on.\n"
         "--voice takes a name or an index from veyla-cli voices; --rate runs from\n"
         "-10 to 10 (0 normal, 3, 7 and 10 ever faster).\n"
         "--format: wav (16-bit PCM mono, the default), opus (Ogg Opus for speech, a\n"
         "fifteenth of the size, tagged with chapter, book and track) or m4b (WAV per\n"
         "chapter, then one AAC file per book with a chapter mark per chapter, made\n"
         "with ffmpeg). Each chapter also gets an .lrc file: the time of each piece.\n",
         runAudio},
        {"speak", "read a chapter or a text file aloud, or into a WAV file",
         "speak [--voice V] [--rate R] [--to FILE.wav] [--device NAME] [--for TIME] [--chapters N] "
         "CHAPTER.xml|TEXT-FILE",
         "Reads piece by piece as the reading view does, printing each piece as it is\n"
         "spoken, on the sound device (ALSA \"default\", or --device NAME); without a\n"
         "sound device it says so and goes on in silence at the pace of speech.\n"
         "--to writes the speech to a WAV file instead. A name ending in .xml is a\n"
         "chapter of the library; any other is a text file (UTF-8, UTF-16 or GBK).\n"
         "Sleep timer: --for 30m (or 45, 1h, 1h30m) stops after that time, the last\n"
         "seconds ever quieter; --chapters N stops when N chapters are read (the first\n"
         "one included). With either, reading goes on into the chapters that follow.\n",
         runSpeak},
        {"voices", "list the speech voices", "voices",
         "The index, name, languages and description of each voice; * marks the\n"
         "Chinese voice used when none is chosen.\n",
         runVoices},
        {"search", "find books, folders and chapters by a part of their name",
         "search [--from PATH] [--backwards] TEXT",
         "Prints, one per line, every item whose shown name (no order prefix, no \".xml\")\n"
         "contains TEXT (case-sensitive), in the order the tree lists them: a folder,\n"
         "then what is in it. --from starts after PATH instead of at the top;\n"
         "--backwards walks the other way (from the bottom without --from).\n",
         runSearch},
        {"mine", "knowledge mining: gather passages with a word into result chapters",
         "mine --mode word|acrostic|sentence|paragraph [--books 1|4|10|all] KEYWORDS PATH",
         "Searches the chapters of the book or folder PATH (a chapter stands for its\n"
         "book; 类别 for the folder it is in) and writes what it finds as chapters\n"
         "under PATH/类别/<mode> (词, 藏头诗, 句, 段), an earlier result of that mode\n"
         "going to the trash first. KEYWORDS are separated by , ， or 、.\n"
         "  word       the run of Chinese characters around each occurrence of the\n"
         "             first keyword, up to 80 characters either side\n"
         "  sentence   the same, up to 50 characters either side\n"
         "  acrostic   for each character of the first keyword, the runs of Chinese\n"
         "             characters that begin with it (a file per character)\n"
         "  paragraph  whole paragraphs holding every keyword; a last keyword that is\n"
         "             a number N asks for any N of the others (风,雨,雪,2)\n"
         "--books stops after that many books (default 1; folders holding chapters\n"
         "count as books). Folders named 类别 are never searched. Chapters that\n"
         "cannot be read are skipped and named. Ctrl-C stops without writing.\n",
         runMine},
        {"pinyin", "spell a text in pinyin", "pinyin [--table FILE] TEXT...",
         "Prints every whole-text spelling (\"spelling: \" lines, the first made of each\n"
         "character's first reading, at most 16) and the matching capital initials\n"
         "(\"initials: \" lines). Characters outside U+4E00-U+9FA5 stand for themselves.\n"
         "The table is control/Uni2Pinyin/Uni2Pinyin.DAT of the program folder, or FILE.\n",
         runPinyin},
        {"site", "make the local website of a book or folder below HTML",
         "site [--whole] [--english] [--page-size N] [--open] PATH",
         "Writes the pages of the book or folder PATH (a chapter stands for its book)\n"
         "under HTML of the data folder, mirroring the library: one page per chapter,\n"
         "or with --whole the chapters gathered into whole-book pages of N chapters\n"
         "(--page-size, default the LocalWebSet Page setting, 120). Pages that exist\n"
         "are kept (delete them to make them anew); index pages (目录.html) and the\n"
         "two 总书目.html pages are written every time. --english wraps the English\n"
         "words the word lists know with their glosses. --open opens the index page\n"
         "in the browser. Pages load their scripts from HTML/js, so they work offline.\n",
         runSite},
        {"annotate", "print a text file's lines with English words glossed, as HTML",
         "annotate TEXT-FILE",
         "Each line of the file (UTF-8, UTF-16 or GBK) becomes one line of HTML: the\n"
         "words of control/eng's word lists wrapped as <strong data-explanation=\"(gloss)\">,\n"
         "white space made single blanks, everything else escaped.\n",
         runAnnotate},
        {"update-check", "check the publisher's site for a newer build", "update-check [--site URL] [--program FILE]",
         "Prints this build, the latest build the site names (its /down/veyla.ini,\n"
         "kept as control/buildInfo.ini) and what the desktop program would do. The\n"
         "site is [Update] Site in control/preSet.ini, or URL; with neither, nothing\n"
         "is fetched. Only a program whose file name contains 小说 updates itself:\n"
         "FILE names it (default: such a program beside veyla-cli, else veyla).\n",
         runUpdateCheck},
        {"catalogue", "list or download the packages of 书海拾遗", "catalogue [--site URL] [--download NAME]",
         "Fetches the site's /down/catalogue.txt (kept as control/catalogue.txt) and\n"
         "prints the list as the 书海拾遗 window shows it. --download fetches the\n"
         "package NAME from the site's /down/ folder into the program folder of a\n"
         "portable copy (else the data folder); a .zip is unpacked there (refused whole\n"
         "if any entry is unsafe) and deleted. Ctrl-C stops and removes the partial file.\n",
         runCatalogue},
        {"publish", "publish a chapter, or every chapter of a book or folder, to a blog",
         "publish --site NAME PATH",
         "Each chapter becomes a post (its title without order prefix, its text as\n"
         "HTML in the code publishing mode of the colour settings), filed under its\n"
         "book's category (默认顶层 for a chapter lying in 藏书库 itself). On a WordPress\n"
         "site the categories from the top folder down to the book are made first,\n"
         "with pinyin slugs. A failed post is tried up to 10 more times, except when\n"
         "the blog refuses the user name, the password or the permission. Prints the\n"
         "status of each step and \"published N, failed M\"; Ctrl-C stops.\n",
         runPublish},
        {"blog", "keep blog sites, list a blog's posts, fetch a post into the library",
         "blog add|list|remove|posts|fetch [--site NAME] [--type T] [--self-signed] ARGS...",
         "  blog add [--type wordpress|metaweblog] [--self-signed] NAME ADDRESS USER\n"
         "      adds a site; the password is typed at a prompt without echo, or read\n"
         "      from the first line of standard input. ADDRESS may be a bare host:\n"
         "      http:// is put in front and, for WordPress, /xmlrpc.php appended.\n"
         "      --self-signed accepts an HTTPS certificate no known authority signed.\n"
         "  blog list             the sites: name, type, address, user\n"
         "  blog remove NAME      forgets a site\n"
         "  blog posts --site NAME CATEGORY\n"
         "      the posts filed under a category (its name or id): id and title\n"
         "  blog fetch --site NAME POST-ID PATH\n"
         "      writes a post's text as the chapter PATH (PATH-2.xml, … when taken)\n"
         "The sites are kept in control/blogSites.ini of the data folder with mode\n"
         "0600; a file that others may read is refused.\n",
         runBlog},
    };
    return table;
}

const Command* findCommand(std::string_view name)
{
    for (const auto& command : commandTable()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int runCli(int argc, char** argv)
{
    std::optional<std::filesystem::path> dataFolder;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data") {
            if (i + 1 >= argc) {
                std::cerr << "veyla-cli: --data needs a folder\n";
                return kExitUsage;
            }
            dataFolder = argv[++i];
        } else if (arg.rfind("--data=", 0) == 0) {
            dataFolder = arg.substr(7);
        } else {
            args.push_back(arg);
        }
    }

    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        printOverview(std::cout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args.front() == "--version") {
        std::cout << "veyla-cli " << VEYLA_VERSION << '\n';
        return kExitOk;
    }
    if (args.front() == speech::kRenderWorkerOption) {
        CliContext context(platform::appFoldersFromEnvironment(dataFolder), std::cin, std::cout, std::cerr);
        return runRenderWorker(context, std::vector<std::string>(args.begin() + 1, args.end()));
    }
    const Command* command = findCommand(args.front());
    if (command == nullptr) {
        std::cerr << "veyla-cli: unknown command '" << args.front() << "' (see veyla-cli --help)\n";
        return kExitUsage;
    }
    std::vector<std::string> commandArgs(args.begin() + 1, args.end());
    for (const auto& arg : commandArgs) {
        if (arg == "--help" || arg == "-h") {
            printCommandHelp(std::cout, *command);
            return kExitOk;
        }
    }
    // Commands that only read never create the data folder.
    static constexpr std::string_view kReadOnly[] = {"cat", "split", "tree", "voices", "search", "pinyin"};
    const bool readOnly = std::find(std::begin(kReadOnly), std::end(kReadOnly), command->name) != std::end(kReadOnly);
    CliContext context(platform::appFoldersFromEnvironment(
                           dataFolder, readOnly ? platform::FolderCreation::Leave : platform::FolderCreation::Create),
                       std::cin, std::cout, std::cerr);
    return command->run(context, commandArgs);
}

}  // namespace veyla::cli
