#include "list/SavedRows.h"

#include <algorithm>

namespace lintervale {

namespace {

bool Blank(const TTorrentGrid::TRow& Row) {
    return std::all_of(Row.begin(), Row.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

} // namespace

TAppendedRows AppendSavedRows(TTorrentGrid& Grid, const TTorrentGrid& Saved) {
    TAppendedRows result;
    bool empty = Grid.RowCount() == 2 && Blank(Grid.RowCells(1));
    for (int r = 1; r < Saved.RowCount(); ++r) {
        const TTorrentGrid::TRow& row = Saved.RowCells(r);
        if (Blank(row)) {
            continue;
        }
        const std::string& hash = row[TTorrentGrid::ColHash];
        if (!hash.empty() && !Grid.RowsWithHash(hash).empty()) {
            ++result.Listed;
            continue;
        }
        if (empty) {
            empty = false;
        } else {
            Grid.InsertRow(Grid.RowCount());
        }
        Grid.SetRowCells(Grid.RowCount() - 1, row);
        ++result.Added;
        if (!hash.empty()) {
            result.Hashes.push_back(hash);
        }
    }
    return result;
}

int FilledRows(const TTorrentGrid& Grid) {
    int filled = 0;
    for (int r = 1; r < Grid.RowCount(); ++r) {
        filled += Blank(Grid.RowCells(r)) ? 0 : 1;
    }
    return filled;
}

} // namespace lintervale
