#include "list/TorrentGrid.h"

#include <algorithm>

namespace lintervale {

TTorrentGrid::TTorrentGrid() : m_Rows(2) {
    m_HashCount[std::string()] = 2;
}

void TTorrentGrid::CountHash(const std::string& Hash, int Delta) {
    auto it = m_HashCount.try_emplace(Hash, 0).first;
    it->second += Delta;
    if (it->second == 0) {
        m_HashCount.erase(it);
    }
}

void TTorrentGrid::SetCell(int Column, int Row, std::string Text) {
    std::string& cell = m_Rows[Row][Column];
    if (cell == Text) {
        return;
    }
    if (Column == ColHash) {
        CountHash(cell, -1);
        CountHash(Text, +1);
    }
    cell = std::move(Text);
    if (m_Observer != nullptr) {
        m_Observer->CellsChanged(Row, Row);
    }
}

void TTorrentGrid::SetRowCells(int Row, TRow Cells) {
    CountHash(m_Rows[Row][ColHash], -1);
    CountHash(Cells[ColHash], +1);
    m_Rows[Row] = std::move(Cells);
    if (m_Observer != nullptr) {
        m_Observer->CellsChanged(Row, Row);
    }
}

void TTorrentGrid::SetRowCount(int Count) {
    Count = std::max(Count, 2);
    const int old = RowCount();
    if (Count > old) {
        if (m_Observer != nullptr) {
            m_Observer->RowsAboutToBeInserted(old, Count - 1);
        }
        m_Rows.resize(static_cast<std::size_t>(Count));
        CountHash(std::string(), Count - old);
        Notify(&TGridObserver::RowsInserted);
    } else if (Count < old) {
        if (m_Observer != nullptr) {
            m_Observer->RowsAboutToBeRemoved(Count, old - 1);
        }
        for (int r = Count; r < old; ++r) {
            CountHash(m_Rows[r][ColHash], -1);
        }
        m_Rows.resize(static_cast<std::size_t>(Count));
        Notify(&TGridObserver::RowsRemoved);
        Clamp();
    }
}

void TTorrentGrid::InsertRow(int Row) {
    if (m_Observer != nullptr) {
        m_Observer->RowsAboutToBeInserted(Row, Row);
    }
    if (Row == 1) {
        // The common case, a new torrent on top: a deque takes it without moving the rest.
        TRow headings = std::move(m_Rows.front());
        m_Rows.front() = TRow{};
        m_Rows.push_front(std::move(headings));
    } else {
        m_Rows.insert(m_Rows.begin() + Row, TRow{});
    }
    CountHash(std::string(), +1);
    Notify(&TGridObserver::RowsInserted);
    // A view shifts its selection with the rows; the grid keeps the row numbers.
    Notify(&TGridObserver::SelectionChanged);
}

void TTorrentGrid::InsertRows(int Row, std::vector<TRow> Rows) {
    if (Rows.empty()) {
        return;
    }
    if (m_Observer != nullptr) {
        m_Observer->RowsAboutToBeInserted(Row, Row + static_cast<int>(Rows.size()) - 1);
    }
    for (const TRow& row : Rows) {
        CountHash(row[ColHash], +1);
    }
    m_Rows.insert(m_Rows.begin() + Row, std::make_move_iterator(Rows.begin()),
                  std::make_move_iterator(Rows.end()));
    Notify(&TGridObserver::RowsInserted);
    Notify(&TGridObserver::SelectionChanged);
}

void TTorrentGrid::RemoveRow(int Row) {
    if (RowCount() <= 2) {
        SetRowCells(Row, TRow{});
        return;
    }
    if (m_Observer != nullptr) {
        m_Observer->RowsAboutToBeRemoved(Row, Row);
    }
    CountHash(m_Rows[Row][ColHash], -1);
    m_Rows.erase(m_Rows.begin() + Row);
    Notify(&TGridObserver::RowsRemoved);
    Clamp();
}

void TTorrentGrid::RemoveRows(int First, int Last) {
    First = std::max(First, 1);
    Last = std::min(Last, RowCount() - 1);
    if (First > Last) {
        return;
    }
    if (Last - First + 1 >= RowCount() - 1) {
        // Every data row: the empty first row of an empty list stays.
        if (RowCount() > 2) {
            RemoveRows(2, RowCount() - 1);
        }
        SetRowCells(1, TRow{});
        return;
    }
    if (m_Observer != nullptr) {
        m_Observer->RowsAboutToBeRemoved(First, Last);
    }
    for (int r = First; r <= Last; ++r) {
        CountHash(m_Rows[static_cast<std::size_t>(r)][ColHash], -1);
    }
    m_Rows.erase(m_Rows.begin() + First, m_Rows.begin() + Last + 1);
    Notify(&TGridObserver::RowsRemoved);
    Clamp();
}

void TTorrentGrid::MoveRow(int From, int To) {
    if (From == To || From < 1 || To < 1 || From >= RowCount() || To >= RowCount()) {
        return;
    }
    if (m_Observer != nullptr) {
        m_Observer->RowAboutToBeMoved(From, To);
    }
    TRow moving = std::move(m_Rows[From]);
    m_Rows.erase(m_Rows.begin() + From);
    m_Rows.insert(m_Rows.begin() + To, std::move(moving));
    Notify(&TGridObserver::RowMoved);
    // The moved row is the one the user holds: it becomes the current and only selected row.
    m_Anchor = To;
    m_Row = To;
    Notify(&TGridObserver::SelectionChanged);
}

void TTorrentGrid::Reorder(const std::vector<int>& Order) {
    if (Order.size() + 1 != m_Rows.size()) {
        return;
    }
    Notify(&TGridObserver::RowsAboutToBeReordered);
    std::deque<TRow> rows;
    rows.push_back(std::move(m_Rows.front()));
    int row = m_Row;
    int anchor = m_Anchor;
    for (std::size_t k = 0; k < Order.size(); ++k) {
        const int from = Order[k];
        rows.push_back(std::move(m_Rows[static_cast<std::size_t>(from)]));
        if (from == m_Row) {
            row = static_cast<int>(k) + 1;
        }
        if (from == m_Anchor) {
            anchor = static_cast<int>(k) + 1;
        }
    }
    m_Rows = std::move(rows);
    m_Row = row;
    m_Anchor = anchor;
    Notify(&TGridObserver::RowsReordered);
    Notify(&TGridObserver::SelectionChanged);
}

bool TTorrentGrid::Select(int Anchor, int Current) {
    const int last = RowCount() - 1;
    const int row = std::clamp(Current, 1, last);
    const bool moved = row != m_Row;
    m_Anchor = std::clamp(Anchor, 1, last);
    m_Row = row;
    Notify(&TGridObserver::SelectionChanged);
    return moved;
}

void TTorrentGrid::Clamp() {
    const int last = RowCount() - 1;
    if (m_Row > last || m_Anchor > last) {
        m_Row = std::min(m_Row, last);
        m_Anchor = std::min(m_Anchor, last);
    }
    Notify(&TGridObserver::SelectionChanged);
}

std::vector<int> TTorrentGrid::RowsWithHash(const std::string& Hash) const {
    std::vector<int> rows;
    if (m_HashCount.find(Hash) == m_HashCount.end()) {
        return rows;
    }
    for (int r = 0; r < RowCount(); ++r) {
        if (m_Rows[r][ColHash] == Hash) {
            rows.push_back(r);
        }
    }
    return rows;
}

} // namespace lintervale
