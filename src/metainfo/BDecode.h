#pragma once

// The bencode decoder: bytes in, a decoded document (BDocument.h) out.
//
// Contract:
// - TBDocument::Decode reads one value into compact records that point into the data; it
//   copies nothing, so the data must outlive the document.
// - The grammar is taken leniently, as .torrent writers in the wild need: the byte after a
//   string's length digits is not checked, an integer is digits and minus signs up to the
//   first other byte (which is consumed), a container cut off by the end of the data ends
//   there, a byte that starts no value yields nothing, and a dictionary member whose value is
//   nothing is dropped. Repeated keys and the empty key stay members as they stand; a reader
//   that looks a key up (TBDocument::Find) takes the last member with it.
// - Wherever a dictionary has the key "info", it also gets "_info_start" (the offset of the
//   value) and "_info_length" (its length in bytes), so the info hash can be taken over the
//   bytes exactly as stored.
// - Limits, each raising EBDecodeError with its cause: nesting deeper than kMaxDepth
//   containers, a string length larger than the bytes left, more than kMaxItems values in
//   one document, data of more than kMaxBytes. A dictionary key that does not start with a
//   digit raises EBDecodeError as well. On an error nothing decoded so far is kept.

#include "metainfo/BDocument.h"
#include "metainfo/Cause.h"

#include <cstdint>
#include <stdexcept>

namespace lintervale {

class EBDecodeError : public std::runtime_error {
public:
    explicit EBDecodeError(const TLoadCause& Cause)
        : std::runtime_error(DescribeCause(Cause)), m_Cause(Cause) {}
    const TLoadCause& Cause() const { return m_Cause; }

private:
    TLoadCause m_Cause;
};

struct TBDecodeLimits {
    static constexpr int kMaxDepth = 100;
    static constexpr std::int64_t kMaxItems = 8'000'000;
    // Larger than any .torrent file the program reads (see FileBuffer.h), within what a
    // record can point at.
    static constexpr std::int64_t kMaxBytes = std::int64_t{256} << 20;
};
static_assert(TBDecodeLimits::kMaxBytes <= TBNode::kMaxOffset);

} // namespace lintervale
