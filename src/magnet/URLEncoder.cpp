#include "magnet/URLEncoder.h"

#include <array>

namespace lintervale {

namespace {

constexpr std::array<bool, 256> MakeKeptSet() {
    std::array<bool, 256> kept{};
    // "&", "#" and "+" would end a value of the link, start its fragment or read as a space.
    for (const char c : std::string_view("!$'()*,-./:;=?@")) {
        kept[static_cast<unsigned char>(c)] = true;
    }
    for (int c = '0'; c <= '9'; ++c) {
        kept[c] = true;
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        kept[c] = true;
        kept[c + ('a' - 'A')] = true;
    }
    return kept;
}

constexpr std::array<bool, 256> kKept = MakeKeptSet();

} // namespace

std::string URLEncode(std::string_view S) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(S.size() * 3);
    for (const char ch : S) {
        const auto byte = static_cast<unsigned char>(ch);
        if (kKept[byte]) {
            result += ch;
        } else {
            result += '%';
            result += digits[byte >> 4];
            result += digits[byte & 0x0F];
        }
    }
    return result;
}

} // namespace lintervale
