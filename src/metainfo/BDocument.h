#pragma once

// A decoded bencoded document in compact form: one 8-byte record per value, in the order the
// values stand in the data, every record pointing into the data instead of copying it.
//
// - A container's record is followed by its elements (a dictionary's as key, value, key,
//   value...), each with its own elements after it; the record knows where its elements
//   end, so a reader steps over a whole value at once (Next).
// - A string's record holds where it starts and its length; an integer's where it starts
//   (its value is read from the data when asked for, the same lenient way it was decoded).
// - A dictionary that had a member "info" has two members more after it, "_info_start" and
//   "_info_length", whose integers (held in the records) give the offset and the length of
//   that member's value; a member whose value was nothing is not there at all.
// - The data stays where it is: the document borrows it, so it must outlive the document.
//
// Looking a key up scans the dictionary's members and takes the last with that key: a repeated
// key's last value is the one that counts. Every member is visited once, so no choice of keys
// makes a look-up slower than the dictionary is long.

#include "metainfo/Cause.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintervale {

// What a record stands for. The last three are the info markers: their keys, and an integer
// held in the record.
enum class TBKind : std::uint8_t { String, Integer, List, Dictionary, StartKey, LengthKey, Number };

class TBNode {
public:
    static constexpr std::uint32_t kMaxOffset = (std::uint32_t{1} << 29) - 1;

    TBNode() = default;
    TBNode(TBKind Kind, std::size_t Offset, std::uint32_t Extent)
        : m_Word(static_cast<std::uint32_t>(Offset) << 3 | static_cast<std::uint32_t>(Kind)),
          m_Extent(Extent) {}

    TBKind Kind() const { return static_cast<TBKind>(m_Word & 7); }
    // Where the value starts in the data (its first byte: a digit, 'i', 'l' or 'd').
    std::uint32_t Offset() const { return m_Word >> 3; }
    // A string's length; for a container, the index of the first record after its elements;
    // for a Number, the number itself.
    std::uint32_t Extent() const { return m_Extent; }
    void SetExtent(std::uint32_t Extent) { m_Extent = Extent; }

private:
    std::uint32_t m_Word = 0;
    std::uint32_t m_Extent = 0;
};

class TBDocument {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    TBDocument() = default;
    ~TBDocument();
    TBDocument(const TBDocument&) = delete;
    TBDocument& operator=(const TBDocument&) = delete;

    // Decodes the one value that starts at Start, replacing what the document held; returns
    // the position after it. Nothing to decode leaves the document empty. Raises EBDecodeError
    // (BDecode.h) for a document beyond the decoder's limits.
    std::size_t Decode(std::string_view Data, std::size_t Start);
    void Clear() { m_Size = 0; }

    std::string_view Data() const { return m_Data; }
    // Records are numbered from 0, the decoded value's own record; Size 0 when nothing was.
    std::uint32_t Size() const { return m_Size; }
    const TBNode& operator[](std::uint32_t Index) const { return m_Nodes[Index]; }

    // The record after the whole value at Index.
    std::uint32_t Next(std::uint32_t Index) const {
        const TBNode& node = m_Nodes[Index];
        return node.Kind() == TBKind::List || node.Kind() == TBKind::Dictionary ? node.Extent()
                                                                                : Index + 1;
    }
    bool IsContainer(std::uint32_t Index) const {
        return m_Nodes[Index].Kind() == TBKind::List || m_Nodes[Index].Kind() == TBKind::Dictionary;
    }
    // A string's bytes or a marker key's name; empty for other values.
    std::string_view Text(std::uint32_t Index) const;
    // An integer's value (modulo 2^64, as decoded) or a marker's number; 0 for other values.
    std::int64_t Number(std::uint32_t Index) const;
    // What the value is; the markers count as a string and an integer.
    TValueKind KindOf(std::uint32_t Index) const;
    bool IsScalar(std::uint32_t Index) const { return !IsContainer(Index); }

    // The value of the dictionary's last member with Key, or kNone.
    std::uint32_t Find(std::uint32_t Dictionary, std::string_view Key) const;

    // Steps through a container's elements: for (i = First(c); i != End(c); i = Next(i)).
    // In a dictionary the elements alternate key and value.
    std::uint32_t First(std::uint32_t Container) const { return Container + 1; }
    std::uint32_t End(std::uint32_t Container) const { return m_Nodes[Container].Extent(); }

private:
    friend class TBDecoder;

    std::string_view m_Data;
    TBNode* m_Nodes = nullptr;
    std::uint32_t m_Size = 0;
    std::uint32_t m_Capacity = 0;
};

} // namespace lintervale
