#pragma once

#include "magnet/MagnetLink.h"

#include <cstdio>
#include <string>
#include <vector>

namespace lintervale {

// The headless job: for each file, in order, its magnet link with the contents asked for,
// one per line on Out; a file that cannot be added gives one line on Err naming it
// and the message the list would show. Returns 0 only when every file gave a link and every
// line reached Out; a line that cannot be written (a full disk, a closed pipe) is named on Err
// with the system's reason.
int RunMagnetCommand(const std::vector<std::string>& Files, const TLinkContents& Contents,
                     std::FILE* Out, std::FILE* Err);

} // namespace lintervale
