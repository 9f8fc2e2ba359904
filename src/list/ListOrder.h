#pragma once

// The order of the list's rows: sorting it by a column, and the order as it was, kept so that
// a sort (or any reordering) can be taken back without taking back what came after it.
//
// Names, hashes and tracker cells sort as text, ignoring case, with runs of digits compared
// as numbers ("part 2" before "part 10"); the file count and the size ("1234 MB") sort by
// their value, and a cell that holds no number (a row made from a link) goes last. Equal rows
// keep their order. The current torrent stays the current row; the selection becomes just it.

#include "list/TorrentGrid.h"

#include <string>
#include <vector>

namespace lintervale {

// The new order of the data rows that sorting by Column gives (see TTorrentGrid::Reorder).
std::vector<int> SortedOrder(const TTorrentGrid& Grid, int Column, bool Descending);
// Sorts the grid; whether the order changed.
bool SortRows(TTorrentGrid& Grid, int Column, bool Descending);

// An order of the rows, kept by the rows' identities (a row's hash, or its cells when it has
// none).
class TRowOrder {
public:
    static TRowOrder Of(const TTorrentGrid& Grid);
    // Puts the rows the order knows back in that order, in the places they take now; rows it
    // does not know (added since) stay where they are. Whether anything moved.
    bool Restore(TTorrentGrid& Grid) const;
    bool operator==(const TRowOrder& Other) const {
        return m_Ends == Other.m_Ends && m_Identities == Other.m_Identities;
    }

private:
    // The rows' identities one after another, and where each ends.
    std::string m_Identities;
    std::vector<std::size_t> m_Ends;
};

// Compares two texts for people: ignoring case, digits as numbers. Negative, 0 or positive.
int CompareForPeople(const std::string& A, const std::string& B);

} // namespace lintervale
