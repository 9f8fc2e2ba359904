#include "magnet/MagnetParse.h"

#include <array>
#include <functional>
#include <limits>

namespace lintervale {

namespace {

constexpr std::string_view kScheme = "magnet:?";
constexpr std::string_view kBtih = "urn:btih:";
constexpr std::string_view kBtmh = "urn:btmh:1220";

char Lower(char C) {
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C + ('a' - 'A')) : C;
}

bool EqualNoCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) {
        return false;
    }
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (Lower(A[i]) != Lower(B[i])) {
            return false;
        }
    }
    return true;
}

bool StartsNoCase(std::string_view S, std::string_view Prefix) {
    return S.size() >= Prefix.size() && EqualNoCase(S.substr(0, Prefix.size()), Prefix);
}

constexpr std::array<signed char, 256> MakeHexValues() {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int d = 0; d < 10; ++d) {
        values['0' + d] = static_cast<signed char>(d);
    }
    for (int d = 0; d < 6; ++d) {
        values['a' + d] = values['A' + d] = static_cast<signed char>(10 + d);
    }
    return values;
}

constexpr std::array<signed char, 256> kHexValues = MakeHexValues();

int HexValue(char C) {
    return kHexValues[static_cast<unsigned char>(C)];
}

int Base32Value(char C) {
    const char lower = Lower(C);
    if (lower >= 'a' && lower <= 'z') {
        return lower - 'a';
    }
    return C >= '2' && C <= '7' ? C - '2' + 26 : -1;
}

// What a byte can start: nothing special, a separator of one byte, or (the lead bytes of the
// Unicode spaces) perhaps a longer one.
enum TByteClass : unsigned char { kPlain, kSeparator, kMaybeSpace };

constexpr std::array<TByteClass, 256> MakeByteClasses() {
    std::array<TByteClass, 256> classes{};
    for (int b = 0; b <= 0x20; ++b) {
        classes[b] = kSeparator;
    }
    for (const int b : {0x7F, int('"'), int('<'), int('>')}) {
        classes[b] = kSeparator;
    }
    for (const int b : {0xC2, 0xE1, 0xE2, 0xE3}) {
        classes[b] = kMaybeSpace;
    }
    return classes;
}

constexpr std::array<TByteClass, 256> kByteClasses = MakeByteClasses();

// The length of the separator that starts at Pos, or 0: ASCII blanks and control bytes, the
// characters that never stand unescaped in an address, and the Unicode spaces in UTF-8.
std::size_t SeparatorAt(std::string_view Text, std::size_t Pos) {
    const auto byte = static_cast<unsigned char>(Text[Pos]);
    if (kByteClasses[byte] != kMaybeSpace) {
        return kByteClasses[byte] == kSeparator ? 1 : 0;
    }
    const std::string_view rest = Text.substr(Pos);
    const auto at = [&](std::size_t I) {
        return I < rest.size() ? static_cast<unsigned char>(rest[I]) : 0;
    };
    switch (byte) {
    case 0xC2: // U+0085, U+00A0
        return at(1) == 0x85 || at(1) == 0xA0 ? 2 : 0;
    case 0xE1: // U+1680
        return at(1) == 0x9A && at(2) == 0x80 ? 3 : 0;
    case 0xE2: // U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F
        if (at(1) == 0x80) {
            const unsigned char last = at(2);
            return (last >= 0x80 && last <= 0x8A) || last == 0xA8 || last == 0xA9 || last == 0xAF
                       ? 3
                       : 0;
        }
        return at(1) == 0x81 && at(2) == 0x9F ? 3 : 0;
    case 0xE3: // U+3000
        return at(1) == 0x80 && at(2) == 0x80 ? 3 : 0;
    default:
        return 0;
    }
}

std::size_t FindNoCase(std::string_view S, std::string_view Needle) {
    for (std::size_t i = 0; i + Needle.size() <= S.size(); ++i) {
        if (Lower(S[i]) == Needle[0] && StartsNoCase(S.substr(i), Needle)) {
            return i;
        }
    }
    return std::string_view::npos;
}

// "xt", or "xt." followed by digits.
bool IsKey(std::string_view Key, std::string_view Name) {
    if (!StartsNoCase(Key, Name)) {
        return false;
    }
    const std::string_view suffix = Key.substr(Name.size());
    if (suffix.empty()) {
        return true;
    }
    if (suffix.size() < 2 || suffix[0] != '.') {
        return false;
    }
    return suffix.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

std::string LowerHex(std::string_view Digits) {
    std::string hex(Digits.size(), '\0');
    for (std::size_t i = 0; i < Digits.size(); ++i) {
        if (HexValue(Digits[i]) < 0) {
            return {};
        }
        hex[i] = Lower(Digits[i]);
    }
    return hex;
}

// 32 base32 characters are the 20 bytes of a SHA-1, written here as 40 hexadecimal digits.
std::string HexOfBase32(std::string_view Chars) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(40);
    unsigned bits = 0;
    int count = 0;
    for (const char c : Chars) {
        const int value = Base32Value(c);
        if (value < 0) {
            return {};
        }
        bits = (bits << 5) | static_cast<unsigned>(value);
        count += 5;
        while (count >= 4) {
            count -= 4;
            hex += digits[(bits >> count) & 0x0F];
        }
        bits &= (1u << count) - 1;
    }
    return hex;
}

std::optional<std::int64_t> WholeNumber(std::string_view Digits) {
    if (Digits.empty()) {
        return std::nullopt;
    }
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (const char c : Digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const int digit = c - '0';
        if (value > (max - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

// The trackers of a link, each kept once in the order first seen. An open-addressing table
// of indices keeps a link with very many trackers linear without a node per tracker.
class TTrackerList {
public:
    void Add(std::string Tracker) {
        if (Tracker.empty()) {
            return;
        }
        if ((m_Items.size() + 1) * 2 > m_Slots.size()) {
            Grow();
        }
        std::size_t slot = Find(Tracker);
        if (m_Slots[slot] != kFree) {
            return;
        }
        m_Slots[slot] = m_Items.size();
        m_Items.push_back(std::move(Tracker));
    }
    std::vector<std::string> Take() { return std::move(m_Items); }

private:
    static constexpr std::size_t kFree = std::numeric_limits<std::size_t>::max();

    std::size_t Find(std::string_view Tracker) const {
        const std::size_t mask = m_Slots.size() - 1;
        std::size_t slot = std::hash<std::string_view>()(Tracker) & mask;
        while (m_Slots[slot] != kFree && m_Items[m_Slots[slot]] != Tracker) {
            slot = (slot + 1) & mask;
        }
        return slot;
    }
    void Grow() {
        m_Slots.assign(m_Slots.empty() ? 16 : m_Slots.size() * 2, kFree);
        for (std::size_t i = 0; i < m_Items.size(); ++i) {
            m_Slots[Find(m_Items[i])] = i;
        }
    }

    std::vector<std::string> m_Items;
    std::vector<std::size_t> m_Slots;
};

} // namespace

std::string PercentDecode(std::string_view Value) {
    std::string decoded;
    decoded.reserve(Value.size());
    std::size_t i = 0;
    while (i < Value.size()) {
        // Copy the plain run at once, then handle the "%" or "+" that ends it.
        std::size_t special = i;
        while (special < Value.size() && Value[special] != '%' && Value[special] != '+') {
            ++special;
        }
        decoded.append(Value.data() + i, special - i);
        i = special;
        if (i == Value.size()) {
            break;
        }
        if (Value[i] == '+') {
            decoded += ' ';
            ++i;
        } else if (i + 2 < Value.size() && HexValue(Value[i + 1]) >= 0 &&
                   HexValue(Value[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(Value[i + 1]) * 16 + HexValue(Value[i + 2]));
            i += 3;
        } else {
            decoded += '%';
            ++i;
        }
    }
    return decoded;
}

std::string_view NextMagnetLink(std::string_view Text, std::size_t& Pos) {
    while (Pos < Text.size()) {
        if (const std::size_t separator = SeparatorAt(Text, Pos); separator > 0) {
            Pos += separator;
            continue;
        }
        const std::size_t start = Pos;
        while (Pos < Text.size() && SeparatorAt(Text, Pos) == 0) {
            ++Pos;
        }
        const std::string_view word = Text.substr(start, Pos - start);
        if (const std::size_t at = FindNoCase(word, kScheme); at != std::string_view::npos) {
            return word.substr(at);
        }
    }
    Pos = Text.size();
    return {};
}

std::optional<TMagnetLink> ParseMagnetLink(std::string_view Link) {
    if (!StartsNoCase(Link, kScheme)) {
        return std::nullopt;
    }
    TMagnetLink link;
    std::string btmh;
    bool named = false;
    TTrackerList trackers;
    TTrackerList peers;
    std::string_view query = Link.substr(kScheme.size());
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);

        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = pair.substr(0, equals);
        const std::string_view value = pair.substr(equals + 1);
        if (IsKey(key, "xt")) {
            const std::string urn = PercentDecode(value);
            if (link.Hash.empty() && StartsNoCase(urn, kBtih)) {
                const std::string_view digits = std::string_view(urn).substr(kBtih.size());
                link.Hash = digits.size() == 40   ? LowerHex(digits)
                            : digits.size() == 32 ? HexOfBase32(digits)
                                                  : std::string();
            } else if (btmh.empty() && StartsNoCase(urn, kBtmh) &&
                       urn.size() == kBtmh.size() + 64) {
                btmh = LowerHex(std::string_view(urn).substr(kBtmh.size()));
            }
        } else if (IsKey(key, "tr")) {
            trackers.Add(PercentDecode(value));
        } else if (EqualNoCase(key, "dn")) {
            // An empty name would make a row nothing can open or edit: it names nothing.
            if (!named && !value.empty()) {
                link.Name = PercentDecode(value);
                named = !link.Name.empty();
            }
        } else if (EqualNoCase(key, "x.pe")) {
            peers.Add(PercentDecode(value));
        } else if (EqualNoCase(key, "xl")) {
            if (!link.Length) {
                link.Length = WholeNumber(PercentDecode(value));
            }
        }
    }
    link.HashV2 = std::move(btmh);
    if (link.Hash.empty()) {
        link.Hash = link.HashV2;
    }
    if (link.Hash.empty()) {
        return std::nullopt;
    }
    if (!named) {
        link.Name = link.Hash;
    }
    link.Trackers = trackers.Take();
    link.Peers = peers.Take();
    return link;
}

} // namespace lintervale
