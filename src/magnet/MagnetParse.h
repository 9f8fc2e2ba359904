#pragma once

// Reading magnet links out of text, such as a paste or a drop.
//
// Finding: a link starts at "magnet:?" (in any case) and runs to the next whitespace (ASCII
// blanks and control bytes, and the Unicode spaces in UTF-8), or to a double quote, "<" or
// ">", none of which stands unescaped in an address. Text around links is passed over, and a
// stretch of text between two whitespaces holds at most one link.
//
// Parsing: the query is split at "&" into key=value pairs; keys are compared without regard
// to case; values are percent-decoded ("+" is a space, as clients read it; a "%" not followed
// by two hexadecimal digits stays as it is). Keys read:
// - "xt" (or "xt.1", "xt.2"...): "urn:btih:" with 40 hexadecimal digits or 32 base32
//   characters, or "urn:btmh:1220" with 64 hexadecimal digits (a SHA-256 multihash). The
//   first btih is the hash; without one, the first btmh. A link with neither is refused.
//   The first btmh is kept as the v2 hash too, beside a btih (a hybrid torrent's link).
// - "dn": the first non-empty one is the name; a link without one is named by its hash.
// - "tr" (or "tr.1"...): every tracker in order, each once; empty values are left out.
// - "xl": the first that is a whole number of bytes (fitting 63 bits); others are passed over.
// - "x.pe": every peer address in order, each once, as written (not checked here).
// Values are given as decoded, bytes of any value included. Other keys are ignored.
//
// Both functions take time linear in the text and never recurse; memory stays within a small
// multiple of the link's size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

struct TMagnetLink {
    std::string Name;                   // "dn", or the hash when the link has none
    std::string Hash;                   // 40 or 64 lowercase hexadecimal digits
    std::string HashV2;                 // the first btmh's 64 digits; empty without one
    std::vector<std::string> Trackers;  // decoded, in order, each once, none empty
    std::optional<std::int64_t> Length; // "xl"
    std::vector<std::string> Peers;     // "x.pe", decoded, in order, each once, none empty
};

// The next link in Text at or after Pos; Pos moves past it. An empty view when no link is
// left (Pos is then Text.size()).
std::string_view NextMagnetLink(std::string_view Text, std::size_t& Pos);

// Parses one link as NextMagnetLink finds it; nothing when it has no usable "xt".
std::optional<TMagnetLink> ParseMagnetLink(std::string_view Link);

// Percent-decoding as the link's values are read.
std::string PercentDecode(std::string_view Value);

} // namespace lintervale
