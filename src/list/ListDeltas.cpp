#include "list/ListDeltas.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace lintervale {

namespace {

using G = TTorrentGrid;
using TRow = G::TRow;

// A row without any text holds no torrent: the empty first row of an empty list.
bool IsBlank(const TRow& Row) {
    return std::all_of(Row.begin(), Row.end(),
                       [](const std::string& cell) { return cell.empty(); });
}

// Counts rows: by hash where they have one, by all their cells where they have none.
class TRowCounter {
public:
    void Add(const TRow& Row) {
        if (!Row[G::ColHash].empty()) {
            ++m_Hashes[Row[G::ColHash]];
        } else {
            ++m_Unhashed[Row];
        }
    }
    // Counts Row off when one is left; false when none is.
    bool Take(const TRow& Row) {
        if (!Row[G::ColHash].empty()) {
            return TakeFrom(m_Hashes, Row[G::ColHash]);
        }
        return TakeFrom(m_Unhashed, Row);
    }

private:
    template <typename M, typename K> static bool TakeFrom(M& Map, const K& Key) {
        const auto it = Map.find(Key);
        if (it == Map.end()) {
            return false;
        }
        if (--it->second == 0) {
            Map.erase(it);
        }
        return true;
    }

    std::unordered_map<std::string, int> m_Hashes;
    std::map<TRow, int> m_Unhashed;
};

// The data rows as they stand, without the empty first row of an empty list.
std::vector<TRow> ListedRows(const G& Grid) {
    std::vector<TRow> rows = DataRows(Grid);
    if (rows.size() == 1 && IsBlank(rows.front())) {
        rows.clear();
    }
    return rows;
}

} // namespace

std::vector<TRow> DataRows(const G& Grid) {
    std::vector<TRow> rows;
    rows.reserve(static_cast<std::size_t>(Grid.RowCount() - 1));
    for (int r = 1; r < Grid.RowCount(); ++r) {
        rows.push_back(Grid.RowCells(r));
    }
    return rows;
}

TRowRemoval TRowRemoval::Between(const std::vector<TRow>& Before, const G& After) {
    TRowCounter listed;
    for (const TRow& row : ListedRows(After)) {
        if (!IsBlank(row)) {
            listed.Add(row);
        }
    }
    TRowRemoval removal;
    const std::size_t count = Before.size();
    std::vector<bool> kept(count);
    for (std::size_t i = 0; i < count; ++i) {
        kept[i] = IsBlank(Before[i]) || listed.Take(Before[i]);
    }
    for (std::size_t i = 0; i < count;) {
        if (kept[i]) {
            ++i;
            continue;
        }
        TRun run;
        run.Position = static_cast<int>(i) + 1;
        if (i > 0) {
            run.Leader = Before[i - 1][G::ColHash];
        }
        while (i < count && !kept[i]) {
            run.Rows.push_back(Before[i]);
            ++i;
        }
        run.AtBottom = i == count;
        if (!run.AtBottom) {
            run.Follower = Before[i][G::ColHash];
        }
        removal.m_Runs.push_back(std::move(run));
    }
    return removal;
}

std::size_t TRowRemoval::Size() const {
    std::size_t size = 0;
    for (const TRun& run : m_Runs) {
        size += run.Rows.size();
    }
    return size;
}

TRowRemoval::TRestored TRowRemoval::Restore(G& Grid) {
    // The rows listed now (none when only the empty first row is there), known by hash: the
    // place of each hash's first row. The views point into the grid, which stays as it is
    // until the blocks go in, and into the runs.
    const bool blank = Grid.RowCount() == 2 && IsBlank(Grid.RowCells(1));
    const std::size_t listed = blank ? 0 : static_cast<std::size_t>(Grid.RowCount() - 1);
    std::unordered_map<std::string_view, std::size_t> at;
    at.reserve(listed + Size());
    for (std::size_t i = 0; i < listed; ++i) {
        const std::string& hash = Grid.Cell(G::ColHash, static_cast<int>(i) + 1);
        if (!hash.empty()) {
            at.try_emplace(hash, i);
        }
    }

    // Where each block goes: before the listed row of that index (listed: last).
    const auto find = [&](const std::string& hash) {
        return hash.empty() ? at.end() : at.find(hash);
    };
    std::vector<std::pair<std::size_t, std::size_t>> slots; // (slot, run)
    for (std::size_t k = 0; k < m_Runs.size(); ++k) {
        const TRun& run = m_Runs[k];
        std::size_t slot = std::min(static_cast<std::size_t>(run.Position - 1), listed);
        if (run.AtBottom) {
            slot = listed;
        } else if (const auto follower = find(run.Follower); follower != at.end()) {
            slot = follower->second;
        } else if (const auto leader = find(run.Leader); leader != at.end()) {
            slot = leader->second + 1;
        }
        slots.emplace_back(slot, k);
    }
    std::stable_sort(slots.begin(), slots.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    // The blocks, in the list's order; a row whose hash is listed (or put back already) stays
    // out.
    TRestored result;
    std::vector<std::pair<std::size_t, std::vector<TRow>>> blocks; // (slot, rows)
    std::size_t putBefore = 0;
    m_Restored.clear();
    for (const auto& [slot, k] : slots) {
        std::vector<TRow> rows;
        for (const TRow& row : m_Runs[k].Rows) {
            const std::string& hash = row[G::ColHash];
            if (!hash.empty() && !at.try_emplace(hash, listed).second) {
                ++result.Skipped;
                continue;
            }
            rows.push_back(row);
            TRow key;
            if (hash.empty()) {
                key = row;
            } else {
                key[G::ColHash] = hash;
            }
            m_Restored.push_back(std::move(key));
            ++result.Restored;
        }
        if (result.FirstRow == 0 && !rows.empty()) {
            result.FirstRow = static_cast<int>(slot + putBefore) + 1;
            result.LastRow = static_cast<int>(slot + putBefore + rows.size());
        }
        putBefore += rows.size();
        blocks.emplace_back(slot, std::move(rows));
    }
    // The lowest block first, so that the places of those above hold.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        Grid.InsertRows(static_cast<int>(block->first) + 1, std::move(block->second));
    }
    if (blank && result.Restored > 0) {
        Grid.RemoveRow(Grid.RowCount() - 1);
    }
    return result;
}

void TRowRemoval::RemoveAgain(G& Grid) {
    TRowCounter going;
    for (const TRow& key : m_Restored) {
        going.Add(key);
    }
    m_Restored.clear();
    if (Grid.RowCount() == 2 && IsBlank(Grid.RowCells(1))) {
        return;
    }
    // A row with a hash is known by it alone: its trackers may have changed since.
    std::vector<bool> goes(static_cast<std::size_t>(Grid.RowCount()));
    for (int r = 1; r < Grid.RowCount(); ++r) {
        goes[static_cast<std::size_t>(r)] = going.Take(Grid.RowCells(r));
    }
    // Runs of rows go at once, the lowest first, so the rows above keep their places.
    for (int r = Grid.RowCount() - 1; r >= 1;) {
        if (!goes[static_cast<std::size_t>(r)]) {
            --r;
            continue;
        }
        int top = r;
        while (top > 1 && goes[static_cast<std::size_t>(top - 1)]) {
            --top;
        }
        Grid.RemoveRows(top, r);
        r = top - 1;
    }
}

void TRowRemoval::CollectHashes(std::unordered_set<std::string>& Hashes) const {
    for (const TRun& run : m_Runs) {
        for (const G::TRow& row : run.Rows) {
            if (!row[G::ColHash].empty()) {
                Hashes.insert(row[G::ColHash]);
            }
        }
    }
}

int TRowAddition::Undo(G& Grid) {
    const std::unordered_set<std::string> added(m_Hashes.begin(), m_Hashes.end());
    // Runs of added rows go at once, the lowest first, so the rows above keep their places;
    // each run is kept with the rows around it as a removal would note it, without comparing
    // the whole list before and after.
    std::vector<TRowRemoval::TRun> runs;
    const int last = Grid.RowCount() - 1;
    int removed = 0;
    for (int r = last; r >= 1;) {
        if (added.count(Grid.Cell(G::ColHash, r)) == 0) {
            --r;
            continue;
        }
        int top = r;
        while (top > 1 && added.count(Grid.Cell(G::ColHash, top - 1)) > 0) {
            --top;
        }
        TRowRemoval::TRun run;
        for (int k = top; k <= r; ++k) {
            if (!IsBlank(Grid.RowCells(k))) {
                run.Rows.push_back(Grid.RowCells(k));
            }
        }
        run.Position = top;
        if (top > 1) {
            run.Leader = Grid.Cell(G::ColHash, top - 1);
        }
        run.AtBottom = r == last;
        if (!run.AtBottom) {
            run.Follower = Grid.Cell(G::ColHash, r + 1);
        }
        if (!run.Rows.empty()) {
            runs.push_back(std::move(run));
        }
        Grid.RemoveRows(top, r);
        removed += r - top + 1;
        r = top - 1;
    }
    m_Removal = TRowRemoval();
    m_Removal.m_Runs.assign(std::make_move_iterator(runs.rbegin()),
                            std::make_move_iterator(runs.rend()));
    return removed;
}

TTrackerChange TTrackerChange::Before(const G& Grid, int First, int Last) {
    TTrackerChange change;
    std::unordered_set<std::string> seen;
    for (int r = std::max(First, 1); r <= Last && r < Grid.RowCount(); ++r) {
        const std::string& hash = Grid.Cell(G::ColHash, r);
        if (!hash.empty() && seen.insert(hash).second) {
            change.m_Cells.Changes().push_back({hash, Grid.Cell(G::ColTrackers, r), std::string()});
        }
    }
    return change;
}

TTrackerChange TTrackerChange::Before(const G& Grid, const std::vector<std::string>& Hashes) {
    TTrackerChange change;
    std::unordered_set<std::string> wanted(Hashes.begin(), Hashes.end());
    for (int r = 1; r < Grid.RowCount(); ++r) {
        const std::string& hash = Grid.Cell(G::ColHash, r);
        if (!hash.empty() && wanted.erase(hash) > 0) {
            change.m_Cells.Changes().push_back({hash, Grid.Cell(G::ColTrackers, r), std::string()});
        }
    }
    return change;
}

void TTrackerChange::Absorb(const TTrackerChange& Later) {
    m_Cells.Absorb(Later.m_Cells);
}

void TTrackerChange::Record(const std::string& Hash, const std::string& Old,
                            const std::string& New) {
    auto& cells = m_Cells.Changes();
    if (Hash.empty() || (Old == New && (cells.empty() || cells.back().Hash != Hash))) {
        return;
    }
    if (!cells.empty() && cells.back().Hash == Hash) {
        cells.back().New = New;
        return;
    }
    cells.push_back({Hash, Old, New});
}

void TTrackerChange::After(const G& Grid) {
    auto& cells = m_Cells.Changes();
    std::unordered_map<std::string, const std::string*> now;
    for (const auto& cell : cells) {
        now.emplace(cell.Hash, nullptr);
    }
    for (int r = 1; r < Grid.RowCount(); ++r) {
        const auto it = now.find(Grid.Cell(G::ColHash, r));
        if (it != now.end() && it->second == nullptr) {
            it->second = &Grid.Cell(G::ColTrackers, r);
        }
    }
    // A hash no row holds any more, or a cell the command left as it was, is no change.
    std::erase_if(cells, [&](auto& cell) {
        const std::string* text = now[cell.Hash];
        if (text == nullptr || *text == cell.Old) {
            return true;
        }
        cell.New = *text;
        return false;
    });
}

void TTrackerChange::Apply(G& Grid, bool New) const {
    m_Cells.Apply(Grid, New, [&Grid](int Row, const std::string& Trackers) {
        Grid.SetCell(G::ColTrackers, Row, Trackers);
    });
}

} // namespace lintervale
