#pragma once

#include <string>
#include <string_view>

namespace lintervale {

// Percent-encodes every byte outside the kept set (letters, digits and ! # $ & ' ( ) * + , - . /
// : ; = ? @) as "%XX" with uppercase digits. The separators of a URL stay as they are, so a
// tracker address keeps its shape; a space becomes %20, and each byte of a UTF-8 character is
// escaped on its own.
std::string URLEncode(std::string_view S);

} // namespace lintervale
