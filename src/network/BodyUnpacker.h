#pragma once

// Unpacks a body sent with a Content-Encoding as its bytes arrive, never past a limit.
//
// The network code is asked not to unpack bodies itself (the download names the encodings
// it takes), so that a small packed body that would unpack to gigabytes is stopped at the
// limit as it arrives, within one read's worth of memory. Taken: no encoding or "identity"
// (the bytes as they are), "gzip" and "x-gzip", "deflate" (zlib-wrapped or raw). Anything
// else, or more than one encoding, is refused before a byte is read.

#include <QByteArray>
#include <memory>

namespace lintervale {

class BodyUnpacker {
public:
    enum class Status {
        Ok,       // Out holds every byte so far, within the limit
        TooLarge, // the body is larger than the limit (Out is left at the limit or just past)
        Damaged,  // the packed bytes are not a valid stream
    };

    BodyUnpacker();
    ~BodyUnpacker();
    BodyUnpacker(const BodyUnpacker&) = delete;
    BodyUnpacker& operator=(const BodyUnpacker&) = delete;

    // Starts a body with the value of its Content-Encoding header (empty when there is none);
    // false when the encoding is not taken.
    bool start(const QByteArray& ContentEncoding);
    // Whether the body is packed (its bytes are not the body's own).
    bool packed() const { return m_Packed; }

    // Appends what Bytes unpack to onto Out; stops as soon as Out would pass Limit bytes.
    Status add(const QByteArray& Bytes, QByteArray& Out, qint64 Limit);
    // Whether a packed body reached the end of its stream; an unpacked one always has.
    bool complete() const { return !m_Packed || m_Ended; }

private:
    struct Stream;
    std::unique_ptr<Stream> m_Stream;
    bool m_Packed = false;
    bool m_Ended = false;
    bool m_RawDeflateTried = false;
    bool m_Deflate = false;
};

} // namespace lintervale
