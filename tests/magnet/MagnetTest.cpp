#include "list/TorrentRow.h"
#include "magnet/LinkSettings.h"
#include "magnet/MagnetLink.h"
#include "magnet/URLEncoder.h"
#include "tests/magnet/ClientMagnetReader.h"
#include "tests/magnet/ExpectedLinks.h"
#include "trackers/TrackerCell.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;
using lintervale::testing::ReadMagnetAsClient;
using lintervale::testing::TClientMagnet;

namespace {

TEST(URLEncode, KeepsOnlyTheKeptSet) {
    struct Case {
        std::string input;
        std::string encoded;
    };
    const Case cases[] = {
        {"", ""},
        {"a b", "a%20b"},
        {"100%", "100%25"},
        {"x_y~z", "x%5Fy%7Ez"},
        {"\t", "%09"},
        {"\xE9", "%E9"},
        {"caf\xC3\xA9", "caf%C3%A9"},
        {std::string("\0\x1F\x7F\xFF", 4), "%00%1F%7F%FF"},
        {"\"%<>[\\]^_`{|}~", "%22%25%3C%3E%5B%5C%5D%5E%5F%60%7B%7C%7D%7E"},
        // A value's own "&", "#" and "+" could end it, start a fragment or read as a space.
        {"udp://host:80/a?b=c&d=e#f+g", "udp://host:80/a?b=c%26d=e%23f%2Bg"},
        {"Tom & Jerry #1 C++", "Tom%20%26%20Jerry%20%231%20C%2B%2B"},
        {"!$'()*,-./:;=?@", "!$'()*,-./:;=?@"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(URLEncode(c.input), c.encoded) << c.input;
    }
}

TEST(MagnetLinkOfRow, JoinsHashNameAndTrackers) {
    struct Case {
        const char* what;
        std::string name;
        std::string hash;
        std::string cell;
        std::string link;
    };
    const Case cases[] = {
        {"two trackers", "N x", "H", "\"udp://a/b\"|\"http://c d\"",
         "magnet:?xt=urn:btih:H&dn=N%20x&tr=udp://a/b&tr=http://c%20d"},
        {"separators in the values", "a&b#c+d", "H", "\"http://t/a?x=1&y=2#z+w\"",
         "magnet:?xt=urn:btih:H&dn=a%26b%23c%2Bd&tr=http://t/a?x=1%26y=2%23z%2Bw"},
        {"empty cell", "N", "H", "", "magnet:?xt=urn:btih:H&dn=N&tr="},
        {"an empty tracker", "N", "H", "\"\"", "magnet:?xt=urn:btih:H&dn=N&tr="},
        {"empty row", "", "", "", "magnet:?xt=urn:btih:&dn=&tr="},
        {"cell with a trailing bar", "N", "H", "\"a\"|", "magnet:?xt=urn:btih:H&dn=N&tr=a&tr="},
        {"unquoted with a space", "N", "H", "a b", "magnet:?xt=urn:btih:H&dn=N&tr=a&tr=b"},
        {"a v2 hash", "N", std::string(64, 'f'), "\"t\"",
         "magnet:?xt=urn:btmh:1220" + std::string(64, 'f') + "&dn=N&tr=t"},
        {"63 digits are no v2 hash", "N", std::string(63, 'f'), "",
         "magnet:?xt=urn:btih:" + std::string(63, 'f') + "&dn=N&tr="},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MagnetLinkOfRow(c.name, c.hash, c.cell), c.link) << c.what;
    }
}

// Names and trackers that would break a link whose values kept their separators: each
// must come back whole from a client's reading, next to the hash and the other trackers.
TEST(MagnetLinkOfRow, AClientReadsBackEveryNameAndTracker) {
    const std::string names[] = {
        "Tom & Jerry #1 C++",
        "a+b=c",
        "100% sure %41 %zz %",
        "?dn=evil&tr=http://evil/announce",
        "&",
        "#",
        "+",
        "=",
        " spaces  around ",
        "Caf\xC3\xA9 \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC",
        "latin1 \xE9\xFF\x80",
        "quote\" <>[]{}|\\^`~_",
        "",
    };
    const std::vector<std::string> trackerSets[] = {
        {"http://tracker.example/announce.php?passkey=a+b&uid=7"},
        {"udp://t.example:1337/announce#fragment", "http://t.example/a?x=%41&y=%2B"},
        {"http://[::1]:6969/announce", "https://t.example/?a=1&b=2+3&tr=http://evil"},
        {"http://t.example/a b", "udp://t.example:80"},
        {},
    };
    const std::string hash(40, 'a');
    for (const std::string& name : names) {
        for (const std::vector<std::string>& trackers : trackerSets) {
            const std::string link = MagnetLinkOfRow(name, hash, WriteTrackerCell(trackers));
            const std::optional<TClientMagnet> read = ReadMagnetAsClient(link);
            ASSERT_TRUE(read.has_value()) << link;
            EXPECT_EQ(read->Topics, std::vector<std::string>{"urn:btih:" + hash}) << link;
            EXPECT_EQ(read->Names, std::vector<std::string>{name}) << link;
            // A row without trackers still ends its link with one empty "tr".
            EXPECT_EQ(read->Trackers, trackers.empty() ? std::vector<std::string>{""} : trackers)
                << link;
            EXPECT_TRUE(read->Others.empty()) << link;
        }
    }
}

// The reader itself: it must catch what a link with bare separators loses.
TEST(ClientMagnetReader, SplitsAtAmpersandsStopsAtFragmentsAndReadsPlusAsSpace) {
    const std::optional<TClientMagnet> read =
        ReadMagnetAsClient("magnet:?xt=urn:btih:H&dn=Tom & Jerry+1&tr=http://t/a?x=1&uid=7#f&tr=x");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Names, std::vector<std::string>{"Tom "});
    EXPECT_EQ(read->Trackers, std::vector<std::string>{"http://t/a?x=1"});
    EXPECT_EQ(read->Others, (std::vector<std::string>{" Jerry+1", "uid"}));
    EXPECT_EQ(ReadMagnetAsClient("magnet:?dn=a+b%2B%41")->Names, std::vector<std::string>{"a b+A"});
    EXPECT_FALSE(ReadMagnetAsClient("magnet:?dn=100%"));
    EXPECT_FALSE(ReadMagnetAsClient("magnet:?dn=%4"));
    EXPECT_FALSE(ReadMagnetAsClient("magnet:?dn=%G1"));
    EXPECT_FALSE(ReadMagnetAsClient("http://x/?dn=a"));
}

// Every fixture's row gives the link of the table in force, and a client reads the row's
// hash, name and trackers back from it.
TEST(MagnetLinkOfRow, EveryFixtureGivesItsExpectedLink) {
    const std::vector<lintervale::testing::TExpectedLink> rows =
        lintervale::testing::ReadExpected(lintervale::testing::kExpectedLinksTable);
    ASSERT_GE(rows.size(), 31u);
    for (const lintervale::testing::TExpectedLink& expected : rows) {
        const std::string file =
            (std::filesystem::path(LINTERVALE_FIXTURES) / expected.file).string();
        if (!expected.ok) {
            EXPECT_ANY_THROW(LoadTorrentRow(file)) << expected.file;
            continue;
        }
        const TTorrentRow row = LoadTorrentRow(file);
        EXPECT_EQ(row.Hash, expected.hash) << expected.file;
        const std::string link = MagnetLinkOfRow(row.Name, row.Hash, row.Trackers);
        EXPECT_EQ(link, expected.link) << expected.file;

        const std::optional<TClientMagnet> read = ReadMagnetAsClient(link);
        ASSERT_TRUE(read.has_value()) << expected.file;
        const std::string topic =
            (row.Hash.size() == 64 ? "urn:btmh:1220" : "urn:btih:") + row.Hash;
        EXPECT_EQ(read->Topics, std::vector<std::string>{topic}) << expected.file;
        EXPECT_EQ(read->Names, std::vector<std::string>{row.Name}) << expected.file;
        std::vector<std::string> trackers = ReadTrackerCell(row.Trackers);
        if (trackers.empty()) {
            trackers.emplace_back();
        }
        EXPECT_EQ(read->Trackers, trackers) << expected.file;
        EXPECT_TRUE(read->Others.empty()) << expected.file;
    }
}

// The files a link selects (BEP 53), the BEP's own example first.
TEST(SelectOnlyValue, IndicesAndRuns) {
    struct Case {
        std::vector<std::int64_t> Indices;
        std::string Value;
    };
    const Case cases[] = {
        {{0, 2, 4, 6, 7, 8}, "0,2,4,6-8"},
        {{8, 7, 6, 4, 2, 0, 4}, "0,2,4,6-8"},
        {{}, ""},
        {{5}, "5"},
        {{1, 2}, "1,2"},
        {{0, 1, 2, 3, 10, 11, 12, 99999}, "0-3,10-12,99999"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SelectOnlyValue(c.Indices), c.Value) << ::testing::PrintToString(c.Indices);
    }
}

// What the options file says of links, read as the headless commands read it.
TEST(LinkSettings, ReadFromTheOptionsFile) {
    using T = TLinkContents::TTrackers;
    struct Case {
        std::string Ini;
        TLinkContents Contents;
    };
    const Case cases[] = {
        {"", {}},
        {"[General]\nSaveOnExit=1\n", {}},
        {"[General]\r\nLinkName=0\r\nLinkTrackers=first\r\nLinkWebSeeds=0\r\n"
         "LinkExactLength=1\r\nLinkPeers=1.2.3.4:80 [::1]:6881 bad host:1\r\n",
         {.Name = false,
          .Trackers = T::First,
          .WebSeeds = false,
          .ExactLength = true,
          .Peers = {"1.2.3.4:80", "[::1]:6881", "host:1"}}},
        {"LinkTrackers=none\nLinkPeers=\"p.example:9\"\n",
         {.Trackers = T::None, .Peers = {"p.example:9"}}},
        // Values that are no good give the default; another group is not the options'.
        {"[General]\nLinkName=yes\nLinkTrackers=some\n[Other]\nLinkWebSeeds=0\n", {}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ReadLinkSettings(c.Ini) == c.Contents) << c.Ini;
    }
    TLinkContents written;
    written.Trackers = T::None;
    written.Peers = {"a.example:1", "[::1]:2"};
    EXPECT_EQ(LinkTrackersValue(written.Trackers), "none");
    EXPECT_TRUE(ReadLinkSettings("LinkTrackers=none\nLinkPeers=" + LinkPeersValue(written.Peers)) ==
                written);
}

// Peer addresses a link can carry.
TEST(LinkSettings, PeerAddresses) {
    for (const char* good : {"1.2.3.4:6881", "peer.example.org:1", "[::1]:65535",
                             "[2001:db8::1]:80", "localhost:51413"}) {
        EXPECT_TRUE(IsPeerAddress(good)) << good;
    }
    for (const char* bad :
         {"", "host", "host:", ":80", "host:0", "host:65536", "host:08", "[::1:80", "[]:80",
          "a b:80", "host:80x", "-host:80", "a..b:80", "[::1]x:80", "host:+80"}) {
        EXPECT_FALSE(IsPeerAddress(bad)) << bad;
    }
}

} // namespace
