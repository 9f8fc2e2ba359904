#include "fetch/FetchSession.h"

#include "fetch/SessionSettings.h"
#include "fetch/TorrentBytes.h"

#include <algorithm>
#include <libtorrent/alert_types.hpp>
#include <libtorrent/disk_interface.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/torrent_info.hpp>
#include <libtorrent/torrent_status.hpp>
#include <stdexcept>
#include <utility>

namespace lintervale {

TFetchSession::TFetchSession(TFetchSettings Settings, TFetchHandler Handler)
    : m_Settings(std::move(Settings)), m_Handler(std::move(Handler)) {
    m_Thread = std::thread([this] { Run(); });
}

TFetchSession::~TFetchSession() {
    Shutdown();
}

TFetchId TFetchSession::Start(TFetchRequest Request) {
    TFetchId id = 0;
    {
        const std::lock_guard lock(m_Mutex);
        if (m_Stopping) {
            return 0;
        }
        id = ++m_LastId;
        m_Commands.push_back(
            {.Kind = TCommand::TKind::Start, .Id = id, .Request = std::move(Request)});
    }
    m_Wake.notify_one();
    return id;
}

void TFetchSession::Cancel(TFetchId Id) {
    {
        const std::lock_guard lock(m_Mutex);
        m_Commands.push_back({.Kind = TCommand::TKind::Cancel, .Id = Id});
    }
    m_Wake.notify_one();
}

void TFetchSession::CancelAll() {
    {
        const std::lock_guard lock(m_Mutex);
        m_Commands.push_back({.Kind = TCommand::TKind::CancelAll});
    }
    m_Wake.notify_one();
}

void TFetchSession::Shutdown() {
    const std::lock_guard shutdown(m_ShutdownMutex);
    {
        const std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Wake.notify_one();
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

void TFetchSession::Run() {
    try {
        m_Session = std::make_unique<lt::session>(FetchSessionParams(m_Settings));
        m_Session->set_alert_notify([this] {
            {
                const std::lock_guard lock(m_Mutex);
                m_AlertsWaiting = true;
            }
            m_Wake.notify_one();
        });
    } catch (const std::exception& error) {
        m_Session.reset();
        m_SessionError = error.what();
    }

    std::unique_lock lock(m_Mutex);
    // Alerts may have come before the notification was set.
    m_AlertsWaiting = m_Session != nullptr;
    for (;;) {
        m_Wake.wait_until(lock, NextWake(),
                          [this] { return m_Stopping || m_AlertsWaiting || !m_Commands.empty(); });
        if (m_Stopping) {
            break;
        }
        std::deque<TCommand> commands;
        commands.swap(m_Commands);
        const bool alerts = std::exchange(m_AlertsWaiting, false);
        lock.unlock();

        for (TCommand& command : commands) {
            RunCommand(command);
        }
        if (alerts) {
            HandleAlerts();
        }
        EndTimedOut();
        if (m_Session && !m_Fetches.empty() && TClock::now() >= m_NextProgress) {
            m_Session->post_torrent_updates();
            m_NextProgress = TClock::now() + kProgressInterval;
        }
        lock.lock();
    }
    // Every fetch asked for gets its end, those still queued as well.
    std::deque<TCommand> commands;
    commands.swap(m_Commands);
    lock.unlock();
    for (const TFetch& fetch : m_Fetches) {
        Emit({.Kind = TFetchEvent::TKind::Failed,
              .Id = fetch.Id,
              .Progress = fetch.Progress,
              .Failure = TFetchFailure::ShutDown});
    }
    for (const TCommand& command : commands) {
        if (command.Kind == TCommand::TKind::Start) {
            Emit({.Kind = TFetchEvent::TKind::Failed,
                  .Id = command.Id,
                  .Failure = TFetchFailure::ShutDown});
        }
    }
    m_Fetches.clear();
    // Waits for libtorrent's own threads to end.
    m_Session.reset();
}

TFetchSession::TClock::time_point TFetchSession::NextWake() const {
    TClock::time_point wake = TClock::now() + std::chrono::hours(1);
    for (const TFetch& fetch : m_Fetches) {
        wake = std::min(wake, fetch.Deadline);
    }
    if (!m_Fetches.empty()) {
        wake = std::min(wake, m_NextProgress);
    }
    return wake;
}

void TFetchSession::RunCommand(TCommand& Command) {
    switch (Command.Kind) {
    case TCommand::TKind::Start:
        StartFetch(Command.Id, std::move(Command.Request));
        break;
    case TCommand::TKind::Cancel: {
        const auto fetch = std::find_if(m_Fetches.begin(), m_Fetches.end(),
                                        [&](const TFetch& f) { return f.Id == Command.Id; });
        if (fetch != m_Fetches.end()) {
            End(static_cast<std::size_t>(fetch - m_Fetches.begin()),
                {.Failure = TFetchFailure::Cancelled});
        }
        break;
    }
    case TCommand::TKind::CancelAll:
        while (!m_Fetches.empty()) {
            End(m_Fetches.size() - 1, {.Failure = TFetchFailure::Cancelled});
        }
        break;
    }
}

void TFetchSession::StartFetch(TFetchId Id, TFetchRequest Request) {
    const auto fail = [&](TFetchFailure failure, std::string detail) {
        Emit({.Kind = TFetchEvent::TKind::Failed,
              .Id = Id,
              .Failure = failure,
              .Detail = std::move(detail)});
    };
    if (!m_Session) {
        fail(TFetchFailure::Engine, m_SessionError);
        return;
    }
    if (Request.TimeLimitSeconds <= 0) {
        fail(TFetchFailure::BadRequest, "no time to fetch in");
        return;
    }
    lt::add_torrent_params params;
    try {
        params = FetchAddParams(Request, m_Settings);
    } catch (const std::invalid_argument& error) {
        fail(TFetchFailure::BadRequest, error.what());
        return;
    }
    auto count = std::make_shared<TContentsCount>(m_Settings.MaxContentsBytes);
    params.extensions.push_back(CountingPlugin(count));
    lt::error_code error;
    const lt::torrent_handle handle = m_Session->add_torrent(std::move(params), error);
    if (error) {
        fail(TFetchFailure::Engine, error.message());
        return;
    }
    // A torrent in the session already keeps the plugin it was added with.
    for (const TFetch& fetch : m_Fetches) {
        if (fetch.Handle == handle) {
            count = fetch.Count;
        }
    }
    const auto deadline = TClock::now() + std::chrono::seconds(Request.TimeLimitSeconds);
    m_Fetches.push_back({.Id = Id,
                         .Request = std::move(Request),
                         .Handle = handle,
                         .Deadline = deadline,
                         .Count = std::move(count)});
    if (m_Fetches.size() == 1) {
        m_NextProgress = TClock::now() + kProgressInterval;
    }
    // The same torrent may be in the session already, its contents with it (a fetch of it
    // that has just ended): those are handed over at once.
    std::shared_ptr<const lt::torrent_info> contents;
    try {
        contents = handle.torrent_file();
    } catch (const std::exception&) {
    }
    if (contents) {
        Complete(handle);
    }
}

void TFetchSession::HandleAlerts() {
    std::vector<lt::alert*> alerts;
    m_Session->pop_alerts(&alerts);
    for (const lt::alert* alert : alerts) {
        if (const auto* received = lt::alert_cast<lt::metadata_received_alert>(alert)) {
            Complete(received->handle);
        } else if (const auto* failed = lt::alert_cast<lt::torrent_error_alert>(alert)) {
            FailTorrent(failed->handle, TFetchFailure::Engine, failed->error.message());
        } else if (const auto* update = lt::alert_cast<lt::state_update_alert>(alert)) {
            for (const lt::torrent_status& status : update->status) {
                HandleProgress(status);
            }
        }
    }
}

void TFetchSession::HandleProgress(const lt::torrent_status& Status) {
    for (TFetch& fetch : m_Fetches) {
        if (fetch.Handle != Status.handle) {
            continue;
        }
        const TFetchProgress progress{
            .Peers = Status.num_peers,
            .PartsPerMillion = Status.has_metadata ? 1000000 : fetch.Count->PartsPerMillion()};
        if (fetch.Progress.Peers != progress.Peers ||
            fetch.Progress.PartsPerMillion != progress.PartsPerMillion) {
            fetch.Progress = progress;
            Emit({.Kind = TFetchEvent::TKind::Progress, .Id = fetch.Id, .Progress = progress});
        }
    }
}

void TFetchSession::Complete(const lt::torrent_handle& Handle) {
    std::shared_ptr<const lt::torrent_info> contents;
    try {
        contents = Handle.torrent_file();
    } catch (const std::exception& error) {
        FailTorrent(Handle, TFetchFailure::Engine, error.what());
        return;
    }
    if (!contents) {
        FailTorrent(Handle, TFetchFailure::Engine, "the contents were lost");
        return;
    }
    const lt::span<const char> section = contents->info_section();
    const std::string_view info(section.data(), static_cast<std::size_t>(section.size()));
    for (std::size_t i = m_Fetches.size(); i-- > 0;) {
        if (m_Fetches[i].Handle != Handle) {
            continue;
        }
        TFetchEvent event;
        event.Progress = {.Peers = m_Fetches[i].Progress.Peers, .PartsPerMillion = 1000000};
        if (HasRequestedHashes(m_Fetches[i].Request, info)) {
            event.Kind = TFetchEvent::TKind::Done;
            event.Torrent = TorrentFileBytes(info, m_Fetches[i].Request.Trackers);
        } else {
            event.Failure = TFetchFailure::Mismatch;
        }
        End(i, std::move(event));
    }
}

void TFetchSession::FailTorrent(const lt::torrent_handle& Handle, TFetchFailure Failure,
                                const std::string& Detail) {
    for (std::size_t i = m_Fetches.size(); i-- > 0;) {
        if (m_Fetches[i].Handle == Handle) {
            End(i, {.Failure = Failure, .Detail = Detail});
        }
    }
}

void TFetchSession::End(std::size_t Index, TFetchEvent Event) {
    TFetch fetch = std::move(m_Fetches[Index]);
    m_Fetches.erase(m_Fetches.begin() + static_cast<std::ptrdiff_t>(Index));
    const bool shared = std::any_of(m_Fetches.begin(), m_Fetches.end(),
                                    [&](const TFetch& f) { return f.Handle == fetch.Handle; });
    if (!shared) {
        m_Session->remove_torrent(fetch.Handle);
    }
    if (Event.Kind != TFetchEvent::TKind::Done) {
        Event.Kind = TFetchEvent::TKind::Failed;
        Event.Progress = fetch.Progress;
    }
    Event.Id = fetch.Id;
    if (Event.Failure == TFetchFailure::TimeLimit) {
        Event.TimeLimitSeconds = fetch.Request.TimeLimitSeconds;
    }
    Emit(std::move(Event));
}

void TFetchSession::EndTimedOut() {
    const TClock::time_point now = TClock::now();
    for (std::size_t i = m_Fetches.size(); i-- > 0;) {
        if (i < m_Fetches.size() && m_Fetches[i].Deadline <= now) {
            End(i, {.Failure = TFetchFailure::TimeLimit});
        }
    }
}

void TFetchSession::Emit(TFetchEvent Event) const {
    m_Handler(std::move(Event));
}

} // namespace lintervale
