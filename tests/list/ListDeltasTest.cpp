#include "list/ListDeltas.h"

#include "list/RowContents.h"
#include "list/TorrentList.h"
#include "tests/list/RecordingHost.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace lintervale;
using lintervale::testing::TRecordingHost;
using G = TTorrentGrid;
using Names = std::vector<std::string>;

namespace {

class ListDeltasTest : public ::testing::Test {
public:
    TTorrentGrid& Grid() { return m_List.Grid(); }

    // Lists the named torrents, top to bottom; each name's hash is "h-" and the name.
    void Fill(const Names& names) {
        Grid().SetRowCount(2);
        Grid().SetRowCells(1, G::TRow{});
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            Add(*it);
        }
    }
    // Adds a torrent on top, as the list adds them.
    void Add(const std::string& name) {
        m_List.AddRow({name, "h-" + name, "\"http://" + name + "/a\"", "1", "1 MB"});
    }
    Names List() const {
        Names names;
        for (int r = 1; r < m_List.Grid().RowCount(); ++r) {
            names.push_back(m_List.Grid().Cell(G::ColName, r));
        }
        return names;
    }
    // Runs Command and returns the rows it took out.
    template <typename F> TRowRemoval Removing(F Command) {
        const std::vector<G::TRow> before = DataRows(Grid());
        Command();
        return TRowRemoval::Between(before, Grid());
    }
    TRowRemoval RemoveRows(int Top, int Bottom) {
        return Removing([&] {
            Grid().Select(Top, Bottom);
            m_List.RemoveSelected();
        });
    }

    TRecordingHost m_Host;
    TTorrentList m_List{m_Host};
};

TEST_F(ListDeltasTest, RemovalsComeBackWhereTheyStood) {
    struct Case {
        const char* What;
        int Top, Bottom;
        Names After, Restored;
        int FirstRow, LastRow;
    };
    const Names five = {"a", "b", "c", "d", "e"};
    const Case cases[] = {
        {"middle", 2, 4, {"a", "e"}, five, 2, 4},        {"top", 1, 2, {"c", "d", "e"}, five, 1, 2},
        {"bottom", 4, 5, {"a", "b", "c"}, five, 4, 5},   {"every row", 1, 5, {""}, five, 1, 5},
        {"one", 3, 3, {"a", "b", "d", "e"}, five, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Fill(five);
        TRowRemoval removal = RemoveRows(c.Top, c.Bottom);
        EXPECT_EQ(List(), c.After);
        EXPECT_EQ(removal.Size(), static_cast<std::size_t>(c.Bottom - c.Top + 1));
        const TRowRemoval::TRestored restored = removal.Restore(Grid());
        EXPECT_EQ(List(), c.Restored);
        EXPECT_EQ(restored.Restored, c.Bottom - c.Top + 1);
        EXPECT_EQ(restored.Skipped, 0);
        EXPECT_EQ(restored.FirstRow, c.FirstRow);
        EXPECT_EQ(restored.LastRow, c.LastRow);
        // Done again, undone again: the same lists each time.
        removal.RemoveAgain(Grid());
        EXPECT_EQ(List(), c.After);
        removal.Restore(Grid());
        EXPECT_EQ(List(), c.Restored);
        EXPECT_EQ(Grid().RowCells(2)[G::ColTrackers], "\"http://b/a\"") << "whole rows";
    }
}

TEST_F(ListDeltasTest, ClearAllComesBackBelowWhatWasAddedSince) {
    Fill({"a", "b", "c"});
    TRowRemoval removal = Removing([&] { m_List.ClearAll(); });
    EXPECT_EQ(removal.Size(), 3u);
    Add("new2");
    Add("new1");
    removal.Restore(Grid());
    EXPECT_EQ(List(), (Names{"new1", "new2", "a", "b", "c"}));
    removal.RemoveAgain(Grid());
    EXPECT_EQ(List(), (Names{"new1", "new2"})) << "the later adds stay";
}

TEST_F(ListDeltasTest, RowsAddedAgainAreNotListedTwice) {
    Fill({"a", "b", "c", "d"});
    TRowRemoval removal = RemoveRows(2, 4);
    Add("c");
    Grid().SetCell(G::ColTrackers, 1, "\"http://edited/a\"");
    const TRowRemoval::TRestored restored = removal.Restore(Grid());
    EXPECT_EQ(restored.Restored, 2);
    EXPECT_EQ(restored.Skipped, 1);
    EXPECT_EQ(List(), (Names{"c", "a", "b", "d"}));
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 1), "\"http://edited/a\"") << "the new row stays";
    EXPECT_EQ(Grid().RowsWithHash("h-c").size(), 1u);
    // Done again, only what came back goes; the row added since stays.
    removal.RemoveAgain(Grid());
    EXPECT_EQ(List(), (Names{"c", "a"}));
}

TEST_F(ListDeltasTest, BlocksFindTheirNeighboursAfterLaterChanges) {
    struct Case {
        const char* What;
        Names Start;
        int Top, Bottom;
        // What happens between the removal and its undo.
        void (*Meanwhile)(ListDeltasTest&);
        Names Restored;
    };
    const Case cases[] = {
        {"adds on top push the block down with its follower",
         {"a", "b", "c"},
         1,
         1,
         [](ListDeltasTest& t) { t.Add("x"); },
         {"x", "a", "b", "c"}},
        {"a moved follower takes the block along",
         {"a", "b", "c", "d"},
         2,
         2,
         [](ListDeltasTest& t) { t.Grid().MoveRow(2, 3); },
         {"a", "d", "b", "c"}},
        {"without its follower the block goes below its leader",
         {"a", "b", "c", "d"},
         2,
         2,
         [](ListDeltasTest& t) { t.RemoveRows(2, 2); },
         {"a", "b", "d"}},
        {"without both it goes back to its place",
         {"a", "b", "c", "d"},
         2,
         2,
         [](ListDeltasTest& t) {
             t.RemoveRows(1, 1);
             t.RemoveRows(1, 1);
         },
         {"d", "b"}},
        {"a block from the bottom goes to the bottom",
         {"a", "b"},
         2,
         2,
         [](ListDeltasTest& t) { t.Add("x"); },
         {"x", "a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Fill(c.Start);
        TRowRemoval removal = RemoveRows(c.Top, c.Bottom);
        c.Meanwhile(*this);
        removal.Restore(Grid());
        EXPECT_EQ(List(), c.Restored);
    }
}

TEST_F(ListDeltasTest, OnlyRowsTheCommandTookCount) {
    Fill({"a", "b", "c"});
    const std::vector<G::TRow> before = DataRows(Grid());
    // Meanwhile (a box's event loop) a row arrives and one moves; the command takes "b".
    Add("x");
    Grid().MoveRow(1, 4);
    Grid().Select(2, 2);
    m_List.RemoveSelected();
    ASSERT_EQ(List(), (Names{"a", "c", "x"}));
    TRowRemoval removal = TRowRemoval::Between(before, Grid());
    EXPECT_EQ(removal.Size(), 1u);
    removal.Restore(Grid());
    EXPECT_EQ(List(), (Names{"a", "b", "c", "x"}));

    // A command that takes nothing leaves nothing to undo, the empty first row included.
    Fill({});
    EXPECT_TRUE(Removing([&] { m_List.RemoveSelected(); }).Empty());
    Fill({"a"});
    m_Host.ConfirmAnswer = false;
    EXPECT_TRUE(Removing([&] { m_List.ClearAll(); }).Empty());
}

TEST_F(ListDeltasTest, RowsWithoutAHashAndMarkedRows) {
    Fill({"a", "b"});
    // A row read from an odd list file: a name but no hash; another named as the marker.
    Grid().InsertRow(2);
    Grid().SetRowCells(2, {"", "odd", "", "", "", ""});
    Grid().InsertRow(4);
    Grid().SetRowCells(4, {"", kRemovalMarker, "h-m", "", "", ""});
    TRowRemoval removal = RemoveRows(2, 2);
    EXPECT_EQ(List(), (Names{"a", "b"})) << "the marked row went too";
    EXPECT_EQ(removal.Size(), 2u);
    removal.Restore(Grid());
    EXPECT_EQ(List(), (Names{"a", "odd", "b", kRemovalMarker}));
    removal.RemoveAgain(Grid());
    EXPECT_EQ(List(), (Names{"a", "b"}));
}

TEST_F(ListDeltasTest, ManyRows) {
    Names names;
    for (int i = 0; i < 10000; ++i) {
        names.push_back("n" + std::to_string(i));
    }
    Fill(names);
    TRowRemoval removal = Removing([&] { m_List.ClearAll(); });
    EXPECT_EQ(removal.Size(), 10000u);
    Add("later");
    EXPECT_EQ(removal.Restore(Grid()).Restored, 10000);
    EXPECT_EQ(Grid().RowCount(), 10002);
    EXPECT_EQ(Grid().Cell(G::ColName, 1), "later");
    EXPECT_EQ(Grid().Cell(G::ColName, 10001), "n9999");
    EXPECT_EQ(Grid().RowsWithHash("h-n5000"), std::vector<int>{5002});
}

TEST_F(ListDeltasTest, TrackerCellsGoBackByHash) {
    Fill({"a", "b", "c", "d"});
    const std::string b = Grid().Cell(G::ColTrackers, 2);
    Grid().SetCell(G::ColTrackers, 4, ""); // "d" has none to lose: no change for it
    Grid().Select(2, 4);
    TTrackerChange change = TTrackerChange::Before(Grid(), 2, 4);
    m_List.DeleteTrackers();
    change.After(Grid());
    ASSERT_FALSE(change.Empty());

    // Later: a row arrives on top, the rows move, one goes; its hash is passed over.
    Add("x");
    Grid().MoveRow(3, 1); // b is now on top
    RemoveRows(4, 4);     // c goes
    EXPECT_EQ(List(), (Names{"b", "x", "a", "d"}));
    change.Undo(Grid());
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 1), b);
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 2), "\"http://x/a\"");
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 4), "");
    change.Redo(Grid());
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 1), "");
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 3), "\"http://a/a\"");

    // A save that changed nothing, and a row that went meanwhile, leave nothing to undo.
    TTrackerChange same = TTrackerChange::Before(Grid(), 2, 2);
    same.After(Grid());
    EXPECT_TRUE(same.Empty());
    TTrackerChange gone = TTrackerChange::Before(Grid(), 2, 2);
    RemoveRows(2, 2);
    gone.After(Grid());
    EXPECT_TRUE(gone.Empty());
    // The empty first row has no hash: nothing is noted for it.
    Fill({});
    EXPECT_TRUE(TTrackerChange::Before(Grid(), 1, 1).Empty());
}

TEST_F(ListDeltasTest, AddsGoAndComeBack) {
    Fill({"a", "b"});
    Add("y");
    Add("x");
    TRowAddition addition({"h-x", "h-y", "h-gone"});
    Add("later"); // after the add: stays through its undo and redo
    EXPECT_EQ(List(), (Names{"later", "x", "y", "a", "b"}));
    EXPECT_EQ(addition.Undo(Grid()), 2);
    EXPECT_EQ(List(), (Names{"later", "a", "b"}));
    EXPECT_EQ(addition.Redo(Grid()).Restored, 2);
    EXPECT_EQ(List(), (Names{"later", "x", "y", "a", "b"}));
    // Added rows spread over the list go too; an add of everything leaves the empty first row.
    Grid().MoveRow(2, 5);
    EXPECT_EQ(addition.Undo(Grid()), 2);
    EXPECT_EQ(List(), (Names{"later", "a", "b"}));
    TRowAddition all({"h-later", "h-a", "h-b"});
    EXPECT_EQ(all.Undo(Grid()), 3);
    EXPECT_EQ(List(), Names{""});
    EXPECT_EQ(all.Redo(Grid()).Restored, 3);
    EXPECT_EQ(List(), (Names{"later", "a", "b"}));
}

TEST_F(ListDeltasTest, AnAddsUndoComesBackAsTheRemovalOfItsRowsWould) {
    // The add's undo notes its runs of rows as it takes them out; a removal of the same rows
    // compares the list before and after. Both must put the rows back alike, whatever changed
    // around them meanwhile.
    std::mt19937 random(10);
    for (int round = 0; round < 200; ++round) {
        Names names;
        for (int n = 0; n < 12; ++n) {
            names.push_back(std::to_string(n));
        }
        std::vector<std::string> added;
        for (const std::string& name : names) {
            if (random() % 2 == 0) {
                added.push_back("h-" + name);
            }
        }
        const int moveFrom = static_cast<int>(random() % 12) + 1;
        const int moveTo = static_cast<int>(random() % 12) + 1;
        // Meanwhile 0: a row is added, 1: one moved, 2: one removed, 3: nothing.
        const int later = static_cast<int>(random() % 4);
        Names results[2];
        for (const bool asAdd : {true, false}) {
            Fill(names);
            TRowAddition addition(added);
            TRowRemoval removal;
            if (asAdd) {
                addition.Undo(Grid());
            } else {
                removal = Removing([&] {
                    for (int r = Grid().RowCount() - 1; r >= 1; --r) {
                        if (std::count(added.begin(), added.end(), Grid().Cell(G::ColHash, r))) {
                            Grid().RemoveRow(r);
                        }
                    }
                });
            }
            if (later == 0) {
                Add("later");
            } else if (later == 1 && Grid().RowCount() > 2) {
                const int rows = Grid().RowCount() - 1;
                Grid().MoveRow((moveFrom - 1) % rows + 1, (moveTo - 1) % rows + 1);
            } else if (later == 2 && Grid().RowCount() > 2) {
                Grid().RemoveRow((moveFrom - 1) % (Grid().RowCount() - 1) + 1);
            }
            if (asAdd) {
                addition.Redo(Grid());
            } else {
                removal.Restore(Grid());
            }
            results[asAdd ? 0 : 1] = List();
        }
        EXPECT_EQ(results[0], results[1]) << "round " << round;
    }
}

TEST_F(ListDeltasTest, TrackerChangesOfHashesAddUp) {
    Fill({"a", "b", "c"});
    TTrackerChange first = TTrackerChange::Before(Grid(), {"h-c", "h-a"});
    Grid().SetCell(G::ColTrackers, 1, "\"udp://fetched/1\"");
    first.After(Grid());
    TTrackerChange second = TTrackerChange::Before(Grid(), {"h-a", "h-b"});
    Grid().SetCell(G::ColTrackers, 1, "\"udp://fetched/2\"");
    Grid().SetCell(G::ColTrackers, 2, "");
    second.After(Grid());
    first.Absorb(second);
    first.Undo(Grid());
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 1), "\"http://a/a\"");
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 2), "\"http://b/a\"");
    first.Redo(Grid());
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 1), "\"udp://fetched/2\"");
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 2), "");
    EXPECT_EQ(Grid().Cell(G::ColTrackers, 3), "\"http://c/a\"");
}

} // namespace

TEST_F(ListDeltasTest, FetchedContentsFillTheirRowAndGoBack) {
    Fill({"a", "b", "c"});
    m_List.AddRow({"link", "h-l", "", "", ""});
    const auto cells = [&](int Row) {
        return Names{Grid().Cell(G::ColName, Row), Grid().Cell(G::ColFiles, Row),
                     Grid().Cell(G::ColSize, Row)};
    };
    TContentsChange first;
    EXPECT_EQ(first.Fill(Grid(), "h-l", {"Album", "12", "700 MB"}), 1);
    EXPECT_EQ(first.Fill(Grid(), "h-gone", {"x", "1", "1 MB"}), 0); // no row: nothing noted
    TContentsChange second;
    EXPECT_EQ(second.Fill(Grid(), "h-c", {"C", "2", "2 MB"}), 1);
    EXPECT_EQ(second.Fill(Grid(), "h-l", {"Album 2", "13", "701 MB"}), 1);
    first.Absorb(second);
    EXPECT_EQ(first.Size(), 2u);
    EXPECT_EQ(cells(1), (Names{"Album 2", "13", "701 MB"}));
    Grid().MoveRow(1, 4); // later moves do not matter: rows are found by hash
    first.Undo(Grid());
    EXPECT_EQ(List(), (Names{"a", "b", "c", "link"}));
    EXPECT_EQ(cells(4), (Names{"link", "", ""}));
    EXPECT_EQ(cells(3), (Names{"c", "1", "1 MB"}));
    first.Redo(Grid());
    EXPECT_EQ(List(), (Names{"a", "b", "C", "Album 2"}));
    EXPECT_EQ(cells(4), (Names{"Album 2", "13", "701 MB"}));
}
