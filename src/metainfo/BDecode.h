#pragma once

// The bencode decoder: bytes in, a decoded document (BDocument.h) or a tree of owned objects
// out.
//
// Contract:
// - TBDocument::Decode reads one value into compact records; BDecodeValue turns those
//   records into objects: a byte string or an integer becomes a TIntString, a list a
//   TObjectList, a dictionary a TObjectHash; the caller owns the returned tree (each
//   container owns its elements).
// - Both borrow the decoded bytes: a TIntString's StringPart views them, so the bytes must
//   outlive the tree.
// - The grammar is taken leniently, as .torrent writers in the wild need: the byte after a
//   string's length digits is not checked, an integer is digits and minus signs up to the
//   first other byte (which is consumed), a container cut off by the end of the data ends
//   there, a byte that starts no value yields nothing, and a repeated key keeps its last
//   value. A member with an empty key is no key of the table: its value is kept aside as the
//   table's EmptyKeyItem (BitTorrent v2 file trees need it).
// - Wherever a dictionary has the key "info", it also gets "_info_start" (the offset of the
//   value) and "_info_length" (its length in bytes), so the info hash can be taken over the
//   bytes exactly as stored.
// - Limits, each raising EBDecodeError with its cause: nesting deeper than kMaxDepth
//   containers, a string length larger than the bytes left, more than kMaxItems values in
//   one document, data of more than kMaxBytes. A dictionary key that does not start with a
//   digit raises EBDecodeError as well. On an error nothing decoded so far is kept.

#include "metainfo/BDocument.h"
#include "metainfo/ByteStream.h"
#include "metainfo/Cause.h"
#include "metainfo/Hashes.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace lintervale {

class EBDecodeError : public std::runtime_error {
public:
    explicit EBDecodeError(const TLoadCause& Cause)
        : std::runtime_error(DescribeCause(Cause)), m_Cause(Cause) {}
    const TLoadCause& Cause() const { return m_Cause; }

private:
    TLoadCause m_Cause;
};

enum class TISType : std::uint8_t { tisString = 0, tisInt = 1 };

// One decoded scalar. StringPart views the decoded bytes (or any bytes that outlive it).
class TIntString final : public TObject {
public:
    static constexpr TObjectKind kKind = TObjectKind::Scalar;

    TIntString() : TObject(kKind) {}

    // ISType first: it fills the padding at the end of TObject.
    TISType ISType = TISType::tisString;
    std::string_view StringPart;
    std::int64_t IntPart = 0;
};

// A decoded list; it owns its elements.
class TObjectList final : public TObject {
public:
    static constexpr TObjectKind kKind = TObjectKind::List;

    TObjectList() : TObject(kKind) {}

    std::vector<TObjectPtr> Items;
};

struct TBDecodeLimits {
    static constexpr int kMaxDepth = 100;
    static constexpr std::int64_t kMaxItems = 8'000'000;
    // Larger than any .torrent file the program reads (see FileBuffer.h), within what a
    // record can point at.
    static constexpr std::int64_t kMaxBytes = std::int64_t{256} << 20;
};
static_assert(TBDecodeLimits::kMaxBytes <= TBNode::kMaxOffset);

// The objects of the value whose record is Index (and of everything in it).
TObjectPtr BuildObjects(const TBDocument& Document, std::uint32_t Index);

// Decodes one value at the stream's position into objects (null when the first byte starts
// none) and moves the stream past it.
TObjectPtr BDecodeValue(TByteStream& Stream);

} // namespace lintervale
