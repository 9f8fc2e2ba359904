#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace lintervale {

// The headless job: for each file, in order, the magnet link of the row that adding it
// makes, one per line on Out; a file that cannot be added gives one line on Err naming it
// and the message the list would show. Returns 0 only when every file gave a link and every
// line reached Out; a line that cannot be written (a full disk, a closed pipe) is named on Err
// with the system's reason.
int RunMagnetCommand(const std::vector<std::string>& Files, std::FILE* Out, std::FILE* Err);

} // namespace lintervale
