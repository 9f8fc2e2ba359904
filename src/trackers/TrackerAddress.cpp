#include "trackers/TrackerAddress.h"

#include "trackers/TrackerLimits.h"

namespace lintervale {

namespace {

bool IsAsciiLetter(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}

bool IsSchemeCharacter(char C) {
    return IsAsciiLetter(C) || (C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.';
}

bool HasScheme(std::string_view Line) {
    const std::size_t colon = Line.find("://");
    if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(Line[0]) ||
        colon + 3 == Line.size()) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        if (!IsSchemeCharacter(Line[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view Text) {
    std::size_t i = 0;
    while (i < Text.size()) {
        const auto lead = static_cast<unsigned char>(Text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence, and the range its second byte must fall in so that the
        // form is the shortest one, no surrogate and no code point past U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (Text.size() - i < length) {
            return false;
        }
        const auto second = static_cast<unsigned char>(Text[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            const auto next = static_cast<unsigned char>(Text[i + k]);
            if (next < 0x80 || next > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

TTrackerFault CheckTrackerAddress(std::string_view Line) {
    if (Line.empty()) {
        return TTrackerFault::Empty;
    }
    if (Line.size() > kMaxTrackerBytes) {
        return TTrackerFault::TooLong;
    }
    if (!IsValidUtf8(Line)) {
        return TTrackerFault::NotUtf8;
    }
    if (Line.find_first_of("\"|") != std::string_view::npos) {
        return TTrackerFault::CellCharacter;
    }
    for (const char c : Line) {
        const auto code = static_cast<unsigned char>(c);
        if (code <= 0x20 || code == 0x7F) {
            return TTrackerFault::Blank;
        }
    }
    return HasScheme(Line) ? TTrackerFault::None : TTrackerFault::NoScheme;
}

} // namespace lintervale
