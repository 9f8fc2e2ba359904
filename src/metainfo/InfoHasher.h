#pragma once

// Takes the SHA-1 of a large "info" value on a second thread while the decoder is still
// building the tree from it, so that the two costs overlap instead of adding up. The
// decoder tells it, as a TInfoWatcher, where the value starts and how far it has come; the
// thread digests up to there and finishes at the value's end. Small values (below
// kMinimumBytes of data left when the value starts) are left to the caller, as starting a
// thread would cost more than it saves.
//
// The loader takes the result only when the span the digest covered is exactly the span its
// markers name; anything else (a file that overwrote its markers, a second "info" member)
// is digested again the plain way.

#include "metainfo/BDecode.h"

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace lintervale {

class TInfoHasher final : public TInfoWatcher {
public:
    static constexpr std::size_t kMinimumBytes = std::size_t{1} << 20;

    explicit TInfoHasher(std::string_view Bytes) : m_Bytes(Bytes) {}
    ~TInfoHasher() override;
    TInfoHasher(const TInfoHasher&) = delete;
    TInfoHasher& operator=(const TInfoHasher&) = delete;

    void InfoStarted(std::size_t Start) override;
    void InfoProgress(std::size_t Position) override;
    void InfoEnded(std::size_t End) override;

    // The digest of Bytes[Start, Start + Length) when that is what was digested here.
    std::optional<std::string> Result(std::size_t Start, std::size_t Length);

private:
    void Run();
    void Stop();
    void Publish(std::size_t Position);

    std::string_view m_Bytes;
    std::size_t m_Start = 0;
    std::size_t m_Published = 0; // the decoder's side: what it last told the thread
    std::atomic<std::size_t> m_Available{0};
    std::atomic<std::size_t> m_End{0};
    std::atomic<bool> m_Ended{false};
    std::atomic<bool> m_Cancelled{false};
    std::string m_Digest;
    std::thread m_Thread;
};

} // namespace lintervale
