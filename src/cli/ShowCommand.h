#pragma once

#include "magnet/MagnetLink.h"

#include <cstdio>
#include <string>
#include <vector>

namespace lintervale {

// `--show`: for each file, in order, what the torrent says about itself (TorrentDetails.h)
// and its magnet link with Contents, as `--magnet` prints it. As text for people: one field a line,
// the files last, a blank line between torrents. As JSON (Json): one array with an object per
// torrent; a torrent that cannot be read gives an object with "file" and "error" only.
// Either way a file that cannot be read is also named on Err as `--magnet` names it, and the
// exit status follows `--magnet`'s rules.
int RunShowCommand(const std::vector<std::string>& Files, bool Json, const TLinkContents& Contents,
                   std::FILE* Out, std::FILE* Err);

} // namespace lintervale
