#include "metainfo/BDecode.h"

#include <limits>
#include <string_view>

namespace lintervale {

namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

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

void TBDecoder::CountItem() {
    if (++m_Items > TBDecodeLimits::kMaxItems) {
        throw EBDecodeError("More than " + std::to_string(TBDecodeLimits::kMaxItems) +
                            " values");
    }
}

std::unique_ptr<TObject> TBDecoder::BDecodeValue() {
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

// Reads the rest of a string's length and its bytes. The length is checked against the
// bytes that are left before anything is made, and before each multiplication by ten.
std::string TBDecoder::ReadStringBytes(int FirstDigit) {
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
    return std::string(m_Stream.Read(length));
}

std::unique_ptr<TIntString> TBDecoder::BDecodeString(int FirstDigit) {
    CountItem();
    auto value = std::make_unique<TIntString>();
    value->StringPart = ReadStringBytes(FirstDigit);
    value->ISType = TISType::tisString;
    return value;
}

std::unique_ptr<TIntString> TBDecoder::BDecodeInteger() {
    CountItem();
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
    if (negative) {
        value = 0 - value;
    }
    auto result = std::make_unique<TIntString>();
    result->IntPart = static_cast<std::int64_t>(value);
    result->ISType = TISType::tisInt;
    return result;
}

std::unique_ptr<TObjectList> TBDecoder::BDecodeList() {
    CountItem();
    TDepthGuard depth(m_Depth);
    auto list = std::make_unique<TObjectList>();
    for (int c = m_Stream.ReadByte(); c != -1 && c != 'e'; c = m_Stream.ReadByte()) {
        m_Stream.StepBack();
        if (auto value = BDecodeValue()) {
            list->Items.push_back(std::move(value));
        }
    }
    return list;
}

std::unique_ptr<TObjectHash> TBDecoder::BDecodeDictionary() {
    CountItem();
    TDepthGuard depth(m_Depth);
    auto dictionary = std::make_unique<TObjectHash>();
    for (int c = m_Stream.ReadByte(); c != -1 && c != 'e'; c = m_Stream.ReadByte()) {
        if (!IsDigit(c)) {
            throw EBDecodeError("'" + std::string(1, static_cast<char>(c)) +
                                "' is not a valid integer value");
        }
        const std::string key = ReadStringBytes(c - '0');
        const std::size_t start = m_Stream.Position();
        auto value = BDecodeValue();
        if (value && !key.empty()) {
            dictionary->SetItem(key, std::move(value));
        }
        if (key == "info") {
            auto infoStart = std::make_unique<TIntString>();
            infoStart->IntPart = static_cast<std::int64_t>(start);
            infoStart->ISType = TISType::tisInt;
            auto infoLength = std::make_unique<TIntString>();
            infoLength->IntPart = static_cast<std::int64_t>(m_Stream.Position() - start);
            infoLength->ISType = TISType::tisInt;
            dictionary->SetItem("_info_start", std::move(infoStart));
            dictionary->SetItem("_info_length", std::move(infoLength));
        }
    }
    return dictionary;
}

std::unique_ptr<TObject> BDecodeValue(TByteStream& Stream) {
    TBDecoder decoder(Stream);
    return decoder.BDecodeValue();
}

} // namespace lintervale
