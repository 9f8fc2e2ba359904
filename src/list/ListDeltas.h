#pragma once

// What one list command changed, kept so that it can be taken back and done again: the rows
// a command took out (Remove selected, Clear all), or the tracker cells it replaced (Delete
// trackers, the tracker editor's Save).
//
// A delta holds only what the command changed, never a copy of the whole list: undoing it
// works on the list as it stands then, so rows added or changed after the command stay.
// Rows are known by their hash. A removed row whose hash is listed again when it would come
// back is left out (its torrent is there already); no undo ever lists a hash twice.

#include "list/HashCellChanges.h"
#include "list/TorrentGrid.h"

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace lintervale {

// The data rows of a grid (rows 1 ..), as they stand; what a command is compared against.
std::vector<TTorrentGrid::TRow> DataRows(const TTorrentGrid& Grid);

class TRowRemoval {
public:
    // The rows of Before (the data rows before a command) that the grid no longer holds,
    // with where each stood. Rows the grid holds in other places, or that arrived meanwhile,
    // do not count.
    static TRowRemoval Between(const std::vector<TTorrentGrid::TRow>& Before,
                               const TTorrentGrid& After);

    bool Empty() const { return m_Runs.empty(); }
    // How many rows the command took out.
    std::size_t Size() const;

    struct TRestored {
        int Restored = 0;
        int Skipped = 0; // listed again meanwhile
        // The grid rows of the first block put back (0 when none was).
        int FirstRow = 0;
        int LastRow = 0;
    };
    // Puts the rows back, each block above the row that followed it, else below the row
    // that led it, else where it stood (a block that was at the bottom goes to the bottom).
    TRestored Restore(TTorrentGrid& Grid);
    // Takes out again the rows the last Restore put back.
    void RemoveAgain(TTorrentGrid& Grid);
    // Adds the hashes of the rows it holds to Hashes: what an undo can bring back.
    void CollectHashes(std::unordered_set<std::string>& Hashes) const;

private:
    friend class TRowAddition;
    // Rows that stood next to each other, and the rows around them.
    struct TRun {
        std::vector<TTorrentGrid::TRow> Rows;
        std::string Leader;   // hash of the row above, empty when none or it had none
        std::string Follower; // hash of the row below, the same
        bool AtBottom = false;
        int Position = 1; // grid row of the first one
    };
    std::vector<TRun> m_Runs;
    // What the last Restore put back: each row's hash, or its cells when it has none.
    std::vector<TTorrentGrid::TRow> m_Restored;
};

// Rows a command added (by their hashes), kept so that the add can be taken back: undoing
// takes out the rows that still hold those hashes, redoing puts them back where they were
// taken from, as a removal's undo does.
class TRowAddition {
public:
    explicit TRowAddition(std::vector<std::string> Hashes) : m_Hashes(std::move(Hashes)) {}

    bool Empty() const { return m_Hashes.empty(); }
    // Takes the added rows out; how many were still listed.
    int Undo(TTorrentGrid& Grid);
    TRowRemoval::TRestored Redo(TTorrentGrid& Grid) { return m_Removal.Restore(Grid); }
    // Adds the hashes of the added rows to Hashes: what a redo can bring back.
    void CollectHashes(std::unordered_set<std::string>& Hashes) const {
        Hashes.insert(m_Hashes.begin(), m_Hashes.end());
    }

private:
    std::vector<std::string> m_Hashes;
    TRowRemoval m_Removal;
};

class TTrackerChange {
public:
    // Notes the tracker cells of the rows First .. Last (by their hashes) before a command.
    static TTrackerChange Before(const TTorrentGrid& Grid, int First, int Last);
    // The same for the rows that hold one of Hashes, wherever they are.
    static TTrackerChange Before(const TTorrentGrid& Grid, const std::vector<std::string>& Hashes);
    // Notes what the command left in those cells; cells it did not change are dropped.
    void After(const TTorrentGrid& Grid);
    // Takes in a later change: for a cell both changed, the old text is this one's and the new
    // text the later one's (so one undo takes back both).
    void Absorb(const TTrackerChange& Later);
    // Notes one cell that a command changed from Old to New (rows of one hash one after
    // another make one cell).
    void Record(const std::string& Hash, const std::string& Old, const std::string& New);

    bool Empty() const { return m_Cells.Changes().empty(); }

    // Puts the old tracker cells back into every row that holds each hash.
    void Undo(TTorrentGrid& Grid) const { Apply(Grid, false); }
    // Puts the command's cells back.
    void Redo(TTorrentGrid& Grid) const { Apply(Grid, true); }

private:
    void Apply(TTorrentGrid& Grid, bool New) const;

    THashCellChanges<std::string> m_Cells;
};

} // namespace lintervale
