#pragma once

// What a loaded torrent says about itself beyond its row: both info hashes, sizes and pieces,
// privacy, who made it and when, its trackers by tier, web seeds, DHT nodes, and its files
// with their attributes. The texts are the metainfo's bytes, unconverted.
//
// The facts are read the way BitTorrent clients read them: "announce-list" gives the tiers
// (BEP 12), and "announce" stands alone only when the list gives no tracker; "url-list" is
// one address or a list of them (BEP 19), each once; "nodes" is a list of [host, port] pairs
// (BEP 5); "comment.utf-8" and "created by.utf-8" win over their plain forms. A value of the
// wrong type is passed over as if missing.
//
// The files are visited in the order the torrent lists them: the v1 "files" list (padding
// entries included, BEP 47), the single file of a one-file torrent, or the v2 "file tree" in
// key order. Visiting builds nothing for the whole torrent: each file's path is put together
// in one reused buffer, so a torrent of 100,000 files costs no second copy of itself.

#include "metainfo/TorrentFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

struct TTorrentDetails {
    std::string Name;
    std::string HashV1;         // empty for a v2-only torrent
    std::string HashV2;         // empty for a v1-only torrent
    std::int64_t TotalSize = 0; // padding not counted
    std::int32_t FileCount = 0; // padding not counted
    std::int64_t PieceLength = 0;
    std::int64_t PieceCount = 0;
    bool Private = false;
    std::optional<std::string> CreatedBy;
    std::optional<std::int64_t> CreationDate; // Unix seconds
    std::optional<std::string> Comment;
    std::optional<std::string> Source;
    std::vector<std::vector<std::string>> TrackerTiers;
    std::vector<std::string> WebSeeds;
    std::vector<std::string> DhtNodes; // "host:port"
};

// One file as the torrent lists it. The views last until the visitor returns.
struct TContentFile {
    std::string_view Path;   // the path inside the torrent, its parts joined by '/'
    std::int64_t Length = 0; // 0 for a symbolic link without a length
    std::string_view Attr;   // "attr" as it stands: 'p' padding, 'l' link, 'x', 'h'
    std::string_view Target; // a symbolic link's "symlink path", joined by '/'
    bool Padding() const { return Attr.find('p') != std::string_view::npos; }
    bool Link() const { return Attr.find('l') != std::string_view::npos; }
};

// The facts of a torrent that Torrent has loaded.
TTorrentDetails ReadDetails(const TTorrentFile& Torrent);
// Whether it is private ("private" in the info dictionary, not 0), as ReadDetails reads it.
bool IsPrivate(const TTorrentFile& Torrent);
// Its web seeds alone, as ReadDetails reads them.
std::vector<std::string> ReadWebSeeds(const TTorrentFile& Torrent);

// Calls Visit for every file of a torrent that Torrent has loaded, in the torrent's order.
void VisitContents(const TTorrentFile& Torrent,
                   const std::function<void(const TContentFile&)>& Visit);

} // namespace lintervale
