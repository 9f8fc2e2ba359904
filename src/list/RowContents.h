#pragma once

// A row made from a magnet link knows its hash, a name and trackers; its file count and size
// stay empty until the torrent's contents are known. Fetching them fills those cells in every
// row that holds the hash, and the change is kept so that it can be taken back and done again
// as any change of the list (by hash, into whatever rows hold it then).

#include "list/HashCellChanges.h"
#include "list/TorrentGrid.h"
#include "list/TorrentRow.h"

#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// The cells a torrent's contents give a row.
struct TContentsCells {
    std::string Name;
    std::string Files;
    std::string Size;
};

// The cells of the torrent in Bytes (a .torrent file), as adding the file would make them;
// raises ETorrentFileError when Bytes is no torrent.
TContentsCells ContentsCellsOf(std::string_view Bytes);

class TContentsChange {
public:
    // Writes Cells into every row that holds Hash, noting what the first of them held.
    // Returns how many rows were changed (0 when no row holds Hash: nothing is noted).
    int Fill(TTorrentGrid& Grid, const std::string& Hash, const TContentsCells& Cells);
    // Takes in a later change: a hash both changed keeps this one's old cells.
    void Absorb(const TContentsChange& Later);

    bool Empty() const { return m_Rows.Changes().empty(); }
    std::size_t Size() const { return m_Rows.Changes().size(); }

    void Undo(TTorrentGrid& Grid) const { Apply(Grid, false); }
    void Redo(TTorrentGrid& Grid) const { Apply(Grid, true); }

private:
    void Apply(TTorrentGrid& Grid, bool New) const;

    THashCellChanges<TContentsCells> m_Rows;
};

} // namespace lintervale
