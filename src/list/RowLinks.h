#pragma once

// The links of the list's rows. A row whose torrent is kept gives the link its .torrent file
// gives (a hybrid's v2 hash, the web seeds, the exact size) with the row's own name and
// tracker cell; a row without one gives the link of its cells. Both hold what the user's link
// contents ask for.
//
// What a kept torrent adds is read once per hash, through TListHost::KeptTorrent, and kept
// here: copying many rows, or showing whether rows are private, does not read and parse their
// files again. At most kFactsLimit hashes are remembered; the oldest go first. Whoever
// changes what is kept for a hash says so (Forget), and the next look reads it anew.

#include "list/ListHost.h"
#include "list/TorrentGrid.h"
#include "magnet/MagnetLink.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lintervale {

inline constexpr const char* kPrivateLinkText =
    Translatable("Message", "The link holds the tracker address of a private torrent.");

class TRowLinks {
public:
    static constexpr std::size_t kFactsLimit = 100000;

    TRowLinks(TListHost& Host, const TTorrentGrid& Grid) : m_Host(Host), m_Grid(Grid) {}

    const TLinkContents& Contents() const { return m_Contents; }
    void SetContents(TLinkContents Contents) { m_Contents = std::move(Contents); }

    // The link of grid row Row.
    std::string Link(int Row) { return Link(Row, m_Contents); }
    // The same with other contents (a preview of them).
    std::string Link(int Row, const TLinkContents& Contents);
    // Whether grid row Row's kept torrent says it is private.
    bool Private(int Row);

    // What is kept for Hash may have changed: the next look reads it again.
    void Forget(const std::string& Hash);
    // The same for every hash.
    void ForgetAll();
    // How many hashes are remembered.
    std::size_t Remembered() const { return m_Facts.size(); }

private:
    // What a kept torrent adds to its row's link; Kept is false for a row without one.
    struct TKeptFacts {
        bool Kept = false;
        bool Private = false;
        std::string HashV2;
        std::vector<std::string> WebSeeds;
        std::optional<std::int64_t> Length;
    };
    const TKeptFacts& FactsOf(int Row);
    static TKeptFacts Read(const std::string& Bytes);

    TListHost& m_Host;
    const TTorrentGrid& m_Grid;
    TLinkContents m_Contents;
    std::unordered_map<std::string, TKeptFacts> m_Facts;
    // The remembered hashes, oldest first (a forgotten one may still be listed).
    std::deque<std::string> m_Order;
};

} // namespace lintervale
