#pragma once

// The bytes of a whole file, read into memory that is not cleared first and that a series of
// reads reuses. Files larger than kMaxTorrentFileSize are refused as metainfo before they are
// read.

#include "messages/Message.h"
#include "metainfo/BDecode.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintervale {

// A file that cannot be read; the message names the file and the system's reason.
class EFileReadError : public EMessageError {
public:
    using EMessageError::EMessageError;
};

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
    // for a file too large to be metainfo. On failure the contents are undefined.
    void ReadWholeFile(const std::string& FileName);

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

// The whole file as a string (for callers that keep it).
std::string ReadWholeFile(const std::string& FileName);

} // namespace lintervale
