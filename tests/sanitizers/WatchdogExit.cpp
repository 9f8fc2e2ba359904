// Qt's threads (QtTest's watchdog, the thread pool's, the network's) are QThreads. Each
// drops its last hold on its thread data only in its own exit path, which can still be
// running when the program ends although Qt has waited for the thread: LeakSanitizer, which
// checks at exit, then reports that data (152 bytes from QThread's constructor) as leaked.
// Every Qt test program links this object, whose destructor runs after main returns and
// before the leak check, and waits there until the other threads have left the process.

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

bool OtherThreadsRun() {
    std::error_code error;
    int threads = 0;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end;
         !error && task != end; task.increment(error)) {
        ++threads;
    }
    return threads > 1;
}

struct TThreadsEnd {
    TThreadsEnd() = default;
    TThreadsEnd(const TThreadsEnd&) = delete;
    TThreadsEnd& operator=(const TThreadsEnd&) = delete;
    ~TThreadsEnd() {
        // Qt's threads have nothing left to do but end; the bound keeps a thread that lives
        // to the end (a library's own) from holding up the test.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (OtherThreadsRun() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
        }
    }
};

const TThreadsEnd threadsEnd;

} // namespace
