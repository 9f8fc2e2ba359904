#pragma once

// The name a torrent's file is saved under: "<name>.torrent", from the torrent's own name.

#include <cstddef>
#include <string>
#include <string_view>

namespace lintervale {

// The longest stem, in bytes: room is left for " (n)" and ".torrent" within the 255 bytes
// that a file name may have.
inline constexpr std::size_t kMaxFileStemBytes = 230;

// Name made fit to be a file's name in any folder: "/", NUL and the other control characters
// (below 0x20, and 0x7f) each become "_"; a name longer than kMaxFileStemBytes is cut at the
// last whole UTF-8 character that fits. A name that is then empty, "." or "..", or that
// consists of blanks alone, gives way to Hash.
std::string TorrentFileStem(std::string_view Name, std::string_view Hash);

// The file name for Stem: "<stem>.torrent" for the first (Attempt 1), "<stem> (2).torrent"
// for the second and so on, for a folder that has the first name taken already.
std::string TorrentFileName(std::string_view Stem, int Attempt = 1);

} // namespace lintervale
