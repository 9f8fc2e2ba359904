#pragma once

// The bencode decoder: bytes in, a tree of owned objects out.
//
// Contract:
// - A byte string or an integer becomes a TIntString, a list a TObjectList, a dictionary a
//   TObjectHash; the caller owns the returned tree (each container owns its elements).
// - The tree borrows the decoded bytes: a TIntString's StringPart views them, so the bytes
//   must outlive the tree. Given a memory resource, the decoder places the whole tree in it
//   (the resource must outlive the tree too); a torrent's thousands of small values then
//   cost no separate allocations.
// - The grammar is taken leniently, as .torrent writers in the wild need: the byte after a
//   string's length digits is not checked, an integer is digits and minus signs up to the
//   first other byte (which is consumed), a container cut off by the end of the data ends
//   there, a byte that starts no value yields nothing, and a repeated key keeps its last
//   value. A member with an empty key is no key of the table: its value is kept aside as the
//   table's EmptyKeyItem (BitTorrent v2 file trees need it).
// - Wherever a dictionary has the key "info", it also gets "_info_start" (the offset of the
//   value) and "_info_length" (its length in bytes), so the info hash can be taken over the
//   bytes exactly as stored.
// - Limits, each raising EBDecodeError: nesting deeper than kMaxDepth containers, a string
//   length larger than the bytes left, more than kMaxItems values in one document. A
//   dictionary key that does not start with a digit raises EBDecodeError as well. On an
//   error everything decoded so far is freed.

#include "metainfo/ArenaResource.h"
#include "metainfo/ByteStream.h"
#include "metainfo/Hashes.h"

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

class EBDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TISType : std::uint8_t { tisString = 0, tisInt = 1 };

// One decoded scalar. StringPart views the decoded bytes (or any bytes that outlive it).
class TIntString final : public TObject {
public:
    static constexpr TObjectKind kKind = TObjectKind::Scalar;

    TIntString() : TObject(kKind) {}
    explicit TIntString(std::pmr::memory_resource*) : TObject(kKind) {}

    // ISType first: it fills the padding at the end of TObject.
    TISType ISType = TISType::tisString;
    std::string_view StringPart;
    std::int64_t IntPart = 0;
};

// A decoded list; it owns its elements.
class TObjectList final : public TObject {
public:
    static constexpr TObjectKind kKind = TObjectKind::List;

    explicit TObjectList(std::pmr::memory_resource* Resource = std::pmr::get_default_resource())
        : TObject(kKind), Items(Resource) {}

    std::pmr::vector<TObjectPtr> Items;
};

struct TBDecodeLimits {
    static constexpr int kMaxDepth = 100;
    static constexpr std::int64_t kMaxItems = 8'000'000;
};

// Told where the top-level dictionary's (first) "info" value lies while it is decoded, so
// that a digest of its bytes can run alongside the decoding.
class TInfoWatcher {
public:
    virtual ~TInfoWatcher() = default;
    // The value starts at Start.
    virtual void InfoStarted(std::size_t Start) = 0;
    // The decoder has gone this far into the value: the bytes before Position belong to it.
    virtual void InfoProgress(std::size_t Position) = 0;
    // The value ends before End.
    virtual void InfoEnded(std::size_t End) = 0;
};

// The decoder's state over one stream: the position and what the limits count.
class TBDecoder {
public:
    // Without an arena the tree's objects are made with new.
    explicit TBDecoder(TByteStream& Stream, TArena* Arena = nullptr,
                       TInfoWatcher* Watcher = nullptr)
        : m_Stream(Stream), m_Arena(Arena), m_Watcher(Watcher) {}

    // One value at the stream's position, or null when the first byte starts none.
    TObjectPtr BDecodeValue();
    // The bodies, after their first byte has been read.
    TObjectPtr BDecodeDictionary();
    TObjectPtr BDecodeList();
    TObjectPtr BDecodeString(int FirstDigit);
    TObjectPtr BDecodeInteger();

private:
    template <typename T> T* Make();
    std::string_view ReadStringBytes(int FirstDigit);

    TByteStream& m_Stream;
    TArena* m_Arena;
    TInfoWatcher* m_Watcher;
    bool m_InInfo = false;   // inside the watched "info" value
    bool m_InfoSeen = false; // the first top-level "info" has been watched
    unsigned m_Ticks = 0;
    int m_Depth = 0;
    std::int64_t m_Items = 0;
};

// Decodes one value at the stream's position, every object on the heap.
TObjectPtr BDecodeValue(TByteStream& Stream);

} // namespace lintervale
