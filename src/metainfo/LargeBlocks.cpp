#include "metainfo/LargeBlocks.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace lintervale {

namespace {

std::size_t MappedSize(std::size_t size) {
    return (size + kHugePageSize - 1) & ~(kHugePageSize - 1);
}

} // namespace

void* AllocateBlock(std::size_t Size) {
    if (Size < kHugePageSize) {
        void* block = std::malloc(Size == 0 ? 1 : Size);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return block;
    }
    // One huge page more than needed is mapped and both ends trimmed, so that the block
    // starts on a huge page boundary.
    const std::size_t size = MappedSize(Size);
    void* mapped = ::mmap(nullptr, size + kHugePageSize, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
    if (aligned > start) {
        ::munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + size + kHugePageSize;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    auto* block = reinterpret_cast<void*>(aligned);
    ::madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void FreeBlock(void* Block, std::size_t Size) {
    if (Block == nullptr) {
        return;
    }
    if (Size < kHugePageSize) {
        std::free(Block);
    } else {
        ::munmap(Block, MappedSize(Size));
    }
}

} // namespace lintervale
