#pragma once

// A string-keyed hash table of owned objects; every decoded bencode dictionary is one.
//
// Contract:
// - Keys are byte strings compared byte for byte; the empty key is invalid and every
//   operation that takes a key raises EHashInvalidKeyError for it.
// - The key order seen through the cursor is bucket 0 to bucket 127 (bucket = KeyHash AND
//   127), and within a bucket the order of entry: a new key goes to the end of its bucket;
//   Delete and Rename move the bucket's last entry into the hole they leave.
// - TObjectHash owns its objects: it frees one when its key is deleted, when another object
//   is stored under the key, on Clear and on destruction. GetItem hands out a borrowed pointer.
// - Stepping the cursor needs Restart first; adding, deleting or renaming a key withdraws
//   the permission until the next Restart.
//
// The 128 buckets are the table's order, not its storage: entries live in one array in the
// order they were made, and a table with more than a few keys keeps a private index with a
// per-process random seed, so a look-up stays cheap even when every key falls into the same
// bucket (a crafted torrent can arrange that), and a small table costs no more than its keys.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// The root of everything a table or a decoded list can own.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

class EHashError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EHashFindError : public EHashError {
public:
    using EHashError::EHashError;
};
class EHashIterateError : public EHashError {
public:
    using EHashError::EHashError;
};
class EHashInvalidKeyError : public EHashError {
public:
    using EHashError::EHashError;
};

struct THashRecord {
    std::uint32_t Hash = 0;
    std::int32_t ItemIndex = 0;
    std::string Key;
};

// A cursor: ck is the bucket (-1 before the first key), cx the position in it.
struct THashIterator {
    std::int32_t ck = -1;
    std::int32_t cx = 0;
};

// The table's own hash of a key; raises EHashInvalidKeyError for the empty key.
std::uint32_t KeyHash(std::string_view Key);

class THash : public TObject {
public:
    static constexpr std::int32_t f_CurrentItemShift = 7;
    static constexpr std::int32_t f_CurrentItemCount = 1 << f_CurrentItemShift;
    static constexpr std::uint32_t f_CurrentItemMask = f_CurrentItemCount - 1;
    static constexpr std::int32_t f_CurrentItemMaxIdx = f_CurrentItemCount - 1;

    THash();
    ~THash() override;

    bool Exists(std::string_view Key) const;
    void Delete(std::string_view Key);
    void Rename(std::string_view Key, std::string_view NewName);
    void Clear();
    void Compact();
    std::int32_t ItemCount() const { return static_cast<std::int32_t>(f_Keys.size()); }

    bool AllowCompact() const { return f_AllowCompact; }
    void SetAllowCompact(bool Value) { f_AllowCompact = Value; }

    void Restart();
    bool Next();
    bool Previous();
    std::string CurrentKey() const;
    THashIterator NewIterator() const { return {}; }
    THashIterator CurrentIterator() const { return f_CurrentIterator; }
    void SetCurrentIterator(THashIterator Value) { f_CurrentIterator = Value; }

    // The number of spare item indexes waiting for reuse (for tests and diagnostics).
    std::size_t SpareCount() const { return f_SpareItems.size(); }

protected:
    virtual void DeleteIndex(std::int32_t Index) = 0;
    virtual void MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) = 0;
    virtual void TrimIndexes(std::int32_t Count) = 0;
    virtual void ClearIndexes() = 0;
    virtual std::int32_t HighIndex() const = 0;

    // The position of Key in f_Keys, or -1; Hash, when given, receives KeyHash(Key).
    // Raises for the empty key.
    std::int32_t FindKey(std::string_view Key, std::uint32_t* Hash = nullptr) const;
    // The item index of the key at a position found by FindKey.
    std::int32_t ItemIndexAt(std::int32_t Position) const { return f_Keys[Position].ItemIndex; }
    // Appends a new key with the given item index (the key must be absent) and withdraws
    // the stepping permission.
    void AppendKey(std::string_view Key, std::uint32_t Hash, std::int32_t Index);
    void SetKeyIndex(std::string_view Key, std::int32_t Index);
    std::int32_t AllocItemIndex();
    void TryCompact();

private:
    class TKeyIndex;
    struct TBucketOrder;

    void RemoveEntry(std::int32_t Position);
    const TBucketOrder& Order() const;
    void KeysChanged();

    std::vector<THashRecord> f_Keys;
    std::vector<std::int32_t> f_SpareItems;
    std::unique_ptr<TKeyIndex> f_Index;
    mutable std::unique_ptr<TBucketOrder> f_Order;
    std::string f_CurrentKey;
    THashIterator f_CurrentIterator;
    bool f_NextAllowed = false;
    bool f_AllowCompact = true;
};

class TObjectHash final : public THash {
public:
    TObjectHash() = default;
    ~TObjectHash() override;

    // Borrowed; raises EHashFindError when the key is absent.
    TObject* GetItem(std::string_view Key) const;
    // Takes ownership; an object already stored under the key is freed (unless it is the
    // very same object, which then stays).
    void SetItem(std::string_view Key, std::unique_ptr<TObject> Object);

protected:
    void DeleteIndex(std::int32_t Index) override;
    void MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) override;
    void TrimIndexes(std::int32_t Count) override;
    void ClearIndexes() override;
    std::int32_t HighIndex() const override {
        return static_cast<std::int32_t>(f_Items.size()) - 1;
    }

private:
    std::vector<std::unique_ptr<TObject>> f_Items;
};

} // namespace lintervale
