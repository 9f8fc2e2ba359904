#pragma once

// SHA-256 (FIPS 180-4) as a member of the MD4 family: 64-byte blocks, big-endian words and
// length, a 32-byte digest. BitTorrent v2 names a torrent by the SHA-256 of its info value.

#include "digests/MessageDigests.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lintervale {

class TSHA256 final : public TMD4Family {
public:
    TSHA256();

    static std::string AsString() { return "SHA-256"; }

protected:
    void TransformBlocks(const std::uint8_t* Blocks, std::size_t NumBlocks) override;
};

} // namespace lintervale
