#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/MagnetCommand.h"

namespace {

constexpr const char* kUsage =
    "Usage: lintervale [-hidden] [FILE.torrent...]\n"
    "       lintervale --magnet FILE.torrent...\n"
    "       lintervale --help\n"
    "\n"
    "Turns BitTorrent .torrent files into magnet links.\n"
    "\n"
    "  --magnet FILE...  print the magnet link of each file, one per line, in the\n"
    "                    order given, without opening a window; a file that cannot\n"
    "                    be read or is not valid metainfo is named on stderr with\n"
    "                    the reason, and the others still get their links. The exit\n"
    "                    status is 0 only when every file gave a link.\n"
    "  --help            show this text.\n"
    "\n"
    "Without --magnet the program opens its window and adds the files given.\n";

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
        static char buffer[1 << 16];
        std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
        return lintervale::RunMagnetCommand(args, stdout, stderr);
    }
    std::fputs("lintervale: the window is not built yet; use --magnet FILE... (see --help)\n",
               stderr);
    return 3;
}
