#pragma once

// Block-oriented message digests.
//
// TMessageDigest takes input of any length in any number of pieces, cuts it into blocks and
// hands whole blocks to the concrete algorithm; pending bytes of a partial block are the only
// ones copied. TMD4Family adds the chaining values, the 0x80 padding and the bit length in
// the last 8 bytes. Calling order: construct; Transform/TransformString/TransformStream;
// Complete; HashValue/HashValueBytes as often as wanted; Clear starts a new message.
//
// Input or Complete after Complete raises EDigestError "Message digest already complete.";
// a result before Complete raises EDigestError "Message digest not complete.". Argument
// checks raise EAssertionFailed with "message (MessageDigests, line N)".

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintervale {

// The 32-bit word that the four bytes at P hold, most significant byte first (how SHA-1 and
// SHA-256 read their message blocks).
inline std::uint32_t ReadBigEndian32(const std::uint8_t* P) {
    return (std::uint32_t{P[0]} << 24) | (std::uint32_t{P[1]} << 16) | (std::uint32_t{P[2]} << 8) |
           std::uint32_t{P[3]};
}

class EDigestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EAssertionFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class TMessageDigest {
public:
    virtual ~TMessageDigest();
    TMessageDigest(const TMessageDigest&) = delete;
    TMessageDigest& operator=(const TMessageDigest&) = delete;

    void Transform(const void* M, std::size_t NumBytes);
    void TransformStream(std::istream* Stream);
    void TransformString(std::string_view S);
    virtual void Complete();
    virtual void Clear();

    // The digest as lowercase hexadecimal text.
    std::string HashValue() const;
    // The digest itself, DigestSize bytes owned by this object.
    const std::uint8_t* HashValueBytes() const;
    std::int64_t NumBytesDigested() const { return FBlocksDigested * FBlockSize; }

    std::int32_t BlockSize() const { return FBlockSize; }
    std::int32_t DigestSize() const { return FDigestSize; }
    std::int64_t BlocksDigested() const { return FBlocksDigested; }
    bool Completed() const { return FCompleted; }

protected:
    // Runs no Clear: a constructor cannot reach the derived class's Clear, so each concrete
    // class ends its own construction with Clear().
    TMessageDigest(std::int32_t BlockSize, std::int32_t DigestSize);

    // Consumes NumBlocks whole blocks at Blocks; overriders call this to keep the count.
    virtual void TransformBlocks(const std::uint8_t* Blocks, std::size_t NumBlocks);

    std::unique_ptr<std::uint8_t[]> PDigest;
    std::unique_ptr<std::uint8_t[]> PLastBlock;
    std::int32_t NumLastBlockBytes = 0;
    std::int32_t FBlockSize;
    std::int32_t FDigestSize;
    std::int64_t FBlocksDigested = 0;
    bool FCompleted = false;
};

class TMD4Family : public TMessageDigest {
public:
    ~TMD4Family() override;
    void Complete() override;
    void Clear() override;

protected:
    TMD4Family(std::int32_t BlockSize, std::int32_t DigestSize, const void* InitialChainingValues,
               bool IsBigEndian);

    // Chaining values as 32-bit words in native order.
    std::uint32_t* ChainingWords() { return reinterpret_cast<std::uint32_t*>(PChainingVars.get()); }

    std::unique_ptr<std::uint8_t[]> PInitialChainingValues;
    std::unique_ptr<std::uint8_t[]> PChainingVars;
    bool FIsBigEndian;
};

// Raises EAssertionFailed with the message, the unit name and the line.
[[noreturn]] void DigestAssertionFailed(const char* Message, int Line);

} // namespace lintervale
