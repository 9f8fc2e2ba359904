#pragma once

// A list file that cannot be read is moved aside, never deleted or overwritten: beside it,
// under its name and ".unreadable-YYYYMMDD-HHMMSS" (local time), with "-2", "-3" ... after
// it when that name is taken already. The list then starts afresh and the next save writes a
// new file; the user keeps the old one to look at or to mend.

//
// The list file saved before is kept as the backup, beside it under its name and ".bak": one
// generation, replaced at each save, so that one bad save can be undone by hand.

#include <ctime>
#include <string>

namespace lintervale {

inline constexpr const char* kListBackupSuffix = ".bak";

// Makes the list file FileName, as it stands, the backup: a second name for the same file
// takes the backup's name in one step, so that FileName stays in place throughout and the
// backup is always whole. Where the file system has no second names, a copy is made and
// renamed into place. Nothing to do when FileName does not exist. Raises EListFileError
// naming the backup and the system's reason; the list file is untouched then.
void KeepListBackup(const std::string& FileName);

// The name for FileName moved aside at When (no check whether it is taken).
std::string UnreadableListFileName(const std::string& FileName, const std::tm& When,
                                   int Attempt = 1);

// Moves FileName aside under the first name of the series above that is free, never over
// another file, and returns that name. Raises EListFileError naming the file and the
// system's reason when it cannot be moved.
std::string MoveListFileAside(const std::string& FileName);

} // namespace lintervale
