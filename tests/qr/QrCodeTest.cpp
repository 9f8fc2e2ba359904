#include "qr/QrCode.h"

#include "tests/qr/QrDecode.h"

#include <gtest/gtest.h>
#include <string>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

const std::string kLink = "magnet:?xt=urn:btih:dcba21db3f1ef7fabb0ab4a331cb9a852ac71374&dn=Tom%20%"
                          "26%20Jerry%20%231%20C%2B%2B%20=%20100%25%20%2Bmore&tr=http://"
                          "tracker.example/announce.php?passkey=a%2Bb%26uid=7%23x";

std::string Trackers(int Count) {
    std::string link = kLink;
    for (int i = 0; i < Count; ++i) {
        link += "&tr=udp://tracker" + std::to_string(i) + ".example.org:1337/announce";
    }
    return link;
}

TEST(EncodeQrCode, ZbarReadsTheTextBack) {
    struct Case {
        const char* what;
        std::string text;
        TQrLevel level;
        int scale;
    };
    const Case cases[] = {
        {"a short link", kLink, TQrLevel::H, 4},
        {"a link with ten trackers", Trackers(10), TQrLevel::H, 3},
        {"a link with forty trackers", Trackers(40), TQrLevel::M, 3},
        {"a NUL byte and high bytes", std::string("a\0b\xFF\x80 c", 7), TQrLevel::H, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<TQrCode> code = EncodeQrCode(c.text);
        ASSERT_TRUE(code);
        EXPECT_EQ(code->Level, c.level);
        EXPECT_EQ(code->Width, 17 + 4 * code->Version);
        ASSERT_EQ(code->Modules.size(), static_cast<std::size_t>(code->Width * code->Width));
        EXPECT_EQ(ReadQrCodes(GreyImageOf(*code, c.scale)), std::vector<std::string>{c.text});
    }
}

// In byte mode a version 40 code holds 1,273 bytes at H, 1,663 at Q, 2,331 at M and 2,953 at
// L: each step past a limit falls to the next level, and past the last to nothing.
TEST(EncodeQrCode, TheHighestLevelThatFits) {
    struct Case {
        std::size_t bytes;
        std::optional<TQrLevel> level;
    };
    const Case cases[] = {
        {1, TQrLevel::H},     {1273, TQrLevel::H},     {1274, TQrLevel::Q}, {1663, TQrLevel::Q},
        {1664, TQrLevel::M},  {2331, TQrLevel::M},     {2332, TQrLevel::L}, {2953, TQrLevel::L},
        {2954, std::nullopt}, {1 << 24, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        // Lower-case letters take byte mode.
        const std::optional<TQrCode> code = EncodeQrCode(std::string(c.bytes, 'q'));
        ASSERT_EQ(code.has_value(), c.level.has_value());
        if (code) {
            EXPECT_EQ(code->Level, *c.level);
        }
    }
    // Digits pack tighter: 7,089 of them still fit.
    const std::optional<TQrCode> digits = EncodeQrCode(std::string(7089, '7'));
    ASSERT_TRUE(digits);
    EXPECT_EQ(digits->Level, TQrLevel::L);
    EXPECT_EQ(digits->Version, 40);
    EXPECT_FALSE(EncodeQrCode(std::string(7090, '7')));
}

} // namespace
