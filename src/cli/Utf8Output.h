#pragma once

// Metainfo text on its way out to a terminal or a JSON reader. A torrent's strings are bytes
// that need not be UTF-8: a byte sequence that is no UTF-8 becomes U+FFFD, one for each
// maximal part of a sequence that could have been valid (as the Unicode standard recommends),
// so the output is always valid UTF-8.

#include <string>
#include <string_view>

namespace lintervale {

// Text for people: control characters (C0, DEL and C1), which could move the cursor or
// change a terminal's state, become spaces.
void AppendPlainText(std::string& Out, std::string_view Bytes);

// A JSON string with its quotes: '"', '\\' and control characters escaped.
void AppendJsonString(std::string& Out, std::string_view Bytes);

} // namespace lintervale
