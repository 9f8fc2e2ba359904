#pragma once

// The bencode decoder: bytes in, a tree of owned objects out.
//
// Contract:
// - A byte string or an integer becomes a TIntString, a list a TObjectList, a dictionary a
//   TObjectHash; the caller owns the returned tree (each container owns its elements).
// - The grammar is taken leniently, as .torrent writers in the wild need: the byte after a
//   string's length digits is not checked, an integer is digits and minus signs up to the
//   first other byte (which is consumed), a container cut off by the end of the data ends
//   there, a byte that starts no value yields nothing, a member with an empty key is decoded
//   and dropped, and a repeated key keeps its last value.
// - Wherever a dictionary has the key "info", it also gets "_info_start" (the offset of the
//   value) and "_info_length" (its length in bytes), so the info hash can be taken over the
//   bytes exactly as stored.
// - Limits, each raising EBDecodeError: nesting deeper than kMaxDepth containers, a string
//   length larger than the bytes left, more than kMaxItems values in one document. A
//   dictionary key that does not start with a digit raises EBDecodeError as well. On an
//   error everything decoded so far is freed.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "metainfo/ByteStream.h"
#include "metainfo/Hashes.h"

namespace lintervale {

class EBDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TISType : std::uint8_t { tisString = 0, tisInt = 1 };

// One decoded scalar.
class TIntString final : public TObject {
public:
    std::string StringPart;
    std::int64_t IntPart = 0;
    TISType ISType = TISType::tisString;
};

// A decoded list; it owns its elements.
class TObjectList final : public TObject {
public:
    std::vector<std::unique_ptr<TObject>> Items;
};

struct TBDecodeLimits {
    static constexpr int kMaxDepth = 100;
    static constexpr std::int64_t kMaxItems = 8'000'000;
};

// The decoder's state over one stream: the position and what the limits count.
class TBDecoder {
public:
    explicit TBDecoder(TByteStream& Stream) : m_Stream(Stream) {}

    // One value at the stream's position, or null when the first byte starts none.
    std::unique_ptr<TObject> BDecodeValue();
    // The bodies, after their first byte has been read.
    std::unique_ptr<TObjectHash> BDecodeDictionary();
    std::unique_ptr<TObjectList> BDecodeList();
    std::unique_ptr<TIntString> BDecodeString(int FirstDigit);
    std::unique_ptr<TIntString> BDecodeInteger();

private:
    std::string ReadStringBytes(int FirstDigit);
    void CountItem();

    TByteStream& m_Stream;
    int m_Depth = 0;
    std::int64_t m_Items = 0;
};

// Decodes one value at the stream's position.
std::unique_ptr<TObject> BDecodeValue(TByteStream& Stream);

} // namespace lintervale
