#pragma once

// The cells of the row that adding a torrent makes, and the reading of a .torrent file.

#include "list/FileBuffer.h"
#include "magnet/MagnetLink.h"
#include "metainfo/TorrentFile.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace lintervale {

struct TTorrentRow {
    std::string Name;     // column 1
    std::string Hash;     // column 2
    std::string Trackers; // column 3, the tracker cell
    std::string Files;    // column 4
    std::string Size;     // column 5
};

// The total size in whole MiB (an exact half goes to the even neighbour) and " MB".
std::string SizeText(std::int64_t Length);

// The text with every control byte (0x00 to 0x1F and 0x7F) replaced by a space.
std::string SpacesForControlBytes(std::string Text);

// The tracker cell of a new row: control bytes in each tracker become spaces, and trackers
// that differed only in them are written once.
std::string NewTrackerCell(const std::vector<std::string>& Trackers);

// The row a loaded torrent makes: its trackers in the tracker cell's written form (empty
// when it has none). Control bytes in the name and the trackers become spaces, so that no
// cell can end or shift a line of the list data file, and no link carries them.
TTorrentRow MakeTorrentRow(const TTorrentFile& Torrent);

// What a link can say of a loaded torrent whose row is Row: the row's cells, a hybrid's v2
// hash, the web seeds and the exact size. The facts refer to Row, which must outlive them.
TLinkFacts LinkFactsOf(const TTorrentRow& Row, const TTorrentFile& Torrent);

// Reads and loads a .torrent file and makes its row; raises EFileReadError or
// ETorrentFileError. A caller adding many files passes one buffer for all of them.
TTorrentRow LoadTorrentRow(const std::string& FileName, TFileBuffer& Buffer);
TTorrentRow LoadTorrentRow(const std::string& FileName);

} // namespace lintervale
