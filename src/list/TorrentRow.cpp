#include "list/TorrentRow.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

std::string SizeText(std::int64_t Length) {
    constexpr std::uint64_t unit = 1u << 20;
    const bool negative = Length < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(Length) : static_cast<std::uint64_t>(Length);
    std::uint64_t whole = magnitude / unit;
    const std::uint64_t rest = magnitude % unit;
    if (rest > unit / 2 || (rest == unit / 2 && whole % 2 == 1)) {
        ++whole;
    }
    std::string text = negative && whole != 0 ? "-" : "";
    text += std::to_string(whole);
    text += " MB";
    return text;
}

TTorrentRow MakeTorrentRow(const TTorrentFile& Torrent) {
    TTorrentRow row;
    row.Name = Torrent.Name();
    for (char& c : row.Name) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    row.Hash = Torrent.Hash();
    row.Trackers = "\"" + Torrent.Announce() + "\"";
    row.Files = std::to_string(Torrent.Count());
    row.Size = SizeText(Torrent.Length());
    return row;
}

namespace {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : m_Fd(fd) {}
    ~TFileDescriptor() {
        if (m_Fd >= 0) {
            ::close(m_Fd);
        }
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return m_Fd; }

private:
    int m_Fd;
};

[[noreturn]] void ThrowOpenError(const std::string& fileName, int error) {
    throw EFileReadError("Cannot open file \"" + fileName + "\". " + std::strerror(error));
}

} // namespace

std::string ReadWholeFile(const std::string& FileName) {
    const TFileDescriptor file(::open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        ThrowOpenError(FileName, errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        ThrowOpenError(FileName, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowOpenError(FileName, EISDIR);
    }
    if (info.st_size > kMaxTorrentFileSize) {
        throw ETorrentFileError("The file is larger than any metainfo this program accepts.");
    }
    std::string bytes;
    // One byte more than the file holds, so that the end is seen without growing.
    bytes.resize(S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0);
    std::size_t used = 0;
    // The size fstat gave is only a first guess: a file can grow while it is read, and a
    // pipe has none. Room stops one byte past the limit, so crossing it is seen.
    constexpr auto limit = static_cast<std::size_t>(kMaxTorrentFileSize);
    for (;;) {
        if (used == bytes.size()) {
            if (bytes.size() > limit) {
                throw ETorrentFileError("The file is larger than any metainfo this program "
                                        "accepts.");
            }
            bytes.resize(std::min(limit + 1, std::max<std::size_t>(bytes.size() * 2, 65536)));
        }
        const ssize_t got = ::read(file.Get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EFileReadError("Cannot read file \"" + FileName + "\". " +
                                 std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

TTorrentRow LoadTorrentRow(const std::string& FileName) {
    const std::string bytes = ReadWholeFile(FileName);
    TTorrentFile torrent;
    torrent.Load(bytes);
    return MakeTorrentRow(torrent);
}

} // namespace lintervale
