#include "list/ListFileAside.h"

#include "list/ListDataFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace lintervale {

namespace {

// Beyond this many taken names something else is wrong; the file stays where it is.
constexpr int kMaxAttempts = 100;

} // namespace

std::string UnreadableListFileName(const std::string& FileName, const std::tm& When, int Attempt) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &When);
    std::string name = FileName + ".unreadable-" + stamp;
    if (Attempt > 1) {
        name += "-" + std::to_string(Attempt);
    }
    return name;
}

std::string MoveListFileAside(const std::string& FileName) {
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    localtime_r(&now, &when);
    int error = EEXIST;
    for (int attempt = 1; attempt <= kMaxAttempts && error == EEXIST; ++attempt) {
        const std::string aside = UnreadableListFileName(FileName, when, attempt);
        // Never over another file: a name that is taken is passed over.
        if (::renameat2(AT_FDCWD, FileName.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) ==
            0) {
            return aside;
        }
        error = errno;
        if (error == EINVAL) {
            // A file system that cannot refuse to replace: look first, then rename.
            struct stat taken {};
            if (::lstat(aside.c_str(), &taken) == 0) {
                error = EEXIST;
            } else if (std::rename(FileName.c_str(), aside.c_str()) == 0) {
                return aside;
            } else {
                error = errno;
            }
        }
    }
    throw EListFileError(
        TMessage(Translatable("Message", "Cannot move the list file \"%1\" aside. %2"),
                 {FileName, std::strerror(error)}));
}

} // namespace lintervale
