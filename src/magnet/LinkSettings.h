#pragma once

// What links hold, as the options file keeps it: five values at the top level of the INI file
// the window's options live in, read by the window through its settings and by the headless
// commands through ReadLinkSettings, so that both give the same links.
//
//   LinkName=1            the name (dn): 1 or 0
//   LinkTrackers=all      all, first or none of the trackers (tr)
//   LinkWebSeeds=1        the web seeds (ws): 1 or 0
//   LinkExactLength=0     the total size (xl): 1 or 0
//   LinkPeers=            peer addresses (x.pe), separated by spaces
//
// A value that is missing or not one of these gives its default; a peer address that is no
// good is left out.

#include "magnet/MagnetLink.h"

#include <string>
#include <string_view>

namespace lintervale {

inline constexpr const char* kLinkNameKey = "LinkName";
inline constexpr const char* kLinkTrackersKey = "LinkTrackers";
inline constexpr const char* kLinkWebSeedsKey = "LinkWebSeeds";
inline constexpr const char* kLinkExactLengthKey = "LinkExactLength";
inline constexpr const char* kLinkPeersKey = "LinkPeers";

// The value of a key as it stands in the file, for each of the five keys.
std::string LinkTrackersValue(TLinkContents::TTrackers Trackers);
std::string LinkPeersValue(const std::vector<std::string>& Peers);

// Reads one key's value into Contents (ignoring keys that are not the link's).
void ApplyLinkSetting(std::string_view Key, std::string_view Value, TLinkContents& Contents);

// The link contents an options file's text holds (its top level, "[General]").
TLinkContents ReadLinkSettings(std::string_view IniText);

// The options file of this user: $XDG_CONFIG_HOME/Lintervale/Lintervale.conf, or under
// ~/.config when that is unset.
std::string OptionsFilePath();

} // namespace lintervale
