#include "digests/SHA1.h"

#include <atomic>

namespace lintervale {

namespace {

constexpr std::uint32_t kInitialChainingValues[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu,
                                                     0x10325476u, 0xC3D2E1F0u};

std::uint32_t RotateLeft(std::uint32_t value, int bits) {
    return bits == 0 ? value : (value << bits) | (value >> (32 - bits));
}

using TCompress = void (*)(std::uint32_t*, const std::uint8_t*, std::size_t);

TCompress Choose(TSHA1::TImplementation implementation) {
    if (implementation == TSHA1::TImplementation::Accelerated && Sha1AcceleratedSupported()) {
        return &Sha1CompressAccelerated;
    }
    return &Sha1CompressPortable;
}

std::atomic<TCompress> gCompress{Choose(TSHA1::TImplementation::Accelerated)};

} // namespace

void Sha1CompressPortable(std::uint32_t State[5], const std::uint8_t* Blocks,
                          std::size_t NumBlocks) {
    for (std::size_t block = 0; block < NumBlocks; ++block, Blocks += 64) {
        std::uint32_t w[80];
        for (int t = 0; t < 16; ++t) {
            w[t] = ReadBigEndian32(Blocks + 4 * t);
        }
        for (int t = 16; t < 80; ++t) {
            w[t] = RotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
        }
        std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
        for (int t = 0; t < 80; ++t) {
            std::uint32_t f;
            std::uint32_t k;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999u;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1u;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDCu;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6u;
            }
            const std::uint32_t temp = RotateLeft(a, 5) + f + e + w[t] + k;
            e = d;
            d = c;
            c = RotateLeft(b, 30);
            b = a;
            a = temp;
        }
        State[0] += a;
        State[1] += b;
        State[2] += c;
        State[3] += d;
        State[4] += e;
    }
}

TSHA1::TSHA1() : TMD4Family(64, 20, kInitialChainingValues, true) {
    Clear();
}

bool TSHA1::AcceleratedAvailable() {
    return Sha1AcceleratedSupported();
}

void TSHA1::SetImplementation(TImplementation Implementation) {
    gCompress.store(Choose(Implementation));
}

TSHA1::TImplementation TSHA1::Implementation() {
    return gCompress.load() == &Sha1CompressAccelerated ? TImplementation::Accelerated
                                                        : TImplementation::Portable;
}

void TSHA1::TransformBlocks(const std::uint8_t* Blocks, std::size_t NumBlocks) {
    if (Blocks == nullptr) {
        DigestAssertionFailed("TSHA1.TransformBlocks: Addr(Blocks) = nil.", __LINE__);
    }
    if (NumBlocks > 0) {
        gCompress.load(std::memory_order_relaxed)(ChainingWords(), Blocks, NumBlocks);
    }
    TMD4Family::TransformBlocks(Blocks, NumBlocks);
}

} // namespace lintervale
