// The links of the list's rows: a row whose torrent is kept gives what --magnet gives for its
// file, a row without one the link of its cells, each as the link contents ask; private rows
// are told; what is kept is read once per hash.

#include "list/MagnetRows.h"
#include "list/TorrentList.h"
#include "magnet/MagnetLink.h"
#include "magnet/MagnetParse.h"
#include "metainfo/TorrentFile.h"
#include "tests/list/RecordingHost.h"
#include "tests/magnet/ExpectedLinks.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace lintervale {
namespace {

using testing::TRecordingHost;
using G = TTorrentGrid;
using T = TLinkContents::TTrackers;

std::string Fixture(const std::string& Name) {
    return (std::filesystem::path(LINTERVALE_FIXTURES) / Name).string();
}

std::string Slurp(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What --magnet prints for File under Contents.
std::string CommandLink(const std::string& File, const TLinkContents& Contents) {
    TTorrentFile torrent;
    const std::string bytes = Slurp(Fixture(File));
    EXPECT_TRUE(torrent.Load(bytes)) << File;
    const TTorrentRow row = MakeTorrentRow(torrent);
    return MagnetLink(LinkFactsOf(row, torrent), Contents);
}

std::string ExpectedDefault(const std::string& File) {
    for (const auto& row : testing::ReadCompleteExpected()) {
        if (row.file == File) {
            return row.link;
        }
    }
    return {};
}

// A list that keeps what it adds, as the window does.
struct TKeepingList {
    TRecordingHost Host;
    TTorrentList List{Host};
    TKeepingList() {
        List.SetKeeper([this](const std::string& Hash, std::string_view Bytes) {
            Host.Kept[Hash] = std::string(Bytes);
        });
        List.WriteHeadings();
    }
};

constexpr const char* kPasted = "magnet:?xt=urn:btih:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                                "&dn=pasted&tr=udp://t.example:1/a&tr=http://t2.example/b"
                                "&ws=http://w.example/pasted";

TEST(RowLinks, KeptTorrentsAndLinkRowsUnderEachContents) {
    const std::array<TLinkContents, 3> contents = {
        TLinkContents{},
        TLinkContents{.Name = false, .Trackers = T::First, .ExactLength = true, .Peers = {}},
        TLinkContents{.Trackers = T::None, .WebSeeds = false, .Peers = {"10.0.0.1:6881"}},
    };
    struct TCase {
        const char* File; // kept; or nullptr for the pasted link's row
    };
    const std::array<TCase, 4> cases = {{
        {.File = "single.torrent"},
        {.File = "webseed-multi.torrent"},
        {.File = "hybrid-webseed.torrent"},
        {.File = nullptr},
    }};
    for (const TCase& c : cases) {
        TKeepingList list;
        if (c.File != nullptr) {
            ASSERT_EQ(list.List.AddFile(Fixture(c.File)), TTorrentList::TAddResult::Added);
        } else {
            ASSERT_EQ(list.List.AddRow(MakeMagnetRow(*ParseMagnetLink(kPasted))),
                      TTorrentList::TAddResult::Added);
        }
        const std::string name = c.File != nullptr ? c.File : "pasted link";
        for (std::size_t i = 0; i < contents.size(); ++i) {
            list.List.SetLinkContents(contents[i]);
            list.List.SelectAll();
            list.List.CopyToClipboard();
            const TTorrentGrid& grid = list.List.Grid();
            const std::string expected =
                c.File != nullptr ? CommandLink(c.File, contents[i])
                                  : MagnetLink({.Hash = grid.Cell(G::ColHash, 1),
                                                .Name = grid.Cell(G::ColName, 1),
                                                .TrackerCell = grid.Cell(G::ColTrackers, 1)},
                                               contents[i]);
            EXPECT_EQ(list.Host.Clipboard, expected) << name << ", contents " << i;
            if (i == 0) {
                // The default contents: the fixtures' tables, and a link row's link of today.
                EXPECT_EQ(list.Host.Clipboard,
                          c.File != nullptr
                              ? ExpectedDefault(c.File)
                              : MagnetLinkOfRow(grid.Cell(G::ColName, 1), grid.Cell(G::ColHash, 1),
                                                grid.Cell(G::ColTrackers, 1)))
                    << name;
            }
        }
        // Each kept torrent was read once, whatever was copied since.
        EXPECT_LE(list.Host.KeptReads, 1) << name;
    }
}

// Every fixture without web seeds keeps its link of today when it is kept.
TEST(RowLinks, DefaultLinksOfKeptFixturesAreTheTables) {
    int compared = 0;
    for (const auto& row : testing::ReadCompleteExpected()) {
        if (!row.ok) {
            continue;
        }
        TKeepingList list;
        ASSERT_EQ(list.List.AddFile(Fixture(row.file)), TTorrentList::TAddResult::Added)
            << row.file;
        EXPECT_EQ(list.List.MagnetLinkOfRow(1), row.link) << row.file;
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

TEST(RowLinks, PrivateRowsAreToldWhenTheirLinksLeave) {
    TKeepingList list;
    list.List.AddFile(Fixture("details.torrent"));
    list.List.AddFile(Fixture("single.torrent"));
    EXPECT_FALSE(list.List.RowIsPrivate(1));
    EXPECT_TRUE(list.List.RowIsPrivate(2));
    const std::string told = "The link holds the tracker address of a private torrent.";
    struct TCase {
        int Top, Bottom;
        bool Told;
    };
    for (const TCase& c : std::array<TCase, 3>{{{1, 1, false}, {2, 2, true}, {1, 2, true}}}) {
        list.Host.Status.clear();
        list.List.UserSelect(c.Top, c.Bottom);
        list.List.CopyToClipboard();
        EXPECT_EQ(list.Host.Status == told, c.Told) << c.Top << "-" << c.Bottom;
        list.Host.Status.clear();
        list.List.OpenSelected();
        EXPECT_EQ(list.Host.Status == told, c.Told) << c.Top << "-" << c.Bottom;
    }
}

// A row made from a link gets its torrent's web seeds once the torrent is added after it (the
// duplicate is not listed, but it is kept), and the cached answer "none" is not kept.
TEST(RowLinks, AKeptTorrentReachesARowThatHadNone) {
    TKeepingList list;
    const std::string file = "webseed-single.torrent";
    const std::string link = ExpectedDefault(file);
    TTorrentFile torrent;
    const std::string bytes = Slurp(Fixture(file));
    ASSERT_TRUE(torrent.Load(bytes));
    list.List.AddRow(MakeMagnetRow(*ParseMagnetLink(link)));
    EXPECT_EQ(list.List.MagnetLinkOfRow(1).find("&ws="), std::string::npos);
    EXPECT_EQ(list.List.AddFile(Fixture(file)), TTorrentList::TAddResult::Duplicate);
    EXPECT_EQ(list.List.MagnetLinkOfRow(1), link);
    // Kept anew (a fetch of its contents): read again.
    const int reads = list.Host.KeptReads;
    list.List.MagnetLinkOfRow(1);
    EXPECT_EQ(list.Host.KeptReads, reads);
    list.List.ForgetKept(torrent.Hash());
    list.List.MagnetLinkOfRow(1);
    EXPECT_EQ(list.Host.KeptReads, reads + 1);
}

} // namespace
} // namespace lintervale
