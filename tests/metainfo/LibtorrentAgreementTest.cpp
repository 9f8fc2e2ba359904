// The facts the details view and --show give agree with libtorrent's reading of the same
// file: name, sizes, piece length and count, privacy, creator, comment, date, trackers, web
// seeds and file count, for every fixture that both accept.

#include "metainfo/TorrentDetails.h"
#include "tests/magnet/ExpectedLinks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <libtorrent/announce_entry.hpp>
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
    for (const auto& row : lintervale::testing::ReadExpected(lintervale::testing::kExpectedLinksTable)) {
        if (row.ok) {
            files.push_back(row.file);
        }
    }
    files.insert(files.end(), {"details.torrent", "padding-files.torrent",
                               "symlink-files.torrent", "v2-symlink.torrent"});
    int compared = 0;
    for (const std::string& file : files) {
        const std::string bytes = Slurp(file);
        lt::error_code error;
        const lt::torrent_info info(lt::span<char const>(bytes.data(), static_cast<long>(bytes.size())),
                                    error, lt::from_span);
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

} // namespace
