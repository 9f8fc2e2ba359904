#include "list/ListFileAside.h"

#include "list/FileDescriptor.h"
#include "list/ListDataFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

namespace {

// Beyond this many taken names something else is wrong; the file stays where it is.
constexpr int kMaxAttempts = 100;

// Copies From into the new file To (private, as the list is), flushed to disk; 0 or the
// system's error.
int CopyFile(const std::string& from, const std::string& to) {
    const TFileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.Get() < 0) {
        return errno;
    }
    TFileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.Get() < 0) {
        return errno;
    }
    char block[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in.Get(), block, sizeof block);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::write(out.Get(), block + put, static_cast<std::size_t>(got - put));
            if (n < 0 && errno != EINTR) {
                return errno;
            }
            put += n > 0 ? n : 0;
        }
    }
    if (::fsync(out.Get()) != 0) {
        return errno;
    }
    return out.Close();
}

// Gives the file a second name, or a copy under it where the file system has no second
// names; 0 or the system's error.
int SecondName(const std::string& file, const std::string& name) {
    if (::link(file.c_str(), name.c_str()) == 0) {
        return 0;
    }
    const int error = errno;
    if (error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP ||
        error == ENOSYS) {
        return CopyFile(file, name);
    }
    return error;
}

} // namespace

void KeepListBackup(const std::string& FileName) {
    struct stat info {};
    if (::lstat(FileName.c_str(), &info) != 0 && errno == ENOENT) {
        return;
    }
    const std::string backup = FileName + kListBackupSuffix;
    // The backup comes whole into its place: first under a name of its own, then renamed over
    // the old backup. A name left over from a run that stopped half-way is taken back first.
    const std::string staging = backup + ".new";
    ::unlink(staging.c_str());
    int error = SecondName(FileName, staging);
    if (error == 0 && std::rename(staging.c_str(), backup.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(staging.c_str());
        throw EListFileError(
            TMessage(Translatable("Message", "Cannot keep the list saved before as \"%1\". %2"),
                     {backup, std::strerror(error)}));
    }
}

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
