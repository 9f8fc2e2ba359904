// The program's entry: the headless commands run here on the core alone; the window lives in
// a library loaded only when it is needed, so `--magnet` starts as fast as a plain command.

#include "cli/MagnetCommand.h"

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
    "       lintervale --help\n"
    "\n"
    "Turns BitTorrent .torrent files into magnet links.\n"
    "\n"
    "Without options the window opens and the files given are added to its list; when a\n"
    "copy of the program already runs, the files are handed to it instead. -hidden as the\n"
    "first argument starts with the window hidden in the tray.\n"
    "\n"
    "  --magnet FILE...  print the magnet link of each file, one per line, in the\n"
    "                    order given, without opening a window; a file that cannot\n"
    "                    be read or is not valid metainfo is named on stderr with\n"
    "                    the reason, and the others still get their links. The exit\n"
    "                    status is 0 only when every file gave a link.\n"
    "  --help            show this text.\n";

std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return ".";
    }
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

bool DisplayAvailable() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int RunWindow(int argc, char** argv) {
    const std::string library = ProgramFolder() + "/liblintervale_window.so";
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "lintervale: cannot load the window library: %s\n", ::dlerror());
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

int RunMagnet(std::vector<std::string> files) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    return lintervale::RunMagnetCommand(files, stdout, stderr);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "--magnet") {
        if (args.size() == 1) {
            std::fputs("lintervale: --magnet needs at least one file\n", stderr);
            std::fputs(kUsage, stderr);
            return 2;
        }
        args.erase(args.begin());
        return RunMagnet(std::move(args));
    }
    if (!DisplayAvailable()) {
        std::fputs("lintervale: no display is available for the window", stderr);
        std::vector<std::string> files;
        for (const std::string& arg : args) {
            if (::access(arg.c_str(), F_OK) == 0) {
                files.push_back(arg);
            }
        }
        if (files.empty()) {
            std::fputs(".\n", stderr);
            return 3;
        }
        std::fputs("; printing the magnet links of the files given instead.\n", stderr);
        return RunMagnet(std::move(files));
    }
    return RunWindow(argc, argv);
}
