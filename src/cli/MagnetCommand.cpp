#include "cli/MagnetCommand.h"

#include "cli/FileCommand.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <exception>

namespace lintervale {

namespace {

TFileOutcome LinkOf(const std::string& file, TFileBuffer& buffer, TFileSink& out) {
    try {
        ReadCommandFile(file, buffer);
        TTorrentFile torrent;
        torrent.Load(buffer.View());
        const TTorrentRow row = MakeTorrentRow(torrent);
        out.Write(MagnetLinkOfRow(row.Name, row.Hash, row.Trackers) + '\n');
        return {true, {}};
    } catch (...) {
        return {false, file + ": " + FailureText() + '\n'};
    }
}

} // namespace

int RunMagnetCommand(const std::vector<std::string>& Files, std::FILE* Out, std::FILE* Err) {
    return RunFileCommand(Files, LinkOf, {}, Out, Err);
}

} // namespace lintervale
