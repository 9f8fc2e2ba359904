#include "list/RowContents.h"

#include "metainfo/TorrentFile.h"

namespace lintervale {

namespace {

using G = TTorrentGrid;

TContentsCells CellsOfRow(const G& Grid, int Row) {
    return {Grid.Cell(G::ColName, Row), Grid.Cell(G::ColFiles, Row), Grid.Cell(G::ColSize, Row)};
}

void WriteCells(G& Grid, int Row, const TContentsCells& Cells) {
    Grid.SetCell(G::ColName, Row, Cells.Name);
    Grid.SetCell(G::ColFiles, Row, Cells.Files);
    Grid.SetCell(G::ColSize, Row, Cells.Size);
}

} // namespace

TContentsCells ContentsCellsOf(std::string_view Bytes) {
    TTorrentFile torrent;
    torrent.Load(Bytes);
    TTorrentRow row = MakeTorrentRow(torrent);
    return {std::move(row.Name), std::move(row.Files), std::move(row.Size)};
}

int TContentsChange::Fill(G& Grid, const std::string& Hash, const TContentsCells& Cells) {
    const std::vector<int> rows = Grid.RowsWithHash(Hash);
    if (rows.empty()) {
        return 0;
    }
    m_Rows.Changes().push_back({Hash, CellsOfRow(Grid, rows.front()), Cells});
    for (const int row : rows) {
        WriteCells(Grid, row, Cells);
    }
    return static_cast<int>(rows.size());
}

void TContentsChange::Absorb(const TContentsChange& Later) {
    m_Rows.Absorb(Later.m_Rows);
}

void TContentsChange::Apply(G& Grid, bool New) const {
    m_Rows.Apply(Grid, New,
                 [&Grid](int Row, const TContentsCells& Cells) { WriteCells(Grid, Row, Cells); });
}

} // namespace lintervale
