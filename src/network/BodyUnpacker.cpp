#include "network/BodyUnpacker.h"

#include <zlib.h>

namespace lintervale {

namespace {

// Unpacked a piece at a time, so that the limit is checked before more is made.
constexpr int kPieceBytes = 64 * 1024;
// zlib's window bits: 15 for the largest window; +16 for a gzip wrapper, +32 to detect gzip
// or zlib, negative for raw deflate.
constexpr int kGzipBits = 15 + 16;
constexpr int kDetectBits = 15 + 32;
constexpr int kRawBits = -15;

} // namespace

struct BodyUnpacker::Stream {
    z_stream Z{};
    bool Open = false;

    bool open(int WindowBits) {
        close();
        Z = z_stream{};
        Open = inflateInit2(&Z, WindowBits) == Z_OK;
        return Open;
    }
    void close() {
        if (Open) {
            inflateEnd(&Z);
            Open = false;
        }
    }
    ~Stream() { close(); }
};

BodyUnpacker::BodyUnpacker() : m_Stream(std::make_unique<Stream>()) {}

BodyUnpacker::~BodyUnpacker() = default;

bool BodyUnpacker::start(const QByteArray& ContentEncoding) {
    m_Stream->close();
    m_Ended = false;
    m_RawDeflateTried = false;
    const QByteArray encoding = ContentEncoding.trimmed().toLower();
    m_Packed = !encoding.isEmpty() && encoding != "identity";
    m_Deflate = encoding == "deflate";
    if (!m_Packed) {
        return true;
    }
    if (encoding == "gzip" || encoding == "x-gzip") {
        return m_Stream->open(kGzipBits);
    }
    if (m_Deflate) {
        return m_Stream->open(kDetectBits);
    }
    m_Packed = false;
    return false;
}

BodyUnpacker::Status BodyUnpacker::add(const QByteArray& Bytes, QByteArray& Out, qint64 Limit) {
    if (!m_Packed) {
        Out += Bytes.left(Limit + 1 - Out.size());
        return Out.size() > Limit ? Status::TooLarge : Status::Ok;
    }
    if (m_Ended || !m_Stream->Open) {
        // Bytes after the end of the stream are no part of the body.
        return Bytes.isEmpty() || m_Ended ? Status::Ok : Status::Damaged;
    }
    z_stream& z = m_Stream->Z;
    const uLong readBefore = z.total_in;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Bytes.constData()));
    z.avail_in = static_cast<uInt>(Bytes.size());
    for (;;) {
        const qsizetype before = Out.size();
        Out.resize(before + kPieceBytes);
        z.next_out = reinterpret_cast<Bytef*>(Out.data() + before);
        z.avail_out = kPieceBytes;
        const int result = inflate(&z, Z_NO_FLUSH);
        Out.resize(before + (kPieceBytes - static_cast<qsizetype>(z.avail_out)));
        if (Out.size() > Limit) {
            return Status::TooLarge;
        }
        if (result == Z_DATA_ERROR && m_Deflate && !m_RawDeflateTried && readBefore == 0 &&
            z.total_out == 0) {
            // Some servers send "deflate" without the zlib wrapper: read it once more as raw.
            m_RawDeflateTried = true;
            if (!m_Stream->open(kRawBits)) {
                return Status::Damaged;
            }
            return add(Bytes, Out, Limit);
        }
        if (result == Z_STREAM_END) {
            m_Ended = true;
            return Status::Ok;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            return Status::Damaged;
        }
        // Done when the input is used up and zlib holds nothing more back.
        if (z.avail_out != 0 && (z.avail_in == 0 || result == Z_BUF_ERROR)) {
            return z.avail_in == 0 ? Status::Ok : Status::Damaged;
        }
    }
}

} // namespace lintervale
