#include "cli/NewFile.h"

#include "list/TorrentFileName.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

namespace {

// Files of one name in a folder before the writing gives up.
constexpr int kMaxAttempts = 10000;

std::runtime_error SystemError(const std::string& What, int Error) {
    return std::runtime_error(What + ": " + std::strerror(Error));
}

// Renames From to To unless To exists: 0, or the error (EEXIST when To is taken).
int RenameNoReplace(const std::string& From, const std::string& To) {
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system that cannot rename so: a second name, which is never put over a file,
    // and then the first one goes.
    if (::link(From.c_str(), To.c_str()) != 0) {
        return errno;
    }
    ::unlink(From.c_str());
    return 0;
}

} // namespace

std::string WriteNewTorrentFile(const std::string& Folder, const std::string& Stem,
                                std::string_view Bytes) {
    const std::string prefix = Folder.empty() || Folder.back() == '/' ? Folder : Folder + "/";
    std::string temporary = prefix + ".lintervale-XXXXXX";
    const int file = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (file < 0) {
        throw SystemError("cannot write into " + Folder, errno);
    }
    const auto fail = [&](const std::string& what, int error) {
        ::unlink(temporary.c_str());
        return SystemError(what, error);
    };
    std::string_view rest = Bytes;
    while (!rest.empty()) {
        const ssize_t written = ::write(file, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            ::close(file);
            throw fail("cannot write " + temporary, error);
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    // Files are made for the user alone at first; the file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file, 0666 & ~mask);
    if (::close(file) != 0) {
        throw fail("cannot write " + temporary, errno);
    }
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string path = prefix + TorrentFileName(Stem, attempt);
        const int error = RenameNoReplace(temporary, path);
        if (error == 0) {
            return path;
        }
        if (error != EEXIST) {
            throw fail("cannot write " + path, error);
        }
    }
    throw fail("cannot write " + prefix + TorrentFileName(Stem), EEXIST);
}

} // namespace lintervale
