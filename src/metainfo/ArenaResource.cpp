#include "metainfo/ArenaResource.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <thread>
#include <utility>
#include <vector>

namespace lintervale {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

// Fresh memory costs its first touch: the kernel zeroes every page. Where there is a second
// core, a thread asks the kernel to fill a new block's pages at once, while the caller
// already works at its start. MADV_POPULATE_WRITE leaves pages that are already there as they
// are, so the caller's writes are never disturbed. A block's thread is joined before the
// block goes back.
class TPopulator {
public:
    void Start(void* block, std::size_t size) {
        static const bool worthIt = std::thread::hardware_concurrency() > 1;
        if (!worthIt) {
            return;
        }
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Threads.emplace_back(
            block, std::thread([block, size] { ::madvise(block, size, MADV_POPULATE_WRITE); }));
    }

    void Finish(void* block) {
        std::thread thread;
        {
            const std::lock_guard<std::mutex> lock(m_Mutex);
            for (auto it = m_Threads.begin(); it != m_Threads.end(); ++it) {
                if (it->first == block) {
                    thread = std::move(it->second);
                    m_Threads.erase(it);
                    break;
                }
            }
        }
        if (thread.joinable()) {
            thread.join();
        }
    }

private:
    std::mutex m_Mutex;
    std::vector<std::pair<void*, std::thread>> m_Threads;
};

TPopulator& Populator() {
    static TPopulator populator;
    return populator;
}

} // namespace

TArenaUpstream* TArenaUpstream::Instance() {
    static TArenaUpstream instance;
    return &instance;
}

void* TArenaUpstream::do_allocate(std::size_t Bytes, std::size_t Alignment) {
    if (Bytes < kHugePage || Alignment > kHugePage) {
        return std::pmr::new_delete_resource()->allocate(Bytes, Alignment);
    }
    // Map one huge page more than needed and trim both ends, so the block starts on a huge
    // page boundary.
    const std::size_t size = MappedSize(Bytes);
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) {
        ::munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    auto* block = reinterpret_cast<void*>(aligned);
    ::madvise(block, size, MADV_HUGEPAGE);
    Populator().Start(block, size);
    return block;
}

void TArenaUpstream::do_deallocate(void* Pointer, std::size_t Bytes, std::size_t Alignment) {
    if (Bytes < kHugePage || Alignment > kHugePage) {
        std::pmr::new_delete_resource()->deallocate(Pointer, Bytes, Alignment);
        return;
    }
    Populator().Finish(Pointer);
    ::munmap(Pointer, MappedSize(Bytes));
}

void* TArena::AllocateSlow(std::size_t Bytes, std::size_t Alignment) {
    const std::size_t needed = sizeof(TBlock) + Bytes + Alignment;
    while (m_NextSize < needed) {
        m_NextSize *= 2;
    }
    void* memory = TArenaUpstream::Instance()->allocate(m_NextSize, alignof(std::max_align_t));
    m_Block = new (memory) TBlock{m_Block, m_NextSize};
    m_Capacity = m_NextSize - sizeof(TBlock);
    m_Used = 0;
    if (m_NextSize < (std::size_t{64} << 20)) {
        m_NextSize *= 2;
    }
    return Allocate(Bytes, Alignment);
}

void TArena::Release() {
    while (m_Block != nullptr) {
        TBlock* previous = m_Block->Previous;
        TArenaUpstream::Instance()->deallocate(m_Block, m_Block->Size, alignof(std::max_align_t));
        m_Block = previous;
    }
    m_Used = 0;
    m_Capacity = 0;
    m_NextSize = 4096;
}

} // namespace lintervale
