#pragma once

// Memory for the two large buffers of a load: the file's bytes and the decoded records.
//
// A block of kHugePageSize bytes or more is mapped on its own, starting on a huge page
// boundary, and marked for transparent huge pages. The kernel then hands it out 2 MiB at a
// time, where 4 KiB pages would cost a page fault each: on some virtual machines a fresh
// 4 KiB page costs about 15 microseconds, and the pages of a 15 MB torrent more than
// reading and hashing it. Smaller blocks come from the heap. Every block goes back to the
// system when it is freed.

#include <cstddef>

namespace lintervale {

inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// Raises std::bad_alloc when there is no memory.
void* AllocateBlock(std::size_t Size);
// Takes the size the block was allocated with; a null block is ignored.
void FreeBlock(void* Block, std::size_t Size);

} // namespace lintervale
