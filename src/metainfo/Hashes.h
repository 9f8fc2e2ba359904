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
//
// Every byte a table holds (entries, keys, items, index, cursor) comes from the memory
// resource it was made with.

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// What a TObject is, so that readers of a decoded tree can tell values apart cheaply.
enum class TObjectKind : std::uint8_t { Other, Scalar, List, Table };

// The root of everything a table or a decoded list can own.
class TObject {
public:
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    TObjectKind Kind() const { return m_Kind; }

protected:
    explicit TObject(TObjectKind Kind = TObjectKind::Other) : m_Kind(Kind) {}

private:
    TObjectKind m_Kind;
};

// The owning pointer of every table and list.
using TObjectPtr = std::unique_ptr<TObject>;

// The object as a T when it is one (by its kind), else null.
template <typename T> T* As(TObject* Object) {
    return Object != nullptr && Object->Kind() == T::kKind ? static_cast<T*>(Object) : nullptr;
}
template <typename T> const T* As(const TObject* Object) {
    return Object != nullptr && Object->Kind() == T::kKind ? static_cast<const T*>(Object)
                                                           : nullptr;
}

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

// One key entry. Key views bytes that the table owns (allocated from its resource).
struct THashRecord {
    std::uint32_t Hash = 0;
    std::int32_t ItemIndex = 0;
    std::string_view Key;
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

    // Internal arrays come from Resource, which must outlive the table.
    explicit THash(std::pmr::memory_resource* Resource = std::pmr::get_default_resource());
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
    THashIterator CurrentIterator() const;
    void SetCurrentIterator(THashIterator Value);

    // Every entry, in the order the keys were made (not the cursor's order); for readers
    // that visit all keys without disturbing the cursor.
    const std::pmr::vector<THashRecord>& Entries() const { return f_Keys; }

    // The number of spare item indexes waiting for reuse (for tests and diagnostics).
    std::size_t SpareCount() const;

protected:
    virtual void DeleteIndex(std::int32_t Index) = 0;
    virtual void MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) = 0;
    virtual void TrimIndexes(std::int32_t Count) = 0;
    virtual void ClearIndexes() = 0;
    virtual std::int32_t HighIndex() const = 0;

    std::pmr::memory_resource* Resource() const { return f_Keys.get_allocator().resource(); }

    // The position of Key in f_Keys, or -1. Raises for the empty key.
    std::int32_t FindKey(std::string_view Key) const;
    // The item index of the key at a position found by FindKey.
    std::int32_t ItemIndexAt(std::int32_t Position) const { return f_Keys[Position].ItemIndex; }
    // Appends a new key with the given item index (the key must be absent) and withdraws
    // the stepping permission.
    void AppendKey(std::string_view Key, std::int32_t Index);
    void SetKeyIndex(std::string_view Key, std::int32_t Index);
    std::int32_t AllocItemIndex();
    void TryCompact();

private:
    struct TBucketOrder;
    struct TRare;

    void RemoveEntry(std::int32_t Position);
    const TBucketOrder& Order() const;
    TRare& Rare() const;
    std::string_view CopyKey(std::string_view Key);
    void FreeKey(std::string_view Key);

    // The flags come first so that they fill the padding at the end of TObject.
    bool f_NextAllowed = false;
    bool f_AllowCompact = true;
    std::pmr::vector<THashRecord> f_Keys;
    // What only some tables need (spare indexes, the look-up index of a large table, the
    // cursor), made on first use: a torrent holds many thousands of two-key dictionaries.
    mutable TRare* f_Rare = nullptr;
};

class TObjectHash final : public THash {
public:
    static constexpr TObjectKind kKind = TObjectKind::Table;

    explicit TObjectHash(std::pmr::memory_resource* Resource = std::pmr::get_default_resource())
        : THash(Resource), f_Items(Resource) {}
    ~TObjectHash() override;

    // Borrowed; raises EHashFindError when the key is absent.
    TObject* GetItem(std::string_view Key) const;
    // Borrowed; null when the key is absent (raises for the empty key).
    TObject* Find(std::string_view Key) const;
    // Takes ownership; an object already stored under the key is freed (unless it is the
    // very same object, which then stays).
    void SetItem(std::string_view Key, TObjectPtr Object);

    // The value of the last member whose key was empty. Such a member is no key of the
    // table, but BitTorrent v2 file trees describe each file under the empty key, so the
    // decoder keeps that value here. Null when there is none.
    TObject* EmptyKeyItem() const { return f_EmptyKeyItem.get(); }
    void SetEmptyKeyItem(TObjectPtr Object) { f_EmptyKeyItem = std::move(Object); }

protected:
    void DeleteIndex(std::int32_t Index) override;
    void MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) override;
    void TrimIndexes(std::int32_t Count) override;
    void ClearIndexes() override;
    std::int32_t HighIndex() const override {
        return static_cast<std::int32_t>(f_Items.size()) - 1;
    }

private:
    std::pmr::vector<TObjectPtr> f_Items;
    TObjectPtr f_EmptyKeyItem;
};

} // namespace lintervale
