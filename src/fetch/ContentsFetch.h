#pragma once

// Fetching a torrent's contents (its info dictionary) from peers, for a magnet link that has
// only a hash. The fetching itself runs on libtorrent in a module of its own,
// liblintervale_fetch.so, which the program loads only when a fetch is wanted
// (fetch/FetchModule.h); this header is all that its users see, and it names no libtorrent
// type.
//
// A session is made once and serves many fetches side by side. Start() hands a request over
// and returns at once with the fetch's id; from then on the session's own thread reports on
// it through the handler given when the session was made: Progress events while it runs,
// then exactly one Done or Failed event, after which the id is spent. Nothing of the payload
// is ever asked for or written: only the info dictionary, which libtorrent checks against
// the hash before it is handed over.
//
// The handler is called on the session's thread, one event at a time, never from inside
// Start(), Cancel() or CancelAll(). It may call any of those (they only queue their work),
// but never Shutdown() or the destructor.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lintervale {

using TFetchId = std::uint64_t;

struct TFetchRequest {
    // The hashes of the link: the v1 (SHA-1) hash as 40 and the v2 (SHA-256) hash as 64
    // lowercase hexadecimal digits; either may be empty, not both.
    std::string HashV1 = {};
    std::string HashV2 = {};
    // The link's name ("dn"), shown by libtorrent until the contents name the torrent.
    std::string Name = {};
    // The link's trackers, in order; each is a tier of its own.
    std::vector<std::string> Trackers = {};
    // Peers to ask first ("x.pe"): "a.b.c.d:port" or "[v6]:port". Host names and anything
    // else are passed over: the session looks no names up for peers.
    std::vector<std::string> Peers = {};
    // How long the fetch may take in all, in seconds, before it fails (kTimeLimit).
    int TimeLimitSeconds = 120;
};

// How the session meets the network. The defaults are the program's own choice.
struct TFetchSettings {
    // The distributed hash table, for finding peers without a tracker.
    bool Dht = true;
    // Asking the router to forward the listening port (UPnP and NAT-PMP).
    bool PortMapping = false;
    // Where the session listens: one ephemeral port on every address by default.
    std::string ListenInterfaces = "0.0.0.0:0,[::]:0";
    // Connections to peers of all fetches together.
    int MaxConnections = 60;
    // Connections of a single fetch.
    int MaxConnectionsPerFetch = 20;
    // The largest info dictionary accepted from a peer, in bytes.
    int MaxContentsBytes = 32 * 1024 * 1024;
};

struct TFetchProgress {
    // Peers connected now.
    int Peers = 0;
    // Of the contents received, in parts per million; 0 until a peer has sent some.
    int PartsPerMillion = 0;
};

enum class TFetchFailure {
    TimeLimit, // no peer sent the contents within the request's time limit
    Cancelled, // Cancel() or CancelAll()
    ShutDown,  // the session was shut down while the fetch ran
    BadRequest,
    Mismatch, // the contents do not have the link's hash (libtorrent checks; this is a second
              // check)
    Engine,   // libtorrent failed; Detail holds its words
};

struct TFetchEvent {
    enum class TKind { Progress, Done, Failed };
    TKind Kind = TKind::Progress;
    TFetchId Id = 0;
    // Progress, and the last progress before Done or Failed.
    TFetchProgress Progress = {};
    // Done: the .torrent, "d" "8:announce" ... "13:announce-list" ... "4:info" <the info
    // dictionary as the peer sent it> "e": the link's first tracker as announce, and its
    // trackers as announce-list when there are several, keys in sorted order, so that the
    // file's info hash is the link's.
    std::string Torrent = {};
    // Failed: why, with the time limit (TimeLimit) and libtorrent's words (Engine,
    // BadRequest).
    TFetchFailure Failure = TFetchFailure::Engine;
    int TimeLimitSeconds = 0;
    std::string Detail = {};
};

using TFetchHandler = std::function<void(TFetchEvent Event)>;

class IContentsFetchSession {
public:
    // Shuts the session down (Shutdown()) and waits for its threads.
    virtual ~IContentsFetchSession() = default;

    virtual TFetchId Start(TFetchRequest Request) = 0;
    // Ends the fetch with Failed (Cancelled) unless it has ended already.
    virtual void Cancel(TFetchId Id) = 0;
    virtual void CancelAll() = 0;
    // Ends every running fetch with Failed (ShutDown), stops libtorrent, and returns when the
    // session's threads are gone: no event comes after it returns. A later Start() returns 0
    // and reports nothing.
    virtual void Shutdown() = 0;
};

// The module's entry point: a new session, or nullptr when Version is not the module's own
// (a module left over from another build).
inline constexpr int kFetchInterfaceVersion = 1;
inline constexpr const char* kMakeFetchSessionSymbol = "LintervaleMakeFetchSession";
using TMakeFetchSession = IContentsFetchSession* (*)(int Version, const TFetchSettings& Settings,
                                                     TFetchHandler Handler);

} // namespace lintervale
