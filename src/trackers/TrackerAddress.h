#pragma once

// Whether a line is a tracker address that the tracker cell can carry as one tracker: the one
// check behind the tracker editor's Save and the fetch of trackers.
//
// A tracker address is valid UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF, no
// byte 0xC0, 0xC1 or 0xF5 to 0xFF) of at most kMaxTrackerBytes bytes, holds no double quote
// and no "|" (the cell's own characters: a tracker holding one reads back as several), no
// space and no control character (0x00 to 0x20, 0x7F), and starts with a scheme (a letter,
// then letters, digits, "+", "-" or ".") followed by "://" and at least one more character.

#include <string_view>

namespace lintervale {

enum class TTrackerFault {
    None,
    Empty,
    TooLong,       // more than kMaxTrackerBytes bytes
    NotUtf8,       // not valid UTF-8
    CellCharacter, // a double quote or a "|"
    Blank,         // a space or a control character
    NoScheme,      // no "scheme://" with something after it
};

TTrackerFault CheckTrackerAddress(std::string_view Line);

// Whether Text is valid UTF-8, as above.
bool IsValidUtf8(std::string_view Text);

} // namespace lintervale
