#pragma once

// A list saved earlier, brought into the list in use: its rows go below the rows listed now,
// in their saved order, so that the newer rows stay on top. A saved row whose torrent is
// listed already is passed over; so are rows with no text at all (the empty first row of an
// empty list). The empty first row of an empty list in use is filled in place.

#include "list/TorrentGrid.h"

#include <string>
#include <vector>

namespace lintervale {

struct TAppendedRows {
    int Added = 0;
    int Listed = 0;                  // saved rows whose torrent was listed already
    std::vector<std::string> Hashes; // of the rows added that have one
};

TAppendedRows AppendSavedRows(TTorrentGrid& Grid, const TTorrentGrid& Saved);

// The data rows of Grid that hold any text.
int FilledRows(const TTorrentGrid& Grid);

} // namespace lintervale
