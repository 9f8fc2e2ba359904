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

} // namespace lintervale
