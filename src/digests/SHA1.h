#pragma once

// SHA-1 (FIPS 180-4) as a member of the MD4 family. Blocks are compressed with the CPU's SHA
// instructions where the processor has them, and with portable code otherwise; both give the
// same digest bit for bit.

#include "digests/MessageDigests.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintervale {

class TSHA1 final : public TMD4Family {
public:
    enum class TImplementation { Portable, Accelerated };

    TSHA1();

    static std::string AsString() { return "SHA-1"; }

    // Whether this processor can run the accelerated compression.
    static bool AcceleratedAvailable();
    // The compression new digests use; Accelerated falls back to Portable where the
    // processor lacks the instructions. Meant for tests and benchmarks.
    static void SetImplementation(TImplementation Implementation);
    static TImplementation Implementation();

protected:
    void TransformBlocks(const std::uint8_t* Blocks, std::size_t NumBlocks) override;
};

// Compresses whole 64-byte blocks into the five chaining words H0..H4.
void Sha1CompressPortable(std::uint32_t State[5], const std::uint8_t* Blocks,
                          std::size_t NumBlocks);
// Only to be called where the processor has the SHA extensions.
void Sha1CompressAccelerated(std::uint32_t State[5], const std::uint8_t* Blocks,
                             std::size_t NumBlocks);
bool Sha1AcceleratedSupported();

} // namespace lintervale
