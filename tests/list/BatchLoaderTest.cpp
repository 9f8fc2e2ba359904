#include "list/BatchLoader.h"

#include "tests/list/RecordingHost.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lintervale;

namespace {

TEST(BatchLoader, ResultsComeInTheOrderOfTheFilesWhateverTheWorkers) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("lintervale-batch-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::vector<TLoadRequest> requests;
    std::vector<std::string> expected; // a name, "skip" or "error"
    for (int i = 0; i < 200; ++i) {
        const std::string name = "t" + std::to_string(i);
        switch (i % 5) {
        case 0:
            requests.push_back({(dir / "missing").string(), true});
            expected.push_back("skip");
            break;
        case 1:
            requests.push_back({dir.string(), true}); // a folder is no file either
            expected.push_back("skip");
            break;
        case 2:
            requests.push_back({(dir / "missing").string(), false});
            expected.push_back("error");
            break;
        default:
            requests.push_back({lintervale::testing::WriteTorrent(dir, name), i % 7 == 0});
            expected.push_back(name);
        }
    }
    for (const unsigned workers : {0u, 1u, 3u, 8u}) {
        TBatchLoader loader(requests, workers);
        TLoadResult result;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_TRUE(loader.Next(result)) << workers;
            if (expected[i] == "skip") {
                EXPECT_TRUE(result.Skipped) << i;
            } else if (expected[i] == "error") {
                EXPECT_FALSE(result.Loaded || result.Skipped) << i;
                EXPECT_NE(result.Message.find("No such file"), std::string::npos) << i;
            } else {
                EXPECT_TRUE(result.Loaded) << i;
                EXPECT_EQ(result.Row.Name, expected[i]);
            }
        }
        EXPECT_FALSE(loader.Next(result));
        EXPECT_EQ(loader.Remaining(), 0u);
    }
    // A loader dropped half-way stops its workers.
    {
        TBatchLoader loader(requests, 2);
        TLoadResult result;
        loader.Next(result);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
