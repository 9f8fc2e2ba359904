#include "digests/SHA1.h"
#include "digests/SHA256.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace lintervale;

namespace {

struct Vector {
    std::string message;
    const char* digest;
};

// FIPS 180 test messages, plus the lengths around the padding boundary.
std::vector<Vector> Sha1Vectors() {
    return {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {std::string(63, 'a'), "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
        {std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {std::string(65, 'a'), "11655326c708d70319be2610e8a57d9a5b959d3b"},
    };
}

std::string Sha1Hex(const std::string& message) {
    TSHA1 digest;
    digest.TransformString(message);
    digest.Complete();
    return digest.HashValue();
}

class Sha1Implementations : public ::testing::TestWithParam<TSHA1::TImplementation> {
protected:
    void SetUp() override {
        if (GetParam() == TSHA1::TImplementation::Accelerated && !TSHA1::AcceleratedAvailable()) {
            GTEST_SKIP() << "this processor has no SHA instructions";
        }
        TSHA1::SetImplementation(GetParam());
        ASSERT_EQ(TSHA1::Implementation(), GetParam());
    }
    void TearDown() override { TSHA1::SetImplementation(TSHA1::TImplementation::Accelerated); }
};

TEST_P(Sha1Implementations, GivesTheStandardDigests) {
    for (const Vector& v : Sha1Vectors()) {
        EXPECT_EQ(Sha1Hex(v.message), v.digest) << "length " << v.message.size();
    }
}

TEST_P(Sha1Implementations, PiecesOfAnySizeGiveTheSameDigest) {
    std::string message;
    for (int i = 0; i < 1000; ++i) {
        message += static_cast<char>(i * 7 + 3);
    }
    const std::string whole = Sha1Hex(message);
    for (const std::size_t piece : {1u, 3u, 63u, 64u, 65u, 128u, 999u}) {
        TSHA1 digest;
        for (std::size_t at = 0; at < message.size(); at += piece) {
            digest.TransformString(std::string_view(message).substr(at, piece));
        }
        digest.Complete();
        EXPECT_EQ(digest.HashValue(), whole) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(Both, Sha1Implementations,
                         ::testing::Values(TSHA1::TImplementation::Portable,
                                           TSHA1::TImplementation::Accelerated));

TEST(Sha1, BothCompressionsAgreeOnManyBlocks) {
    if (!Sha1AcceleratedSupported()) {
        GTEST_SKIP() << "this processor has no SHA instructions";
    }
    std::string blocks(64 * 37, '\0');
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i] = static_cast<char>((i * 131) ^ (i >> 3));
    }
    std::uint32_t portable[5] = {1, 2, 3, 4, 5};
    std::uint32_t accelerated[5] = {1, 2, 3, 4, 5};
    const auto* data = reinterpret_cast<const std::uint8_t*>(blocks.data());
    Sha1CompressPortable(portable, data, 37);
    Sha1CompressAccelerated(accelerated, data, 37);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(portable[i], accelerated[i]) << "word " << i;
    }
}

TEST(MessageDigest, StatesAndTheirErrors) {
    TSHA1 digest;
    EXPECT_FALSE(digest.Completed());
    EXPECT_THROW(
        {
            try {
                (void)digest.HashValue();
            } catch (const EDigestError& e) {
                EXPECT_STREQ(e.what(), "Message digest not complete.");
                throw;
            }
        },
        EDigestError);
    EXPECT_THROW((void)digest.HashValueBytes(), EDigestError);
    digest.Complete();
    EXPECT_EQ(digest.HashValue(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    for (auto step : {+[](TSHA1& d) { d.Complete(); }, +[](TSHA1& d) { d.TransformString("x"); }}) {
        try {
            step(digest);
            ADD_FAILURE() << "no error after Complete";
        } catch (const EDigestError& e) {
            EXPECT_STREQ(e.what(), "Message digest already complete.");
        }
    }
    EXPECT_EQ(digest.HashValue(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");

    digest.Clear();
    digest.TransformString("abc");
    digest.Complete();
    EXPECT_EQ(digest.HashValue(), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(MessageDigest, CountsWholeBlocksOnly) {
    TSHA1 digest;
    digest.TransformString(std::string(100, 'x'));
    EXPECT_EQ(digest.NumBytesDigested(), 64);
    digest.Complete();
    EXPECT_EQ(digest.NumBytesDigested(), 128);
}

TEST(MessageDigest, ArgumentChecksNameTheUnitAndLine) {
    TSHA1 digest;
    try {
        digest.Transform(nullptr, 3);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Transform: M not assigned. (MessageDigests, line ", 0), 0u) << text;
    }
    try {
        digest.TransformStream(nullptr);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_NE(std::string(e.what()).find("TransformStream: Stream not assigned."),
                  std::string::npos);
    }
    digest.Transform("abc", 0); // a zero count with an address adds nothing
    digest.Complete();
    EXPECT_EQ(digest.HashValue(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

TEST(MessageDigest, StreamsAreReadToTheEnd) {
    for (const std::size_t size : {0u, 1023u, 1024u, 1025u, 5000u}) {
        std::string message(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            message[i] = static_cast<char>(i % 251);
        }
        std::istringstream stream(message);
        TSHA1 digest;
        digest.TransformStream(&stream);
        digest.Complete();
        EXPECT_EQ(digest.HashValue(), Sha1Hex(message)) << size;
    }
}

} // namespace

namespace {

TEST(Sha256, GivesTheStandardDigests) {
    const Vector vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const Vector& v : vectors) {
        TSHA256 digest;
        // Fed in uneven pieces, which must not matter.
        for (std::size_t at = 0; at < v.message.size(); at += 77) {
            digest.TransformString(std::string_view(v.message).substr(at, 77));
        }
        digest.Complete();
        EXPECT_EQ(digest.HashValue(), v.digest) << "length " << v.message.size();
    }
    EXPECT_EQ(TSHA256::AsString(), "SHA-256");
    TSHA256 digest;
    EXPECT_EQ(digest.DigestSize(), 32);
}

} // namespace
