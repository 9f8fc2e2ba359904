#include "metainfo/BDecode.h"

namespace lintervale {

namespace {

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// Raises the nesting count for the life of one container.
class TDepthGuard {
public:
    explicit TDepthGuard(int& depth) : m_Depth(depth) {
        if (++m_Depth > TBDecodeLimits::kMaxDepth) {
            throw EBDecodeError("Nesting is deeper than " +
                                std::to_string(TBDecodeLimits::kMaxDepth) + " levels");
        }
    }
    ~TDepthGuard() { --m_Depth; }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    int& m_Depth;
};

} // namespace

template <typename T> T* TBDecoder::Make() {
    if (++m_Items > TBDecodeLimits::kMaxItems) {
        throw EBDecodeError("More than " + std::to_string(TBDecodeLimits::kMaxItems) + " values");
    }
    if (m_Arena == nullptr) {
        return new T();
    }
    T* object = new (m_Arena->Allocate(sizeof(T), alignof(T))) T(m_Arena);
    object->SetPlaced();
    return object;
}

TObjectPtr TBDecoder::BDecodeValue() {
    if (m_InInfo && (++m_Ticks & 63) == 0) {
        m_Watcher->InfoProgress(m_Stream.Position());
    }
    const int c = m_Stream.ReadByte();
    if (IsDigit(c)) {
        return BDecodeString(c - '0');
    }
    switch (c) {
    case 'd':
        return BDecodeDictionary();
    case 'i':
        return BDecodeInteger();
    case 'l':
        return BDecodeList();
    default:
        return nullptr;
    }
}

// Reads the rest of a string's length and views its bytes. The length is checked against
// the bytes that are left before anything is made, and before each multiplication by ten.
std::string_view TBDecoder::ReadStringBytes(int FirstDigit) {
    std::size_t length = static_cast<std::size_t>(FirstDigit);
    int c = m_Stream.ReadByte();
    while (IsDigit(c)) {
        const auto digit = static_cast<std::size_t>(c - '0');
        if (length > (m_Stream.Size() - digit) / 10) {
            throw EBDecodeError("A string's length runs past the end of the data");
        }
        length = length * 10 + digit;
        c = m_Stream.ReadByte();
    }
    // The byte that ended the digits (normally ':') has been consumed unchecked.
    if (length > m_Stream.Remaining()) {
        throw EBDecodeError("A string's length runs past the end of the data");
    }
    return m_Stream.Read(length);
}

TObjectPtr TBDecoder::BDecodeString(int FirstDigit) {
    TObjectPtr owner(Make<TIntString>());
    auto* value = static_cast<TIntString*>(owner.get());
    value->StringPart = ReadStringBytes(FirstDigit);
    value->ISType = TISType::tisString;
    return owner;
}

TObjectPtr TBDecoder::BDecodeInteger() {
    TObjectPtr owner(Make<TIntString>());
    // Digits accumulate modulo 2^64, as a lenient reader of oversized numbers would.
    std::uint64_t value = 0;
    bool negative = false;
    for (int c = m_Stream.ReadByte(); c != -1; c = m_Stream.ReadByte()) {
        if (c == '-') {
            negative = true;
        } else if (IsDigit(c)) {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        } else {
            break;
        }
    }
    auto* result = static_cast<TIntString*>(owner.get());
    result->IntPart = static_cast<std::int64_t>(negative ? 0 - value : value);
    result->ISType = TISType::tisInt;
    return owner;
}

TObjectPtr TBDecoder::BDecodeList() {
    TObjectPtr owner(Make<TObjectList>());
    TDepthGuard depth(m_Depth);
    auto& items = static_cast<TObjectList*>(owner.get())->Items;
    for (int c = m_Stream.ReadByte(); c != -1 && c != 'e'; c = m_Stream.ReadByte()) {
        m_Stream.StepBack();
        if (TObjectPtr value = BDecodeValue()) {
            if (items.empty()) {
                items.reserve(4);
            }
            items.push_back(std::move(value));
        }
    }
    return owner;
}

TObjectPtr TBDecoder::BDecodeDictionary() {
    TObjectPtr owner(Make<TObjectHash>());
    TDepthGuard depth(m_Depth);
    auto* dictionary = static_cast<TObjectHash*>(owner.get());
    for (int c = m_Stream.ReadByte(); c != -1 && c != 'e'; c = m_Stream.ReadByte()) {
        if (!IsDigit(c)) {
            throw EBDecodeError("'" + std::string(1, static_cast<char>(c)) +
                                "' is not a valid integer value");
        }
        const std::string_view key = ReadStringBytes(c - '0');
        const std::size_t start = m_Stream.Position();
        const bool watch = m_Watcher != nullptr && m_Depth == 1 && !m_InfoSeen && key == "info";
        if (watch) {
            m_InfoSeen = true;
            m_InInfo = true;
            m_Watcher->InfoStarted(start);
        }
        TObjectPtr value = BDecodeValue();
        if (watch) {
            m_InInfo = false;
            m_Watcher->InfoEnded(m_Stream.Position());
        }
        if (value) {
            if (key.empty()) {
                dictionary->SetEmptyKeyItem(std::move(value));
            } else {
                dictionary->SetItem(key, std::move(value));
            }
        }
        if (key == "info") {
            TObjectPtr infoStart(Make<TIntString>());
            auto* startValue = static_cast<TIntString*>(infoStart.get());
            startValue->IntPart = static_cast<std::int64_t>(start);
            startValue->ISType = TISType::tisInt;
            TObjectPtr infoLength(Make<TIntString>());
            auto* lengthValue = static_cast<TIntString*>(infoLength.get());
            lengthValue->IntPart = static_cast<std::int64_t>(m_Stream.Position() - start);
            lengthValue->ISType = TISType::tisInt;
            dictionary->SetItem("_info_start", std::move(infoStart));
            dictionary->SetItem("_info_length", std::move(infoLength));
        }
    }
    return owner;
}

TObjectPtr BDecodeValue(TByteStream& Stream) {
    TBDecoder decoder(Stream);
    return decoder.BDecodeValue();
}

} // namespace lintervale
