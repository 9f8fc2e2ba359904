#include "cli/MagnetCommand.h"

#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace lintervale {

namespace {

// What one file gave: its link, or the line that names it and the reason.
struct TOutcome {
    bool Linked = false;
    std::string Text;
};

TOutcome LinkOf(const std::string& file, TFileBuffer& buffer) {
    try {
        const TTorrentRow row = LoadTorrentRow(file, buffer);
        return {true, MagnetLinkOfRow(row.Name, row.Hash, row.Trackers) + '\n'};
    } catch (const std::exception& error) {
        return {false, file + ": " + error.what() + '\n'};
    }
}

} // namespace

int RunMagnetCommand(const std::vector<std::string>& Files, std::FILE* Out, std::FILE* Err) {
    // The files are independent: every core takes the next one, each with a read buffer of
    // its own, and the lines come out in the order of the files all the same.
    std::vector<TOutcome> outcomes(Files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        TFileBuffer buffer;
        for (std::size_t i = next++; i < Files.size(); i = next++) {
            outcomes[i] = LinkOf(Files[i], buffer);
        }
    };
    const std::size_t helpers =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), Files.size()) - 1;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }

    int status = 0;
    for (const TOutcome& outcome : outcomes) {
        if (outcome.Linked) {
            std::fwrite(outcome.Text.data(), 1, outcome.Text.size(), Out);
        } else {
            std::fflush(Out);
            std::fwrite(outcome.Text.data(), 1, outcome.Text.size(), Err);
            std::fflush(Err);
            status = 1;
        }
    }
    std::fflush(Out);
    return status;
}

} // namespace lintervale
