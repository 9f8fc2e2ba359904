// Every input the parsers have a folder of (the fuzz targets' seeds, the inputs that once
// broke a parser, the fixture torrents) goes through every parser: the loader, the tracker
// cell and the list data file, each held to the rules its fuzz target checks.

#include "fuzz/ListFileRoundTrip.h"
#include "fuzz/TrackerCellRoundTrip.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"
#include "metainfo/TorrentFile.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace lintervale;
namespace fs = std::filesystem;

namespace {

struct TInput {
    std::string Name;
    std::string Bytes;
};

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The inputs in the folders named, every file but a README; folders that are missing give
// none, which the count checks below catch.
std::vector<TInput> InputsIn(std::initializer_list<fs::path> Folders) {
    std::vector<TInput> inputs;
    for (const fs::path& folder : Folders) {
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && extension != ".md" && extension != ".tsv") {
                inputs.push_back({entry.path().string(), Contents(entry.path())});
            }
        }
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const TInput& a, const TInput& b) { return a.Name < b.Name; });
    return inputs;
}

const fs::path kRegressions(LINTERVALE_FUZZ_REGRESSIONS);
const fs::path kCorpus(LINTERVALE_FUZZ_CORPUS);

std::vector<TInput> TorrentInputs() {
    return InputsIn({kCorpus / "loader", kRegressions / "loader", LINTERVALE_FIXTURES});
}

std::vector<TInput> AllInputs() {
    return InputsIn({kCorpus / "loader", kRegressions / "loader", LINTERVALE_FIXTURES,
                     kCorpus / "trackercell", kRegressions / "trackercell", kCorpus / "listfile",
                     kRegressions / "listfile"});
}

// Loads Bytes twice into one model; false when refused, which must happen with the one
// message and the same way both times.
bool Loads(TTorrentFile& Torrent, const std::string& Bytes, const std::string& Name) {
    bool loaded[2] = {false, false};
    std::string hash[2];
    for (int pass = 0; pass < 2; ++pass) {
        try {
            loaded[pass] = Torrent.Load(Bytes);
            hash[pass] = Torrent.Hash();
        } catch (const ETorrentFileError& error) {
            EXPECT_EQ(std::string_view(error.what()), kCorruptMetainfo) << Name;
        }
    }
    EXPECT_EQ(loaded[0], loaded[1]) << Name;
    EXPECT_EQ(hash[0], hash[1]) << Name;
    return loaded[0] && loaded[1];
}

TEST(FuzzRegressions, TorrentsLoadOrAreRefusedCleanly) {
    const std::vector<TInput> inputs = TorrentInputs();
    ASSERT_GE(inputs.size(), 40u) << "the seed and fixture folders are missing";
    int accepted = 0;
    TTorrentGrid rows;
    rows.SetRowCount(static_cast<int>(inputs.size()) + 1);
    for (const TInput& input : inputs) {
        TTorrentFile torrent;
        if (!Loads(torrent, input.Bytes, input.Name)) {
            continue;
        }
        const std::string& hash = torrent.Hash();
        EXPECT_EQ(hash.size(), torrent.V2Only() ? 64u : 40u) << input.Name;
        EXPECT_EQ(hash.find_first_not_of("0123456789abcdef"), std::string::npos) << input.Name;
        const TTorrentRow row = MakeTorrentRow(torrent);
        EXPECT_EQ(row.Hash, hash) << input.Name;
        EXPECT_EQ(row.Name.find_first_of("\r\n"), std::string::npos) << input.Name;
        const std::string scheme =
            torrent.V2Only() ? "magnet:?xt=urn:btmh:1220" : "magnet:?xt=urn:btih:";
        EXPECT_EQ(MagnetLinkOfRow(row.Name, row.Hash, row.Trackers).rfind(scheme + hash, 0), 0u)
            << input.Name;
        // The cell quotes each tracker as it is, so trackers without a quote or NUL read back.
        const auto& trackers = torrent.Trackers();
        if (std::none_of(trackers.begin(), trackers.end(), [](const std::string& t) {
                return t.find_first_of(std::string_view("\"\0", 2)) != std::string::npos;
            })) {
            std::vector<std::string> back = ReadTrackerCell(row.Trackers);
            ASSERT_EQ(back.size(), trackers.size()) << input.Name;
            for (std::size_t i = 0; i < back.size(); ++i) {
                EXPECT_EQ(fuzz::ControlsAsSpaces(back[i]), fuzz::ControlsAsSpaces(trackers[i]))
                    << input.Name;
            }
        }
        ++accepted;
        rows.SetRowCells(accepted, {"", row.Name, row.Hash, row.Trackers, row.Files, row.Size});
    }
    EXPECT_GE(accepted, 20);
    // The rows of every accepted torrent, kept in the list data file, come back.
    rows.SetRowCount(accepted + 1);
    EXPECT_EQ(fuzz::ListFileRoundTripFault(GridToText(rows)), "");
}

TEST(FuzzRegressions, EveryInputReadsAsATrackerCell) {
    const std::vector<TInput> inputs = AllInputs();
    ASSERT_GE(inputs.size(), 60u);
    for (const TInput& input : inputs) {
        EXPECT_EQ(fuzz::TrackerCellFault(input.Bytes), "") << input.Name;
    }
}

TEST(FuzzRegressions, EveryInputSurvivesTheListDataFile) {
    const std::vector<TInput> inputs = AllInputs();
    ASSERT_GE(inputs.size(), 60u);
    for (const TInput& input : inputs) {
        EXPECT_EQ(fuzz::ListFileRoundTripFault(input.Bytes), "") << input.Name;
    }
}

} // namespace
