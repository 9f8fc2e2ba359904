#pragma once

// libtorrent's side of the fetching module: the session's settings and a fetch's torrent.

#include "fetch/ContentsFetch.h"

#include <libtorrent/add_torrent_params.hpp>
#include <libtorrent/session_params.hpp>
#include <string>

namespace lintervale {

// A session that only ever fetches contents: no disk (nothing is read or written), listening
// only where Settings says, no local peer discovery, port mapping and the DHT as Settings
// say, bounded connections and contents.
lt::session_params FetchSessionParams(const TFetchSettings& Settings);

// The magnet add of Request: its hashes, name, trackers (a tier each) and peers, in upload
// mode with every file unwanted, never queued or paused by the session. Raises
// std::invalid_argument naming what is wrong with the request.
lt::add_torrent_params FetchAddParams(const TFetchRequest& Request, const TFetchSettings& Settings);

// Whether the bytes Info hash to what Request asks for (each hash it gives).
bool HasRequestedHashes(const TFetchRequest& Request, std::string_view Info);

} // namespace lintervale
