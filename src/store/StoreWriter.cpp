#include "store/StoreWriter.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lintervale {

TStoreWriter::TStoreWriter(const TTorrentStore& Store, std::function<void()> Failed)
    : m_Store(Store), m_Failed(std::move(Failed)), m_Thread(&TStoreWriter::Work, this) {}

TStoreWriter::~TStoreWriter() {
    Flush();
    {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Stopping = true;
    }
    m_Wake.notify_one();
    m_Thread.join();
}

void TStoreWriter::Keep(std::string_view Hash, std::string_view Bytes) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        // The writer wakes for the first of a run and when too much waits; it looks for the
        // pause itself.
        wake = m_Queue.empty() || (m_WaitingBytes < kMaxWaitingBytes &&
                                   m_WaitingBytes + Bytes.size() >= kMaxWaitingBytes);
        m_Queue.emplace_back(std::string(Hash), std::string(Bytes));
        m_WaitingBytes += Bytes.size();
        ++m_Queued;
    }
    if (wake) {
        m_Wake.notify_one();
    }
}

void TStoreWriter::Flush() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    const std::uint64_t until = m_Queued;
    if (m_Done >= until) {
        return;
    }
    ++m_Flushing;
    m_Wake.notify_one();
    // The caller writes too, at its own priority: the writer's is the lowest.
    while (!m_Queue.empty()) {
        WriteFront(lock);
    }
    m_Written.wait(lock, [&] { return m_Done >= until; });
    --m_Flushing;
}

void TStoreWriter::Hold(bool On) {
    {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Held = On;
    }
    m_Wake.notify_one();
}

TStoreWriter::TFailures TStoreWriter::TakeFailures() {
    const std::lock_guard<std::mutex> lock(m_Mutex);
    return std::exchange(m_Failures, TFailures());
}

void TStoreWriter::Work() {
    // The writes yield to the loading and the window: they are not waited for, until a read,
    // a prune or the end flushes them. (Linux gives each thread a niceness of its own.)
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 19);
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Wake.wait(lock, [&] { return m_Stopping || !m_Queue.empty(); });
        if (m_Queue.empty()) {
            return; // what was queued is written before the thread ends
        }
        // Wait while more keeps come in.
        for (std::uint64_t seen = 0; (seen != m_Queued || m_Held) && !m_Stopping &&
                                     m_Flushing == 0 && m_WaitingBytes < kMaxWaitingBytes;) {
            seen = m_Queued;
            m_Wake.wait_for(lock, kWritePause);
        }
        while (!m_Queue.empty()) {
            WriteFront(lock);
        }
    }
}

void TStoreWriter::WriteFront(std::unique_lock<std::mutex>& Lock) {
    std::pair<std::string, std::string> item = std::move(m_Queue.front());
    m_Queue.pop_front();
    m_WaitingBytes -= item.second.size();
    Lock.unlock();
    TMessage failure;
    try {
        m_Store.Put(item.first, item.second);
    } catch (const EMessageError& error) {
        failure = error.Message();
    } catch (const std::exception& error) {
        failure = TMessage::Verbatim(error.what());
    }
    Lock.lock();
    ++m_Done;
    const bool first = !failure.Empty() && m_Failures.Count++ == 0;
    if (!failure.Empty()) {
        m_Failures.Last = std::move(failure);
    }
    m_Written.notify_all();
    if (first && m_Failed) {
        Lock.unlock();
        m_Failed();
        Lock.lock();
    }
}

} // namespace lintervale
