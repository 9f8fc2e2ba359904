// The facts the details view and --show give agree with libtorrent's reading of the same
// file: name, sizes, piece length and count, privacy, creator, comment, date, trackers, web
// seeds and file count, for every fixture that both accept.

#include "list/TorrentList.h"
#include "list/TorrentRow.h"
#include "metainfo/TorrentDetails.h"
#include "tests/list/RecordingHost.h"
#include "tests/magnet/ExpectedLinks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <libtorrent/add_torrent_params.hpp>
#include <libtorrent/announce_entry.hpp>
#include <libtorrent/magnet_uri.hpp>
#include <libtorrent/torrent_info.hpp>
#include <set>

using namespace lintervale;

namespace {

std::string Slurp(const std::string& file) {
    std::ifstream in(std::string(LINTERVALE_FIXTURES) + "/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Hex(const std::string& bytes) {
    std::string hex;
    for (const char c : bytes) {
        hex += "0123456789abcdef"[static_cast<unsigned char>(c) >> 4];
        hex += "0123456789abcdef"[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

// A name libtorrent would not have to mend: printable ASCII without path separators.
bool PlainText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x7F && c != '/' && c != '\\';
    });
}

TEST(LibtorrentAgreement, TheFixturesReadAlike) {
    std::vector<std::string> files;
    for (const auto& row :
         lintervale::testing::ReadExpected(lintervale::testing::kExpectedLinksTable)) {
        if (row.ok) {
            files.push_back(row.file);
        }
    }
    files.insert(files.end(), {"details.torrent", "padding-files.torrent", "symlink-files.torrent",
                               "v2-symlink.torrent"});
    int compared = 0;
    for (const std::string& file : files) {
        const std::string bytes = Slurp(file);
        lt::error_code error;
        const lt::torrent_info info(
            lt::span<char const>(bytes.data(), static_cast<long>(bytes.size())), error,
            lt::from_span);
        if (error) {
            continue; // libtorrent is stricter in places; those files have their own tests
        }
        TTorrentFile torrent;
        ASSERT_TRUE(torrent.Load(bytes)) << file;
        const TTorrentDetails d = ReadDetails(torrent);
        ++compared;

        if (PlainText(d.Name)) {
            EXPECT_EQ(d.Name, info.name()) << file;
        }
        const lt::file_storage& storage = info.files();
        std::int64_t size = 0;
        int count = 0;
        for (const lt::file_index_t f : storage.file_range()) {
            if (!(storage.file_flags(f) & lt::file_storage::flag_pad_file)) {
                size += storage.file_size(f);
                ++count;
            }
        }
        EXPECT_EQ(d.TotalSize, size) << file;
        EXPECT_EQ(d.FileCount, count) << file;
        EXPECT_EQ(d.PieceLength, info.piece_length()) << file;
        EXPECT_EQ(d.PieceCount, info.num_pieces()) << file;
        EXPECT_EQ(d.Private, info.priv()) << file;
        EXPECT_EQ(d.CreatedBy.value_or(""), info.creator()) << file;
        EXPECT_EQ(d.Comment.value_or(""), info.comment()) << file;
        EXPECT_EQ(d.CreationDate.value_or(0), info.creation_date()) << file;
        if (!d.HashV1.empty()) {
            EXPECT_EQ(d.HashV1, Hex(info.info_hashes().v1.to_string())) << file;
        }
        if (!d.HashV2.empty()) {
            EXPECT_EQ(d.HashV2, Hex(info.info_hashes().v2.to_string())) << file;
        }

        // libtorrent shuffles the trackers inside a tier: each tier is compared as a set.
        std::vector<std::set<std::string>> ours;
        for (const auto& tier : d.TrackerTiers) {
            ours.emplace_back(tier.begin(), tier.end());
        }
        std::vector<std::set<std::string>> theirs;
        for (const lt::announce_entry& entry : info.trackers()) {
            theirs.resize(std::max<std::size_t>(theirs.size(), entry.tier + 1u));
            theirs[entry.tier].insert(entry.url);
        }
        std::erase_if(theirs, [](const auto& tier) { return tier.empty(); });
        // A key given twice is no valid bencoding: this reader keeps the last value, as a
        // dictionary read into a table does; libtorrent keeps the first.
        if (file != "duplicate-announce.torrent") {
            EXPECT_EQ(ours, theirs) << file;
        }

        // libtorrent ends a multi-file torrent's web seed with '/', as it names a folder.
        std::vector<std::string> seeds;
        for (const lt::web_seed_entry& seed : info.web_seeds()) {
            seeds.push_back(seed.url);
        }
        std::vector<std::string> expected = d.WebSeeds;
        for (std::string& seed : expected) {
            if (storage.num_files() > 1 && !seed.ends_with('/')) {
                seed += '/';
            }
            // libtorrent escapes what a URL may not hold; the fixtures' seeds hold nothing
            // of that kind but '&', which it keeps.
        }
        EXPECT_EQ(expected, seeds) << file;
    }
    EXPECT_GE(compared, 25);
}

// The default link of every fixture, read back by libtorrent, carries everything libtorrent's
// own link of the same file carries: both hashes, the name, every tracker, every web seed.
TEST(LibtorrentAgreement, DefaultLinksCarryWhatLibtorrentsLinksCarry) {
    int compared = 0;
    for (const auto& row : lintervale::testing::ReadCompleteExpected()) {
        if (!row.ok) {
            continue;
        }
        const std::string bytes = Slurp(row.file);
        lt::error_code error;
        const lt::torrent_info info(
            lt::span<char const>(bytes.data(), static_cast<long>(bytes.size())), error,
            lt::from_span);
        if (error) {
            continue;
        }
        TTorrentFile torrent;
        ASSERT_TRUE(torrent.Load(bytes)) << row.file;
        const TTorrentRow cells = MakeTorrentRow(torrent);
        const std::string link = MagnetLink(LinkFactsOf(cells, torrent), {});
        EXPECT_EQ(link, row.link) << row.file;
        const lt::add_torrent_params ours = lt::parse_magnet_uri(link, error);
        ASSERT_FALSE(error) << row.file << ": " << error.message();
        const lt::add_torrent_params theirs =
            lt::parse_magnet_uri(lt::make_magnet_uri(info), error);
        ASSERT_FALSE(error) << row.file;
        ++compared;
        EXPECT_EQ(ours.info_hashes, theirs.info_hashes) << row.file;
        if (PlainText(torrent.Name())) {
            EXPECT_EQ(ours.name, theirs.name) << row.file;
        }
        // Two deliberate differences: a key given twice keeps its last value here, and a
        // tracker's control bytes become spaces when its row is made.
        if (row.file == "duplicate-announce.torrent" || row.file == "control-bytes-name.torrent") {
            continue;
        }
        for (const std::string& tracker : theirs.trackers) {
            EXPECT_NE(std::find(ours.trackers.begin(), ours.trackers.end(), tracker),
                      ours.trackers.end())
                << row.file << ": " << tracker;
        }
        // libtorrent ends a multi-file torrent's web seed with '/', as it names a folder.
        for (const std::string& seed : theirs.url_seeds) {
            EXPECT_TRUE(std::any_of(
                ours.url_seeds.begin(), ours.url_seeds.end(),
                [&](const std::string& mine) { return mine == seed || mine + "/" == seed; }))
                << row.file << ": " << seed;
        }
    }
    EXPECT_GE(compared, 20);
}

// The links the window copies for rows whose torrents are kept, read back by libtorrent, give
// the same hashes, trackers and web seeds as libtorrent's own links of those files.
TEST(LibtorrentAgreement, TheListsCopiedLinksReadBackAsLibtorrentsOwn) {
    lintervale::testing::TRecordingHost host;
    TTorrentList list(host);
    list.WriteHeadings();
    list.SetKeeper([&host](const std::string& Hash, std::string_view Bytes) {
        host.Kept[Hash] = std::string(Bytes);
    });
    std::vector<std::string> files;
    for (const char* file : {"single.torrent", "webseed-single.torrent", "webseed-multi.torrent",
                             "hybrid.torrent", "hybrid-webseed.torrent", "announce-list.torrent"}) {
        ASSERT_EQ(list.AddFile(std::string(LINTERVALE_FIXTURES) + "/" + file),
                  TTorrentList::TAddResult::Added)
            << file;
        files.insert(files.begin(), file); // each goes on top
    }
    list.SelectAll();
    const std::vector<std::string> links = list.SelectedLinks();
    ASSERT_EQ(links.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string bytes = Slurp(files[i]);
        lt::error_code error;
        const lt::torrent_info info(
            lt::span<char const>(bytes.data(), static_cast<long>(bytes.size())), error,
            lt::from_span);
        ASSERT_FALSE(error) << files[i];
        const lt::add_torrent_params ours = lt::parse_magnet_uri(links[i], error);
        ASSERT_FALSE(error) << files[i];
        const lt::add_torrent_params theirs =
            lt::parse_magnet_uri(lt::make_magnet_uri(info), error);
        ASSERT_FALSE(error) << files[i];
        EXPECT_EQ(ours.info_hashes, theirs.info_hashes) << files[i];
        EXPECT_EQ(ours.name, theirs.name) << files[i];
        EXPECT_EQ(std::set<std::string>(ours.trackers.begin(), ours.trackers.end()),
                  std::set<std::string>(theirs.trackers.begin(), theirs.trackers.end()))
            << files[i];
        // libtorrent ends a multi-file torrent's web seed with '/', as it names a folder.
        ASSERT_EQ(ours.url_seeds.size(), theirs.url_seeds.size()) << files[i];
        for (std::size_t s = 0; s < ours.url_seeds.size(); ++s) {
            EXPECT_TRUE(ours.url_seeds[s] == theirs.url_seeds[s] ||
                        ours.url_seeds[s] + "/" == theirs.url_seeds[s])
                << files[i] << ": " << theirs.url_seeds[s];
        }
    }
}

// libtorrent reads the files a link selects as we write them.
TEST(LibtorrentAgreement, SelectOnlyReadsBack) {
    const std::vector<std::int64_t> chosen = {0, 2, 4, 6, 7, 8, 11};
    lt::error_code error;
    const lt::add_torrent_params params = lt::parse_magnet_uri(
        "magnet:?xt=urn:btih:" + std::string(40, 'a') + "&so=" + SelectOnlyValue(chosen), error);
    ASSERT_FALSE(error) << error.message();
    std::vector<std::int64_t> selected;
    for (std::size_t i = 0; i < params.file_priorities.size(); ++i) {
        if (params.file_priorities[i] != lt::dont_download) {
            selected.push_back(static_cast<std::int64_t>(i));
        }
    }
    EXPECT_EQ(selected, chosen);
}

} // namespace
