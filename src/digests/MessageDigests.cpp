#include "digests/MessageDigests.h"

#include <cstdio>
#include <cstring>

namespace lintervale {

void DigestAssertionFailed(const char* Message, int Line) {
    char text[256];
    std::snprintf(text, sizeof text, "%s (%s, line %d)", Message, "MessageDigests", Line);
    throw EAssertionFailed(text);
}

TMessageDigest::TMessageDigest(std::int32_t BlockSize, std::int32_t DigestSize)
    : FBlockSize(BlockSize), FDigestSize(DigestSize) {
    if (BlockSize <= 0) {
        DigestAssertionFailed("TMessageDigest.CreateInternal: BlockSize <= 0.", __LINE__);
    }
    if (DigestSize <= 0) {
        DigestAssertionFailed("TMessageDigest.CreateInternal: DigestSize <= 0.", __LINE__);
    }
}

TMessageDigest::~TMessageDigest() = default;

void TMessageDigest::Clear() {
    if (!PLastBlock) {
        PLastBlock = std::make_unique<std::uint8_t[]>(FBlockSize);
    }
    if (!PDigest) {
        PDigest = std::make_unique<std::uint8_t[]>(FDigestSize);
    }
    std::memset(PLastBlock.get(), 0, FBlockSize);
    std::memset(PDigest.get(), 0, FDigestSize);
    NumLastBlockBytes = 0;
    FBlocksDigested = 0;
    FCompleted = false;
}

void TMessageDigest::TransformBlocks(const std::uint8_t*, std::size_t NumBlocks) {
    FBlocksDigested += static_cast<std::int64_t>(NumBlocks);
}

void TMessageDigest::Transform(const void* M, std::size_t NumBytes) {
    if (FCompleted) {
        throw EDigestError("Message digest already complete.");
    }
    if (M == nullptr) {
        DigestAssertionFailed("Transform: M not assigned.", __LINE__);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(M);
    const auto blockSize = static_cast<std::size_t>(FBlockSize);
    if (NumLastBlockBytes > 0) {
        const std::size_t room = blockSize - static_cast<std::size_t>(NumLastBlockBytes);
        if (NumBytes < room) {
            std::memcpy(PLastBlock.get() + NumLastBlockBytes, bytes, NumBytes);
            NumLastBlockBytes += static_cast<std::int32_t>(NumBytes);
            return;
        }
        std::memcpy(PLastBlock.get() + NumLastBlockBytes, bytes, room);
        TransformBlocks(PLastBlock.get(), 1);
        bytes += room;
        NumBytes -= room;
    }
    // Whole blocks are digested in place, straight from the caller's memory.
    TransformBlocks(bytes, NumBytes / blockSize);
    const std::size_t rest = NumBytes % blockSize;
    std::memcpy(PLastBlock.get(), bytes + (NumBytes - rest), rest);
    NumLastBlockBytes = static_cast<std::int32_t>(rest);
}

void TMessageDigest::TransformStream(std::istream* Stream) {
    if (Stream == nullptr) {
        DigestAssertionFailed("TransformStream: Stream not assigned.", __LINE__);
    }
    char buffer[1024];
    std::streamsize got = 0;
    do {
        Stream->read(buffer, sizeof buffer);
        got = Stream->gcount();
        Transform(buffer, static_cast<std::size_t>(got));
    } while (got == static_cast<std::streamsize>(sizeof buffer));
}

void TMessageDigest::TransformString(std::string_view S) {
    // The empty string is the empty message: there is nothing to address, but nothing to add.
    static const char empty = 0;
    Transform(S.empty() ? &empty : S.data(), S.size());
}

void TMessageDigest::Complete() {
    FCompleted = true;
}

std::string TMessageDigest::HashValue() const {
    static constexpr char digits[] = "0123456789abcdef";
    const std::uint8_t* digest = HashValueBytes();
    std::string text(static_cast<std::size_t>(FDigestSize) * 2, '0');
    for (std::int32_t i = 0; i < FDigestSize; ++i) {
        text[2 * i] = digits[digest[i] >> 4];
        text[2 * i + 1] = digits[digest[i] & 0x0F];
    }
    return text;
}

const std::uint8_t* TMessageDigest::HashValueBytes() const {
    if (!FCompleted) {
        throw EDigestError("Message digest not complete.");
    }
    return PDigest.get();
}

TMD4Family::TMD4Family(std::int32_t BlockSize, std::int32_t DigestSize,
                       const void* InitialChainingValues, bool IsBigEndian)
    : TMessageDigest(BlockSize, DigestSize), FIsBigEndian(IsBigEndian) {
    if (InitialChainingValues == nullptr) {
        DigestAssertionFailed("TMD4Family.InitializeChainingValues: InitialChainingValues = nil.",
                              __LINE__);
    }
    PInitialChainingValues = std::make_unique<std::uint8_t[]>(DigestSize);
    std::memcpy(PInitialChainingValues.get(), InitialChainingValues, DigestSize);
}

TMD4Family::~TMD4Family() = default;

void TMD4Family::Clear() {
    TMessageDigest::Clear();
    if (!PChainingVars) {
        PChainingVars = std::make_unique<std::uint8_t[]>(FDigestSize);
    }
    std::memcpy(PChainingVars.get(), PInitialChainingValues.get(), FDigestSize);
}

void TMD4Family::Complete() {
    if (FCompleted) {
        throw EDigestError("Message digest already complete.");
    }
    const std::uint64_t bits =
        (static_cast<std::uint64_t>(FBlocksDigested) * static_cast<std::uint64_t>(FBlockSize) +
         static_cast<std::uint64_t>(NumLastBlockBytes)) *
        8;
    std::uint8_t* block = PLastBlock.get();
    block[NumLastBlockBytes++] = 0x80;
    const std::int32_t rest = FBlockSize - NumLastBlockBytes;
    if (rest < 8) {
        std::memset(block + NumLastBlockBytes, 0, rest);
        TransformBlocks(block, 1);
        std::memset(block, 0, FBlockSize - 8);
    } else {
        std::memset(block + NumLastBlockBytes, 0, rest - 8);
    }
    std::uint8_t* length = block + FBlockSize - 8;
    for (int i = 0; i < 8; ++i) {
        const int shift = FIsBigEndian ? 8 * (7 - i) : 8 * i;
        length[i] = static_cast<std::uint8_t>(bits >> shift);
    }
    TransformBlocks(block, 1);
    std::uint8_t* digest = PDigest.get();
    std::memcpy(digest, PChainingVars.get(), FDigestSize);
    if (FIsBigEndian) {
        for (std::int32_t w = 0; w + 4 <= FDigestSize; w += 4) {
            std::swap(digest[w], digest[w + 3]);
            std::swap(digest[w + 1], digest[w + 2]);
        }
    }
    TMessageDigest::Complete();
}

} // namespace lintervale
