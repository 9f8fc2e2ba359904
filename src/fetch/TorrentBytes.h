#pragma once

// The .torrent that fetched contents make.

#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// Info (a bencoded dictionary, kept byte for byte) with Trackers: the first as "announce",
// all of them as "announce-list", a tier each, when there are several, none without
// trackers. Keys are in sorted order, as bencoding wants them.
std::string TorrentFileBytes(std::string_view Info, const std::vector<std::string>& Trackers);

} // namespace lintervale
