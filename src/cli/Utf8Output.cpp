#include "cli/Utf8Output.h"

#include <cstdint>

namespace lintervale {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence at the start of Bytes, or 0 when it is none; then
// *Bad is how many bytes the replacement stands for (at least 1).
std::size_t ValidSequence(std::string_view bytes, std::size_t* bad) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        *bad = 1;
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= bytes.size() || byte(i) < (i == 1 ? low : 0x80) ||
            byte(i) > (i == 1 ? high : 0xBF)) {
            *bad = i;
            return 0;
        }
    }
    return length;
}

// Bytes that stand for themselves in both forms: printable ASCII but the JSON's quote and
// backslash. Runs of them are copied at once.
bool Plain(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
}

template <typename TAppendCharacter>
void AppendValid(std::string& out, std::string_view bytes, TAppendCharacter append) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t run = at;
        while (run < bytes.size() && Plain(static_cast<unsigned char>(bytes[run]))) {
            ++run;
        }
        if (run > at) {
            out.append(bytes.data() + at, run - at);
            at = run;
            continue;
        }
        std::size_t bad = 0;
        const std::size_t length = ValidSequence(bytes.substr(at), &bad);
        if (length == 0) {
            out += kReplacement;
            at += bad;
            continue;
        }
        append(out, bytes.substr(at, length));
        at += length;
    }
}

bool IsControl(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) {
        return lead < 0x20 || lead == 0x7F;
    }
    // U+0080 to U+009F.
    return character.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

} // namespace

void AppendPlainText(std::string& Out, std::string_view Bytes) {
    AppendValid(Out, Bytes, [](std::string& out, std::string_view character) {
        if (IsControl(character)) {
            out += ' ';
        } else {
            out += character;
        }
    });
}

void AppendJsonString(std::string& Out, std::string_view Bytes) {
    Out += '"';
    AppendValid(Out, Bytes, [](std::string& out, std::string_view character) {
        const auto c = static_cast<unsigned char>(character[0]);
        if (character.size() > 1 || (c >= 0x20 && c != '"' && c != '\\')) {
            out += character;
            return;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        }
    });
    Out += '"';
}

} // namespace lintervale
