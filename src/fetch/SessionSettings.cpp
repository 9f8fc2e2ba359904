#include "fetch/SessionSettings.h"

#include <libtorrent/alert.hpp>
#include <libtorrent/disabled_disk_io.hpp>
#include <libtorrent/disk_interface.hpp>
#include <libtorrent/hasher.hpp>
#include <libtorrent/settings_pack.hpp>
#include <libtorrent/torrent_flags.hpp>
#include <optional>
#include <stdexcept>

namespace lintervale {

namespace {

// Where the torrents would be stored. The session has no disk at all, so nothing is ever
// written; should anything try, no file can be made under /dev/null.
constexpr const char* kNoSavePath = "/dev/null/lintervale-writes-nothing";

int HexDigit(char C) {
    if (C >= '0' && C <= '9') {
        return C - '0';
    }
    return C >= 'a' && C <= 'f' ? C - 'a' + 10 : -1;
}

// Lowercase hexadecimal digits into Out's bytes; false unless there are exactly two digits a
// byte.
bool FromHex(std::string_view Hex, char* Out, std::size_t Bytes) {
    if (Hex.size() != Bytes * 2) {
        return false;
    }
    for (std::size_t i = 0; i < Bytes; ++i) {
        const int high = HexDigit(Hex[2 * i]);
        const int low = HexDigit(Hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        Out[i] = static_cast<char>(high * 16 + low);
    }
    return true;
}

// The endpoint of "a.b.c.d:port" or "[v6]:port"; nothing for a host name or anything else.
std::optional<lt::tcp::endpoint> PeerEndpoint(const std::string& Peer) {
    const std::size_t colon = Peer.rfind(':');
    if (colon == std::string::npos || colon + 1 == Peer.size() || colon + 6 < Peer.size()) {
        return std::nullopt;
    }
    std::string host = Peer.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    unsigned port = 0;
    for (const char c : Peer.substr(colon + 1)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    lt::error_code error;
    const lt::address address = lt::make_address(host, error);
    if (error || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return lt::tcp::endpoint(address, static_cast<std::uint16_t>(port));
}

} // namespace

lt::session_params FetchSessionParams(const TFetchSettings& Settings) {
    lt::settings_pack pack;
    pack.set_str(lt::settings_pack::listen_interfaces, Settings.ListenInterfaces);
    pack.set_bool(lt::settings_pack::enable_dht, Settings.Dht);
    pack.set_bool(lt::settings_pack::enable_lsd, false);
    pack.set_bool(lt::settings_pack::enable_upnp, Settings.PortMapping);
    pack.set_bool(lt::settings_pack::enable_natpmp, Settings.PortMapping);
    pack.set_int(lt::settings_pack::connections_limit, Settings.MaxConnections);
    // Peers are called over TCP, which every client takes: a call over uTP to a peer without
    // it is tried again over TCP only after a time-out and a pause that a fetch cannot spare.
    pack.set_bool(lt::settings_pack::enable_outgoing_utp, false);
    pack.set_int(lt::settings_pack::max_metadata_size, Settings.MaxContentsBytes);
    // Each tracker of a link is a tier of its own: ask them all at once, not one by one.
    pack.set_bool(lt::settings_pack::announce_to_all_tiers, true);
    pack.set_bool(lt::settings_pack::announce_to_all_trackers, true);
    // A session that ends does not wait long for trackers to hear that it stops.
    pack.set_int(lt::settings_pack::stop_tracker_timeout, 1);
    pack.set_int(lt::settings_pack::alert_mask,
                 lt::alert_category::status | lt::alert_category::error);
    lt::session_params params(std::move(pack));
    params.disk_io_constructor = lt::disabled_disk_io_constructor;
    return params;
}

lt::add_torrent_params FetchAddParams(const TFetchRequest& Request,
                                      const TFetchSettings& Settings) {
    lt::add_torrent_params params;
    if (Request.HashV1.empty() && Request.HashV2.empty()) {
        throw std::invalid_argument("no hash");
    }
    if (!Request.HashV1.empty() &&
        !FromHex(Request.HashV1, params.info_hashes.v1.data(), lt::sha1_hash::size())) {
        throw std::invalid_argument("bad v1 hash " + Request.HashV1);
    }
    if (!Request.HashV2.empty() &&
        !FromHex(Request.HashV2, params.info_hashes.v2.data(), lt::sha256_hash::size())) {
        throw std::invalid_argument("bad v2 hash " + Request.HashV2);
    }
    params.name = Request.Name;
    params.save_path = kNoSavePath;
    for (const std::string& tracker : Request.Trackers) {
        params.tracker_tiers.push_back(static_cast<int>(params.trackers.size()));
        params.trackers.push_back(tracker);
    }
    for (const std::string& peer : Request.Peers) {
        if (const auto endpoint = PeerEndpoint(peer)) {
            params.peers.push_back(*endpoint);
        }
    }
    params.max_connections = Settings.MaxConnectionsPerFetch;
    params.flags &= ~(lt::torrent_flags::auto_managed | lt::torrent_flags::paused |
                      lt::torrent_flags::duplicate_is_error);
    params.flags |= lt::torrent_flags::upload_mode | lt::torrent_flags::default_dont_download;
    return params;
}

bool HasRequestedHashes(const TFetchRequest& Request, std::string_view Info) {
    const lt::span<const char> bytes(Info.data(), static_cast<std::ptrdiff_t>(Info.size()));
    lt::info_hash_t hashes;
    if (!Request.HashV1.empty()) {
        FromHex(Request.HashV1, hashes.v1.data(), lt::sha1_hash::size());
        if (lt::hasher(bytes).final() != hashes.v1) {
            return false;
        }
    }
    if (!Request.HashV2.empty()) {
        FromHex(Request.HashV2, hashes.v2.data(), lt::sha256_hash::size());
        if (lt::hasher256(bytes).final() != hashes.v2) {
            return false;
        }
    }
    return true;
}

} // namespace lintervale
