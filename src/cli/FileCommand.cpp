#include "cli/FileCommand.h"

#include "cli/CommandLine.h"
#include "metainfo/TorrentFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace lintervale {

namespace {

// The first failure of a stream's writes, kept by its cause; once one write fails, the stream
// gets nothing more, so that a full disk is reported once and not partly filled later.
class TOutput {
public:
    explicit TOutput(std::FILE* file) : m_File(file) {}

    void Write(std::string_view text) {
        if (m_Error == 0 && !text.empty() &&
            std::fwrite(text.data(), 1, text.size(), m_File) != text.size()) {
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

void ReadCommandFile(const std::string& File, TFileBuffer& Buffer) {
    Buffer.ReadWholeFile(File, kMaxTorrentFileSize,
                         File == kStandardInput ? TFileKinds::Any : TFileKinds::RegularOnly);
}

std::string FailureText() {
    try {
        throw;
    } catch (const ETorrentFileError& error) {
        return MessageWithCause(error.what(), error.Cause());
    } catch (const EFileReadError& error) {
        return MessageWithCause(error.what(), error.Cause());
    } catch (const std::exception& error) {
        return error.what();
    }
}

bool FinishOutput(std::FILE* Out, std::FILE* Err) {
    return Report(TOutput(Out).Finish(), Err);
}

namespace {

// A file's output kept until its turn.
class TKeptOutput final : public TFileSink {
public:
    void Write(std::string_view Text) override { m_Text += Text; }
    std::string& Text() { return m_Text; }

private:
    std::string m_Text;
};

// The output of the file whose turn it is, straight out; the framing between two files'
// outputs goes first.
class TTurnOutput final : public TFileSink {
public:
    TTurnOutput(TOutput& out, std::string_view between, bool& first)
        : m_Out(out), m_Between(between), m_First(first) {}
    void Write(std::string_view Text) override {
        if (Text.empty()) {
            return;
        }
        if (!m_First) {
            m_Out.Write(m_Between);
        } else {
            m_First = false;
        }
        m_Between = {};
        m_Out.Write(Text);
    }

private:
    TOutput& m_Out;
    std::string_view m_Between;
    bool& m_First;
};

// The state of one file: nobody has it, a helper works on it, it is done (by a helper).
enum TState : int { kFree, kTaken, kKept };

} // namespace

int RunFileCommand(const std::vector<std::string>& Files, const TFileWork& Work,
                   const TFraming& Framing, std::FILE* Out, std::FILE* Err) {
    // The files are independent. This thread writes them in order and works on each that
    // nobody has taken yet, writing its output as it comes; helpers on the other cores take
    // the files ahead of it and keep what they give until its turn.
    std::vector<TFileOutcome> outcomes(Files.size());
    std::vector<TKeptOutput> kept(Files.size());
    std::vector<std::atomic<int>> states(Files.size());
    std::mutex lock;
    std::condition_variable doneChanged;
    std::atomic<std::size_t> next{1};
    // Takes the next file nobody has and keeps its outcome; false when none is left.
    const auto helpOnce = [&](TFileBuffer& buffer) {
        for (std::size_t i = next++; i < Files.size(); i = next++) {
            int expected = kFree;
            if (!states[i].compare_exchange_strong(expected, kTaken)) {
                continue;
            }
            outcomes[i] = Work(Files[i], buffer, kept[i]);
            {
                const std::lock_guard<std::mutex> guard(lock);
                states[i] = kKept;
            }
            doneChanged.notify_all();
            return true;
        }
        return false;
    };
    const auto help = [&] {
        TFileBuffer buffer;
        while (helpOnce(buffer)) {
        }
    };
    const std::size_t helpers =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), Files.size()) - 1;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) {
        threads.emplace_back(help);
    }

    int status = 0;
    TOutput out(Out);
    out.Write(Framing.Before);
    bool first = true;
    TFileBuffer buffer;
    for (std::size_t i = 0; i < Files.size(); ++i) {
        int expected = kFree;
        if (states[i].compare_exchange_strong(expected, kTaken)) {
            TTurnOutput turn(out, Framing.Between, first);
            outcomes[i] = Work(Files[i], buffer, turn);
        } else {
            // While a helper works on this file, this thread works on one further on.
            while (states[i] != kKept && helpOnce(buffer)) {
            }
            std::unique_lock<std::mutex> guard(lock);
            doneChanged.wait(guard, [&] { return states[i] == kKept; });
            guard.unlock();
            TTurnOutput turn(out, Framing.Between, first);
            turn.Write(kept[i].Text());
            std::string().swap(kept[i].Text());
        }
        if (!outcomes[i].Done) {
            // What came before it goes first, so that both streams read in the files' order.
            out.Flush();
            if (!outcomes[i].Err.empty()) {
                std::fwrite(outcomes[i].Err.data(), 1, outcomes[i].Err.size(), Err);
            }
            std::fflush(Err);
            status = 1;
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    out.Write(Framing.After);
    return Report(out.Finish(), Err) ? status : 1;
}

} // namespace lintervale
