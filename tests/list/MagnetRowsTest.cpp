#include "list/MagnetRows.h"

#include "magnet/MagnetLink.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace lintervale;

namespace {

const std::string kHex = "ab80abf537543bb8008b1122155d60e2338369a8";
const std::string kLink = "magnet:?xt=urn:btih:" + kHex + "&dn=n&tr=t";

TEST(MagnetRows, CellsOfARow) {
    const TMagnetRows result = MagnetRowsOfText(
        "magnet:?xt=urn:btih:" + kHex + "&dn=a%20b&tr=udp://x:1/a&tr=http://y/b%20c&xl=1572864");
    ASSERT_EQ(result.Rows.size(), 1u);
    const TTorrentRow& row = result.Rows[0];
    EXPECT_EQ(row.Name, "a b");
    EXPECT_EQ(row.Hash, kHex);
    EXPECT_EQ(row.Trackers, "\"udp://x:1/a\"|\"http://y/b c\"");
    EXPECT_EQ(row.Files, "");
    EXPECT_EQ(row.Size, "2 MB");
    EXPECT_EQ(MagnetRowsStatusText(result).English(), "");
    EXPECT_TRUE(result.Peers.empty());
    // Peer addresses are kept beside the rows, by hash, for fetching the contents.
    const TMagnetRows peers =
        MagnetRowsOfText(kLink + "&x.pe=127.0.0.1:6881&x.pe=%5B::1%5D:7000 " + kLink);
    ASSERT_EQ(peers.Peers.size(), 1u);
    EXPECT_EQ(peers.Peers[0].first, kHex);
    EXPECT_EQ(peers.Peers[0].second, (std::vector<std::string>{"127.0.0.1:6881", "[::1]:7000"}));

    // Control bytes become spaces, as in a torrent's row; trackers that differed only in them
    // are one.
    const TTorrentRow named = MagnetRowsOfText("magnet:?xt=urn:btih:" + kHex +
                                               "&dn=a%00b%0D%0Ac%7F&tr=u%09v&tr=u%20v&tr=t%0A")
                                  .Rows.at(0);
    EXPECT_EQ(named.Name, "a b  c ");
    EXPECT_EQ(named.Trackers, "\"u v\"|\"t \"");

    const TTorrentRow bare = MagnetRowsOfText("magnet:?xt=urn:btih:" + kHex).Rows.at(0);
    EXPECT_EQ(bare.Name, kHex);
    EXPECT_EQ(bare.Trackers, "");
    EXPECT_EQ(bare.Size, "");
    // An empty name would leave a row that nothing opens or edits.
    EXPECT_EQ(MagnetRowsOfText("magnet:?xt=urn:btih:" + kHex + "&dn=&tr=t").Rows.at(0).Name, kHex);
}

TEST(MagnetRows, TrackersTheCellCannotHoldAreLeftOut) {
    const TMagnetRows result = MagnetRowsOfText(kLink + "&tr=a%22b&tr=c|d&tr=e%7Cf&tr=g\n" + kLink +
                                                "&tr=%22\nmagnet:?dn=x");
    ASSERT_EQ(result.Rows.size(), 2u);
    EXPECT_EQ(result.Rows[0].Trackers, "\"t\"|\"g\"");
    EXPECT_EQ(result.Rows[1].Trackers, "\"t\"");
    EXPECT_EQ(result.DroppedTrackers, 4u);
    EXPECT_EQ(MagnetRowsStatusText(result).English(),
              "Not a BitTorrent magnet link: magnet:?dn=x  4 trackers holding a double quote or "
              "\"|\" left out.");
}

TEST(MagnetRows, RefusedLinksAreNamedAndCounted) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t rows;
        std::string status;
    };
    const std::string longLink = "magnet:?dn=" + std::string(88, 'x') + "\xC3\xA9" + "yz";
    const Case cases[] = {
        {"none", kLink + " " + kLink, 2, ""},
        {"one", "see magnet:?xt=urn:btih:123&dn=x, " + kLink, 1,
         "Not a BitTorrent magnet link: magnet:?xt=urn:btih:123&dn=x,"},
        {"three", "magnet:?a " + kLink + " magnet:?b\tmagnet:?c", 1,
         "Not a BitTorrent magnet link: magnet:?a (and 2 more)"},
        {"a long link is shortened before a whole character", longLink, 0,
         "Not a BitTorrent magnet link: " + longLink.substr(0, 99) + "\xE2\x80\xA6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TMagnetRows result = MagnetRowsOfText(c.text);
        EXPECT_EQ(result.Rows.size(), c.rows);
        EXPECT_EQ(MagnetRowsStatusText(result).English(), c.status);
    }
}

// Every link of the fixtures' table is in our form: read back into a row and made again from
// the row, it comes back unchanged.
TEST(MagnetRows, OurLinksComeBackUnchanged) {
    std::ifstream table(LINTERVALE_FIXTURES "/expected-links.tsv");
    ASSERT_TRUE(table);
    std::string line;
    std::getline(table, line); // the heading
    int links = 0;
    std::string all;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string file, outcome, hash, link;
        std::getline(fields, file, '\t');
        std::getline(fields, outcome, '\t');
        std::getline(fields, hash, '\t');
        std::getline(fields, link, '\t');
        if (outcome != "ok") {
            continue;
        }
        SCOPED_TRACE(file);
        const TMagnetRows result = MagnetRowsOfText(link);
        ASSERT_EQ(result.Rows.size(), 1u);
        EXPECT_EQ(result.Rows[0].Hash, hash);
        const TTorrentRow& row = result.Rows[0];
        EXPECT_EQ(MagnetLinkOfRow(row.Name, row.Hash, row.Trackers), link);
        all += link + "\r\n";
        ++links;
    }
    EXPECT_GE(links, 20);
    EXPECT_EQ(MagnetRowsOfText(all).Rows.size(), static_cast<std::size_t>(links));
}

TEST(MagnetRows, OnlyTheTextUpToTheLimitIsRead) {
    const std::size_t limit = kMaxLinkTextBytes;
    const std::string filler = " " + std::string(1000, '.');
    const auto padTo = [&](std::string Text, std::size_t Size) {
        while (Text.size() + filler.size() <= Size) {
            Text += filler;
        }
        return Text + std::string(Size - Text.size(), ' ');
    };

    // A link that ends exactly at the limit is read; the same text one byte longer is cut.
    std::string text = padTo(kLink + "\n", limit - kLink.size()) + kLink;
    ASSERT_EQ(text.size(), limit);
    TMagnetRows result = MagnetRowsOfText(text);
    EXPECT_EQ(result.Rows.size(), 2u);
    EXPECT_FALSE(result.Cut);
    result = MagnetRowsOfText(text + " ");
    EXPECT_EQ(result.Rows.size(), 2u);
    EXPECT_TRUE(result.Cut);
    EXPECT_EQ(MagnetRowsStatusText(result).English(), kTextCutText);

    // A link that the limit cuts is not read at all, not even as far as it got.
    text = padTo(kLink + "\n", limit - 10) + kLink + "&tr=more";
    result = MagnetRowsOfText(text);
    ASSERT_EQ(result.Rows.size(), 1u);
    EXPECT_TRUE(result.Cut);
    EXPECT_EQ(result.Refused, 0u);

    // A single word longer than the limit gives nothing.
    result = MagnetRowsOfText(kLink + std::string(limit, 'x'));
    EXPECT_TRUE(result.Rows.empty());
    EXPECT_TRUE(result.Cut);
}

TEST(MagnetRows, ManyRefusedLinksStayCheap) {
    std::string text;
    while (text.size() < kMaxLinkTextBytes) {
        text += "magnet:? ";
    }
    const TMagnetRows result = MagnetRowsOfText(text);
    EXPECT_TRUE(result.Rows.empty());
    EXPECT_EQ(result.Refused, kMaxLinkTextBytes / 9);
    EXPECT_EQ(result.FirstRefused, "magnet:?");
}

} // namespace
