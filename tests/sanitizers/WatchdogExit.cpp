// QtTest runs each test program's functions under a watchdog thread. Its QThread is gone when
// QTest::qExec returns, but the thread itself drops its last hold on the thread's data only in
// its own exit path, which can still be running when the program ends: LeakSanitizer, which
// checks at exit, then reports that data (152 bytes from QThread's constructor) as leaked.
// Every Qt test program links this object, whose destructor runs after main returns and
// before the leak check, and waits there until that thread has left the process.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr const char* kWatchdogThreadName = "QtTest Watchdog";

bool WatchdogRuns() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == kWatchdogThreadName) {
            return true;
        }
    }
    return false;
}

struct TWatchdogExit {
    TWatchdogExit() = default;
    TWatchdogExit(const TWatchdogExit&) = delete;
    TWatchdogExit& operator=(const TWatchdogExit&) = delete;
    ~TWatchdogExit() {
        // The thread has nothing left to do but end; the bound only keeps a wedged system
        // from hanging the test.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (WatchdogRuns() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
        }
    }
};

const TWatchdogExit watchdogExit;

} // namespace
