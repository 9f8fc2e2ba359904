#include "cli/TorrentCommand.h"

#include "cli/CommandLine.h"
#include "cli/FileCommand.h"
#include "cli/NewFile.h"
#include "fetch/FetchModule.h"
#include "fetch/FetchRequest.h"
#include "list/BatchLoader.h"
#include "list/TorrentFileName.h"
#include "magnet/MagnetParse.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

namespace {

// Fetches that run side by side; the links after them wait for their turn.
constexpr std::size_t kFetchesAtOnce = 8;

struct TLinkJob {
    std::string Text = {}; // as given
    std::optional<TMagnetLink> Link = {};
    bool Ended = false;
    std::string Path = {};  // the file written
    std::string Error = {}; // why there is none
};

// The session's events, handed from its thread to the command's.
class TEventQueue {
public:
    TFetchHandler Handler() {
        return [this](TFetchEvent event) {
            {
                const std::lock_guard lock(m_Mutex);
                m_Events.push_back(std::move(event));
            }
            m_Arrived.notify_one();
        };
    }
    TFetchEvent Next() {
        std::unique_lock lock(m_Mutex);
        m_Arrived.wait(lock, [this] { return !m_Events.empty(); });
        TFetchEvent event = std::move(m_Events.front());
        m_Events.pop_front();
        return event;
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Arrived;
    std::deque<TFetchEvent> m_Events;
};

std::string_view Trimmed(std::string_view Text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!Text.empty() && blank(Text.front())) {
        Text.remove_prefix(1);
    }
    while (!Text.empty() && blank(Text.back())) {
        Text.remove_suffix(1);
    }
    return Text;
}

// The links of the command line in order, those of standard input where "-" stands. False
// when standard input cannot be read (Error says why).
bool GatherLinks(const std::vector<std::string>& Operands, std::FILE* In,
                 std::vector<TLinkJob>& Jobs, std::string& Error) {
    for (const std::string& operand : Operands) {
        if (operand != "-") {
            Jobs.push_back({.Text = operand});
            continue;
        }
        std::string text;
        char buffer[1 << 16];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, In)) > 0;) {
            text.append(buffer, got);
        }
        if (std::ferror(In)) {
            Error = std::string("cannot read standard input: ") + std::strerror(errno);
            return false;
        }
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string_view line =
                Trimmed(std::string_view(text).substr(start, end - start));
            if (!line.empty()) {
                Jobs.push_back({.Text = std::string(line)});
            }
            start = end + 1;
        }
    }
    return true;
}

// Why files cannot be written into Folder; empty when they can.
std::string FolderProblem(const std::string& Folder) {
    struct stat status {};
    if (::stat(Folder.c_str(), &status) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISDIR(status.st_mode)) {
        return "not a folder";
    }
    if (::access(Folder.c_str(), W_OK | X_OK) != 0) {
        return std::strerror(errno);
    }
    return {};
}

// Reads what Text holds: one magnet link with an info hash, and nothing else.
std::optional<TMagnetLink> LinkOf(const std::string& Text) {
    std::size_t at = 0;
    const std::string_view found = NextMagnetLink(Text, at);
    if (found.size() != Text.size()) {
        return std::nullopt;
    }
    return ParseMagnetLink(found);
}

// The file of fetched contents, written into Folder; or the reason there is none.
void Keep(TLinkJob& Job, const std::string& Torrent, const std::string& Folder) {
    const TLoadResult loaded = LoadBytesForList(Torrent);
    if (!loaded.Loaded) {
        Job.Error = loaded.Message.English();
        return;
    }
    try {
        Job.Path =
            WriteNewTorrentFile(Folder, TorrentFileStem(loaded.Row.Name, loaded.Row.Hash), Torrent);
    } catch (const std::runtime_error& error) {
        Job.Error = error.what();
    }
}

} // namespace

int RunTorrentCommand(const TCommandLine& Line, std::FILE* In, std::FILE* Out, std::FILE* Err,
                      const TFetchSessionMaker& MakeSession) {
    std::vector<TLinkJob> jobs;
    std::string problem;
    if (!GatherLinks(Line.Operands, In, jobs, problem)) {
        std::fprintf(Err, "lintervale: %s\n", problem.c_str());
        return 1;
    }
    if (jobs.empty()) {
        std::fputs("lintervale: standard input holds no link\n", Err);
        return 1;
    }
    if (problem = FolderProblem(Line.OutputFolder); !problem.empty()) {
        std::fprintf(Err, "lintervale: cannot write into %s: %s\n", Line.OutputFolder.c_str(),
                     problem.c_str());
        return 1;
    }
    bool anyLink = false;
    for (TLinkJob& job : jobs) {
        job.Link = LinkOf(job.Text);
        job.Ended = !job.Link;
        if (!job.Link) {
            job.Error = "not a magnet link with an info hash";
        }
        anyLink = anyLink || job.Link;
    }

    TEventQueue events;
    std::unique_ptr<IContentsFetchSession> session;
    if (anyLink) {
        TFetchSettings settings;
        settings.Dht = Line.Dht;
        TMessage error;
        session = MakeSession ? MakeSession(settings, events.Handler(), error)
                              : MakeFetchSession(settings, events.Handler(), error);
        if (!session) {
            std::fprintf(Err, "lintervale: %s\n", error.English().c_str());
            return 3;
        }
    }

    int status = 0;
    std::map<TFetchId, std::size_t> running;
    std::size_t next = 0;
    std::size_t printed = 0;
    for (;;) {
        for (; next < jobs.size() && running.size() < kFetchesAtOnce; ++next) {
            if (jobs[next].Link) {
                running[session->Start(FetchRequestOf(*jobs[next].Link, Line.TimeoutSeconds))] =
                    next;
            }
        }
        // What has ended goes out in the links' order.
        for (; printed < jobs.size() && jobs[printed].Ended; ++printed) {
            const TLinkJob& job = jobs[printed];
            if (job.Error.empty()) {
                std::fprintf(Out, "%s\n", job.Path.c_str());
                continue;
            }
            std::fflush(Out);
            std::fprintf(Err, "%s: %s\n", job.Text.c_str(), job.Error.c_str());
            std::fflush(Err);
            status = 1;
        }
        if (printed == jobs.size()) {
            break;
        }
        const TFetchEvent event = events.Next();
        const auto fetch = running.find(event.Id);
        if (event.Kind == TFetchEvent::TKind::Progress || fetch == running.end()) {
            continue;
        }
        TLinkJob& job = jobs[fetch->second];
        running.erase(fetch);
        job.Ended = true;
        if (event.Kind == TFetchEvent::TKind::Done) {
            Keep(job, event.Torrent, Line.OutputFolder);
        } else {
            job.Error = FetchFailureMessage(event).English();
        }
    }
    const bool written = FinishOutput(Out, Err);
    session.reset();
    return written ? status : 1;
}

} // namespace lintervale
