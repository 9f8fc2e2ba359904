#pragma once

// Writes torrents into a store on a thread of its own, so that whoever hands them over (the
// list's loaders, many at a time) never waits for the file system: keeping 10,000 small
// torrents costs a file creation and a rename each, more than loading them does.
//
// Keep queues a copy of the bytes and returns. The writes wait for a pause in the keeping
// (kWritePause) and for the end of a hold, so that a batch's adds have the cores to
// themselves, unless kMaxWaitingBytes are waiting; and they run at the lowest priority. Flush waits
// until everything queued before it is written, writing along on the caller's thread; the
// destructor writes what is queued and then ends the thread. A write that fails is counted; the
// first failure after the last TakeFailure calls Failed, on the writer's thread, so that its owner
// can come for it.

#include "messages/Message.h"
#include "store/TorrentStore.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace lintervale {

class TStoreWriter {
public:
    static constexpr std::chrono::milliseconds kWritePause{50};
    static constexpr std::size_t kMaxWaitingBytes = std::size_t{64} << 20;

    TStoreWriter(const TTorrentStore& Store, std::function<void()> Failed);
    ~TStoreWriter();
    TStoreWriter(const TStoreWriter&) = delete;
    TStoreWriter& operator=(const TStoreWriter&) = delete;

    void Keep(std::string_view Hash, std::string_view Bytes);
    void Flush();
    // While held (a batch of adds runs), the writes wait as they do for a pause.
    void Hold(bool On);

    struct TFailures {
        int Count = 0;
        TMessage Last;
    };
    // The failures since the last call.
    TFailures TakeFailures();

private:
    void Work();
    // Writes the first queued torrent, with the lock released meanwhile.
    void WriteFront(std::unique_lock<std::mutex>& Lock);

    const TTorrentStore& m_Store;
    std::function<void()> m_Failed;
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    std::condition_variable m_Written;
    std::deque<std::pair<std::string, std::string>> m_Queue;
    std::uint64_t m_Queued = 0; // how many were ever queued
    std::uint64_t m_Done = 0;   // how many of them were written (or failed)
    std::size_t m_WaitingBytes = 0;
    int m_Flushing = 0; // callers waiting in Flush
    bool m_Held = false;
    TFailures m_Failures;
    bool m_Stopping = false;
    std::thread m_Thread;
};

} // namespace lintervale
