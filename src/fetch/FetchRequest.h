#pragma once

// What a fetch asks for, from a magnet link, and what its failure says.

#include "fetch/ContentsFetch.h"
#include "magnet/MagnetParse.h"
#include "messages/Message.h"

namespace lintervale {

// The time a fetch may take unless the user sets another.
inline constexpr int kDefaultFetchSeconds = 120;

// The request for the contents of Link: its hashes, name, trackers and peers.
TFetchRequest FetchRequestOf(const TMagnetLink& Link, int TimeLimitSeconds = kDefaultFetchSeconds);

// Why a fetch failed (Event is a Failed one), as a cause to put after the torrent's name:
// "no peer sent the contents within 2 minutes".
TMessage FetchFailureMessage(const TFetchEvent& Event);

} // namespace lintervale
