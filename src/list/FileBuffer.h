#pragma once

// The bytes of a whole file, read into memory that is not cleared first and that a series of
// reads reuses. Files larger than the limit (kMaxTorrentFileSize unless the caller gives
// another) are refused before they are read.
//
// Only regular files are read: a named pipe or a device could keep a read waiting for ever
// (or never end), so the name is opened without waiting (O_NONBLOCK) and what it names is
// checked on the open file, and anything but a regular file is refused with its cause.
// Standard input is the one exception, read as whatever it is.

#include "messages/Message.h"
#include "metainfo/BDecode.h"
#include "metainfo/Cause.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintervale {

// A file that cannot be read; the message names the file and the system's reason, or the
// cause says what the name is instead of a regular file.
class EFileReadError : public EMessageError {
public:
    explicit EFileReadError(TMessage Message, const TLoadCause& Cause = {})
        : EMessageError(std::move(Message)), m_Cause(Cause) {}
    const TLoadCause& Cause() const { return m_Cause; }

private:
    TLoadCause m_Cause;
};

// What a read accepts: regular files only, or anything (standard input, named as a file).
enum class TFileKinds : std::uint8_t { RegularOnly, Any };

// The decoder's own limit: a file it could not decode is not worth reading.
inline constexpr std::int64_t kMaxTorrentFileSize = TBDecodeLimits::kMaxBytes;

// What a buffer keeps for the next read after Trim: room for a typical torrent, so a batch
// of them reads without a new allocation each, while a large file's room goes back.
inline constexpr std::size_t kKeptBufferCapacity = std::size_t{1} << 20;

class TFileBuffer {
public:
    TFileBuffer() = default;
    ~TFileBuffer();
    TFileBuffer(const TFileBuffer&) = delete;
    TFileBuffer& operator=(const TFileBuffer&) = delete;

    // Replaces the contents with the whole file; raises EFileReadError, or ETorrentFileError
    // (TCauseCode::TooLarge, with MaxBytes as its limit) for a file larger than MaxBytes. On
    // failure the contents are undefined.
    void ReadWholeFile(const std::string& FileName, std::int64_t MaxBytes = kMaxTorrentFileSize,
                       TFileKinds Kinds = TFileKinds::RegularOnly);

    std::string_view View() const { return std::string_view(m_Data, m_Size); }
    std::size_t Capacity() const { return m_Capacity; }

    // Empties the buffer and gives back its memory when it holds more than
    // kKeptBufferCapacity.
    void Trim();

private:
    void Grow(std::size_t Capacity);

    char* m_Data = nullptr;
    std::size_t m_Size = 0;
    std::size_t m_Capacity = 0;
};

// The whole file as a string (for callers that keep it), read as TFileBuffer reads it.
std::string ReadWholeFile(const std::string& FileName);

} // namespace lintervale
