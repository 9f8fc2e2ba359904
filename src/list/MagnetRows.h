#pragma once

// The rows that the magnet links in a text make, as a paste or a drop of text adds them.
//
// Each usable link makes a row as a torrent does (control bytes in the name and the trackers
// become spaces): its name, its hash, its trackers in the tracker cell's written form,
// "# Files" empty, and "Filesize" from the link's "xl" (empty without one).
// A tracker holding a double quote or "|" cannot stand in the cell and is left out, as the
// tracker fetch leaves such lines out. A link without a usable hash makes no row and is
// counted; the first of them is kept, shortened, for the status line.

#include "list/TorrentRow.h"
#include "magnet/MagnetParse.h"
#include "messages/Message.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lintervale {

// Only this much of a text is read for links; the caller need not hand over more.
inline constexpr std::size_t kMaxLinkTextBytes = std::size_t{16} << 20;
// A refused link is shown on the status line up to this many bytes.
inline constexpr std::size_t kShownLinkBytes = 100;

inline constexpr const char* kRefusedLinkText =
    Translatable("Message", "Not a BitTorrent magnet link: %1");
inline constexpr const char* kRefusedMoreText =
    Translatable("Message", "Not a BitTorrent magnet link: %1 (and %2 more)");
// Why a link makes no row, in a batch's list of refusals.
inline constexpr const char* kRefusedLinkCause =
    Translatable("Message", "Not a BitTorrent magnet link (no usable info hash).");
inline constexpr const char* kTextCutText =
    Translatable("Message", "Only the first 16 MiB of the text was read.");

struct TMagnetRows {
    std::vector<TTorrentRow> Rows;         // one per usable link, in the text's order
    std::size_t Refused = 0;               // links without a usable hash
    std::string FirstRefused;              // the first of them, shortened
    std::vector<std::string> RefusedLinks; // all of them, each shortened, in the text's order
    std::size_t DroppedTrackers = 0;       // trackers left out for a double quote or "|"
    // The peer addresses ("x.pe") of the links that name some, by the row's hash.
    std::vector<std::pair<std::string, std::vector<std::string>>> Peers;
    bool Cut = false; // the text was longer than kMaxLinkTextBytes: only the words that
                      // end within the limit were read
};

TTorrentRow MakeMagnetRow(const TMagnetLink& Link, std::size_t* DroppedTrackers = nullptr);

TMagnetRows MagnetRowsOfText(std::string_view Text);

// What the status line says about a text's links: the first refused link (and how many more
// there were), the trackers left out, and a cut text, two spaces apart; empty when there is
// nothing to say.
TMessage MagnetRowsStatusText(const TMagnetRows& Result);

} // namespace lintervale
