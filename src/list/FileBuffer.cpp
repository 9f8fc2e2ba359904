#include "list/FileBuffer.h"

#include "list/FileDescriptor.h"
#include "metainfo/LargeBlocks.h"
#include "metainfo/TorrentFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintervale {

namespace {

[[noreturn]] void ThrowOpenError(const std::string& fileName, int error) {
    throw EFileReadError(TMessage(Translatable("Message", "Cannot open file \"%1\". %2"),
                                  {fileName, std::strerror(error)}));
}

[[noreturn]] void ThrowTooLarge(std::int64_t limit) {
    throw ETorrentFileError({.Code = TCauseCode::TooLarge, .Limit = limit});
}

// What a name that is no regular file names instead.
TCauseCode NotRegular(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return TCauseCode::NamedPipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return TCauseCode::DeviceFile;
    }
    return TCauseCode::NotRegularFile;
}

} // namespace

TFileBuffer::~TFileBuffer() {
    FreeBlock(m_Data, m_Capacity);
}

void TFileBuffer::Grow(std::size_t Capacity) {
    char* data = static_cast<char*>(AllocateBlock(Capacity));
    if (m_Size > 0) {
        std::memcpy(data, m_Data, m_Size);
    }
    FreeBlock(m_Data, m_Capacity);
    m_Data = data;
    m_Capacity = Capacity;
}

void TFileBuffer::Trim() {
    m_Size = 0;
    if (m_Capacity > kKeptBufferCapacity) {
        FreeBlock(m_Data, m_Capacity);
        m_Data = nullptr;
        m_Capacity = 0;
    }
}

void TFileBuffer::ReadWholeFile(const std::string& FileName, std::int64_t MaxBytes,
                                TFileKinds Kinds) {
    m_Size = 0;
    // Opening a named pipe waits for a writer, and a device may wait as well: the name is
    // opened without waiting, and the open file tells what it is, so that nothing can be
    // put in its place between the look and the read.
    const bool regularOnly = Kinds == TFileKinds::RegularOnly;
    const TFileDescriptor file(
        ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0)));
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
    if (regularOnly && !S_ISREG(info.st_mode)) {
        throw EFileReadError(
            TMessage(Translatable("Message", "Cannot open file \"%1\"."), {FileName}),
            {.Code = NotRegular(info.st_mode)});
    }
    if (info.st_size > MaxBytes) {
        ThrowTooLarge(MaxBytes);
    }
    // The size fstat gives is only a first guess: a file can grow while it is read, and a
    // pipe has none. One byte of room more lets the end be seen without growing, and room
    // stops one byte past the limit, so that crossing it is seen.
    const auto limit = static_cast<std::size_t>(std::max<std::int64_t>(MaxBytes, 0));
    const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
    if (m_Capacity < expected + 1) {
        Grow(expected + 1);
    }
    for (;;) {
        if (m_Size == m_Capacity) {
            if (m_Capacity > limit) {
                ThrowTooLarge(MaxBytes);
            }
            Grow(std::min(limit + 1, std::max<std::size_t>(m_Capacity * 2, 65536)));
        }
        const ssize_t got = ::read(file.Get(), m_Data + m_Size, m_Capacity - m_Size);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EFileReadError(TMessage(Translatable("Message", "Cannot read file \"%1\". %2"),
                                          {FileName, std::strerror(errno)}));
        }
        if (got == 0) {
            return;
        }
        m_Size += static_cast<std::size_t>(got);
    }
}

std::string ReadWholeFile(const std::string& FileName) {
    TFileBuffer buffer;
    buffer.ReadWholeFile(FileName);
    return std::string(buffer.View());
}

} // namespace lintervale
