#include "store/TorrentStore.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace lintervale;
namespace fs = std::filesystem;

namespace {

const std::string kA(40, 'a');
const std::string kB(64, 'b');

class TorrentStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("lintervale-store-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_Dir / "torrents")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_Dir;
};

TEST_F(TorrentStoreTest, OnlyInfoHashesNameEntries) {
    const TTorrentStore store((m_Dir / "torrents").string());
    for (const std::string& bad :
         {std::string(), std::string(39, 'a'), std::string(40, 'A'), std::string(41, 'a'),
          "../" + std::string(37, 'a'), std::string(63, 'b') + "/", std::string(40, 'g')}) {
        EXPECT_FALSE(IsStoreHash(bad)) << bad;
        EXPECT_EQ(store.PathOf(bad), "") << bad;
        EXPECT_THROW(store.Put(bad, "d4:infode"), EStoreError) << bad;
        EXPECT_FALSE(store.Has(bad));
    }
    EXPECT_FALSE(fs::exists(m_Dir / "torrents"));
}

TEST_F(TorrentStoreTest, KeepsEachTorrentOnceAndPrunesWhatNoRowReaches) {
    const TTorrentStore store((m_Dir / "torrents").string());
    store.Put(kA, "first");
    store.Put(kA, "first");
    store.Put(kB, "second!");
    EXPECT_EQ(store.Read(kA), "first");
    EXPECT_EQ(store.Read(kB), "second!");
    EXPECT_EQ(Names(), (std::vector<std::string>{kA + ".torrent", kB + ".torrent"}));
    EXPECT_EQ(store.Usage().Entries, 2);
    EXPECT_EQ(store.Usage().Bytes, 12u);

    // A write that a crash cut short has another size: the next keep writes it whole.
    std::ofstream(store.PathOf(kA), std::ios::trunc) << "fi";
    store.Put(kA, "first");
    EXPECT_EQ(store.Read(kA), "first");

    // Files of other kinds in the folder are left alone; a write's leftover only goes when
    // no write can be under way.
    std::ofstream(m_Dir / "torrents" / "notes.txt") << "mine";
    std::ofstream(m_Dir / "torrents" / ("." + kA + ".writing-1-1")) << "half";
    TTorrentStore::TPruned pruned = store.Prune({kB}, false);
    EXPECT_EQ(pruned.Removed, 1);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"." + kA + ".writing-1-1", kB + ".torrent", "notes.txt"}));
    pruned = store.Prune({kB}, true);
    EXPECT_EQ(pruned.Removed, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{kB + ".torrent", "notes.txt"}));
    EXPECT_THROW(store.Read(kA), EStoreError);
    store.Remove(kB);
    EXPECT_FALSE(store.Has(kB));
}

TEST_F(TorrentStoreTest, FailuresSayWhy) {
    fs::create_directories(m_Dir);
    std::ofstream(m_Dir / "plain") << "a file where the folder would be";
    const TTorrentStore store((m_Dir / "plain" / "torrents").string());
    try {
        store.Put(kA, "bytes");
        FAIL() << "no failure";
    } catch (const EStoreError& error) {
        EXPECT_NE(std::string(error.what()).find((m_Dir / "plain" / "torrents").string()),
                  std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("Not a directory"), std::string::npos)
            << error.what();
    }
    // A folder where an entry would be: never read as a torrent.
    const TTorrentStore other((m_Dir / "torrents").string());
    fs::create_directories(other.PathOf(kA));
    EXPECT_FALSE(other.Has(kA));
    EXPECT_THROW(other.Read(kA), EStoreError);
}

TEST_F(TorrentStoreTest, ManyThreadsKeepingOneTorrentLeaveOneWholeEntry) {
    const TTorrentStore store((m_Dir / "torrents").string());
    const std::string bytes(100000, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&store, &bytes] {
            for (int i = 0; i < 20; ++i) {
                store.Remove(kA);
                store.Put(kA, bytes);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(store.Read(kA), bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{kA + ".torrent"});
}

} // namespace
