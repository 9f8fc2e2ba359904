#pragma once

// Reads and loads a batch of .torrent files ahead of the one adding them, on threads of its
// own, and hands the results back one by one in the order of the files. Loading is the
// costly part of an add and touches nothing but the file, so it can run ahead; the adding
// itself (the duplicate test, the new row) stays with the caller, in order. A batch may also
// carry rows made already (from magnet links); they are handed back in their place.

#include "list/TorrentRow.h"
#include "messages/Message.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lintervale {

// Keeps a loaded torrent's bytes under its row's hash (the window's store of torrents). It
// runs on the thread that loaded the torrent, a batch's worker too, and raises EMessageError
// when the bytes could not be kept; the load itself still counts.
using TKeepTorrent = std::function<void(const std::string& Hash, std::string_view Bytes)>;

struct TLoadResult {
    bool Loaded = false;
    bool Skipped = false; // passed over without a word: no such file, or a folder
    TTorrentRow Row;      // when loaded
    std::string File;     // the file's name as given
    TMessage Message;     // when neither: what the list shows
    TLoadCause Cause;     // when the file was refused as metainfo: why
    TMessage KeepFailure; // when loaded but its bytes could not be kept: why
};

// Reads and loads one file (what AddFile does before it looks at the list), and hands its
// bytes to Keep when it loaded. The buffer is trimmed afterwards, so a large file's room does
// not outlive its load.
TLoadResult LoadForList(const std::string& FileName, TFileBuffer& Buffer,
                        const TKeepTorrent& Keep = {});
// Loads a torrent held in memory (a download), as LoadForList loads a file.
TLoadResult LoadBytesForList(std::string_view Bytes);

struct TLoadRequest {
    std::string File;
    // Pass the name over when it names no file, or a folder (the command line's rule),
    // instead of failing.
    bool SkipMissing = false;
    // A row made already: nothing is read or loaded, the row is handed back as loaded.
    std::optional<TTorrentRow> Row;
    // The made row's torrent, when there is one (a download): kept as a file's bytes are.
    std::string Bytes;
};

class TBatchLoader {
public:
    // Workers 0 loads in Next itself, on the caller's thread. Keep, when given, keeps each
    // loaded torrent's bytes where it was loaded.
    TBatchLoader(std::vector<TLoadRequest> Files, unsigned Workers, TKeepTorrent Keep = {});
    ~TBatchLoader();
    TBatchLoader(const TBatchLoader&) = delete;
    TBatchLoader& operator=(const TBatchLoader&) = delete;

    // The next file's result, waiting for it if need be; false when every file was handed out.
    bool Next(TLoadResult& Result);
    std::size_t Remaining() const { return m_Files.size() - m_Taken; }

    // Workers worth having here.
    static unsigned DefaultWorkers();
    // Workers worth having for Files: none unless at least two of them are files to load.
    static unsigned WorkersFor(const std::vector<TLoadRequest>& Files);

private:
    void Work();
    TLoadResult Load(std::size_t Index, TFileBuffer& Buffer);

    std::vector<TLoadRequest> m_Files;
    TKeepTorrent m_Keep;
    std::vector<TLoadResult> m_Results;
    std::vector<char> m_Ready;
    std::size_t m_Taken = 0;
    std::size_t m_NextToLoad = 0;
    bool m_Stopping = false;
    bool m_Waiting = false; // the caller waits for a result
    std::mutex m_Mutex;
    std::condition_variable m_Done;
    std::vector<std::thread> m_Threads;
    TFileBuffer m_Buffer; // for loading on the caller's thread
};

} // namespace lintervale
