#include "list/TorrentList.h"

#include "list/SavedRows.h"
#include "tests/list/RecordingHost.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lintervale;
using lintervale::testing::TRecordingHost;
using lintervale::testing::WriteTorrent;
using G = TTorrentGrid;

namespace {

class TorrentListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("lintervale-list-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }

    std::string Add(const std::string& name, const std::string& announce = "http://t/a") {
        m_List.AddFile(WriteTorrent(m_Dir, name, announce));
        return m_List.Grid().Cell(G::ColHash, 1);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int r = 1; r < m_List.Grid().RowCount(); ++r) {
            names.push_back(m_List.Grid().Cell(G::ColName, r));
        }
        return names;
    }

    std::filesystem::path m_Dir;
    TRecordingHost m_Host;
    TTorrentList m_List{m_Host};
};

TEST_F(TorrentListTest, AddingPutsNewTorrentsOnTop) {
    EXPECT_EQ(m_List.Grid().RowCount(), 2);
    Add("first");
    EXPECT_EQ(m_List.Grid().RowCount(), 2) << "the empty first row is filled in place";
    Add("second");
    EXPECT_EQ(m_List.Grid().RowCount(), 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"second", "first"}));
    const G::TRow& row = m_List.Grid().RowCells(1);
    EXPECT_EQ(row[G::ColFixed], "");
    EXPECT_EQ(row[G::ColHash].size(), 40u);
    EXPECT_EQ(row[G::ColTrackers], "\"http://t/a\"");
    EXPECT_EQ(row[G::ColFiles], "1");
    EXPECT_EQ(row[G::ColSize], "1 MB");
    EXPECT_TRUE(m_Host.Notices.empty());
    EXPECT_TRUE(m_Host.Errors.empty());
}

// A batch gives no box per item: what it came to goes into its report.
TEST_F(TorrentListTest, ABatchReportsInsteadOfBoxes) {
    m_Host.Quiet = false;
    const std::string listed = WriteTorrent(m_Dir, "listed");
    m_List.AddFile(listed);
    const std::string bad = (m_Dir / "bad.torrent").string();
    std::ofstream(bad) << "garbage";
    TBatchReport report;
    m_List.SetBatchReport(&report);
    m_List.AddFile(WriteTorrent(m_Dir, "new one"));
    m_List.AddFile(listed);
    m_List.AddFile(bad);
    m_List.AddFile((m_Dir / "missing.torrent").string());
    m_List.SetBatchReport(nullptr);
    EXPECT_TRUE(m_Host.Notices.empty());
    EXPECT_TRUE(m_Host.Errors.empty());
    EXPECT_EQ(report.AddedCount(), 1);
    EXPECT_EQ(report.ListedCount(), 1);
    ASSERT_EQ(report.RefusedCount(), 2);
    EXPECT_EQ(report.AddedHashes(), std::vector<std::string>{m_List.Grid().Cell(G::ColHash, 1)});
    EXPECT_EQ(report.Summary().English(), "1 added, 1 already listed, 2 refused");
    const std::string details = report.Details().English();
    EXPECT_EQ(details.find(bad + ": Something bad happened"), 0u) << details;
    EXPECT_NE(details.find("\n" + (m_Dir / "missing.torrent").string() + ": "), std::string::npos)
        << details;
    EXPECT_EQ(m_List.Grid().Cell(G::ColName, m_List.Grid().Row()), "listed")
        << "a listed torrent still becomes current";
    EXPECT_EQ(TBatchReport().Summary().English(), "Nothing was added.");
}

TEST_F(TorrentListTest, DuplicatesAreRefusedAndBecomeCurrent) {
    const std::string hash = Add("dup");
    Add("other");
    Add("third");
    m_Host.Fetch = true;
    EXPECT_EQ(m_List.AddFile(WriteTorrent(m_Dir, "dup")), TTorrentList::TAddResult::Duplicate);
    EXPECT_EQ(m_List.Grid().RowCount(), 4);
    ASSERT_EQ(m_Host.Notices.size(), 1u);
    EXPECT_EQ(m_Host.Notices[0], hash + "\r\n\r\nYou have already added this hash. :)");
    EXPECT_EQ(m_List.Grid().Row(), 3);
    // The row moved, so the click replaced the duplicate text with the tracker count.
    EXPECT_EQ(m_Host.Status, "1 trackers for \"dup\"");
    EXPECT_EQ(m_Host.Fetches, 1) << "fetching runs for a duplicate too";

    // When the duplicate is the current row already, its text stays.
    m_Host.Quiet = true;
    m_List.AddFile(WriteTorrent(m_Dir, "dup"));
    EXPECT_EQ(m_Host.Notices.size(), 1u) << "quiet mode shows no box";
    EXPECT_EQ(m_Host.Status, hash + " - You have already added this hash. :)");
}

TEST_F(TorrentListTest, FailuresAreReportedAndChangeNothing) {
    Add("kept");
    const std::filesystem::path bad = m_Dir / "bad.torrent";
    std::ofstream(bad) << "not a torrent";
    EXPECT_EQ(m_List.AddFile(bad.string()), TTorrentList::TAddResult::Failed);
    EXPECT_EQ(m_List.AddFile((m_Dir / "missing.torrent").string()),
              TTorrentList::TAddResult::Failed);
    ASSERT_EQ(m_Host.Errors.size(), 2u);
    EXPECT_EQ(m_Host.Errors[0], "Something bad happened while trying to load the file, probably "
                                "corrupt metainfo. (not bencoded data at byte 0)");
    EXPECT_NE(m_Host.Errors[1].find("missing.torrent"), std::string::npos);
    EXPECT_EQ(m_Host.Status, m_Host.Errors[1]) << "a file that cannot be read has no cause";
    EXPECT_EQ(Names(), std::vector<std::string>{"kept"});
    m_Host.Quiet = true;
    m_Host.Status.clear();
    m_List.AddFile(bad.string());
    EXPECT_EQ(m_Host.Errors.size(), 2u);
    EXPECT_EQ(m_Host.Status, "bad.torrent: not bencoded data at byte 0") << "quiet, yet said";
}

TEST_F(TorrentListTest, OptionsActOnTheNewRow) {
    Add("a");
    Add("b");
    m_List.SelectAll(); // rows 1..2, current row 2
    m_Host.Fetch = true;
    m_Host.Open = true;
    const std::string hash = Add("c");
    EXPECT_EQ(m_List.Grid().Row(), 1);
    EXPECT_EQ(m_Host.Fetches, 1);
    ASSERT_EQ(m_Host.Urls.size(), 1u);
    EXPECT_EQ(m_Host.Urls[0], "magnet:?xt=urn:btih:" + hash + "&dn=c&tr=http://t/a");

    // With row 1 current and a wider selection, setting the row changes nothing.
    m_List.Grid().Select(3, 1);
    Add("d");
    EXPECT_EQ(m_List.Grid().SelectionTop(), 1);
    EXPECT_EQ(m_List.Grid().SelectionBottom(), 3);
}

TEST_F(TorrentListTest, StatusLineNamesTheTrackerCount) {
    Add("one", "x");
    m_List.Grid().SetCell(G::ColTrackers, 1, "\"u1\"|\"u2\"");
    m_List.Click();
    EXPECT_EQ(m_Host.Status, "2 trackers for \"one\"");
    m_List.Grid().SetCell(G::ColTrackers, 1, "");
    m_List.Click();
    EXPECT_EQ(m_Host.Status, "0 trackers for \"one\"");
    Add("two");
    m_List.UserSelect(1, 2);
    EXPECT_EQ(m_Host.Status, "");
    m_Host.Status = "kept";
    m_List.SelectAll();
    EXPECT_EQ(m_Host.Status, "kept") << "Select all reports no click";
    EXPECT_EQ(m_List.Grid().Row(), 2);
}

TEST_F(TorrentListTest, OpeningAndCopyingLinks) {
    const std::string h1 = Add("n1");
    const std::string h2 = Add("n2");
    const std::string h3 = Add("n3");
    m_List.Grid().SetCell(G::ColTrackers, 2, "");
    m_List.UserSelect(1, 3);
    m_List.CopyToClipboard();
    EXPECT_EQ(m_Host.Clipboard, "magnet:?xt=urn:btih:" + h3 + "&dn=n3&tr=http://t/a\r\n" +
                                    "magnet:?xt=urn:btih:" + h2 + "&dn=n2&tr=\r\n" +
                                    "magnet:?xt=urn:btih:" + h1 + "&dn=n1&tr=http://t/a");
    EXPECT_EQ(m_List.Grid().SelectionBottom(), 3) << "copying keeps the selection";

    m_List.KeyPress('\r');
    EXPECT_EQ(m_Host.Urls.size(), 3u);
    EXPECT_EQ(m_Host.Urls[2].find(h1), 20u);
    EXPECT_EQ(m_List.Grid().Row(), 3);
    EXPECT_EQ(m_List.Grid().SelectionTop(), 3) << "the last row is current and alone";

    m_List.UserSelect(1, 1);
    m_List.CopyToClipboard();
    EXPECT_EQ(m_Host.Clipboard.find("\r\n"), std::string::npos);
}

TEST_F(TorrentListTest, RowsWithoutAHashAreNoLinks) {
    // The empty row of an empty list: nothing opens, the clipboard keeps the user's text.
    m_Host.Clipboard = "the user's text";
    m_List.DblClick();
    m_List.SelectAll();
    m_List.CopyToClipboard();
    EXPECT_TRUE(m_Host.Urls.empty());
    EXPECT_EQ(m_Host.Clipboard, "the user's text");
    EXPECT_EQ(m_Host.Status, "No magnet link to copy.");
    EXPECT_TRUE(m_List.SelectedHashes().empty());
    EXPECT_TRUE(m_List.SelectedLinks().empty());

    // Rows without a hash at the top, in the middle and at the bottom of a selection are
    // passed over; the others' links keep their order with no stray line break.
    Add("n1");
    Add("n2");
    Add("n3");
    Add("n4");
    Add("n5");
    for (const int r : {1, 3, 5}) {
        m_List.Grid().SetCell(G::ColHash, r, "");
    }
    m_List.Grid().SetCell(G::ColName, 4, "");
    m_Host.Status.clear();
    m_List.SelectAll();
    m_List.CopyToClipboard();
    EXPECT_EQ(m_Host.Clipboard, "magnet:?xt=urn:btih:" + m_List.Grid().Cell(G::ColHash, 2) +
                                    "&dn=n4&tr=http://t/a\r\n" + "magnet:?xt=urn:btih:" +
                                    m_List.Grid().Cell(G::ColHash, 4) + "&dn=&tr=http://t/a");
    EXPECT_EQ(m_Host.Status, "");
    // Dragging the rows gives the same links as copying them.
    EXPECT_EQ(m_List.SelectedLinks(),
              (std::vector<std::string>{m_List.MagnetLinkOfRow(2), m_List.MagnetLinkOfRow(4)}));
    EXPECT_EQ(m_List.SelectedHashes(),
              (std::vector<std::string>{m_List.Grid().Cell(G::ColHash, 2),
                                        m_List.Grid().Cell(G::ColHash, 4)}));

    // A selection of hashless rows only.
    m_List.UserSelect(3, 3);
    m_Host.Clipboard = "kept";
    m_List.CopyToClipboard();
    EXPECT_EQ(m_Host.Clipboard, "kept");
    EXPECT_EQ(m_Host.Status, "No magnet link to copy.");
}

TEST_F(TorrentListTest, SelectedHashesAreAskedForOnceEach) {
    Add("a");
    Add("b");
    Add("c");
    const std::string b = m_List.Grid().Cell(G::ColHash, 2);
    m_List.Grid().SetCell(G::ColHash, 1, b);
    m_List.Grid().SetCell(G::ColHash, 3, "");
    m_List.SelectAll();
    EXPECT_EQ(m_List.SelectedHashes(), std::vector<std::string>{b});
    m_List.UserSelect(3, 3);
    EXPECT_TRUE(m_List.SelectedHashes().empty());
}

TEST_F(TorrentListTest, QuaverizeAndItsEasterEgg) {
    for (int click = 1; click <= 29; ++click) {
        m_List.Quaverize();
    }
    EXPECT_EQ(m_Host.Sounds, 29);
    EXPECT_TRUE(m_Host.Questions.empty());
    m_List.Quaverize();
    EXPECT_EQ(m_Host.Questions, std::vector<std::string>{"Do you need some help?"});
    EXPECT_EQ(m_Host.Urls, std::vector<std::string>{kHelpAddress});
    EXPECT_EQ(m_List.EasterEggCount(), 0);

    // Two empty rows around a named one: up by one, back to 0, up by one.
    Add("named");
    m_List.Grid().InsertRow(1);
    m_List.Grid().InsertRow(3);
    m_List.UserSelect(1, 3);
    m_List.Quaverize();
    EXPECT_EQ(m_List.EasterEggCount(), 1);
    EXPECT_EQ(m_Host.Urls.size(), 2u) << "the named row was opened";
    EXPECT_EQ(m_List.Grid().Row(), 3);
}

TEST_F(TorrentListTest, ClearAllAsksUnlessQuiet) {
    Add("a");
    Add("b");
    m_Host.ConfirmAnswer = false;
    m_List.ClearAll();
    EXPECT_EQ(m_List.Grid().RowCount(), 3);
    EXPECT_EQ(m_Host.Questions, std::vector<std::string>{"Are you sure?"});
    m_Host.ConfirmAnswer = true;
    m_List.ClearAll();
    EXPECT_EQ(m_List.Grid().RowCount(), 2);
    EXPECT_EQ(Names(), std::vector<std::string>{""});
    Add("c");
    m_Host.Quiet = true;
    m_List.ClearAll();
    EXPECT_EQ(m_Host.Questions.size(), 2u);
    EXPECT_EQ(Names(), std::vector<std::string>{""});
}

TEST_F(TorrentListTest, RemoveSelectedTakesOutMarkedRows) {
    for (const char* name : {"5", "4", "3", "2", "1"}) {
        Add(name);
    }
    m_List.UserSelect(2, 4);
    m_List.RemoveSelected();
    EXPECT_EQ(Names(), (std::vector<std::string>{"1", "5"}));
    EXPECT_EQ(m_List.Grid().RowCount(), 3);
    EXPECT_LE(m_List.Grid().Row(), 2);

    m_List.UserSelect(2, 2);
    m_List.RemoveSelected();
    EXPECT_EQ(Names(), std::vector<std::string>{"1"});
    EXPECT_EQ(m_List.Grid().RowCount(), 2);

    m_List.SelectAll();
    m_List.RemoveSelected();
    EXPECT_EQ(Names(), std::vector<std::string>{""});
    EXPECT_EQ(m_List.Grid().RowCells(1), G::TRow{});
    m_List.RemoveSelected();
    EXPECT_EQ(m_List.Grid().RowCount(), 2);

    // A row named exactly like the marker goes too, selected or not.
    Add("keep");
    Add(kRemovalMarker);
    Add("top");
    m_List.UserSelect(1, 1);
    m_List.RemoveSelected();
    EXPECT_EQ(Names(), std::vector<std::string>{"keep"});
}

TEST_F(TorrentListTest, RowOneWithoutAHashIsNeverOverwritten) {
    Add("a");
    m_List.Grid().InsertRow(1); // an odd row, as a list file can bring
    m_List.Grid().SetCell(G::ColTrackers, 1, "\"kept\"");
    Add("b");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "", "a"}));
    EXPECT_EQ(m_List.Grid().Cell(G::ColTrackers, 2), "\"kept\"");
}

TEST_F(TorrentListTest, MovingARowCarriesItsCells) {
    Add("c");
    Add("b");
    Add("a");
    m_List.Grid().MoveRow(1, 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(m_List.Grid().Row(), 3);
    const std::string hashOfA = m_List.Grid().Cell(G::ColHash, 3);
    EXPECT_EQ(m_List.Grid().RowsWithHash(hashOfA), std::vector<int>{3});
}

TEST_F(TorrentListTest, DeleteTrackersEmptiesTheSelectedRowsOnly) {
    for (const char* name : {"7", "6", "5", "4", "3", "2", "1"}) {
        Add(name);
    }
    std::vector<G::TRow> before;
    for (int r = 0; r < m_List.Grid().RowCount(); ++r) {
        before.push_back(m_List.Grid().RowCells(r));
    }
    m_List.UserSelect(2, 6);
    m_Host.Status = "kept";
    m_List.DeleteTrackers();
    for (int r = 0; r < m_List.Grid().RowCount(); ++r) {
        G::TRow expected = before[r];
        if (r >= 2 && r <= 6) {
            expected[G::ColTrackers].clear();
        }
        EXPECT_EQ(m_List.Grid().RowCells(r), expected) << "row " << r;
    }
    EXPECT_EQ(m_Host.Status, "kept");
    EXPECT_TRUE(m_Host.Notices.empty());
    EXPECT_TRUE(m_Host.Questions.empty());
    EXPECT_EQ(m_List.Grid().SelectionTop(), 2);
    EXPECT_EQ(m_List.Grid().SelectionBottom(), 6);

    // The empty row of an empty list stays empty.
    m_Host.ConfirmAnswer = true;
    m_List.ClearAll();
    m_List.DeleteTrackers();
    EXPECT_EQ(m_List.Grid().RowCells(1), G::TRow{});
}

TEST_F(TorrentListTest, EditTrackerListChecksTheSelection) {
    Add("b");
    Add("a");
    m_List.UserSelect(1, 2);
    EXPECT_EQ(m_List.EditTrackerListRow(), 0);
    EXPECT_EQ(m_Host.Notices, std::vector<std::string>{"You can only edit one row at a time."});
    EXPECT_EQ(m_Host.Status, "You can only edit one row at a time.");

    m_Host.Quiet = true;
    m_Host.Status.clear();
    m_List.UserSelect(2, 1);
    EXPECT_EQ(m_List.EditTrackerListRow(), 0);
    EXPECT_EQ(m_Host.Notices.size(), 1u) << "quiet mode shows no box";
    EXPECT_EQ(m_Host.Status, "You can only edit one row at a time.");

    m_List.UserSelect(2, 2);
    m_Host.Status = "kept";
    EXPECT_EQ(m_List.EditTrackerListRow(), 2);
    EXPECT_EQ(m_Host.Status, "kept");
    m_List.UserSelect(1, 1);
    EXPECT_EQ(m_List.EditTrackerListRow(), 1);
}

TEST_F(TorrentListTest, EditTrackerListPassesOverEmptyRowsSilently) {
    EXPECT_EQ(m_List.EditTrackerListRow(), 0) << "the empty row of an empty list";
    Add("named");
    m_List.Grid().InsertRow(1);
    m_List.Grid().SetCell(G::ColTrackers, 1, "\"http://t/a\"");
    m_List.UserSelect(1, 1);
    m_Host.Status = "kept";
    EXPECT_EQ(m_List.EditTrackerListRow(), 0) << "a row without a name";
    EXPECT_EQ(m_Host.Status, "kept");
    EXPECT_TRUE(m_Host.Notices.empty());
}

} // namespace

// A saved list brought into the list in use: below its rows, in saved order, each torrent
// once, the empty first row filled in place.
TEST(SavedRowsTest, AppendBelowSkippingListedTorrents) {
    const auto grid = [](std::vector<std::pair<std::string, std::string>> Rows) {
        G made;
        made.SetRowCount(static_cast<int>(Rows.size()) + 1);
        for (std::size_t i = 0; i < Rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            made.SetCell(G::ColName, r, Rows[i].first);
            made.SetCell(G::ColHash, r, Rows[i].second);
        }
        return made;
    };
    struct Case {
        std::vector<std::pair<std::string, std::string>> InUse, Saved;
        std::vector<std::string> Names;
        int Added = 0;
        int Listed = 0;
    };
    const Case cases[] = {
        {.InUse = {{"", ""}}, .Saved = {{"a", "1"}, {"b", "2"}}, .Names = {"a", "b"}, .Added = 2},
        {.InUse = {{"new", "9"}},
         .Saved = {{"a", "1"}, {"", ""}, {"b", "2"}},
         .Names = {"new", "a", "b"},
         .Added = 2},
        {.InUse = {{"new", "2"}, {"x", "3"}},
         .Saved = {{"a", "1"}, {"b", "2"}, {"c", ""}},
         .Names = {"new", "x", "a", "c"},
         .Added = 2,
         .Listed = 1},
        {.InUse = {{"only", "1"}}, .Saved = {{"", ""}}, .Names = {"only"}},
    };
    for (const Case& c : cases) {
        G inUse = grid(c.InUse);
        const TAppendedRows appended = AppendSavedRows(inUse, grid(c.Saved));
        std::vector<std::string> names;
        for (int r = 1; r < inUse.RowCount(); ++r) {
            names.push_back(inUse.Cell(G::ColName, r));
        }
        EXPECT_EQ(names, c.Names);
        EXPECT_EQ(appended.Added, c.Added);
        EXPECT_EQ(appended.Listed, c.Listed);
        EXPECT_EQ(FilledRows(inUse), static_cast<int>(c.Names.size()));
    }
}
