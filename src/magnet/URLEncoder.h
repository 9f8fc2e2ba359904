#pragma once

#include <string>
#include <string_view>

namespace lintervale {

// Makes a text fit to stand as one value of a magnet link. Every byte outside the kept set
// (letters, digits and ! $ ' ( ) * , - . / : ; = ? @) is written as "%XX" with uppercase
// digits. The other separators of a URL stay, so a tracker address keeps its readable shape,
// but "&", "#" and "+" become %26, %23 and %2B: a client reading the link splits it at "&",
// ends it at "#" and reads "+" as a space, so none of them may stand for itself inside a
// value. A space becomes %20, and each byte of a UTF-8 character is escaped on its own.
std::string URLEncode(std::string_view S);

} // namespace lintervale
