#include "store/TorrentStore.h"

#include "list/FileBuffer.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSuffix = ".torrent";
constexpr std::string_view kTemporaryMark = ".writing-";

[[noreturn]] void Fail(const char* Format, const std::string& File, int Error) {
    throw EStoreError(TMessage(Format, {File, std::strerror(Error)}));
}

// The hash an entry's file name stands for; empty for any other file.
std::string_view HashOfName(std::string_view name) {
    if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return {};
    }
    const std::string_view hash = name.substr(0, name.size() - kSuffix.size());
    return IsStoreHash(hash) ? hash : std::string_view();
}

// A name no other writer uses at the same time, in this process or another.
std::string TemporaryName(std::string_view hash) {
    static std::atomic<unsigned> counter{0};
    return "." + std::string(hash) + std::string(kTemporaryMark) + std::to_string(::getpid()) +
           "-" + std::to_string(counter++);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool IsStoreHash(std::string_view Hash) {
    if (Hash.size() != 40 && Hash.size() != 64) {
        return false;
    }
    for (const char c : Hash) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string TTorrentStore::PathOf(std::string_view Hash) const {
    if (!IsStoreHash(Hash)) {
        return {};
    }
    return m_Folder + "/" + std::string(Hash) + std::string(kSuffix);
}

bool TTorrentStore::Has(std::string_view Hash) const {
    const std::string path = PathOf(Hash);
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void TTorrentStore::Put(std::string_view Hash, std::string_view Bytes) const {
    const std::string path = PathOf(Hash);
    if (path.empty()) {
        throw EStoreError(
            TMessage(Translatable("Message", "\"%1\" is no info hash."), {std::string(Hash)}));
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) == Bytes.size()) {
        return;
    }
    std::error_code error;
    fs::create_directories(m_Folder, error);
    if (error) {
        Fail(Translatable("Message", "Cannot make the folder \"%1\". %2"), m_Folder, error.value());
    }
    const std::string temporary = m_Folder + "/" + TemporaryName(Hash);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        Fail(Translatable("Message", "Cannot write the file \"%1\". %2"), temporary, errno);
    }
    const bool written = WriteAll(fd, Bytes);
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        const int cause = written ? errno : writeError;
        ::unlink(temporary.c_str());
        Fail(Translatable("Message", "Cannot write the file \"%1\". %2"), temporary, cause);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int cause = errno;
        ::unlink(temporary.c_str());
        Fail(Translatable("Message", "Cannot write the file \"%1\". %2"), path, cause);
    }
}

std::string TTorrentStore::Read(std::string_view Hash) const {
    const std::string path = PathOf(Hash);
    if (path.empty()) {
        throw EStoreError(
            TMessage(Translatable("Message", "\"%1\" is no info hash."), {std::string(Hash)}));
    }
    try {
        return ReadWholeFile(path);
    } catch (const EMessageError& error) {
        throw EStoreError(error.Message());
    } catch (const std::exception& error) {
        throw EStoreError(TMessage::Verbatim(path + ": " + error.what()));
    }
}

void TTorrentStore::Remove(std::string_view Hash) const {
    const std::string path = PathOf(Hash);
    if (!path.empty()) {
        ::unlink(path.c_str());
    }
}

TTorrentStore::TPruned TTorrentStore::Prune(const std::unordered_set<std::string>& Keep,
                                            bool Temporaries) const {
    TPruned pruned;
    std::error_code error;
    for (fs::directory_iterator entry(m_Folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string_view hash = HashOfName(name);
        const bool left =
            Temporaries && name.starts_with('.') && name.find(kTemporaryMark) != std::string::npos;
        if ((hash.empty() || Keep.count(std::string(hash)) > 0) && !left) {
            continue;
        }
        if (::unlink(entry->path().c_str()) == 0) {
            ++pruned.Removed;
        } else {
            ++pruned.Failed;
        }
    }
    return pruned;
}

std::vector<std::string> TTorrentStore::Hashes() const {
    std::vector<std::string> hashes;
    std::error_code error;
    for (fs::directory_iterator entry(m_Folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (const std::string_view hash = HashOfName(name); !hash.empty()) {
            hashes.emplace_back(hash);
        }
    }
    return hashes;
}

TTorrentStore::TUsage TTorrentStore::Usage() const {
    TUsage usage;
    std::error_code error;
    for (fs::directory_iterator entry(m_Folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (HashOfName(entry->path().filename().string()).empty()) {
            continue;
        }
        struct stat info {};
        if (::stat(entry->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            ++usage.Entries;
            usage.Bytes += static_cast<std::uint64_t>(info.st_size);
        }
    }
    return usage;
}

} // namespace lintervale
