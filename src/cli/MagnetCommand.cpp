#include "cli/MagnetCommand.h"

#include "cli/FileCommand.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <exception>

namespace lintervale {

namespace {

TFileOutcome LinkOf(const std::string& file, TFileBuffer& buffer, TFileSink& out,
                    const TLinkContents& contents) {
    try {
        ReadCommandFile(file, buffer);
        TTorrentFile torrent;
        torrent.Load(buffer.View());
        const TTorrentRow row = MakeTorrentRow(torrent);
        out.Write(MagnetLink(LinkFactsOf(row, torrent), contents) + '\n');
        return {true, {}};
    } catch (...) {
        return {false, file + ": " + FailureText() + '\n'};
    }
}

} // namespace

int RunMagnetCommand(const std::vector<std::string>& Files, const TLinkContents& Contents,
                     std::FILE* Out, std::FILE* Err) {
    const TFileWork work = [&Contents](const std::string& file, TFileBuffer& buffer,
                                       TFileSink& out) {
        return LinkOf(file, buffer, out, Contents);
    };
    return RunFileCommand(Files, work, {}, Out, Err);
}

} // namespace lintervale
