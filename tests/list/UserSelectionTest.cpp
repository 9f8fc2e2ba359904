// The user's mouse and keys on the list, the editor's save by hash, and an added torrent's
// link that waits for its fetch.

#include "list/TorrentList.h"
#include "tests/list/RecordingHost.h"

#include <array>
#include <gtest/gtest.h>

using namespace lintervale;
using lintervale::testing::TRecordingHost;
using G = TTorrentGrid;
using TKeyMove = TTorrentList::TKeyMove;

namespace {

class UserSelectionTest : public ::testing::Test {
protected:
    // Rows 1..Count named r1..rN, each with one tracker; row 2 has two.
    void Fill(int Count) {
        m_List.WriteHeadings();
        for (int i = Count; i >= 1; --i) {
            const std::string name = "r" + std::to_string(i);
            m_List.AddRow({name, "hash-" + name, "\"http://" + name + "/a\"", "1", "1 MB"});
        }
        if (Count >= 2) {
            m_List.Grid().SetCell(G::ColTrackers, 2, "\"http://r2/a\"|\"udp://r2/b\"");
        }
        m_Host.Status.clear();
    }
    void ExpectSelection(int Anchor, int Row) const {
        EXPECT_EQ(m_List.Grid().Anchor(), Anchor);
        EXPECT_EQ(m_List.Grid().Row(), Row);
    }

    TRecordingHost m_Host;
    TTorrentList m_List{m_Host};
};

TEST_F(UserSelectionTest, KeysMoveTheCurrentRowAndReportAClickOnlyWhenItMoves) {
    struct Case {
        const char* Name;
        int Anchor, Row; // before
        TKeyMove Move;
        bool Extend;
        int NewAnchor, NewRow;
        const char* Status; // "kept" when no click is reported
    };
    // Five rows; the view shows three a page.
    const std::array cases = {
        Case{"down", 2, 2, TKeyMove::Down, false, 3, 3, "1 trackers for \"r3\""},
        Case{"up", 2, 2, TKeyMove::Up, false, 1, 1, "1 trackers for \"r1\""},
        Case{"up on the first row", 1, 1, TKeyMove::Up, false, 1, 1, "kept"},
        Case{"down on the last row keeps a wider selection", 3, 5, TKeyMove::Down, false, 3, 5,
             "kept"},
        Case{"down collapses a wider selection", 1, 3, TKeyMove::Down, false, 4, 4,
             "1 trackers for \"r4\""},
        Case{"shift+down widens from the anchor", 2, 2, TKeyMove::Down, true, 2, 3, ""},
        Case{"shift+up narrows back to one row", 2, 3, TKeyMove::Up, true, 2, 2,
             "2 trackers for \"r2\""},
        Case{"page down", 1, 1, TKeyMove::PageDown, false, 4, 4, "1 trackers for \"r4\""},
        Case{"page down stops at the last row", 1, 4, TKeyMove::PageDown, false, 5, 5,
             "1 trackers for \"r5\""},
        Case{"page up", 5, 5, TKeyMove::PageUp, false, 2, 2, "2 trackers for \"r2\""},
        Case{"home", 4, 4, TKeyMove::Home, false, 1, 1, "1 trackers for \"r1\""},
        Case{"end", 2, 2, TKeyMove::End, false, 5, 5, "1 trackers for \"r5\""},
        Case{"shift+end", 2, 2, TKeyMove::End, true, 2, 5, ""},
        Case{"shift+home after select all", 1, 5, TKeyMove::Home, true, 1, 1,
             "1 trackers for \"r1\""},
    };
    Fill(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_List.Grid().Select(c.Anchor, c.Row);
        m_Host.Status = "kept";
        const bool moved = m_List.KeyMove(c.Move, c.Extend, 3);
        EXPECT_EQ(moved, c.Row != c.NewRow);
        ExpectSelection(c.NewAnchor, c.NewRow);
        EXPECT_EQ(m_Host.Status, c.Status);
    }
}

TEST_F(UserSelectionTest, EveryMousePressReportsAClickEvenOnTheCurrentRow) {
    Fill(4);
    m_List.MouseSelect(2, false);
    ExpectSelection(2, 2);
    EXPECT_EQ(m_Host.Status, "2 trackers for \"r2\"");

    m_Host.Status = "something else";
    m_List.MouseSelect(2, false);
    EXPECT_EQ(m_Host.Status, "2 trackers for \"r2\"") << "the same row, clicked again";

    m_List.MouseSelect(4, true);
    ExpectSelection(2, 4);
    EXPECT_EQ(m_Host.Status, "");
    m_List.MouseSelect(1, true); // Shift+click above the anchor
    ExpectSelection(2, 1);
    m_List.MouseSelect(3, false);
    ExpectSelection(3, 3);
    EXPECT_EQ(m_Host.Status, "1 trackers for \"r3\"");
}

TEST_F(UserSelectionTest, RemoveSelectedTwiceTakesOnlyWhatWasSelectedEachTime) {
    Fill(4);
    m_List.MouseSelect(2, false);
    const std::string status = m_Host.Status;
    m_List.RemoveSelected();
    EXPECT_EQ(m_Host.Status, status) << "the command sets no status text";
    ExpectSelection(2, 2);
    EXPECT_EQ(m_List.Grid().Cell(G::ColName, 2), "r3");
    m_List.RemoveSelected();
    ASSERT_EQ(m_List.Grid().RowCount(), 3);
    EXPECT_EQ(m_List.Grid().Cell(G::ColName, 1), "r1");
    EXPECT_EQ(m_List.Grid().Cell(G::ColName, 2), "r4");

    // Removing the last row keeps the current row within the shorter list.
    m_List.MouseSelect(2, false);
    m_Host.Status = "kept";
    m_List.RemoveSelected();
    ExpectSelection(1, 1);
    EXPECT_EQ(m_Host.Status, "kept");
}

TEST_F(UserSelectionTest, TheEditorsSaveGoesToEveryRowHoldingTheHash) {
    Fill(3);
    m_List.Grid().InsertRow(1); // a second row of r3, as a list file can bring
    m_List.Grid().SetRowCells(1, m_List.Grid().RowCells(4));
    EXPECT_TRUE(m_List.SetTrackersOfHash("hash-r3", "\"udp://new/1\""));
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 1), "\"udp://new/1\"");
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 4), "\"udp://new/1\"");
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 2), "\"http://r1/a\"");
    EXPECT_FALSE(m_List.SetTrackersOfHash("hash-gone", "\"x\""));
    EXPECT_FALSE(m_List.SetTrackersOfHash("Hash", "\"x\"")) << "the headings are no torrent";

    // A row without a hash is found by its empty hash, but the empty row of an empty list
    // is no torrent.
    m_Host.Quiet = true;
    m_List.ClearAll();
    EXPECT_FALSE(m_List.SetTrackersOfHash("", "\"x\""));
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 1), "");
    m_List.Grid().SetCell(G::ColName, 1, "hashless");
    EXPECT_TRUE(m_List.SetTrackersOfHash("", "\"x\""));
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 1), "\"x\"");
}

TEST_F(UserSelectionTest, AnAddedTorrentsLinkOpensOnceItsFetchHasEnded) {
    Fill(2);
    m_Host.Fetch = true;
    m_Host.Open = true;
    m_Host.HoldFetches = true;
    m_List.AddRow({"new", "hash-new", "\"http://new/a\"", "1", "1 MB"});
    EXPECT_EQ(m_Host.Fetches, 1);
    EXPECT_TRUE(m_Host.Urls.empty()) << "nothing opens while the fetch runs";
    ExpectSelection(1, 1);

    // The fetch brings a tracker, another torrent comes on top, then the fetch ends.
    m_List.Grid().SetCell(G::ColTrackers, 1, "\"http://new/a\"|\"udp://fetched/b\"");
    m_Host.Open = false;
    m_List.AddRow({"later", "hash-later", "\"http://later/a\"", "1", "1 MB"});
    m_Host.EndFetch("hash-later");
    EXPECT_TRUE(m_Host.Urls.empty());
    m_Host.EndFetch("hash-new");
    ASSERT_EQ(m_Host.Urls.size(), 1u);
    EXPECT_EQ(m_Host.Urls[0],
              "magnet:?xt=urn:btih:hash-new&dn=new&tr=http://new/a&tr=udp://fetched/b");
    ExpectSelection(1, 1); // the late open leaves the selection alone

    // A torrent removed before its fetch ended opens nothing.
    m_Host.Open = true;
    m_List.AddRow({"gone", "hash-gone", "", "1", "1 MB"});
    m_List.MouseSelect(1, false);
    m_List.RemoveSelected();
    m_Host.EndFetch("hash-gone");
    EXPECT_EQ(m_Host.Urls.size(), 1u);
}

} // namespace
