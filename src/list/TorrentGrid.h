#pragma once

// The torrent list's only store: a grid of text cells, six columns, row 0 the headings and
// rows 1.. the torrents (newest on top), with a current row and a contiguous selection of
// whole rows between an anchor row and the current row.
//
// Invariants: at least two rows (while no torrent is listed, row 1 is the empty first row);
// the current row and the anchor are data rows (1 .. RowCount - 1). Cells hold UTF-8 text.
//
// Every change is announced to the observer, before and after where a view needs both, so a
// view can follow without copying the cells.

#include <array>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace lintervale {

class TGridObserver {
public:
    virtual ~TGridObserver() = default;
    // Rows First..Last (grid rows) are about to appear / have appeared.
    virtual void RowsAboutToBeInserted(int First, int Last) = 0;
    virtual void RowsInserted() = 0;
    virtual void RowsAboutToBeRemoved(int First, int Last) = 0;
    virtual void RowsRemoved() = 0;
    // Row From is about to move to position To (both grid rows, before the move).
    virtual void RowAboutToBeMoved(int From, int To) = 0;
    virtual void RowMoved() = 0;
    // Cells of rows FirstRow..LastRow changed (row 0 means the headings).
    virtual void CellsChanged(int FirstRow, int LastRow) = 0;
    // The current row or the selection changed.
    virtual void SelectionChanged() = 0;
    // The data rows are about to take another order / have taken it (a sort).
    virtual void RowsAboutToBeReordered() {}
    virtual void RowsReordered() {}
};

class TTorrentGrid {
public:
    static constexpr int kColumns = 6;
    enum TColumn {
        ColFixed = 0,
        ColName = 1,
        ColHash = 2,
        ColTrackers = 3,
        ColFiles = 4,
        ColSize = 5
    };
    using TRow = std::array<std::string, kColumns>;

    TTorrentGrid();

    void SetObserver(TGridObserver* Observer) { m_Observer = Observer; }

    int RowCount() const { return static_cast<int>(m_Rows.size()); }
    const std::string& Cell(int Column, int Row) const { return m_Rows[Row][Column]; }
    const TRow& RowCells(int Row) const { return m_Rows[Row]; }
    void SetCell(int Column, int Row, std::string Text);
    void SetRowCells(int Row, TRow Cells);
    // Grows with empty rows at the bottom or drops rows from the bottom; never below 2.
    void SetRowCount(int Count);
    // Inserts an empty row at Row (1 .. RowCount); the rows from there move down by one.
    // The current row and the selection keep their row numbers.
    void InsertRow(int Row);
    // Inserts Rows at Row (1 .. RowCount) at once, in their order, as InsertRow does one.
    void InsertRows(int Row, std::vector<TRow> Rows);
    // Removes Row (a data row), keeping at least the empty first row.
    void RemoveRow(int Row);
    // Removes the data rows First .. Last at once, keeping at least the empty first row.
    void RemoveRows(int First, int Last);
    // Moves a data row to another data row's place, as dragging its fixed cell does; the
    // moved row becomes the current and only selected row.
    void MoveRow(int From, int To);

    // Puts the data rows in a new order: Order[k] is the data row (1 ..) that becomes row k + 1,
    // each data row once. The current row and the anchor follow their rows.
    void Reorder(const std::vector<int>& Order);

    int Row() const { return m_Row; }
    int Anchor() const { return m_Anchor; }
    int SelectionTop() const { return m_Anchor < m_Row ? m_Anchor : m_Row; }
    int SelectionBottom() const { return m_Anchor < m_Row ? m_Row : m_Anchor; }
    bool IsSelected(int Row) const { return Row >= SelectionTop() && Row <= SelectionBottom(); }
    // Sets the anchor and the current row (clamped to the data rows); returns whether the
    // current row changed.
    bool Select(int Anchor, int Current);

    // The data rows whose hash cell equals Hash exactly (row 0 included when it matches).
    std::vector<int> RowsWithHash(const std::string& Hash) const;

private:
    void Clamp();
    void CountHash(const std::string& Hash, int Delta);
    void Notify(void (TGridObserver::*Event)()) {
        if (m_Observer != nullptr) {
            (m_Observer->*Event)();
        }
    }

    std::deque<TRow> m_Rows;
    // How many rows hold each hash cell text, so that the duplicate test of an add costs no
    // scan of the list unless there is a duplicate.
    std::unordered_map<std::string, int> m_HashCount;
    int m_Row = 1;
    int m_Anchor = 1;
    TGridObserver* m_Observer = nullptr;
};

} // namespace lintervale
