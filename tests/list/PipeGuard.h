#pragma once

// A named pipe for tests of reads that must refuse it. Should a read wait on the pipe after
// all (the fault these tests look for), the guard opens the pipe's other end once a generous
// deadline has passed and closes it at once, so the read sees the end and the test fails
// instead of hanging.

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lintervale::testing {

class TPipeGuard {
public:
    explicit TPipeGuard(std::filesystem::path Path) : m_Path(std::move(Path)) {
        ::mkfifo(m_Path.c_str(), 0600);
        m_Thread = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_Mutex);
            while (!m_Done.wait_for(lock, std::chrono::seconds(20), [this] { return m_Stop; })) {
                // Only a reader that waits lets this open succeed.
                const int fd = ::open(m_Path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        });
    }
    ~TPipeGuard() {
        {
            const std::lock_guard<std::mutex> lock(m_Mutex);
            m_Stop = true;
        }
        m_Done.notify_all();
        m_Thread.join();
        std::filesystem::remove(m_Path);
    }
    TPipeGuard(const TPipeGuard&) = delete;
    TPipeGuard& operator=(const TPipeGuard&) = delete;

    std::string Name() const { return m_Path.string(); }

private:
    std::filesystem::path m_Path;
    std::mutex m_Mutex;
    std::condition_variable m_Done;
    bool m_Stop = false;
    std::thread m_Thread;
};

} // namespace lintervale::testing
