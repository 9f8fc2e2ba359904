#include "metainfo/Hashes.h"

#include "metainfo/BDecode.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;

namespace {

// An object that reports its own destruction.
class Probe final : public TObject {
public:
    Probe(int id, std::vector<int>* freed) : m_Id(id), m_Freed(freed) {}
    ~Probe() override { m_Freed->push_back(m_Id); }
    int Id() const { return m_Id; }

private:
    int m_Id;
    std::vector<int>* m_Freed;
};

int IdOf(const TObjectHash& table, const std::string& key) {
    return static_cast<const Probe*>(table.GetItem(key))->Id();
}

std::vector<std::string> KeysInOrder(TObjectHash& table) {
    std::vector<std::string> keys;
    table.Restart();
    while (table.Next()) {
        keys.push_back(table.CurrentKey());
    }
    return keys;
}

// Distinct keys of one length that all fall into one bucket (the hash keeps its top bits, so
// for short keys most buckets are out of reach; the bucket of the first key is always in it).
std::vector<std::string> KeysSharingABucket(std::size_t count) {
    std::vector<std::string> keys;
    std::uint32_t bucket = 0;
    for (int i = 0; keys.size() < count; ++i) {
        std::string key = "k" + std::to_string(1000000 + i);
        const std::uint32_t b = KeyHash(key) & THash::f_CurrentItemMask;
        if (keys.empty()) {
            bucket = b;
        }
        if (b == bucket) {
            keys.push_back(key);
        }
    }
    return keys;
}

template <typename Error> std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(KeyHash, FollowsTheTableFunction) {
    EXPECT_EQ(KeyHash("a"), 0x23456761u);
    EXPECT_EQ(KeyHash("a") & THash::f_CurrentItemMask, 97u);
    EXPECT_EQ(KeyHash("abc"), 0x456767C3u);
    EXPECT_EQ(KeyHash("abc") & THash::f_CurrentItemMask, 67u);
    EXPECT_EQ(MessageOf<EHashInvalidKeyError>([] { KeyHash(""); }),
              "Key cannot be an empty string");
}

TEST(ObjectHash, EmptyKeyIsInvalidEverywhere) {
    TObjectHash table;
    std::vector<int> freed;
    EXPECT_THROW(table.Exists(""), EHashInvalidKeyError);
    EXPECT_THROW(table.GetItem(""), EHashInvalidKeyError);
    EXPECT_THROW(table.SetItem("", std::make_unique<Probe>(1, &freed)), EHashInvalidKeyError);
    EXPECT_THROW(table.Delete(""), EHashInvalidKeyError);
    table.SetItem("x", std::make_unique<Probe>(2, &freed));
    EXPECT_THROW(table.Rename("x", ""), EHashInvalidKeyError);
    // The renamed key is gone and its object waits for Clear.
    EXPECT_FALSE(table.Exists("x"));
    EXPECT_EQ(table.ItemCount(), 0);
    table.Clear();
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));
}

TEST(ObjectHash, StoringOwnsAndReplaces) {
    std::vector<int> freed;
    {
        TObjectHash table;
        table.SetItem("a", std::make_unique<Probe>(1, &freed));
        table.SetItem("b", std::make_unique<Probe>(2, &freed));
        table.Restart();
        table.SetItem("a", std::make_unique<Probe>(3, &freed));
        EXPECT_EQ(freed, std::vector<int>{1});
        EXPECT_EQ(IdOf(table, "a"), 3);
        EXPECT_TRUE(table.Next()) << "replacing keeps the stepping permission";

        table.SetItem("c", std::make_unique<Probe>(4, &freed));
        EXPECT_THROW(table.Next(), EHashIterateError) << "a new key withdraws it";

        // Storing the object a key already holds must not free it.
        auto* same = table.GetItem("c");
        table.SetItem("c", std::unique_ptr<TObject>(same));
        EXPECT_EQ(IdOf(table, "c"), 4);
        EXPECT_EQ(freed, std::vector<int>{1});
        EXPECT_EQ(table.ItemCount(), 3);
    }
    std::sort(freed.begin(), freed.end());
    EXPECT_EQ(freed, (std::vector<int>{1, 2, 3, 4}));
}

TEST(ObjectHash, MissingKeysAreNamed) {
    TObjectHash table;
    EXPECT_EQ(MessageOf<EHashFindError>([&] { table.GetItem("nope"); }), "Key \"nope\" not found");
    table.Restart();
    EXPECT_EQ(MessageOf<EHashFindError>([&] { table.Delete("gone"); }), "Key \"gone\" not found");
    EXPECT_THROW(table.Next(), EHashIterateError) << "a failed Delete withdraws stepping";
    EXPECT_EQ(MessageOf<EHashFindError>([&] { table.Rename("old", "new"); }),
              "Key \"old\" not found");
}

TEST(ObjectHash, CursorWalksBucketsThenEntryOrder) {
    std::vector<int> freed;
    TObjectHash table;
    EXPECT_EQ(MessageOf<EHashIterateError>([&] { table.Next(); }),
              "Cannot get Next as the hash has been modified since Restart was called");
    table.SetItem("a", std::make_unique<Probe>(1, &freed));
    table.SetItem("abc", std::make_unique<Probe>(2, &freed));
    table.Restart();
    EXPECT_EQ(MessageOf<EHashIterateError>([&] { table.CurrentKey(); }),
              "Cannot find CurrentKey as Next has not yet been called after Restart");
    EXPECT_FALSE(table.Previous()) << "nothing before the first key";

    ASSERT_TRUE(table.Next());
    EXPECT_EQ(table.CurrentKey(), "abc"); // bucket 67 comes before bucket 97
    EXPECT_TRUE(table.Previous());
    EXPECT_EQ(table.CurrentKey(), "abc") << "Previous right after Next gives the same key";
    ASSERT_TRUE(table.Next());
    ASSERT_TRUE(table.Next());
    EXPECT_EQ(table.CurrentKey(), "a");
    EXPECT_FALSE(table.Next());
    EXPECT_FALSE(table.Next());
    EXPECT_EQ(table.CurrentKey(), "a") << "the last key delivered stays";
    EXPECT_TRUE(table.Previous());
    EXPECT_EQ(table.CurrentKey(), "a");

    // A saved cursor can be put back.
    table.Restart();
    table.Next();
    const THashIterator saved = table.CurrentIterator();
    table.Next();
    table.SetCurrentIterator(saved);
    table.Next();
    EXPECT_EQ(table.CurrentKey(), "a");
    table.SetCurrentIterator(table.NewIterator());
    table.Next();
    EXPECT_EQ(table.CurrentKey(), "abc");

    table.Delete("abc");
    EXPECT_EQ(MessageOf<EHashIterateError>([&] { table.CurrentKey(); }),
              "Cannot find CurrentKey as the hash has been modified since Restart was called");
}

TEST(ObjectHash, DeleteMovesTheBucketsLastEntryIntoTheHole) {
    std::vector<int> freed;
    TObjectHash table;
    const std::vector<std::string> keys = KeysSharingABucket(4);
    for (int i = 0; i < 4; ++i) {
        table.SetItem(keys[i], std::make_unique<Probe>(i, &freed));
    }
    EXPECT_EQ(KeysInOrder(table), keys);
    table.Delete(keys[0]);
    EXPECT_EQ(freed, std::vector<int>{0});
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{keys[3], keys[1], keys[2]}));
    table.Rename(keys[1], keys[3]); // onto an existing name: its object is freed
    EXPECT_EQ(freed, (std::vector<int>{0, 3}));
    EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{keys[3], keys[2]}));
    EXPECT_EQ(IdOf(table, keys[3]), 1);
    table.Rename(keys[2], "fresh");
    EXPECT_EQ(IdOf(table, "fresh"), 2);
    EXPECT_FALSE(table.Exists(keys[2]));
}

TEST(ObjectHash, CompactsAtTheHundredthSpareIndex) {
    std::vector<int> freed;
    TObjectHash table;
    for (int i = 0; i < 200; ++i) {
        table.SetItem("key" + std::to_string(i), std::make_unique<Probe>(i, &freed));
    }
    for (int i = 0; i < 99; ++i) {
        table.Delete("key" + std::to_string(i * 2));
    }
    EXPECT_EQ(table.SpareCount(), 99u);
    const std::vector<std::string> before = KeysInOrder(table);
    table.Delete("key198");
    EXPECT_EQ(table.SpareCount(), 0u) << "the hundredth spare index compacts at once";
    std::vector<std::string> after = KeysInOrder(table);
    EXPECT_EQ(after.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(IdOf(table, "key" + std::to_string(i * 2 + 1)), i * 2 + 1);
    }
    // Compaction renumbers items, never keys: the order is the earlier one less key198.
    std::erase(after, "key198");
    std::vector<std::string> expected = before;
    std::erase(expected, "key198");
    EXPECT_EQ(after, expected);

    // Freed slots are reused, most recent first.
    table.Delete("key1");
    table.SetItem("again", std::make_unique<Probe>(500, &freed));
    EXPECT_EQ(table.SpareCount(), 0u);
}

TEST(ObjectHash, CompactHonoursAllowCompactAndEmptiesAFullySpareTable) {
    std::vector<int> freed;
    TObjectHash table;
    table.SetAllowCompact(false);
    for (int i = 0; i < 150; ++i) {
        table.SetItem("k" + std::to_string(i), std::make_unique<Probe>(i, &freed));
    }
    for (int i = 0; i < 150; ++i) {
        table.Delete("k" + std::to_string(i));
    }
    EXPECT_EQ(table.SpareCount(), 150u);
    table.Compact();
    EXPECT_EQ(table.SpareCount(), 150u);
    table.SetAllowCompact(true);
    table.Compact();
    EXPECT_EQ(table.SpareCount(), 0u);
    table.SetItem("new", std::make_unique<Probe>(7, &freed));
    EXPECT_EQ(IdOf(table, "new"), 7);
}

TEST(ObjectHash, OneCrowdedBucketKeepsItsKeysAndOrder) {
    std::vector<int> freed;
    TObjectHash table;
    const std::vector<std::string> keys = KeysSharingABucket(3000);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        table.SetItem(keys[i], std::make_unique<Probe>(static_cast<int>(i), &freed));
    }
    EXPECT_EQ(table.ItemCount(), 3000);
    EXPECT_EQ(KeysInOrder(table), keys);
    for (std::size_t i = 0; i < keys.size(); i += 97) {
        EXPECT_EQ(IdOf(table, keys[i]), static_cast<int>(i));
    }
    table.Delete(keys[10]);
    EXPECT_FALSE(table.Exists(keys[10]));
    EXPECT_TRUE(table.Exists(keys[2999]));
    EXPECT_EQ(KeysInOrder(table)[10], keys[2999]);
    table.Clear();
    EXPECT_EQ(table.ItemCount(), 0);
    EXPECT_FALSE(table.Exists(keys[0]));
    table.Restart();
    EXPECT_FALSE(table.Next());
}

} // namespace
