#pragma once

// Changes of a row's cells, known by the row's hash rather than its place: an undo or redo
// writes them into every row that holds the hash then, wherever rows have moved meanwhile.
// TCells is what one change holds for a row (a tracker cell, or a torrent's contents cells).

#include "list/TorrentGrid.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace lintervale {

template <typename TCells> struct THashCellChange {
    std::string Hash;
    TCells Old;
    TCells New;
};

template <typename TCells> class THashCellChanges {
public:
    using TChange = THashCellChange<TCells>;

    std::vector<TChange>& Changes() { return m_Changes; }
    const std::vector<TChange>& Changes() const { return m_Changes; }

    // Takes in later changes: for a hash both changed, the old cells are this one's and the
    // new cells the later one's (so one undo takes back both).
    void Absorb(const THashCellChanges& Later) {
        std::unordered_map<std::string, std::size_t> mine;
        mine.reserve(m_Changes.size());
        for (std::size_t i = 0; i < m_Changes.size(); ++i) {
            mine.emplace(m_Changes[i].Hash, i);
        }
        for (const TChange& later : Later.m_Changes) {
            if (const auto it = mine.find(later.Hash); it != mine.end()) {
                m_Changes[it->second].New = later.New;
            } else {
                mine.emplace(later.Hash, m_Changes.size());
                m_Changes.push_back(later);
            }
        }
    }

    // Calls Write(Row, Cells) for every row that holds a changed hash, with the new cells or
    // the old ones.
    template <typename TWrite> void Apply(TTorrentGrid& Grid, bool New, TWrite Write) const {
        std::unordered_map<std::string, const TCells*> cells;
        cells.reserve(m_Changes.size());
        for (const TChange& change : m_Changes) {
            cells.emplace(change.Hash, New ? &change.New : &change.Old);
        }
        for (int r = 1; r < Grid.RowCount(); ++r) {
            const auto it = cells.find(Grid.Cell(TTorrentGrid::ColHash, r));
            if (it != cells.end()) {
                Write(r, *it->second);
            }
        }
    }

private:
    std::vector<TChange> m_Changes;
};

} // namespace lintervale
