#pragma once

// The parts of THash that only its own files see: the cursor's key order and what only some
// tables need.

#include "metainfo/Hashes.h"
#include "metainfo/KeyIndex.h"

#include <array>
#include <cstdint>
#include <memory_resource>
#include <string>
#include <vector>

namespace lintervale {

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

} // namespace lintervale
