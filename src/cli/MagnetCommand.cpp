#include "cli/MagnetCommand.h"

#include "cli/FileCommand.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <exception>

namespace lintervale {

namespace {

TFileOutcome LinkOf(const std::string& file, TFileBuffer& buffer, TFileSink& out) {
    try {
        const TTorrentRow row = LoadTorrentRow(file, buffer);
        out.Write(MagnetLinkOfRow(row.Name, row.Hash, row.Trackers) + '\n');
        return {true, {}};
    } catch (const ETorrentFileError& error) {
        return {false, file + ": " + MessageWithCause(error.what(), error.Cause()) + '\n'};
    } catch (const std::exception& error) {
        return {false, file + ": " + error.what() + '\n'};
    }
}

} // namespace

int RunMagnetCommand(const std::vector<std::string>& Files, std::FILE* Out, std::FILE* Err) {
    return RunFileCommand(Files, LinkOf, {}, Out, Err);
}

} // namespace lintervale
