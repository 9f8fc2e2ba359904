#pragma once

// The fetching session on libtorrent (the module's side of fetch/ContentsFetch.h).
//
// One thread of its own makes the libtorrent session and is the only one that calls it: the
// public calls queue their work for it and wake it, and libtorrent wakes it when alerts
// arrive. It adds each request as a magnet torrent, hands the contents over as soon as they
// arrive (and removes the torrent), ends fetches whose time is up, and asks libtorrent twice
// a second for the progress of the ones that run. Two fetches of the same torrent share it.

#include "fetch/ContentsFetch.h"
#include "fetch/ContentsProgress.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <libtorrent/fwd.hpp>
#include <libtorrent/torrent_handle.hpp>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lintervale {

class TFetchSession final : public IContentsFetchSession {
public:
    TFetchSession(TFetchSettings Settings, TFetchHandler Handler);
    ~TFetchSession() override;
    TFetchSession(const TFetchSession&) = delete;
    TFetchSession& operator=(const TFetchSession&) = delete;

    TFetchId Start(TFetchRequest Request) override;
    void Cancel(TFetchId Id) override;
    void CancelAll() override;
    void Shutdown() override;

private:
    using TClock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kProgressInterval{500};

    struct TCommand {
        enum class TKind { Start, Cancel, CancelAll };
        TKind Kind = TKind::Start;
        TFetchId Id = 0;
        TFetchRequest Request = {};
    };
    struct TFetch {
        TFetchId Id = 0;
        TFetchRequest Request = {};
        lt::torrent_handle Handle = {};
        TClock::time_point Deadline = {};
        TFetchProgress Progress = {};
        // What the peers have sent of the contents (shared by the fetches of one torrent).
        std::shared_ptr<TContentsCount> Count = {};
    };

    void Run();
    void RunCommand(TCommand& Command);
    void StartFetch(TFetchId Id, TFetchRequest Request);
    void HandleAlerts();
    void HandleProgress(const lt::torrent_status& Status);
    // Hands the contents of the torrent Handle to every fetch of it.
    void Complete(const lt::torrent_handle& Handle);
    // Ends the fetches of Handle with Failure.
    void FailTorrent(const lt::torrent_handle& Handle, TFetchFailure Failure,
                     const std::string& Detail);
    // Ends the fetch at Index with Event (Kind and Id are filled in here); its torrent goes
    // when no other fetch shares it.
    void End(std::size_t Index, TFetchEvent Event);
    void EndTimedOut();
    TClock::time_point NextWake() const;
    void Emit(TFetchEvent Event) const;

    const TFetchSettings m_Settings;
    const TFetchHandler m_Handler;

    std::mutex m_Mutex; // guards what follows, up to m_Thread
    std::condition_variable m_Wake;
    std::deque<TCommand> m_Commands;
    bool m_AlertsWaiting = false;
    bool m_Stopping = false;
    TFetchId m_LastId = 0;

    std::mutex m_ShutdownMutex;
    std::thread m_Thread;

    // The session's thread alone uses these.
    std::unique_ptr<lt::session> m_Session;
    std::string m_SessionError; // why the session could not be made
    std::vector<TFetch> m_Fetches;
    TClock::time_point m_NextProgress;
};

} // namespace lintervale
