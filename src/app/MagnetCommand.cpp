#include "app/MagnetCommand.h"

#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <exception>

namespace lintervale {

int RunMagnetCommand(const std::vector<std::string>& Files, std::FILE* Out, std::FILE* Err) {
    int status = 0;
    std::string line;
    TFileBuffer buffer;
    for (const std::string& file : Files) {
        try {
            const TTorrentRow row = LoadTorrentRow(file, buffer);
            line = MagnetLinkOfRow(row.Name, row.Hash, row.Trackers);
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), Out);
        } catch (const std::exception& error) {
            std::fflush(Out);
            std::fprintf(Err, "%s: %s\n", file.c_str(), error.what());
            std::fflush(Err);
            status = 1;
        }
    }
    std::fflush(Out);
    return status;
}

} // namespace lintervale
