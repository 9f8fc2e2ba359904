#include "metainfo/HashInternals.h"
#include "metainfo/Hashes.h"

#include <algorithm>

namespace lintervale {

// The cursor walks the keys in bucket order; that order is worked out when first needed and
// kept until a key changes.

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

} // namespace lintervale
