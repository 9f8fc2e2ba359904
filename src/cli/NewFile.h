#pragma once

// Writing a file into a folder without ever replacing one that is there.

#include <string>
#include <string_view>

namespace lintervale {

// Writes Bytes into Folder as "<Stem>.torrent", or "<Stem> (2).torrent" and so on when that
// is taken, and returns the path written. The bytes go to a hidden file of their own first,
// which is then renamed to the first free name in one step, so a file of that name is never
// replaced nor seen half-written. Raises std::runtime_error with the system's reason.
std::string WriteNewTorrentFile(const std::string& Folder, const std::string& Stem,
                                std::string_view Bytes);

} // namespace lintervale
