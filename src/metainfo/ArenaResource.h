#pragma once

#include <cstddef>
#include <memory_resource>

namespace lintervale {

// The upstream of a decoding arena. Small blocks come from the heap; blocks of 2 MiB and more
// are mapped on their own and marked for transparent huge pages, so the tens of megabytes a
// torrent of many files decodes into take a few dozen page faults instead of many thousands.
class TArenaUpstream final : public std::pmr::memory_resource {
public:
    static TArenaUpstream* Instance();

private:
    void* do_allocate(std::size_t Bytes, std::size_t Alignment) override;
    void do_deallocate(void* Pointer, std::size_t Bytes, std::size_t Alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override {
        return this == &Other;
    }
};

// A bump allocator for one decoded tree: blocks come from TArenaUpstream, each twice the
// size of the one before; deallocation does nothing, Release gives every block back. The
// decoder calls Allocate directly, which is inline and cheap.
class TArena final : public std::pmr::memory_resource {
public:
    TArena() = default;
    ~TArena() override { Release(); }
    TArena(const TArena&) = delete;
    TArena& operator=(const TArena&) = delete;

    void* Allocate(std::size_t Bytes, std::size_t Alignment) {
        const std::size_t at = (m_Used + Alignment - 1) & ~(Alignment - 1);
        if (m_Block != nullptr && at + Bytes <= m_Capacity) {
            m_Used = at + Bytes;
            return m_Block->Data() + at;
        }
        return AllocateSlow(Bytes, Alignment);
    }

    void Release();

private:
    struct TBlock {
        TBlock* Previous;
        std::size_t Size; // of the whole block, this header included
        char* Data() { return reinterpret_cast<char*>(this + 1); }
    };

    void* AllocateSlow(std::size_t Bytes, std::size_t Alignment);
    void* do_allocate(std::size_t Bytes, std::size_t Alignment) override {
        return Allocate(Bytes, Alignment);
    }
    void do_deallocate(void*, std::size_t, std::size_t) override {}
    bool do_is_equal(const std::pmr::memory_resource& Other) const noexcept override {
        return this == &Other;
    }

    TBlock* m_Block = nullptr;
    std::size_t m_Used = 0;
    std::size_t m_Capacity = 0; // usable bytes of the current block
    std::size_t m_NextSize = 4096;
};

} // namespace lintervale
