// SHA-1 block compression with the x86 SHA extensions. Only the compression itself is built
// for those instructions (a target attribute), so the CPUID check beside it runs on any
// processor; callers reach the compression only after Sha1AcceleratedSupported().

#include "digests/SHA1.h"

#if defined(__x86_64__) || defined(__i386__)

#include <cpuid.h>
#include <immintrin.h>

namespace lintervale {

// Asked of CPUID directly: both g++ and clang++ know these bits, not all of them know "sha"
// as a __builtin_cpu_supports feature.
bool Sha1AcceleratedSupported() {
    static const bool supported = [] {
        unsigned int a = 0, b = 0, c = 0, d = 0;
        if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_SSE4_1) == 0 || (c & bit_SSSE3) == 0) {
            return false;
        }
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_SHA) != 0;
    }();
    return supported;
}

// Four rounds of group K. The message schedule runs three groups ahead: msg1 at K, the XOR
// at K + 1, msg2 at K + 2 produce the words of group K + 3.
#define SHA1_GROUP(K)                                                                              \
    do {                                                                                           \
        if constexpr ((K) == 0) {                                                                  \
            e = _mm_add_epi32(e, msg[0]);                                                          \
        } else {                                                                                   \
            e = _mm_sha1nexte_epu32(saved, msg[(K) % 4]);                                          \
        }                                                                                          \
        saved = abcd;                                                                              \
        if constexpr ((K) >= 3 && (K) <= 18) {                                                     \
            msg[((K) + 1) % 4] = _mm_sha1msg2_epu32(msg[((K) + 1) % 4], msg[(K) % 4]);             \
        }                                                                                          \
        abcd = _mm_sha1rnds4_epu32(abcd, e, (K) / 5);                                              \
        if constexpr ((K) >= 1 && (K) <= 16) {                                                     \
            msg[((K) + 3) % 4] = _mm_sha1msg1_epu32(msg[((K) + 3) % 4], msg[(K) % 4]);             \
        }                                                                                          \
        if constexpr ((K) >= 2 && (K) <= 17) {                                                     \
            msg[((K) + 2) % 4] = _mm_xor_si128(msg[((K) + 2) % 4], msg[(K) % 4]);                  \
        }                                                                                          \
    } while (false)

__attribute__((target("sha,sse4.1,ssse3"))) void
Sha1CompressAccelerated(std::uint32_t State[5], const std::uint8_t* Blocks, std::size_t NumBlocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State)), 0x1B);
    __m128i eStart = _mm_set_epi32(static_cast<int>(State[4]), 0, 0, 0);

    for (std::size_t block = 0; block < NumBlocks; ++block, Blocks += 64) {
        // Streaming from memory, the loads would stall the rounds: fetch well ahead.
        _mm_prefetch(reinterpret_cast<const char*>(Blocks) + 512, _MM_HINT_T0);
        const __m128i abcdSave = abcd;
        const __m128i eSave = eStart;
        __m128i msg[4];
        for (int i = 0; i < 4; ++i) {
            msg[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(Blocks + 16 * i)), byteSwap);
        }
        __m128i e = eStart;
        __m128i saved;
        SHA1_GROUP(0);
        SHA1_GROUP(1);
        SHA1_GROUP(2);
        SHA1_GROUP(3);
        SHA1_GROUP(4);
        SHA1_GROUP(5);
        SHA1_GROUP(6);
        SHA1_GROUP(7);
        SHA1_GROUP(8);
        SHA1_GROUP(9);
        SHA1_GROUP(10);
        SHA1_GROUP(11);
        SHA1_GROUP(12);
        SHA1_GROUP(13);
        SHA1_GROUP(14);
        SHA1_GROUP(15);
        SHA1_GROUP(16);
        SHA1_GROUP(17);
        SHA1_GROUP(18);
        SHA1_GROUP(19);
        eStart = _mm_sha1nexte_epu32(saved, eSave);
        abcd = _mm_add_epi32(abcd, abcdSave);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(State), _mm_shuffle_epi32(abcd, 0x1B));
    State[4] = static_cast<std::uint32_t>(_mm_extract_epi32(eStart, 3));
}

#undef SHA1_GROUP

} // namespace lintervale

#else

namespace lintervale {

bool Sha1AcceleratedSupported() {
    return false;
}

void Sha1CompressAccelerated(std::uint32_t State[5], const std::uint8_t* Blocks,
                             std::size_t NumBlocks) {
    Sha1CompressPortable(State, Blocks, NumBlocks);
}

} // namespace lintervale

#endif
