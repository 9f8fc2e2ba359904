#pragma once

// The cells of the row that adding a torrent makes, and the reading of a .torrent file.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "metainfo/TorrentFile.h"

namespace lintervale {

// A file that cannot be read; the message names the file and the system's reason.
class EFileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Larger files are refused as corrupt metainfo before they are read into memory.
inline constexpr std::int64_t kMaxTorrentFileSize = std::int64_t{256} << 20;

struct TTorrentRow {
    std::string Name;     // column 1
    std::string Hash;     // column 2
    std::string Trackers; // column 3, the tracker cell
    std::string Files;    // column 4
    std::string Size;     // column 5
};

// The total size in whole MiB (an exact half goes to the even neighbour) and " MB".
std::string SizeText(std::int64_t Length);

// The row a loaded torrent makes. Line breaks in the name become spaces, so that a name can
// never split a line of the list data file.
TTorrentRow MakeTorrentRow(const TTorrentFile& Torrent);

// The whole file; raises EFileReadError, or ETorrentFileError for a file too large to be
// metainfo.
std::string ReadWholeFile(const std::string& FileName);

// Reads and loads a .torrent file and makes its row; raises EFileReadError or
// ETorrentFileError.
TTorrentRow LoadTorrentRow(const std::string& FileName);

} // namespace lintervale
