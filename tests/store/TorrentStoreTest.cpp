#include "store/TorrentStore.h"

#include "store/StoreWriter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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
    std::vector<std::string> hashes = store.Hashes();
    std::sort(hashes.begin(), hashes.end());
    EXPECT_EQ(hashes, (std::vector<std::string>{kA, kB}));
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

// The writer takes torrents from several threads at once; a flush waits for what was handed
// over before it, the end writes what is still queued, and failures are counted, the first
// one told.
TEST_F(TorrentStoreTest, TheWriterKeepsWhatItIsHandedAndTellsFailures) {
    const TTorrentStore store((m_Dir / "torrents").string());
    const auto hashOf = [](int I) {
        std::string hash = std::to_string(I);
        return hash + std::string(40 - hash.size(), 'a');
    };
    std::atomic<int> told{0};
    {
        TStoreWriter writer(store, [&told] { ++told; });
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int i = t * 50; i < t * 50 + 50; ++i) {
                    writer.Keep(hashOf(i), "bytes of " + std::to_string(i));
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        writer.Flush();
        EXPECT_EQ(store.Usage().Entries, 200);
        EXPECT_EQ(store.Read(hashOf(123)), "bytes of 123");
        // Held (a batch runs), nothing is written until the hold ends or a flush comes.
        writer.Hold(true);
        writer.Keep(hashOf(200), "held");
        EXPECT_FALSE(store.Has(hashOf(200)));
        writer.Flush();
        EXPECT_EQ(store.Read(hashOf(200)), "held");
        writer.Keep(hashOf(201), "released");
        EXPECT_FALSE(store.Has(hashOf(201)));
        writer.Hold(false);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!store.Has(hashOf(201)) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        EXPECT_TRUE(store.Has(hashOf(201)));
        writer.Keep(hashOf(200), "the last");
    }
    EXPECT_EQ(store.Read(hashOf(200)), "the last");
    EXPECT_EQ(told, 0);

    std::ofstream(m_Dir / "plain") << "a file where the folder would be";
    const TTorrentStore blocked((m_Dir / "plain" / "torrents").string());
    TStoreWriter writer(blocked, [&told] { ++told; });
    for (int i = 0; i < 3; ++i) {
        writer.Keep(hashOf(i), "bytes");
    }
    writer.Flush();
    EXPECT_EQ(told, 1);
    const TStoreWriter::TFailures failures = writer.TakeFailures();
    EXPECT_EQ(failures.Count, 3);
    EXPECT_NE(failures.Last.English().find("Not a directory"), std::string::npos);
    EXPECT_EQ(writer.TakeFailures().Count, 0);
}

} // namespace
