#include "list/BatchLoader.h"

#include "list/TorrentList.h"
#include "metainfo/Cause.h"
#include "tests/list/PipeGuard.h"
#include "tests/list/RecordingHost.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
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
        switch (i % 6) {
        case 0:
            requests.push_back({(dir / "missing").string(), true, std::nullopt, {}});
            expected.push_back("skip");
            break;
        case 1:
            // A folder is no file either.
            requests.push_back({dir.string(), true, std::nullopt, {}});
            expected.push_back("skip");
            break;
        case 2:
            requests.push_back({(dir / "missing").string(), false, std::nullopt, {}});
            expected.push_back("error");
            break;
        case 3: {
            // A row made already (a pasted link), however its file would fare.
            TTorrentRow row;
            row.Name = name;
            row.Hash = std::string(40, 'a');
            requests.push_back({(dir / "missing").string(), i % 4 == 0, row, {}});
            expected.push_back(name);
            break;
        }
        default:
            requests.push_back(
                {lintervale::testing::WriteTorrent(dir, name), i % 7 == 0, std::nullopt, {}});
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
                EXPECT_NE(result.Message.English().find("No such file"), std::string::npos) << i;
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

// A named pipe would keep the read waiting for a writer, a device would never end or give
// what it likes: only regular files are read, whoever names them (a drop, a hand-off, the
// command line), and the refusal says what the name is.
TEST(BatchLoader, OnlyRegularFilesAreRead) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("lintervale-kinds-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const lintervale::testing::TPipeGuard pipe(dir / "pipe.torrent");
    const std::string torrent = lintervale::testing::WriteTorrent(dir, "regular");
    struct Case {
        std::string file;
        bool skipMissing;
        TCauseCode code;
    };
    const Case cases[] = {
        {.file = pipe.Name(), .skipMissing = false, .code = TCauseCode::NamedPipe},
        {.file = pipe.Name(), .skipMissing = true, .code = TCauseCode::NamedPipe},
        {.file = "/dev/zero", .skipMissing = false, .code = TCauseCode::DeviceFile},
        {.file = "/dev/null", .skipMissing = true, .code = TCauseCode::DeviceFile},
    };
    std::vector<TLoadRequest> requests;
    for (const Case& c : cases) {
        requests.push_back({c.file, c.skipMissing, std::nullopt, {}});
    }
    requests.push_back({torrent, true, std::nullopt, {}});
    TBatchLoader loader(requests, 2);
    TLoadResult result;
    for (const Case& c : cases) {
        ASSERT_TRUE(loader.Next(result));
        EXPECT_FALSE(result.Loaded || result.Skipped) << c.file;
        EXPECT_EQ(result.Cause.Code, c.code) << c.file << ": " << DescribeCause(result.Cause);
        EXPECT_EQ(MessageWithCause(result.Message, result.Cause).English(),
                  "Cannot open file \"" + c.file + "\". (" + DescribeCause(result.Cause) + ")");
    }
    ASSERT_TRUE(loader.Next(result));
    EXPECT_TRUE(result.Loaded) << "the files after them still load";
    EXPECT_EQ(DescribeCause({.Code = TCauseCode::NamedPipe}), "a named pipe, not a regular file");

    // The host hears of it as of any file it cannot add.
    lintervale::testing::TRecordingHost host;
    TTorrentList list(host);
    EXPECT_EQ(list.AddFile("/dev/zero"), TTorrentList::TAddResult::Failed);
    EXPECT_EQ(host.Status, "zero: a device, not a regular file");
    EXPECT_EQ(host.Errors, std::vector<std::string>{
                               "Cannot open file \"/dev/zero\". (a device, not a regular file)"});
    std::filesystem::remove_all(dir);
}

TEST(BatchLoader, WorkersOnlyForTwoFilesOrMore) {
    const TLoadRequest file{"a.torrent", false, std::nullopt, {}};
    const TLoadRequest made{std::string(), false, TTorrentRow{"n", "h", "", "", ""}, {}};
    struct Case {
        std::vector<TLoadRequest> Requests;
        bool Workers;
    };
    const Case cases[] = {
        {{}, false},
        {{file}, false},
        {{made, made, made}, false},
        {{made, file, made}, false},
        {{file, made, file}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TBatchLoader::WorkersFor(c.Requests),
                  c.Workers ? TBatchLoader::DefaultWorkers() : 0u)
            << c.Requests.size();
    }
}

TEST(BatchLoader, BytesInMemoryLoadAsAFileDoes) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("lintervale-bytes-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = lintervale::testing::WriteTorrent(dir, "in memory");
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TFileBuffer buffer;
    const TLoadResult fromFile = LoadForList(file, buffer);
    const TLoadResult fromBytes = LoadBytesForList(bytes);
    ASSERT_TRUE(fromBytes.Loaded);
    EXPECT_EQ(fromBytes.Row.Name, "in memory");
    EXPECT_EQ(fromBytes.Row.Hash, fromFile.Row.Hash);
    EXPECT_EQ(fromBytes.Row.Trackers, fromFile.Row.Trackers);
    EXPECT_EQ(fromBytes.Row.Size, fromFile.Row.Size);

    // A refusal says the same, with the same cause, as for the bytes in a file.
    const struct {
        std::string Bytes;
        TCauseCode Code;
    } refused[] = {
        {std::string(), TCauseCode::EmptyData},
        {"<html>not found</html>", TCauseCode::NotBencoded},
        {bytes.substr(0, bytes.size() / 2), TCauseCode::StringPastEnd},
    };
    for (const auto& [bad, code] : refused) {
        std::ofstream(dir / "bad.torrent", std::ios::binary) << bad;
        const TLoadResult inFile = LoadForList((dir / "bad.torrent").string(), buffer);
        const TLoadResult result = LoadBytesForList(bad);
        EXPECT_FALSE(result.Loaded || result.Skipped);
        EXPECT_EQ(result.Message.English(), kCorruptMetainfo);
        EXPECT_EQ(result.Cause.Code, code) << DescribeCause(result.Cause);
        EXPECT_EQ(DescribeCause(result.Cause), DescribeCause(inFile.Cause));
    }
    std::filesystem::remove_all(dir);
}

// Every torrent a batch loads is handed to Keep with the bytes it was loaded from, where it
// was loaded; a row made from a link has none, and a keep that fails leaves the load standing.
TEST(BatchLoader, LoadedTorrentsAreHandedToKeep) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("lintervale-keep-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto bytesOf = [](const std::string& File) {
        std::ifstream in(File, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    std::map<std::string, std::string> expected; // hash -> bytes
    std::vector<TLoadRequest> requests;
    std::string failing;
    for (int i = 0; i < 12; ++i) {
        const std::string file = lintervale::testing::WriteTorrent(dir, "t" + std::to_string(i));
        const std::string hash = LoadTorrentRow(file).Hash;
        expected[hash] = bytesOf(file);
        failing = hash;
        requests.push_back({file, false, std::nullopt, {}});
    }
    // A download: a made row with its torrent.
    const std::string downloaded = lintervale::testing::WriteTorrent(dir, "downloaded");
    TTorrentRow row = LoadTorrentRow(downloaded);
    expected[row.Hash] = bytesOf(downloaded);
    requests.push_back({std::string(), false, row, bytesOf(downloaded)});
    // A link: a made row without one.
    requests.push_back(
        {std::string(), false, TTorrentRow{"link", std::string(40, 'c'), "", "", ""}, {}});
    for (const unsigned workers : {0u, 3u}) {
        std::mutex mutex;
        std::map<std::string, std::string> kept;
        TBatchLoader loader(requests, workers,
                            [&](const std::string& Hash, std::string_view Bytes) {
                                if (Hash == failing) {
                                    throw EMessageError(TMessage::Verbatim("disk full"));
                                }
                                const std::lock_guard<std::mutex> lock(mutex);
                                kept[Hash] = std::string(Bytes);
                            });
        TLoadResult result;
        int failures = 0;
        while (loader.Next(result)) {
            EXPECT_TRUE(result.Loaded) << workers;
            if (!result.KeepFailure.Empty()) {
                ++failures;
                EXPECT_EQ(result.Row.Hash, failing);
                EXPECT_EQ(result.KeepFailure.English(), "disk full");
            }
        }
        EXPECT_EQ(failures, 1) << workers;
        std::map<std::string, std::string> wanted = expected;
        wanted.erase(failing);
        EXPECT_EQ(kept, wanted) << workers;
    }
    std::filesystem::remove_all(dir);
}

} // namespace
