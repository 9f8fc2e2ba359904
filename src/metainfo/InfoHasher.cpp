#include "metainfo/InfoHasher.h"

#include "digests/SHA1.h"

namespace lintervale {

namespace {

// The thread digests in steps of at least this much, unless the value has ended.
constexpr std::size_t kStep = 64 * 1024;

} // namespace

TInfoHasher::~TInfoHasher() {
    Stop();
}

void TInfoHasher::Stop() {
    if (m_Thread.joinable()) {
        m_Cancelled.store(true, std::memory_order_release);
        Publish(m_Bytes.size() + 1);
        m_Thread.join();
    }
}

void TInfoHasher::Publish(std::size_t Position) {
    m_Published = Position;
    m_Available.store(Position, std::memory_order_release);
    m_Available.notify_one();
}

void TInfoHasher::InfoStarted(std::size_t Start) {
    if (m_Thread.joinable() || m_Bytes.size() - Start < kMinimumBytes) {
        return;
    }
    m_Start = Start;
    m_Published = Start;
    m_Available.store(Start, std::memory_order_release);
    m_Thread = std::thread(&TInfoHasher::Run, this);
}

// Wakes the thread only once a step's worth of bytes is ready: a wake-up costs a system call.
void TInfoHasher::InfoProgress(std::size_t Position) {
    if (m_Thread.joinable() && Position - m_Published >= kStep) {
        Publish(Position);
    }
}

void TInfoHasher::InfoEnded(std::size_t End) {
    if (!m_Thread.joinable()) {
        return;
    }
    m_End.store(End, std::memory_order_relaxed);
    m_Ended.store(true, std::memory_order_release);
    Publish(End);
}

void TInfoHasher::Run() {
    TSHA1 digest;
    std::size_t done = m_Start;
    for (;;) {
        const std::size_t seen = m_Available.load(std::memory_order_acquire);
        if (m_Cancelled.load(std::memory_order_acquire)) {
            return;
        }
        if (m_Ended.load(std::memory_order_acquire)) {
            const std::size_t end = m_End.load(std::memory_order_relaxed);
            digest.TransformString(m_Bytes.substr(done, end - done));
            digest.Complete();
            m_Digest = digest.HashValue();
            return;
        }
        // Whole blocks only while the value goes on; the digest keeps any rest itself.
        const std::size_t ready = (seen - done) / 64 * 64;
        if (ready > 0) {
            digest.TransformString(m_Bytes.substr(done, ready));
            done += ready;
        }
        m_Available.wait(seen, std::memory_order_acquire);
    }
}

std::optional<std::string> TInfoHasher::Result(std::size_t Start, std::size_t Length) {
    if (!m_Thread.joinable()) {
        return std::nullopt;
    }
    const bool ended = m_Ended.load(std::memory_order_acquire);
    if (!ended) {
        Stop();
        return std::nullopt;
    }
    m_Thread.join();
    if (Start != m_Start || Start + Length != m_End.load(std::memory_order_relaxed)) {
        return std::nullopt;
    }
    return m_Digest;
}

} // namespace lintervale
