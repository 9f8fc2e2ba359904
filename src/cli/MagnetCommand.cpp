#include "cli/MagnetCommand.h"

#include "cli/CommandLine.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
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
        // Standard input is read as whatever it is; any other name only as a regular file.
        buffer.ReadWholeFile(file, kMaxTorrentFileSize,
                             file == kStandardInput ? TFileKinds::Any : TFileKinds::RegularOnly);
        TTorrentFile torrent;
        torrent.Load(buffer.View());
        const TTorrentRow row = MakeTorrentRow(torrent);
        return {true, MagnetLinkOfRow(row.Name, row.Hash, row.Trackers) + '\n'};
    } catch (const ETorrentFileError& error) {
        return {false, file + ": " + MessageWithCause(error.what(), error.Cause()) + '\n'};
    } catch (const EFileReadError& error) {
        return {false, file + ": " + MessageWithCause(error.what(), error.Cause()) + '\n'};
    } catch (const std::exception& error) {
        return {false, file + ": " + error.what() + '\n'};
    }
}

// The first failure of a stream's writes, kept by its cause; once one write fails, the stream
// gets nothing more, so that a full disk is reported once and not partly filled later.
class TOutput {
public:
    explicit TOutput(std::FILE* file) : m_File(file) {}

    void Write(const std::string& text) {
        if (m_Error == 0 && std::fwrite(text.data(), 1, text.size(), m_File) != text.size()) {
            Fail();
        }
    }
    void Flush() {
        if (m_Error == 0 && std::fflush(m_File) != 0) {
            Fail();
        }
    }
    // Flushes, and gives the first failure's cause (0 when every write arrived).
    int Finish() {
        Flush();
        return m_Error == 0 && std::ferror(m_File) ? EIO : m_Error;
    }

private:
    void Fail() { m_Error = errno != 0 ? errno : EIO; }

    std::FILE* m_File;
    int m_Error = 0;
};

bool Report(int error, std::FILE* err) {
    if (error == 0) {
        return true;
    }
    std::fprintf(err, "lintervale: cannot write the output: %s\n", std::strerror(error));
    std::fflush(err);
    return false;
}

} // namespace

bool FinishOutput(std::FILE* Out, std::FILE* Err) {
    return Report(TOutput(Out).Finish(), Err);
}

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
    TOutput out(Out);
    for (const TOutcome& outcome : outcomes) {
        if (outcome.Linked) {
            out.Write(outcome.Text);
        } else {
            // The links before it come first, so that both streams read in the files' order.
            out.Flush();
            std::fwrite(outcome.Text.data(), 1, outcome.Text.size(), Err);
            std::fflush(Err);
            status = 1;
        }
    }
    return Report(out.Finish(), Err) ? status : 1;
}

} // namespace lintervale
