#pragma once

// A read-only, seekable stream over bytes held in memory (the whole .torrent file).
// The stream borrows the bytes; they must outlive it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintervale {

class TByteStream {
public:
    explicit TByteStream(std::string_view Bytes) : m_Bytes(Bytes) {}

    // The next byte (0..255), or -1 at the end of the stream.
    int ReadByte() {
        if (m_Position >= m_Bytes.size()) {
            return -1;
        }
        return static_cast<unsigned char>(m_Bytes[m_Position++]);
    }

    // Up to Count bytes from the current position; fewer at the end of the stream.
    std::string_view Read(std::size_t Count) {
        const std::size_t count = Count < Remaining() ? Count : Remaining();
        const std::string_view bytes = m_Bytes.substr(m_Position, count);
        m_Position += count;
        return bytes;
    }

    // Steps back by one byte (never before the start).
    void StepBack() {
        if (m_Position > 0) {
            --m_Position;
        }
    }

    std::size_t Position() const { return m_Position; }
    std::size_t Size() const { return m_Bytes.size(); }
    std::size_t Remaining() const { return m_Bytes.size() - m_Position; }
    std::string_view Bytes() const { return m_Bytes; }

    // Seeks to an absolute position; a position past the end is clamped to the end.
    void Seek(std::size_t Position) { m_Position = Position < Size() ? Position : Size(); }

private:
    std::string_view m_Bytes;
    std::size_t m_Position = 0;
};

} // namespace lintervale
