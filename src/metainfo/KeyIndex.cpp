#include "metainfo/KeyIndex.h"

#include "metainfo/Hashes.h"

#include <cstring>
#include <random>

namespace lintervale {

namespace {

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

TKeyIndex::TKeyIndex(const TKeys& Keys, std::pmr::memory_resource* Resource) : m_Slots(Resource) {
    Rebuild(Keys);
}

void TKeyIndex::Rebuild(const TKeys& Keys) {
    std::size_t size = 64;
    while (size < Keys.size() * 2 + 2) {
        size *= 2;
    }
    m_Slots.assign(size, 0);
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        Insert(Keys[i].Key, static_cast<std::uint32_t>(i));
    }
    m_Count = Keys.size();
}

void TKeyIndex::Add(const TKeys& Keys) {
    if ((m_Count + 1) * 2 > m_Slots.size()) {
        Rebuild(Keys);
        return;
    }
    Insert(Keys.back().Key, static_cast<std::uint32_t>(Keys.size() - 1));
    ++m_Count;
}

std::int32_t TKeyIndex::Find(const TKeys& Keys, std::string_view Key) const {
    const std::size_t mask = m_Slots.size() - 1;
    for (std::size_t slot = IndexHash(Key) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = m_Slots[slot];
        if (entry == 0) {
            return -1;
        }
        if (Keys[entry - 1].Key == Key) {
            return static_cast<std::int32_t>(entry - 1);
        }
    }
}

void TKeyIndex::Insert(std::string_view Key, std::uint32_t Position) {
    const std::size_t mask = m_Slots.size() - 1;
    std::size_t slot = IndexHash(Key) & mask;
    while (m_Slots[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    m_Slots[slot] = Position + 1;
}

} // namespace lintervale
