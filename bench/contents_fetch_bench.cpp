// Times fetching a torrent's contents from a peer on the loopback address, the way
// `lintervale --torrent` and the window's fetches do, and measures the fetching program's
// peak memory: contents_fetch_bench [FILES | TORRENT] [LINTERVALE].
//
// FILES (default 10000) makes a torrent of that many small files with libtorrent's
// create_torrent; a TORRENT file is seeded as it is (its contents only: no payload is
// needed). A libtorrent session in this process seeds it on 127.0.0.1. Then, in this
// process, a fetching session from the build's module fetches it BENCH_RUNS times (default
// 5), each time from Start() to the bytes kept in a torrent store; it prints the first time
// (with the session's start) and the median. With LINTERVALE, the program fetches it once with
// `--torrent` and once a hash that nobody has (time limit 1 s), and the peak resident memory
// of each run is printed: the second is the program with its session and no contents.
// Exits 1 when a fetch fails or gives other bytes than the seed's.

#include "fetch/FetchRequest.h"
#include "list/BatchLoader.h"
#include "store/TorrentStore.h"
#include "tests/fetch/LoopbackSeeder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace lintervale;
using namespace lintervale::testing;
using TClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double Seconds(TClock::time_point Start) {
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

struct TChildRun {
    int Status = -1;
    double Seconds = 0;
    long PeakKiB = 0;
};

// Runs Arguments with its output streams thrown away, under /usr/bin/time for its peak memory
// (a child that this process started itself would be charged this process's memory too).
TChildRun Run(const fs::path& Folder, const std::vector<std::string>& Arguments) {
    const std::string peak = (Folder / "peak").string();
    std::vector<std::string> words = {"/usr/bin/time", "-f", "%M", "-o", peak};
    words.insert(words.end(), Arguments.begin(), Arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    TChildRun run;
    const TClock::time_point start = TClock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    run.Seconds = Seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    // The last word: time writes a line before it for a status other than 0.
    std::ifstream in(peak);
    for (std::string word; in >> word;) {
        run.PeakKiB = std::atol(word.c_str());
    }
    return run;
}

std::unique_ptr<TLoopbackSeeder> MakeSeeder(const char* What) {
    if (What == nullptr || std::all_of(What, What + std::strlen(What), ::isdigit)) {
        const int files = What != nullptr ? std::atoi(What) : 10000;
        return std::make_unique<TLoopbackSeeder>(TTorrentKind::V1, files, "Bench seed");
    }
    std::ifstream in(What, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::make_unique<TLoopbackSeeder>(bytes.str());
}

} // namespace

int main(int argc, char** argv) {
    const char* runsText = std::getenv("BENCH_RUNS");
    const int runs = std::max(1, runsText != nullptr ? std::atoi(runsText) : 5);
    const TClock::time_point seeding = TClock::now();
    const std::unique_ptr<TLoopbackSeeder> seeder = MakeSeeder(argc > 1 ? argv[1] : nullptr);
    const TLoadResult seed = LoadBytesForList(seeder->Torrent());
    std::printf("torrent: %s files, contents %zu bytes (made and seeded in %.2f s)\n",
                seed.Row.Files.c_str(), seeder->Info().size(), Seconds(seeding));

    const fs::path folder =
        fs::temp_directory_path() / ("contents-fetch-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const TTorrentStore store((folder / "store").string());
    int status = 0;
    std::vector<double> times;
    {
        TEventLog log;
        const TClock::time_point start = TClock::now();
        auto session = MakeTestSession(log);
        for (int run = 0; run < runs; ++run) {
            const TClock::time_point fetching = run == 0 ? start : TClock::now();
            const std::optional<TFetchEvent> end =
                log.WaitEnd(session->Start(seeder->Request(120)), std::chrono::seconds(180));
            const bool same = end && end->Kind == TFetchEvent::TKind::Done &&
                              end->Torrent == "d4:info" + seeder->Info() + "e";
            if (!same) {
                std::printf("FAIL: fetch %d: %s\n", run + 1,
                            end ? FetchFailureMessage(*end).English().c_str() : "no end");
                status = 1;
                break;
            }
            store.Put(seed.Row.Hash, end->Torrent);
            store.Remove(seed.Row.Hash);
            times.push_back(Seconds(fetching));
        }
    }
    if (!times.empty()) {
        const double first = times.front();
        std::sort(times.begin(), times.end());
        std::printf("fetch to the stored .torrent: first %.3f s (with the session's start), "
                    "median of %zu %.3f s\n",
                    first, times.size(), times[times.size() / 2]);
    }

    if (argc > 2) {
        const std::string program = argv[2];
        const std::string out = (folder / "out").string();
        fs::create_directories(out);
        const TChildRun fetch =
            Run(folder, {program, "--torrent", "--no-dht", "-o", out, seeder->Link()});
        const TChildRun idle =
            Run(folder, {program, "--torrent", "--no-dht", "--timeout", "1", "-o", out,
                         "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567"});
        std::printf("lintervale --torrent: %.3f s, peak memory %.1f MiB; a fetch that gets no "
                    "contents: peak memory %.1f MiB\n",
                    fetch.Seconds, fetch.PeakKiB / 1024.0, idle.PeakKiB / 1024.0);
        if (fetch.Status != 0 || idle.Status != 1) {
            std::printf("FAIL: lintervale --torrent exited with %d and %d\n", fetch.Status,
                        idle.Status);
            status = 1;
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
