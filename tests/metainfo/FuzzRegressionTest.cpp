#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"
#include "metainfo/TorrentFile.h"
#include "trackers/TrackerCell.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace lintervale;

namespace {

std::vector<std::filesystem::path> InputsIn(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path root = std::filesystem::path(LINTERVALE_FUZZ_REGRESSIONS) / folder;
    if (std::filesystem::exists(root)) {
        for (const auto& entry : std::filesystem::directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path().extension() != ".md") {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Inputs that once broke a parser: each must now load or be refused cleanly.
TEST(FuzzRegressions, LoaderInputsLoadOrAreRefused) {
    for (const auto& file : InputsIn("loader")) {
        TTorrentFile torrent;
        try {
            torrent.Load(Contents(file));
            const TTorrentRow row = MakeTorrentRow(torrent);
            EXPECT_EQ(MagnetLinkOfRow(row.Name, row.Hash, row.Trackers).rfind("magnet:?xt=urn:", 0),
                      0u)
                << file;
        } catch (const ETorrentFileError&) {
        }
    }
}

TEST(FuzzRegressions, TrackerCellInputsParse) {
    for (const auto& file : InputsIn("trackercell")) {
        const auto trackers = ReadTrackerCell(Contents(file));
        EXPECT_LE(trackers.size(), Contents(file).size() + 1) << file;
    }
}

} // namespace
