#include "metainfo/TorrentFile.h"

#include "digests/SHA256.h"
#include "metainfo/TorrentDetails.h"
#include "tests/metainfo/TorrentBytes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

// The files as the details view lists them: "path:length" each.
std::vector<std::string> ContentsOf(const TTorrentFile& torrent) {
    std::vector<std::string> files;
    VisitContents(torrent, [&](const TContentFile& file) {
        files.push_back(std::string(file.Path) + ":" + std::to_string(file.Length));
    });
    return files;
}

TEST(TorrentFile, SingleFile) {
    const std::string data = Torrent(SingleInfo());
    TTorrentFile torrent;
    ASSERT_TRUE(torrent.Load(data));
    EXPECT_EQ(torrent.Announce(), "url");
    EXPECT_EQ(torrent.Name(), "file");
    EXPECT_EQ(torrent.Count(), 1);
    EXPECT_FALSE(torrent.Multifile());
    EXPECT_EQ(torrent.Length(), 1000);
    EXPECT_EQ(torrent.PieceLength(), 16384);
    EXPECT_EQ(ContentsOf(torrent), std::vector<std::string>{"file:1000"});
    EXPECT_EQ(torrent.Pieces(), kPieces);
    // The hash is taken over the info value's bytes as they stand.
    const std::size_t start = data.find("4:info") + 6;
    EXPECT_EQ(torrent.Hash(),
              Sha1Of(std::string_view(data).substr(start, data.size() - start - 1)));
}

TEST(TorrentFile, MultipleFilesWithPaths) {
    const std::string info = "5:filesld6:lengthi10e4:pathl1:a1:b5:c.txteed6:lengthi5e4:pathl1:xeee"
                             "4:name3:dir12:piece lengthi16384e6:pieces" +
                             Bytes(kPieces);
    // The files are read from the loaded bytes when asked for: they stay alive.
    const std::string data = Torrent(info);
    TTorrentFile torrent;
    ASSERT_TRUE(torrent.Load(data));
    EXPECT_TRUE(torrent.Multifile());
    EXPECT_EQ(torrent.Count(), 2);
    EXPECT_EQ(torrent.Length(), 15);
    EXPECT_EQ(ContentsOf(torrent), (std::vector<std::string>{"a/b/c.txt:10", "x:5"}));
}

TEST(TorrentFile, AcceptedOddities) {
    struct Case {
        const char* what;
        std::string data;
        std::string announce;
        std::int64_t length;
        std::int32_t count;
    };
    const std::string filesEmpty = "5:filesle4:name1:n12:piece lengthi1e6:pieces0:";
    const Case cases[] = {
        {"integer announce", Torrent(SingleInfo(), "d8:announcei42e"), "", 1000, 1},
        {"empty path list",
         Torrent("5:filesld6:lengthi3e4:pathleee4:name1:n12:piece lengthi1e6:pieces0:"), "url", 3,
         1},
        {"files holding an empty list", Torrent(filesEmpty), "url", 0, 0},
        {"length beside files wins", Torrent("5:filesle" + SingleInfo()), "url", 1000, 1},
        {"length given as a string", Torrent(SingleInfo("3:abc")), "url", 0, 1},
        {"trailing bytes", Torrent(SingleInfo()) + "garbage", "url", 1000, 1},
        {"sizes that overflow wrap",
         Torrent("5:filesld6:lengthi9223372036854775807e4:pathl1:aeed6:lengthi2e4:pathl1:beee4:"
                 "name1:n12:piece lengthi1e6:pieces0:"),
         "url", std::numeric_limits<std::int64_t>::min() + 1, 2},
    };
    for (const Case& c : cases) {
        TTorrentFile torrent;
        ASSERT_NO_THROW(torrent.Load(c.data)) << c.what;
        EXPECT_EQ(torrent.Announce(), c.announce) << c.what;
        EXPECT_EQ(torrent.Length(), c.length) << c.what;
        EXPECT_EQ(torrent.Count(), c.count) << c.what;
        EXPECT_EQ(torrent.Hash().size(), 40u) << c.what;
    }
}

std::string Trackers(const std::string& before) {
    TTorrentFile torrent;
    torrent.Load(Torrent(SingleInfo(), before));
    std::string joined;
    for (const std::string& tracker : torrent.Trackers()) {
        joined += (joined.empty() ? "" : " ") + tracker;
    }
    return joined;
}

TEST(TorrentFile, TrackersFromAnnounceAndItsTiers) {
    struct Case {
        const char* what;
        std::string before; // the top-level members before "info"
        std::string trackers;
    };
    const Case cases[] = {
        {"announce only", "d8:announce1:a", "a"},
        {"no trackers at all", "d", ""},
        {"empty announce", "d8:announce0:", ""},
        {"integer announce", "d8:announcei7e", ""},
        {"announce then tiers", "d8:announce1:a13:announce-listll1:bel1:c1:bee", "a b c"},
        {"announce repeated in a tier", "d8:announce1:a13:announce-listll1:a1:bee", "a b"},
        {"duplicates across tiers", "d13:announce-listll1:x1:yel1:y1:xee", "x y"},
        {"empty tiers and trackers", "d13:announce-listllelel0:1:zee", "z"},
        {"only announce-list", "d13:announce-listll1:qee", "q"},
        {"exact text decides sameness", "d13:announce-listll1:Q1:qee", "Q q"},
        {"announce-list no list", "d8:announce1:a13:announce-list1:b", "a"},
        {"tier no list", "d8:announce1:a13:announce-listl1:bl1:cee", "a c"},
        {"entries that are no strings", "d13:announce-listlli5eld1:ki1eee1:wee", "w"},
        {"a tier nested too deep is skipped", "d13:announce-listllll1:deeel1:eee", "e"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Trackers(c.before), c.trackers) << c.what;
    }
}

TEST(TorrentFile, NameUtf8WinsWhenItIsANonEmptyString) {
    const std::string base = "6:lengthi1e4:name6:legacy12:piece lengthi1e6:pieces0:";
    const std::pair<std::string, std::string> cases[] = {
        {"10:name.utf-85:nouvo", "nouvo"},
        {"10:name.utf-80:", "legacy"},
        {"10:name.utf-8i1e", "legacy"},
        {"10:name.utf-8l1:xe", "legacy"},
    };
    for (const auto& [extra, name] : cases) {
        TTorrentFile torrent;
        ASSERT_NO_THROW(torrent.Load(Torrent(base + extra))) << extra;
        EXPECT_EQ(torrent.Name(), name) << extra;
    }
}

std::string Leaf(std::int64_t length) {
    return "d0:d6:lengthi" + std::to_string(length) + "e11:pieces root32:" + std::string(32, 'r') +
           "ee";
}

std::string V2Info(const std::string& tree) {
    return "9:file tree" + tree + "12:meta versioni2e4:name2:v212:piece lengthi16384e";
}

TEST(TorrentFile, VersionTwoTorrentsCountTheirTreesLeaves) {
    struct Case {
        const char* what;
        std::string tree;
        std::int32_t count;
        std::int64_t length;
    };
    const Case cases[] = {
        {"one file", "d5:a.txt" + Leaf(100) + "e", 1, 100},
        {"nested folders",
         "d4:docsd3:subd5:b.txt" + Leaf(7) + "e5:c.txt" + Leaf(8) + "e5:a.bin" + Leaf(5) + "e", 3,
         20},
        {"an empty file", "d5:empty" + Leaf(0) + "e", 1, 0},
        {"an empty folder counts nothing", "d3:dirde1:f" + Leaf(3) + "e", 1, 3},
        {"an empty tree", "de", 0, 0},
    };
    for (const Case& c : cases) {
        const std::string data = Torrent(V2Info(c.tree));
        TTorrentFile torrent;
        ASSERT_NO_THROW(torrent.Load(data)) << c.what;
        EXPECT_TRUE(torrent.V2Only()) << c.what;
        EXPECT_EQ(torrent.Count(), c.count) << c.what;
        EXPECT_EQ(torrent.Length(), c.length) << c.what;
        const std::size_t start = data.find("4:info") + 6;
        TSHA256 digest;
        digest.TransformString(std::string_view(data).substr(start, data.size() - start - 1));
        digest.Complete();
        EXPECT_EQ(torrent.Hash(), digest.HashValue()) << c.what;
        EXPECT_EQ(torrent.Hash().size(), 64u) << c.what;
    }
}

TEST(TorrentFile, MalformedVersionTwoTreesAreRefused) {
    struct Case {
        const char* what;
        std::string data;
        std::string cause; // "{at}" stands for the offset of marker
        std::string marker = "";
    };
    const std::string noPieces = "the info dictionary has no pieces";
    const Case cases[] = {
        {"node no dictionary", Torrent(V2Info("d1:ai1ee")),
         "the file tree's node{at} is an integer, not a dictionary", "i1ee"},
        {"tree no dictionary", Torrent(V2Info("l1:ae")), noPieces},
        {"leaf no dictionary", Torrent(V2Info("d1:ad0:i5eee")),
         "the file{at} of the file tree has no whole-number length", "i5eee"},
        {"leaf without length", Torrent(V2Info("d1:ad0:d1:xi1eeee")),
         "the file{at} of the file tree has no whole-number length", "d1:xi1e"},
        {"length a string", Torrent(V2Info("d1:ad0:d6:length2:10eee")),
         "the file{at} of the file tree has no whole-number length", "d6:length2"},
        {"negative length", Torrent(V2Info("d1:ad0:d6:lengthi-1eeee")),
         "the file{at} of the file tree has a negative length", "d6:lengthi-1"},
        {"file and folder at once", Torrent(V2Info("d1:ad0:d6:lengthi1ee1:b" + Leaf(1) + "ee")),
         "the file tree's node{at} is a file and a folder at once", "d0:d6:lengthi1ee1:b"},
        {"sizes past 64 bits", Torrent(V2Info("d1:a" + Leaf(INT64_MAX) + "1:b" + Leaf(1) + "e")),
         "the file tree holds more than any torrent can"},
        {"meta version 1",
         Torrent("9:file treed1:a" + Leaf(1) + "e12:meta versioni1e4:name1:n12:piece lengthi1e"),
         noPieces},
        {"no file tree", Torrent("12:meta versioni2e4:name1:n12:piece lengthi1e"), noPieces},
    };
    for (const Case& c : cases) {
        std::string cause = c.cause;
        if (const auto at = cause.find("{at}"); at != std::string::npos) {
            cause.replace(at, 4, AtByteOf(c.data, c.marker));
        }
        EXPECT_EQ(CauseOf(c.data), cause) << c.what;
    }
}

TEST(TorrentFile, HybridsKeepTheirVersionOneHash) {
    const std::string data =
        Torrent("9:file treed1:f" + Leaf(1000) + "e12:meta versioni2e" + SingleInfo());
    TTorrentFile torrent;
    ASSERT_NO_THROW(torrent.Load(data));
    EXPECT_FALSE(torrent.V2Only());
    EXPECT_EQ(torrent.Hash().size(), 40u);
    EXPECT_EQ(torrent.Length(), 1000);
}

TEST(TorrentFile, LargeInfoValuesKeepTheirFilesAndHash) {
    // Over a mebibyte of info: the records outgrow their first block.
    std::string files;
    for (int i = 0; i < 20000; ++i) {
        files += "d6:lengthi" + std::to_string(i + 1) + "e4:pathl3:dir" +
                 Bytes("file-" + std::to_string(i)) + "ee";
    }
    const std::string pieces(400000, 'p');
    const std::string info =
        "5:filesl" + files + "e4:name3:big12:piece lengthi16384e6:pieces" + Bytes(pieces);
    const std::string data = Torrent(info);
    ASSERT_GT(info.size(), std::size_t{1} << 20);
    TTorrentFile torrent;
    ASSERT_TRUE(torrent.Load(data));
    EXPECT_EQ(torrent.Count(), 20000);
    EXPECT_EQ(torrent.Length(), std::int64_t{20000} * 20001 / 2);
    EXPECT_EQ(torrent.Hash(), Sha1Of("d" + info + "e"));
    const std::vector<std::string> contents = ContentsOf(torrent);
    ASSERT_EQ(contents.size(), 20000u);
    EXPECT_EQ(contents.back(), "dir/file-19999:20000");

    // A member after "info" that moves the markers: the digest follows the markers.
    std::string moved = data;
    moved.insert(moved.size() - 1, "12:_info_lengthi5e");
    const std::size_t start = moved.find("4:info") + 6;
    ASSERT_TRUE(torrent.Load(moved));
    EXPECT_EQ(torrent.Hash(), Sha1Of(std::string_view(moved).substr(start, 5)));

    // A failure deep inside a large info value, then the same model loads again.
    std::string broken = data;
    broken[broken.rfind("d6:length") + 1] = 'X';
    EXPECT_THROW(torrent.Load(broken), ETorrentFileError);
    ASSERT_TRUE(torrent.Load(data));
    EXPECT_EQ(torrent.Hash(), Sha1Of("d" + info + "e"));
}

TEST(TorrentFile, ALoadStartsFromScratch) {
    TTorrentFile torrent;
    ASSERT_TRUE(torrent.Load(Torrent(SingleInfo())));
    EXPECT_THROW(torrent.Load("d8:announce1:xe"), ETorrentFileError);
    EXPECT_EQ(torrent.Name(), "");
    EXPECT_EQ(torrent.Hash(), "");
    EXPECT_EQ(torrent.Announce(), "x") << "what was set before the failure stays";
    EXPECT_TRUE(ContentsOf(torrent).empty());
    // The files are read from the loaded bytes: they stay alive.
    const std::string data = Torrent(SingleInfo());
    ASSERT_TRUE(torrent.Load(data));
    EXPECT_EQ(ContentsOf(torrent), std::vector<std::string>{"file:1000"});
}

} // namespace
