#include "magnet/MagnetLink.h"

#include "magnet/URLEncoder.h"
#include "trackers/TrackerCell.h"

namespace lintervale {

std::string MagnetLinkOfRow(std::string_view Name, std::string_view Hash,
                            std::string_view TrackerCell) {
    std::string link = "magnet:?xt=urn:btih:";
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
