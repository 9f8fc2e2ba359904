#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// What a link holds, as the user chooses it. The defaults give the full link: the name, every
// tracker, every web seed.
struct TLinkContents {
    enum class TTrackers { All, First, None };
    bool Name = true;
    TTrackers Trackers = TTrackers::All;
    bool WebSeeds = true;
    // "xl" with the total size, for a torrent whose size is known.
    bool ExactLength = false;
    // "x.pe" peer addresses, each one IsPeerAddress accepts.
    std::vector<std::string> Peers;

    bool operator==(const TLinkContents&) const = default;
};

// What is known of a torrent for its link: the row's cells, and what its stored .torrent
// adds (a hybrid's v2 hash, web seeds, the exact size).
struct TLinkFacts {
    std::string_view Hash = {};   // the hash cell: v1, or v2 (64 digits) if v2-only
    std::string_view HashV2 = {}; // a hybrid's v2 hash; empty otherwise
    std::string_view Name = {};
    std::string_view TrackerCell = {};
    std::vector<std::string> WebSeeds = {};
    std::optional<std::int64_t> Length = {};
};

// The link:
//   "magnet:?xt=urn:btih:" hash ["&xt=urn:btmh:1220" v2] "&dn=" name ("&tr=" tracker)...
//   ("&ws=" web seed)... ["&xl=" size] ("&x.pe=" peer)...
// A 64-digit hash (a v2-only torrent) gives "xt=urn:btmh:1220" + hash alone. The name, the
// trackers and the web seeds are URL-encoded. With every tracker asked for, a cell without
// trackers still gives "&tr=" with nothing after it, as the list has always written it; with
// none asked for, no "tr" is written at all. Peer addresses are written as they are.
std::string MagnetLink(const TLinkFacts& Facts, const TLinkContents& Contents);

// The link of a row as the default contents give it, from its name, hash and tracker cell.
std::string MagnetLinkOfRow(std::string_view Name, std::string_view Hash,
                            std::string_view TrackerCell);

// The "so" value (BEP 53) that selects the files at Indices (zero-based, as the torrent lists
// its files, padding included): the indices in ascending order, each once, runs of three or
// more consecutive ones written as "first-last", joined by ","; empty for no index.
std::string SelectOnlyValue(std::vector<std::int64_t> Indices);

// Whether Text is a peer address a link can carry: "host:port" with a DNS name or an IPv4
// address, or "[IPv6]:port", and a port from 1 to 65535.
bool IsPeerAddress(std::string_view Text);

} // namespace lintervale
