#pragma once

#include <string>
#include <string_view>

namespace lintervale {

// The magnet link of a list row, from its name, hash and tracker cell texts:
// "magnet:?xt=urn:btih:" + hash + "&dn=" + encoded name + "&tr=" + the cell's trackers, each
// encoded, joined by "&tr=". A cell without trackers still ends the link with "&tr=". A hash
// of 64 digits (a BitTorrent v2 torrent) gives "magnet:?xt=urn:btmh:1220" + hash instead.
std::string MagnetLinkOfRow(std::string_view Name, std::string_view Hash,
                            std::string_view TrackerCell);

} // namespace lintervale
