#include "list/RowContents.h"

#include "metainfo/TorrentFile.h"

#include <unordered_map>

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
    m_Rows.push_back({Hash, CellsOfRow(Grid, rows.front()), Cells});
    for (const int row : rows) {
        WriteCells(Grid, row, Cells);
    }
    return static_cast<int>(rows.size());
}

void TContentsChange::Absorb(const TContentsChange& Later) {
    std::unordered_map<std::string, std::size_t> mine;
    for (std::size_t i = 0; i < m_Rows.size(); ++i) {
        mine.emplace(m_Rows[i].Hash, i);
    }
    for (const TFilled& later : Later.m_Rows) {
        if (const auto it = mine.find(later.Hash); it != mine.end()) {
            m_Rows[it->second].New = later.New;
        } else {
            mine.emplace(later.Hash, m_Rows.size());
            m_Rows.push_back(later);
        }
    }
}

void TContentsChange::Apply(G& Grid, bool New) const {
    std::unordered_map<std::string, const TContentsCells*> cells;
    for (const TFilled& filled : m_Rows) {
        cells.emplace(filled.Hash, New ? &filled.New : &filled.Old);
    }
    for (int r = 1; r < Grid.RowCount(); ++r) {
        const auto it = cells.find(Grid.Cell(G::ColHash, r));
        if (it != cells.end()) {
            WriteCells(Grid, r, *it->second);
        }
    }
}

} // namespace lintervale
