#include "fetch/TorrentBytes.h"

namespace lintervale {

namespace {

void AppendString(std::string& Out, std::string_view Text) {
    Out += std::to_string(Text.size());
    Out += ':';
    Out += Text;
}

} // namespace

std::string TorrentFileBytes(std::string_view Info, const std::vector<std::string>& Trackers) {
    std::string torrent = "d";
    if (!Trackers.empty()) {
        AppendString(torrent, "announce");
        AppendString(torrent, Trackers.front());
    }
    if (Trackers.size() > 1) {
        AppendString(torrent, "announce-list");
        torrent += 'l';
        for (const std::string& tracker : Trackers) {
            torrent += 'l';
            AppendString(torrent, tracker);
            torrent += 'e';
        }
        torrent += 'e';
    }
    AppendString(torrent, "info");
    torrent += Info;
    torrent += 'e';
    return torrent;
}

} // namespace lintervale
