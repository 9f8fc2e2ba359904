#include "metainfo/Hashes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

namespace lintervale {

namespace {

// Tables up to this many keys are searched by a plain scan, which is the fastest for the
// handful of keys a torrent's dictionaries hold and needs no memory of its own.
constexpr std::size_t kScanLimit = 16;

std::uint64_t ProcessSeed() {
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (std::uint64_t{device()} << 32) ^ device() ^ 0x9E3779B97F4A7C15ull;
    }();
    return seed;
}

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

// A seeded multiply-and-fold hash: without the seed no one can choose keys that collide.
std::uint64_t IndexHash(std::string_view key) {
    constexpr std::uint64_t k1 = 0xA0761D6478BD642Full;
    constexpr std::uint64_t k2 = 0xE7037ED1A0B428DBull;
    std::uint64_t h = ProcessSeed() ^ (key.size() * k1);
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, key.data() + i, 8);
        h = Mix(h ^ word, k2);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, key.data() + i, key.size() - i);
    return Mix(h ^ tail, k1 ^ k2);
}

} // namespace

// Open addressing over positions in f_Keys; a slot holds position + 1, 0 when free.
class THash::TKeyIndex {
public:
    explicit TKeyIndex(const std::vector<THashRecord>& keys) { Rebuild(keys); }

    void Rebuild(const std::vector<THashRecord>& keys) {
        std::size_t size = 64;
        while (size < keys.size() * 2 + 2) {
            size *= 2;
        }
        m_Slots.assign(size, 0);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            Insert(keys[i].Key, static_cast<std::uint32_t>(i));
        }
        m_Count = keys.size();
    }

    std::int32_t Find(const std::vector<THashRecord>& keys, std::string_view key) const {
        const std::size_t mask = m_Slots.size() - 1;
        for (std::size_t slot = IndexHash(key) & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t entry = m_Slots[slot];
            if (entry == 0) {
                return -1;
            }
            if (keys[entry - 1].Key == key) {
                return static_cast<std::int32_t>(entry - 1);
            }
        }
    }

    void Add(const std::vector<THashRecord>& keys) {
        if ((m_Count + 1) * 2 > m_Slots.size()) {
            Rebuild(keys);
            return;
        }
        Insert(keys.back().Key, static_cast<std::uint32_t>(keys.size() - 1));
        ++m_Count;
    }

private:
    void Insert(std::string_view key, std::uint32_t position) {
        const std::size_t mask = m_Slots.size() - 1;
        std::size_t slot = IndexHash(key) & mask;
        while (m_Slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        m_Slots[slot] = position + 1;
    }

    std::vector<std::uint32_t> m_Slots;
    std::size_t m_Count = 0;
};

// The key order of the cursor: positions in f_Keys grouped by bucket, entry order kept.
struct THash::TBucketOrder {
    std::array<std::int32_t, f_CurrentItemCount + 1> Start{};
    std::vector<std::int32_t> Positions;

    std::int32_t Length(std::int32_t bucket) const { return Start[bucket + 1] - Start[bucket]; }
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

THash::THash() = default;
THash::~THash() = default;

std::int32_t THash::FindKey(std::string_view Key, std::uint32_t* Hash) const {
    const std::uint32_t hash = KeyHash(Key);
    if (Hash != nullptr) {
        *Hash = hash;
    }
    if (f_Index) {
        return f_Index->Find(f_Keys, Key);
    }
    for (std::size_t i = 0; i < f_Keys.size(); ++i) {
        if (f_Keys[i].Hash == hash && f_Keys[i].Key == Key) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

bool THash::Exists(std::string_view Key) const { return FindKey(Key) >= 0; }

void THash::AppendKey(std::string_view Key, std::uint32_t Hash, std::int32_t Index) {
    f_NextAllowed = false;
    f_Keys.push_back(THashRecord{Hash, Index, std::string(Key)});
    if (f_Index) {
        f_Index->Add(f_Keys);
    } else if (f_Keys.size() > kScanLimit) {
        f_Index = std::make_unique<TKeyIndex>(f_Keys);
    }
    f_Order.reset();
}

// Takes out the entry at Position the way a bucket does: the bucket's last entry moves
// into the hole, so the other entries of that bucket keep their order among themselves.
void THash::RemoveEntry(std::int32_t Position) {
    const std::uint32_t bucket = f_Keys[Position].Hash & f_CurrentItemMask;
    std::int32_t last = static_cast<std::int32_t>(f_Keys.size()) - 1;
    while ((f_Keys[last].Hash & f_CurrentItemMask) != bucket) {
        --last;
    }
    if (last != Position) {
        f_Keys[Position] = std::move(f_Keys[last]);
    }
    f_Keys.erase(f_Keys.begin() + last);
    if (f_Index) {
        f_Index->Rebuild(f_Keys);
    }
    f_Order.reset();
}

void THash::Delete(std::string_view Key) {
    f_NextAllowed = false;
    const std::int32_t position = FindKey(Key);
    if (position < 0) {
        throw EHashFindError("Key \"" + std::string(Key) + "\" not found");
    }
    const std::int32_t index = f_Keys[position].ItemIndex;
    DeleteIndex(index);
    f_SpareItems.push_back(index);
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
    std::uint32_t hash = 0;
    const std::int32_t position = FindKey(Key, &hash);
    if (position >= 0) {
        const std::int32_t former = f_Keys[position].ItemIndex;
        DeleteIndex(former);
        f_Keys[position].ItemIndex = Index;
        f_SpareItems.push_back(former);
    } else {
        AppendKey(Key, hash, Index);
    }
}

std::int32_t THash::AllocItemIndex() {
    if (!f_SpareItems.empty()) {
        const std::int32_t index = f_SpareItems.back();
        f_SpareItems.pop_back();
        return index;
    }
    return HighIndex() + 1;
}

void THash::TryCompact() {
    const auto spare = static_cast<std::int32_t>(f_SpareItems.size());
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
    for (const std::int32_t index : f_SpareItems) {
        removed[index] = true;
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
    f_SpareItems.clear();
    for (THashRecord& record : f_Keys) {
        record.ItemIndex = map[record.ItemIndex];
    }
}

void THash::Clear() {
    ClearIndexes();
    f_SpareItems.clear();
    f_Keys.clear();
    f_Index.reset();
    f_Order.reset();
}

const THash::TBucketOrder& THash::Order() const {
    if (!f_Order) {
        auto order = std::make_unique<TBucketOrder>();
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
        f_Order = std::move(order);
    }
    return *f_Order;
}

void THash::Restart() {
    f_CurrentIterator = THashIterator{};
    f_NextAllowed = true;
    f_CurrentKey.clear();
}

bool THash::Next() {
    if (!f_NextAllowed) {
        throw EHashIterateError(
            "Cannot get Next as the hash has been modified since Restart was called");
    }
    THashIterator& it = f_CurrentIterator;
    if (it.ck == -1) {
        it = THashIterator{0, 0};
    }
    const TBucketOrder& order = Order();
    while (it.ck <= f_CurrentItemMaxIdx) {
        if (it.cx < order.Length(it.ck)) {
            f_CurrentKey = f_Keys[order.Positions[order.Start[it.ck] + it.cx]].Key;
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
    THashIterator& it = f_CurrentIterator;
    if (it.ck < 0) {
        return false;
    }
    const TBucketOrder& order = Order();
    while (it.ck >= 0) {
        --it.cx;
        if (it.ck <= f_CurrentItemMaxIdx && it.cx >= 0 && it.cx < order.Length(it.ck)) {
            f_CurrentKey = f_Keys[order.Positions[order.Start[it.ck] + it.cx]].Key;
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
    if (f_CurrentKey.empty()) {
        throw EHashIterateError(
            "Cannot find CurrentKey as Next has not yet been called after Restart");
    }
    return f_CurrentKey;
}

TObjectHash::~TObjectHash() = default;

TObject* TObjectHash::GetItem(std::string_view Key) const {
    const std::int32_t position = FindKey(Key);
    if (position < 0) {
        throw EHashFindError("Key \"" + std::string(Key) + "\" not found");
    }
    return f_Items[ItemIndexAt(position)].get();
}

void TObjectHash::SetItem(std::string_view Key, std::unique_ptr<TObject> Object) {
    std::uint32_t hash = 0;
    const std::int32_t position = FindKey(Key, &hash);
    if (position >= 0) {
        std::unique_ptr<TObject>& slot = f_Items[ItemIndexAt(position)];
        if (slot == Object) {
            (void)Object.release(); // Already ours: freeing it would leave the slot dangling.
            return;
        }
        slot = std::move(Object);
        return;
    }
    const std::int32_t index = AllocItemIndex();
    if (index > HighIndex()) {
        f_Items.resize(index + 1);
    }
    f_Items[index] = std::move(Object);
    AppendKey(Key, hash, index);
}

void TObjectHash::DeleteIndex(std::int32_t Index) { f_Items[Index].reset(); }

void TObjectHash::MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) {
    f_Items[ToIndex] = std::move(f_Items[FromIndex]);
}

void TObjectHash::TrimIndexes(std::int32_t Count) { f_Items.resize(Count); }

void TObjectHash::ClearIndexes() { f_Items.clear(); }

} // namespace lintervale
