#include "list/BatchLoader.h"

#include "metainfo/TorrentFile.h"

#include <algorithm>
#include <sys/stat.h>

namespace lintervale {

namespace {

// Runs Make, which loads a torrent and makes its row; a refusal becomes the result's message
// and cause.
template <typename F> TLoadResult Loading(F Make) {
    TLoadResult result;
    try {
        result.Row = Make();
        result.Loaded = true;
    } catch (const ETorrentFileError& error) {
        result.Message = TMessage(kCorruptMetainfo.data());
        result.Cause = error.Cause();
    } catch (const EFileReadError& error) {
        result.Message = error.Message();
        result.Cause = error.Cause();
    } catch (const EMessageError& error) {
        result.Message = error.Message();
    } catch (const std::exception& error) {
        result.Message = TMessage::Verbatim(error.what());
    }
    return result;
}

// Hands a loaded torrent's bytes to Keep; a failure is noted in the result.
void Keeping(const TKeepTorrent& Keep, TLoadResult& Result, std::string_view Bytes) {
    if (!Keep || !Result.Loaded) {
        return;
    }
    try {
        Keep(Result.Row.Hash, Bytes);
    } catch (const EMessageError& error) {
        Result.KeepFailure = error.Message();
    } catch (const std::exception& error) {
        Result.KeepFailure = TMessage::Verbatim(error.what());
    }
}

} // namespace

TLoadResult LoadForList(const std::string& FileName, TFileBuffer& Buffer,
                        const TKeepTorrent& Keep) {
    TLoadResult result = Loading([&] { return LoadTorrentRow(FileName, Buffer); });
    result.File = FileName;
    Keeping(Keep, result, Buffer.View());
    Buffer.Trim();
    return result;
}

TLoadResult LoadBytesForList(std::string_view Bytes) {
    return Loading([Bytes] {
        TTorrentFile torrent;
        torrent.Load(Bytes);
        return MakeTorrentRow(torrent);
    });
}

// One worker per core: the caller mostly waits for them, and with fewer workers than cores it
// would catch up and load by itself, taking turns with them instead of adding to them.
unsigned TBatchLoader::DefaultWorkers() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores, 4u) : 0;
}

unsigned TBatchLoader::WorkersFor(const std::vector<TLoadRequest>& Files) {
    const auto files = std::count_if(Files.begin(), Files.end(),
                                     [](const TLoadRequest& Request) { return !Request.Row; });
    return files > 1 ? DefaultWorkers() : 0;
}

TBatchLoader::TBatchLoader(std::vector<TLoadRequest> Files, unsigned Workers, TKeepTorrent Keep)
    : m_Files(std::move(Files)), m_Keep(std::move(Keep)), m_Results(m_Files.size()),
      m_Ready(m_Files.size(), 0) {
    const auto workers = static_cast<std::size_t>(Workers);
    for (std::size_t i = 0; i < std::min(workers, m_Files.size()); ++i) {
        m_Threads.emplace_back(&TBatchLoader::Work, this);
    }
}

TBatchLoader::~TBatchLoader() {
    {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Stopping = true;
    }
    for (std::thread& thread : m_Threads) {
        thread.join();
    }
}

// Each index is loaded once, by one thread: a made row can be moved out of its request.
TLoadResult TBatchLoader::Load(std::size_t Index, TFileBuffer& Buffer) {
    TLoadRequest& request = m_Files[Index];
    if (request.Row) {
        TLoadResult made;
        made.Loaded = true;
        made.Row = std::move(*request.Row);
        if (!request.Bytes.empty()) {
            Keeping(m_Keep, made, request.Bytes);
            std::string().swap(request.Bytes);
        }
        return made;
    }
    if (request.SkipMissing) {
        // A name of something that is there but no regular file (a named pipe, a device) is
        // not passed over: the read refuses it with its cause.
        struct stat info {};
        if (::stat(request.File.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
            TLoadResult skipped;
            skipped.Skipped = true;
            return skipped;
        }
    }
    return LoadForList(request.File, Buffer, m_Keep);
}

void TBatchLoader::Work() {
    TFileBuffer buffer;
    for (;;) {
        std::size_t index = 0;
        {
            const std::lock_guard<std::mutex> lock(m_Mutex);
            if (m_Stopping || m_NextToLoad == m_Files.size()) {
                return;
            }
            index = m_NextToLoad++;
        }
        TLoadResult result = Load(index, buffer);
        bool wake = false;
        {
            const std::lock_guard<std::mutex> lock(m_Mutex);
            m_Results[index] = std::move(result);
            m_Ready[index] = 1;
            wake = m_Waiting;
        }
        // A wake-up costs a switch of threads: only when the caller waits for one.
        if (wake) {
            m_Done.notify_all();
        }
    }
}

bool TBatchLoader::Next(TLoadResult& Result) {
    if (m_Taken == m_Files.size()) {
        return false;
    }
    const std::size_t index = m_Taken++;
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_NextToLoad <= index) {
        // No worker has taken it yet (every earlier file has been): load it here rather than
        // wait.
        m_NextToLoad = index + 1;
        lock.unlock();
        Result = Load(index, m_Buffer);
        return true;
    }
    m_Waiting = true;
    m_Done.wait(lock, [&] { return m_Ready[index] != 0; });
    m_Waiting = false;
    Result = std::move(m_Results[index]);
    return true;
}

} // namespace lintervale
