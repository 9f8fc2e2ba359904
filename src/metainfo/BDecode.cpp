#include "metainfo/BDecode.h"

#include "metainfo/LargeBlocks.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lintervale {

namespace {

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

} // namespace

// Writes the records of one document. The grammar's functions keep their names; each is
// entered after the value's first byte has been read.
class TBDecoder {
public:
    TBDecoder(TBDocument& Document, std::string_view Data, std::size_t Start)
        : m_Document(Document), m_Data(Data), m_Position(Start) {}

    std::size_t Position() const { return m_Position; }

    // One value at the position; false when the first byte starts none (it is consumed).
    bool BDecodeValue() {
        if (m_Position >= m_Data.size()) {
            return false;
        }
        const int c = static_cast<unsigned char>(m_Data[m_Position++]);
        if (IsDigit(c)) {
            BDecodeString(c - '0');
            return true;
        }
        switch (c) {
        case 'd':
            BDecodeDictionary();
            return true;
        case 'i':
            BDecodeInteger();
            return true;
        case 'l':
            BDecodeList();
            return true;
        default:
            return false;
        }
    }

private:
    [[noreturn]] void Fail(TCauseCode code, std::size_t offset, std::int64_t limit = 0) {
        throw EBDecodeError(
            {.Code = code, .Offset = static_cast<std::int64_t>(offset), .Limit = limit});
    }

    void Append(TBKind kind, std::size_t offset, std::uint32_t extent) {
        TBDocument& d = m_Document;
        if (d.m_Size == d.m_Capacity) {
            Grow();
        }
        d.m_Nodes[d.m_Size++] = TBNode(kind, offset, extent);
    }

    void Grow() {
        TBDocument& d = m_Document;
        // Torrents need about one record per eight bytes, a few more; the records' block
        // costs memory only as far as it is used.
        const std::size_t wanted =
            d.m_Capacity == 0 ? m_Data.size() / 4 + 64 : std::size_t{d.m_Capacity} * 2;
        const std::size_t capacity = std::min<std::size_t>(wanted, TBDocument::kNone - 1);
        if (capacity <= d.m_Capacity) {
            throw std::bad_alloc();
        }
        auto* nodes = static_cast<TBNode*>(AllocateBlock(capacity * sizeof(TBNode)));
        if (d.m_Size > 0) {
            std::memcpy(static_cast<void*>(nodes), d.m_Nodes, d.m_Size * sizeof(TBNode));
        }
        FreeBlock(d.m_Nodes, std::size_t{d.m_Capacity} * sizeof(TBNode));
        d.m_Nodes = nodes;
        d.m_Capacity = static_cast<std::uint32_t>(capacity);
    }

    void CountValue(std::size_t offset) {
        if (++m_Values > TBDecodeLimits::kMaxItems) {
            Fail(TCauseCode::TooManyValues, offset, TBDecodeLimits::kMaxItems);
        }
    }

    // A container's record comes before its elements; Close tells it where they end.
    std::uint32_t Open(TBKind kind) {
        const std::size_t start = m_Position - 1;
        if (++m_Depth > TBDecodeLimits::kMaxDepth) {
            Fail(TCauseCode::NestingTooDeep, start, TBDecodeLimits::kMaxDepth);
        }
        CountValue(start);
        Append(kind, start, 0);
        return m_Document.m_Size - 1;
    }

    void Close(std::uint32_t container) {
        m_Document.m_Nodes[container].SetExtent(m_Document.m_Size);
        --m_Depth;
    }

    // A value's string: counted as a value, unlike a key.
    void BDecodeString(int FirstDigit) {
        CountValue(m_Position - 1);
        ReadString(FirstDigit);
    }

    // The rest of a string's length digits, the separator (unchecked) and the bytes; returns
    // the length. The length is checked against the data before each multiplication by ten
    // and against the bytes left before anything is kept.
    std::size_t ReadString(int FirstDigit) {
        const std::size_t start = m_Position - 1;
        const std::size_t size = m_Data.size();
        std::size_t length = static_cast<std::size_t>(FirstDigit);
        while (m_Position < size && IsDigit(m_Data[m_Position])) {
            const auto digit = static_cast<std::size_t>(m_Data[m_Position++] - '0');
            if (length > (size - digit) / 10) {
                Fail(TCauseCode::StringPastEnd, start);
            }
            length = length * 10 + digit;
        }
        if (m_Position < size) {
            ++m_Position; // the separator, normally ':'
        }
        if (length > size - m_Position) {
            Fail(TCauseCode::StringPastEnd, start);
        }
        Append(TBKind::String, start, static_cast<std::uint32_t>(length));
        m_Position += length;
        return length;
    }

    // Digits and minus signs up to the first other byte, which is consumed. The value is
    // read again from the data when asked for (TBDocument::Number).
    void BDecodeInteger() {
        const std::size_t start = m_Position - 1;
        CountValue(start);
        Append(TBKind::Integer, start, 0);
        const std::size_t size = m_Data.size();
        while (m_Position < size) {
            const char c = m_Data[m_Position++];
            if (c != '-' && !IsDigit(c)) {
                break;
            }
        }
    }

    void BDecodeList() {
        const std::uint32_t self = Open(TBKind::List);
        while (m_Position < m_Data.size() && m_Data[m_Position] != 'e') {
            BDecodeValue();
        }
        if (m_Position < m_Data.size()) {
            ++m_Position;
        }
        Close(self);
    }

    void BDecodeDictionary() {
        const std::uint32_t self = Open(TBKind::Dictionary);
        while (m_Position < m_Data.size()) {
            const std::size_t keyStart = m_Position;
            const int c = static_cast<unsigned char>(m_Data[m_Position++]);
            if (c == 'e') {
                break;
            }
            if (!IsDigit(c)) {
                Fail(TCauseCode::KeyNotString, keyStart);
            }
            const std::uint32_t key = m_Document.m_Size;
            const std::size_t keyLength = ReadString(c - '0');
            const std::size_t valueStart = m_Position;
            const bool info = keyLength == 4 && m_Data.substr(valueStart - 4, 4) == "info";
            if (!BDecodeValue()) {
                m_Document.m_Size = key; // a member without a value is dropped
            }
            if (info) {
                CountValue(valueStart);
                CountValue(valueStart);
                Append(TBKind::StartKey, keyStart, 0);
                Append(TBKind::Number, valueStart, static_cast<std::uint32_t>(valueStart));
                Append(TBKind::LengthKey, keyStart, 0);
                Append(TBKind::Number, valueStart,
                       static_cast<std::uint32_t>(m_Position - valueStart));
            }
        }
        Close(self);
    }

    TBDocument& m_Document;
    std::string_view m_Data;
    std::size_t m_Position;
    int m_Depth = 0;
    std::int64_t m_Values = 0;
};

std::size_t TBDocument::Decode(std::string_view Data, std::size_t Start) {
    m_Data = Data;
    m_Size = 0;
    if (Data.size() > static_cast<std::size_t>(TBDecodeLimits::kMaxBytes)) {
        throw EBDecodeError({.Code = TCauseCode::TooLarge, .Limit = TBDecodeLimits::kMaxBytes});
    }
    TBDecoder decoder(*this, Data, Start);
    try {
        decoder.BDecodeValue();
    } catch (...) {
        m_Size = 0;
        throw;
    }
    return decoder.Position();
}

} // namespace lintervale
