#pragma once

// The look-up index of a large table: open addressing over positions in the table's key
// array, hashed with a per-process random seed, so that no file can choose keys that make
// look-ups slow. Its memory comes from the table's resource.

#include <cstdint>
#include <memory_resource>
#include <string_view>
#include <vector>

namespace lintervale {

struct THashRecord;

class TKeyIndex {
public:
    using TKeys = std::pmr::vector<THashRecord>;

    TKeyIndex(const TKeys& Keys, std::pmr::memory_resource* Resource);

    // Indexes every key again (after positions changed).
    void Rebuild(const TKeys& Keys);
    // Indexes the key just appended to Keys.
    void Add(const TKeys& Keys);
    // The position of Key, or -1.
    std::int32_t Find(const TKeys& Keys, std::string_view Key) const;

private:
    void Insert(std::string_view Key, std::uint32_t Position);

    std::pmr::vector<std::uint32_t> m_Slots; // position + 1, 0 when free
    std::size_t m_Count = 0;
};

} // namespace lintervale
