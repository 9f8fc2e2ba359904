#include "metainfo/Hashes.h"

#include "metainfo/HashInternals.h"
#include "metainfo/KeyIndex.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lintervale {

namespace {

// Tables up to this many keys are searched by a plain scan, which is the fastest for the
// handful of keys a torrent's dictionaries hold and needs no memory of its own.
constexpr std::size_t kScanLimit = 16;

} // namespace

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

THash::THash(std::pmr::memory_resource* Resource) : TObject(TObjectKind::Table), f_Keys(Resource) {}

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

void THash::SetCurrentIterator(THashIterator Value) {
    Rare().CurrentIterator = Value;
}

std::size_t THash::SpareCount() const {
    return f_Rare ? f_Rare->SpareItems.size() : 0;
}

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

bool THash::Exists(std::string_view Key) const {
    return FindKey(Key) >= 0;
}

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

void TObjectHash::DeleteIndex(std::int32_t Index) {
    f_Items[Index].reset();
}

void TObjectHash::MoveIndex(std::int32_t FromIndex, std::int32_t ToIndex) {
    f_Items[ToIndex] = std::move(f_Items[FromIndex]);
}

void TObjectHash::TrimIndexes(std::int32_t Count) {
    f_Items.resize(Count);
}

void TObjectHash::ClearIndexes() {
    f_Items.clear();
}

} // namespace lintervale
