// The program's entry: the headless commands run here on the core alone; the window lives in
// a library loaded only when it is needed, so `--magnet` starts as fast as a plain command.

#include "cli/CommandLine.h"
#include "cli/FileCommand.h"
#include "cli/MagnetCommand.h"
#include "cli/ShowCommand.h"
#include "cli/TorrentCommand.h"
#include "fetch/PrivateModule.h"
#include "magnet/LinkSettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: lintervale [-hidden] [FILE.torrent...]\n"
    "       lintervale --magnet FILE.torrent...\n"
    "       lintervale --show [--json] FILE.torrent...\n"
    "       lintervale --torrent [-o DIR] [--timeout SECONDS] [--no-dht] LINK...\n"
    "       lintervale --help | --version\n"
    "\n"
    "Turns BitTorrent .torrent files into magnet links.\n"
    "\n"
    "Without options the window opens and the files given are added to its list; when a\n"
    "copy of the program already runs, the files are handed to it instead. -hidden as the\n"
    "first argument starts with the window hidden in the tray.\n"
    "\n"
    "  --magnet FILE...  print the magnet link of each file, one per line, in the\n"
    "                    order given, without opening a window; - reads one torrent\n"
    "                    from standard input. A file that cannot be read or is not\n"
    "                    valid metainfo is named on stderr with the reason, and the\n"
    "                    others still get their links. The exit status is 0 only\n"
    "                    when every file gave a link and every line was written.\n"
    "  --show FILE...    print what each torrent holds: name, info hashes, sizes,\n"
    "                    pieces, privacy, creator, date, comment, source, trackers\n"
    "                    by tier, web seeds, DHT nodes, the magnet link and the\n"
    "                    files, one field a line; failures and exit status as for\n"
    "                    --magnet.\n"
    "  --json            with --show: one JSON array, an object per torrent.\n"
    "  --torrent LINK... fetch the contents of each magnet link from its peers (the\n"
    "                    DHT, its trackers and its x.pe addresses) and write them\n"
    "                    as NAME.torrent, named after the torrent, printing each\n"
    "                    path in the order of the links; - reads links from\n"
    "                    standard input, one a line. A file is never overwritten:\n"
    "                    a taken name becomes NAME (2).torrent and so on. Nothing\n"
    "                    of the payload is downloaded. Fetching shows your address\n"
    "                    to the peers, trackers and DHT nodes it asks. Failures\n"
    "                    and exit status as for --magnet; 3 when the fetching\n"
    "                    library is missing.\n"
    "  -o DIR            with --torrent: write into DIR (default: the current\n"
    "                    folder).\n"
    "  --timeout SECONDS with --torrent: give up on a link whose contents no peer\n"
    "                    sent within this time (default: 120).\n"
    "  --no-dht          with --torrent: ask only the link's trackers and peers.\n"
    "\n"
    "What the links of --magnet and --show hold (as the window's \"Link contents\" say,\n"
    "by default the name, every tracker and every web seed, and both info hashes of a\n"
    "hybrid torrent):\n"
    "  --no-name         leave the name (dn) out.\n"
    "  --trackers=WHICH  all (the default), first, or none of the trackers (tr).\n"
    "  --no-web-seeds    leave the web seeds (ws) out.\n"
    "  --exact-length    add the total size in bytes (xl).\n"
    "  --peer=HOST:PORT  add a peer address (x.pe); may be given more than once.\n"
    "  --help            show this text.\n"
    "  --version         show the program's version.\n"
    "  --                end of the options: the words after it are files.\n";

bool DisplayAvailable() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

void* OpenWindowLibrary() {
    lintervale::TModuleSearch search;
    if (void* handle = lintervale::OpenPrivateModule("liblintervale_window.so", search)) {
        return handle;
    }
    std::fprintf(stderr, "lintervale: cannot load the window library (looked in %s)%s\n",
                 search.Folder.c_str(), search.Errors.c_str());
    return nullptr;
}

// The window gets the program's arguments as they are: it takes no options but Qt's and a
// first -hidden, and it passes over every word that names no file, "--" among them (so that
// `lintervale -- -hidden` does not start hidden).
int RunWindow(int argc, char** argv) {
    void* handle = OpenWindowLibrary();
    if (handle == nullptr) {
        return 3;
    }
    using TRun = int (*)(int, char**);
    auto run = reinterpret_cast<TRun>(::dlsym(handle, "LintervaleRunWindow"));
    if (run == nullptr) {
        std::fprintf(stderr, "lintervale: the window library is incomplete: %s\n", ::dlerror());
        return 3;
    }
    return run(argc, argv);
}

int RunMagnet(const std::vector<std::string>& files, const lintervale::TLinkContents& contents) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    return lintervale::RunMagnetCommand(files, contents, stdout, stderr);
}

int RunShow(const lintervale::TCommandLine& line) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    return lintervale::RunShowCommand(line.Operands, line.Json, line.Contents, stdout, stderr);
}

int RunTorrent(const lintervale::TCommandLine& line) {
    // Each path as soon as it is known, for whoever reads the output as it comes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return lintervale::RunTorrentCommand(line, stdin, stdout, stderr);
}

int Print(const char* text) {
    std::fputs(text, stdout);
    return lintervale::FinishOutput(stdout, stderr) ? 0 : 1;
}

} // namespace

// What the user chose for links in the window's options, for the commands that print links.
lintervale::TLinkContents LinkSettings(const std::vector<std::string>& arguments) {
    if (std::find(arguments.begin(), arguments.end(), "--magnet") == arguments.end() &&
        std::find(arguments.begin(), arguments.end(), "--show") == arguments.end()) {
        return {};
    }
    std::FILE* file = std::fopen(lintervale::OptionsFilePath().c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    // The options file is small; anything past this is not the window's.
    std::string text(1 << 16, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return lintervale::ReadLinkSettings(text);
}

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const lintervale::TCommandLine line =
        lintervale::ParseCommandLine(arguments, LinkSettings(arguments));
    switch (line.Action) {
    case lintervale::TCommandLine::Help:
        return Print(kUsage);
    case lintervale::TCommandLine::Version:
        return Print("lintervale " LINTERVALE_VERSION "\n");
    case lintervale::TCommandLine::UsageError:
        std::fprintf(stderr, "lintervale: %s\n\n%s", line.Error.c_str(), kUsage);
        return 2;
    case lintervale::TCommandLine::Magnet:
        return RunMagnet(line.Operands, line.Contents);
    case lintervale::TCommandLine::Show:
        return RunShow(line);
    case lintervale::TCommandLine::Torrent:
        return RunTorrent(line);
    case lintervale::TCommandLine::Window:
        break;
    }
    if (!DisplayAvailable()) {
        std::fputs("lintervale: no display is available for the window", stderr);
        std::vector<std::string> files;
        for (const std::string& operand : line.Operands) {
            if (::access(operand.c_str(), F_OK) == 0) {
                files.push_back(operand);
            }
        }
        if (files.empty()) {
            std::fputs(".\n", stderr);
            return 3;
        }
        std::fputs("; printing the magnet links of the files given instead.\n", stderr);
        return RunMagnet(files, {});
    }
    return RunWindow(argc, argv);
}
