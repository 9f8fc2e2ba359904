#include "magnet/MagnetLink.h"

#include "magnet/URLEncoder.h"
#include "trackers/TrackerCell.h"

namespace lintervale {

std::string MagnetLinkOfRow(std::string_view Name, std::string_view Hash,
                            std::string_view TrackerCell) {
    // A 64-digit hash is a BitTorrent v2 SHA-256: a multihash (0x12 SHA-256, 0x20 bytes).
    std::string link = Hash.size() == 64 ? "magnet:?xt=urn:btmh:1220" : "magnet:?xt=urn:btih:";
    link += Hash;
    link += "&dn=";
    link += URLEncode(Name);
    link += "&tr=";
    const std::vector<std::string> trackers = ReadTrackerCell(TrackerCell);
    for (std::size_t i = 0; i < trackers.size(); ++i) {
        if (i > 0) {
            link += "&tr=";
        }
        link += URLEncode(trackers[i]);
    }
    return link;
}

} // namespace lintervale
