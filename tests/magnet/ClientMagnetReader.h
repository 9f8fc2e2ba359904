#pragma once

// Reads a magnet link back the way a BitTorrent client does (libtorrent's reader, and any
// URL parser): the query starts after "magnet:?" and ends at the first "#" (the rest is a
// fragment); it splits at every "&"; a parameter's name runs to its first "="; a value is
// percent-decoded with "+" read as a space, and a "%" without two hexadecimal digits after it
// makes the link unreadable. Used to check that every name and tracker comes back whole.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale::testing {

struct TClientMagnet {
    std::vector<std::string> Topics;   // every "xt" value
    std::vector<std::string> Names;    // every "dn" value
    std::vector<std::string> Trackers; // every "tr" value, in order
    std::vector<std::string> Others;   // the names of any other parameters
};

inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

inline std::optional<std::string> DecodeQueryValue(std::string_view Value) {
    std::string decoded;
    for (std::size_t i = 0; i < Value.size(); ++i) {
        if (Value[i] == '+') {
            decoded += ' ';
        } else if (Value[i] == '%') {
            if (i + 2 >= Value.size()) {
                return std::nullopt;
            }
            const int high = HexDigitValue(Value[i + 1]);
            const int low = HexDigitValue(Value[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += Value[i];
        }
    }
    return decoded;
}

inline std::optional<TClientMagnet> ReadMagnetAsClient(std::string_view Link) {
    constexpr std::string_view scheme = "magnet:?";
    if (!Link.starts_with(scheme)) {
        return std::nullopt;
    }
    std::string_view query = Link.substr(scheme.size());
    query = query.substr(0, query.find('#'));
    TClientMagnet magnet;
    while (true) {
        const std::size_t end = query.find('&');
        const std::string_view parameter = query.substr(0, end);
        const std::size_t equals = parameter.find('=');
        const std::string_view name = parameter.substr(0, equals);
        const std::optional<std::string> value = DecodeQueryValue(
            equals == std::string_view::npos ? std::string_view() : parameter.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        if (name == "xt") {
            magnet.Topics.push_back(*value);
        } else if (name == "dn") {
            magnet.Names.push_back(*value);
        } else if (name == "tr") {
            magnet.Trackers.push_back(*value);
        } else {
            magnet.Others.emplace_back(name);
        }
        if (end == std::string_view::npos) {
            break;
        }
        query.remove_prefix(end + 1);
    }
    return magnet;
}

} // namespace lintervale::testing
