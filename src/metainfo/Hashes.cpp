#include "metainfo/Hashes.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "metainfo/KeyIndex.h"

namespace lintervale {

namespace {

// Tables up to this many keys are searched by a plain scan, which is the fastest for the
// handful of keys a torrent's dictionaries hold and needs no memory of its own.
constexpr std::size_t kScanLimit = 16;

} // namespace

// The key order of the cursor: positions in f_Keys grouped by bucket, entry order kept.
struct THash::TBucketOrder {
    explicit TBucketOrder(std::pmr::memory_resource* resource) : Positions(resource) {}

    std::array<std::int32_t, f_CurrentItemCount + 1> Start{};
    std::pmr::vector<std::int32_t> Positions;

    std::int32_t Length(std::int32_t bucket) const { return Start[bucket + 1] - Start[bucket]; }
};

// Owns its parts through the table's resource, as the table owns it.
struct THash::TRare {
    explicit TRare(std::pmr::memory_resource* resource)
        : Allocator(resource), SpareItems(resource), CurrentKey(resource) {}
    ~TRare() {
        ResetIndex();
        ResetOrder();
    }
    TRare(const TRare&) = delete;
    TRare& operator=(const TRare&) = delete;

    void ResetIndex() {
        if (Index != nullptr) {
            Allocator.delete_object(Index);
            Index = nullptr;
        }
    }
    void ResetOrder() {
        if (Order != nullptr) {
            Allocator.delete_object(Order);
            Order = nullptr;
        }
    }

    std::pmr::polymorphic_allocator<> Allocator;
    std::pmr::vector<std::int32_t> SpareItems;
    TKeyIndex* Index = nullptr;
    TBucketOrder* Order = nullptr;
    std::pmr::string CurrentKey;
    THashIterator CurrentIterator;
};

std::uint32_t KeyHash(std::string_view Key) {
    if (Key.empty()) {
        throw EHashInvalidKeyError("Key cannot be an empty string");
    }
    std::uint32_t h = 0x12345670u;
    for (const char ch : Key) {
        h = h * 16 + static_cast<unsigned char>(ch);
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h |= g >> 24;
        }
    }
    return h;
}

THash::THash(std::pmr::memory_resource* Resource)
    : TObject(TObjectKind::Table), f_Keys(Resource) {}

THash::~THash() {
    for (const THashRecord& record : f_Keys) {
        FreeKey(record.Key);
    }
    if (f_Rare != nullptr) {
        std::pmr::polymorphic_allocator<>(Resource()).delete_object(f_Rare);
    }
}

THash::TRare& THash::Rare() const {
    if (f_Rare == nullptr) {
        f_Rare = std::pmr::polymorphic_allocator<>(Resource()).new_object<TRare>(Resource());
    }
    return *f_Rare;
}

std::string_view THash::CopyKey(std::string_view Key) {
    auto* bytes = static_cast<char*>(Resource()->allocate(Key.size(), 1));
    std::memcpy(bytes, Key.data(), Key.size());
    return std::string_view(bytes, Key.size());
}

void THash::FreeKey(std::string_view Key) {
    Resource()->deallocate(const_cast<char*>(Key.data()), Key.size(), 1);
}

THashIterator THash::CurrentIterator() const {
    return f_Rare ? f_Rare->CurrentIterator : THashIterator{};
}

void THash::SetCurrentIterator(THashIterator Value) { Rare().CurrentIterator = Value; }

std::size_t THash::SpareCount() const { return f_Rare ? f_Rare->SpareItems.size() : 0; }

std::int32_t THash::FindKey(std::string_view Key) const {
    if (Key.empty()) {
        (void)KeyHash(Key); // raises the empty-key error
    }
    if (f_Rare != nullptr && f_Rare->Index != nullptr) {
        return f_Rare->Index->Find(f_Keys, Key);
    }
    // A few keys are compared directly: cheaper than hashing the key to compare hashes.
    for (std::size_t i = 0; i < f_Keys.size(); ++i) {
        if (f_Keys[i].Key == Key) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

bool THash::Exists(std::string_view Key) const { return FindKey(Key) >= 0; }

void THash::AppendKey(std::string_view Key, std::int32_t Index) {
    const std::uint32_t hash = KeyHash(Key);
    f_NextAllowed = false;
    if (f_Keys.empty()) {
        f_Keys.reserve(2); // most dictionaries in a torrent are a file's length and path
    }
    f_Keys.push_back(THashRecord{hash, Index, CopyKey(Key)});
    if (f_Rare != nullptr && f_Rare->Index != nullptr) {
        f_Rare->Index->Add(f_Keys);
    } else if (f_Keys.size() > kScanLimit) {
        TRare& rare = Rare();
        rare.Index = rare.Allocator.new_object<TKeyIndex>(f_Keys, Resource());
    }
    if (f_Rare != nullptr) {
        f_Rare->ResetOrder();
    }
}

// Takes out the entry at Position the way a bucket does: the bucket's last entry moves
// into the hole, so the other entries of that bucket keep their order among themselves.
void THash::RemoveEntry(std::int32_t Position) {
    const std::uint32_t bucket = f_Keys[Position].Hash & f_CurrentItemMask;
    std::int32_t last = static_cast<std::int32_t>(f_Keys.size()) - 1;
    while ((f_Keys[last].Hash & f_CurrentItemMask) != bucket) {
        --last;
    }
    FreeKey(f_Keys[Position].Key);
    if (last != Position) {
        f_Keys[Position] = f_Keys[last];
    }
    f_Keys.erase(f_Keys.begin() + last);
    TRare& rare = Rare();
    if (rare.Index != nullptr) {
        rare.Index->Rebuild(f_Keys);
    }
    rare.ResetOrder();
}

void THash::Delete(std::string_view Key) {
    f_NextAllowed = false;
    const std::int32_t position = FindKey(Key);
    if (position < 0) {
        throw EHashFindError("Key \"" + std::string(Key) + "\" not found");
    }
    const std::int32_t index = f_Keys[position].ItemIndex;
    DeleteIndex(index);
    Rare().SpareItems.push_back(index);
    RemoveEntry(position);
    TryCompact();
}

void THash::Rename(std::string_view Key, std::string_view NewName) {
    f_NextAllowed = false;
    const std::int32_t position = FindKey(Key);
    if (position < 0) {
        throw EHashFindError("Key \"" + std::string(Key) + "\" not found");
    }
    const std::int32_t index = f_Keys[position].ItemIndex;
    RemoveEntry(position);
    SetKeyIndex(NewName, index);
    TryCompact();
}

void THash::SetKeyIndex(std::string_view Key, std::int32_t Index) {
    const std::int32_t position = FindKey(Key);
    if (position >= 0) {
        const std::int32_t former = f_Keys[position].ItemIndex;
        DeleteIndex(former);
        f_Keys[position].ItemIndex = Index;
        Rare().SpareItems.push_back(former);
    } else {
        AppendKey(Key, Index);
    }
}

std::int32_t THash::AllocItemIndex() {
    if (f_Rare && !f_Rare->SpareItems.empty()) {
        const std::int32_t index = f_Rare->SpareItems.back();
        f_Rare->SpareItems.pop_back();
        return index;
    }
    return HighIndex() + 1;
}

void THash::TryCompact() {
    const auto spare = static_cast<std::int32_t>(SpareCount());
    if (f_AllowCompact && spare >= 100 && spare < 2 * HighIndex()) {
        Compact();
    }
}

void THash::Compact() {
    if (!f_AllowCompact) {
        return;
    }
    const std::int32_t n = HighIndex() + 1;
    std::vector<bool> removed(n, false);
    if (f_Rare) {
        for (const std::int32_t index : f_Rare->SpareItems) {
            removed[index] = true;
        }
    }
    std::vector<std::int32_t> map(n);
    for (std::int32_t i = 0; i < n; ++i) {
        map[i] = i;
    }
    std::int32_t lo = 0;
    std::int32_t hi = HighIndex();
    while (hi > lo) {
        if (removed[lo]) {
            while (hi > lo && removed[hi]) {
                --hi;
            }
            if (hi > lo) {
                removed[lo] = false;
                removed[hi] = true;
                MoveIndex(hi, lo);
                map[hi] = lo;
            }
        } else {
            ++lo;
        }
    }
    std::int32_t top = HighIndex();
    while (top >= 0 && removed[top]) {
        --top;
    }
    TrimIndexes(top + 1);
    if (f_Rare) {
        f_Rare->SpareItems.clear();
    }
    for (THashRecord& record : f_Keys) {
        record.ItemIndex = map[record.ItemIndex];
    }
}

void THash::Clear() {
    ClearIndexes();
    for (const THashRecord& record : f_Keys) {
        FreeKey(record.Key);
    }
    f_Keys.clear();
    if (f_Rare != nullptr) {
        f_Rare->SpareItems.clear();
        f_Rare->ResetIndex();
        f_Rare->ResetOrder();
    }
}

const THash::TBucketOrder& THash::Order() const {
    TRare& rare = Rare();
    if (rare.Order == nullptr) {
        TBucketOrder* order = rare.Allocator.new_object<TBucketOrder>(Resource());
        for (const THashRecord& record : f_Keys) {
            ++order->Start[(record.Hash & f_CurrentItemMask) + 1];
        }
        for (std::int32_t b = 0; b < f_CurrentItemCount; ++b) {
            order->Start[b + 1] += order->Start[b];
        }
        order->Positions.resize(f_Keys.size());
        std::array<std::int32_t, f_CurrentItemCount> fill{};
        std::copy_n(order->Start.begin(), f_CurrentItemCount, fill.begin());
        for (std::size_t i = 0; i < f_Keys.size(); ++i) {
            const std::uint32_t bucket = f_Keys[i].Hash & f_CurrentItemMask;
            order->Positions[fill[bucket]++] = static_cast<std::int32_t>(i);
        }
        rare.Order = order;
    }
    return *rare.Order;
}

void THash::Restart() {
    TRare& rare = Rare();
    rare.CurrentIterator = THashIterator{};
    rare.CurrentKey.clear();
    f_NextAllowed = true;
}

bool THash::Next() {
    if (!f_NextAllowed) {
        throw EHashIterateError(
            "Cannot get Next as the hash has been modified since Restart was called");
    }
    THashIterator& it = Rare().CurrentIterator;
    if (it.ck == -1) {
        it = THashIterator{0, 0};
    }
    const TBucketOrder& order = Order();
    while (it.ck <= f_CurrentItemMaxIdx) {
        if (it.cx < order.Length(it.ck)) {
            f_Rare->CurrentKey = f_Keys[order.Positions[order.Start[it.ck] + it.cx]].Key;
            ++it.cx;
            return true;
        }
        ++it.ck;
        it.cx = 0;
    }
    return false;
}

bool THash::Previous() {
    if (!f_NextAllowed) {
        throw EHashIterateError(
            "Cannot get Next as the hash has been modified since Restart was called");
    }
    THashIterator& it = Rare().CurrentIterator;
    if (it.ck < 0) {
        return false;
    }
    const TBucketOrder& order = Order();
    while (it.ck >= 0) {
        --it.cx;
        if (it.ck <= f_CurrentItemMaxIdx && it.cx >= 0 && it.cx < order.Length(it.ck)) {
            f_Rare->CurrentKey = f_Keys[order.Positions[order.Start[it.ck] + it.cx]].Key;
            return true;
        }
        --it.ck;
        if (it.ck >= 0) {
            it.cx = order.Length(it.ck);
        }
    }
    return false;
}

std::string THash::CurrentKey() const {
    if (!f_NextAllowed) {
        throw EHashIterateError(
            "Cannot find CurrentKey as the hash has been modified since Restart was called");
    }
    if (f_Rare == nullptr || f_Rare->CurrentKey.empty()) {
        throw EHashIterateError(
            "Cannot find CurrentKey as Next has not yet been called after Restart");
    }
    return std::string(f_Rare->CurrentKey);
}

TObjectHash::~TObjectHash() = default;

TObject* TObjectHash::Find(std::string_view Key) const {
    const std::int32_t position = FindKey(Key);
    return position < 0 ? nullptr : f_Items[ItemIndexAt(position)].get();
}

TObject* TObjectHash::GetItem(std::string_view Key) const {
    const std::int32_t position = FindKey(Key);
    if (position < 0) {
        throw EHashFindError("Key \"" + std::string(Key) + "\" not found");
    }
    return f_Items[ItemIndexAt(position)].get();
}

void TObjectHash::SetItem(std::string_view Key, TObjectPtr Object) {
    const std::int32_t position = FindKey(Key);
    if (position >= 0) {
        TObjectPtr& slot = f_Items[ItemIndexAt(position)];
        if (slot == Object) {
            (void)Object.release(); // Already ours: freeing it would leave the slot dangling.
            return;
        }
        slot = std::move(Object);
        return;
    }
    const std::int32_t index = AllocItemIndex();
    if (f_Items.empty()) {
        f_Items.reserve(2);
    }
    if (index > HighIndex()) {
        f_Items.resize(index + 1);
    }
    f_Items[index] = std::move(Object);
    AppendKey(Key, index);
}

void TObjectHash::DeleteIndex(std::int32_t Index) { f_Items[Index].reset(); }

void TObjectHash::MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) {
    f_Items[ToIndex] = std::move(f_Items[FromIndex]);
}

void TObjectHash::TrimIndexes(std::int32_t Count) { f_Items.resize(Count); }

void TObjectHash::ClearIndexes() { f_Items.clear(); }

} // namespace lintervale
