#pragma once

// A list file that cannot be read is moved aside, never deleted or overwritten: beside it,
// under its name and ".unreadable-YYYYMMDD-HHMMSS" (local time), with "-2", "-3" ... after
// it when that name is taken already. The list then starts afresh and the next save writes a
// new file; the user keeps the old one to look at or to mend.

#include <ctime>
#include <string>

namespace lintervale {

// The name for FileName moved aside at When (no check whether it is taken).
std::string UnreadableListFileName(const std::string& FileName, const std::tm& When,
                                   int Attempt = 1);

// Moves FileName aside under the first name of the series above that is free, never over
// another file, and returns that name. Raises EListFileError naming the file and the
// system's reason when it cannot be moved.
std::string MoveListFileAside(const std::string& FileName);

} // namespace lintervale
