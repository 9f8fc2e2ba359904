#pragma once

// Peers on the loopback interface for the fetching tests: a libtorrent session that seeds a
// torrent made from a temporary folder, and a peer that sends part of the contents and
// leaves. Neither reaches beyond 127.0.0.1: no DHT, no local peer discovery, no port mapping.

#include "fetch/ContentsFetch.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <libtorrent/fwd.hpp>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lintervale::testing {

enum class TTorrentKind { V1, Hybrid, V2 };

// A torrent of Files small files, made with libtorrent's create_torrent from a folder under
// the temporary folder, and seeded from 127.0.0.1 until the seeder is destroyed or Leave()
// is called.
class TLoopbackSeeder {
public:
    TLoopbackSeeder(TTorrentKind Kind, int Files, const std::string& Name = "Loopback seed");
    // Seeds the torrent Torrent (its bytes) in seed mode from an empty folder: its contents are
    // served, none of its pieces.
    explicit TLoopbackSeeder(const std::string& Torrent);
    ~TLoopbackSeeder();
    TLoopbackSeeder(const TLoopbackSeeder&) = delete;
    TLoopbackSeeder& operator=(const TLoopbackSeeder&) = delete;

    // "127.0.0.1:<port>".
    const std::string& Peer() const { return m_Peer; }
    const std::string& Torrent() const { return m_Torrent; }
    const std::string& Info() const { return m_Info; }
    const std::string& HashV1() const { return m_HashV1; }
    const std::string& HashV2() const { return m_HashV2; }
    // The torrent's link with the seeder as its peer (x.pe) and no tracker.
    std::string Link() const;
    // The request that Link() makes.
    TFetchRequest Request(int TimeLimitSeconds = 60) const;
    // Stops seeding: the session ends.
    void Leave();

private:
    // Seeds m_Torrent, ready once the torrent is in Ready (an lt::torrent_status::state_t).
    void Seed(int Ready);

    std::filesystem::path m_Folder;
    std::string m_Name;
    std::string m_Torrent;
    std::string m_Info;
    std::string m_HashV1;
    std::string m_HashV2;
    std::string m_Peer;
    std::unique_ptr<lt::session> m_Session;
};

// A peer that takes one connection, offers the contents Info (by the metadata extension),
// sends the first Pieces pieces of 16 KiB that it is asked for, and when Leave() is called
// (or it is destroyed) closes the connection. It takes no second one.
class THalfPeer {
public:
    THalfPeer(std::string Info, std::string HashV1, int Pieces);
    ~THalfPeer();
    THalfPeer(const THalfPeer&) = delete;
    THalfPeer& operator=(const THalfPeer&) = delete;

    const std::string& Peer() const { return m_Peer; }
    // Waits until the peer has sent its pieces; false if that takes longer than Limit.
    bool WaitSent(std::chrono::seconds Limit);
    // Closes the connection (once the pieces are sent) and waits until it is closed.
    void Leave();

private:
    void Serve();

    std::string m_Info;
    std::string m_HashV1;
    int m_Pieces;
    int m_Listener = -1;
    std::string m_Peer;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Sent = false;
    bool m_Leave = false;
    std::thread m_Thread;
};

// Settings of a fetching session that stays on the loopback interface.
TFetchSettings LoopbackFetchSettings();

// The events of a session, as its handler hands them over.
class TEventLog {
public:
    TFetchHandler Handler();
    // The Done or Failed event of Id, waiting for it up to Limit.
    std::optional<TFetchEvent> WaitEnd(TFetchId Id,
                                       std::chrono::seconds Limit = std::chrono::seconds(60));
    // Whether an event that Test accepts comes within Limit.
    bool WaitFor(const std::function<bool(const TFetchEvent&)>& Test, std::chrono::seconds Limit);
    // Every event of Id so far.
    std::vector<TFetchEvent> Events(TFetchId Id);
    // Every event so far, in the order they came.
    std::vector<TFetchEvent> All();

private:
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::vector<TFetchEvent> m_Events;
};

// Where the fetching module of the build is.
std::unique_ptr<IContentsFetchSession>
MakeTestSession(TEventLog& Log, TFetchSettings Settings = LoopbackFetchSettings());

std::string Hex(std::string_view Bytes);

} // namespace lintervale::testing
