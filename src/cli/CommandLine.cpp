#include "cli/CommandLine.h"

#include <algorithm>
#include <optional>

namespace lintervale {

namespace {

bool IsOption(const std::string& word) {
    return word == "-h" || (word.size() > 2 && word.compare(0, 2, "--") == 0);
}

// Reads one of the options of a link's contents into Contents: 1 when Word is one, -1 when
// it is one with a value that is no good, 0 when it is none.
int LinkOption(const std::string& word, TLinkContents& contents) {
    const auto value = [&word](std::string_view option) -> std::optional<std::string> {
        if (word.size() > option.size() && word.compare(0, option.size(), option) == 0) {
            return word.substr(option.size());
        }
        return std::nullopt;
    };
    if (word == "--no-name") {
        contents.Name = false;
    } else if (word == "--no-web-seeds") {
        contents.WebSeeds = false;
    } else if (word == "--exact-length") {
        contents.ExactLength = true;
    } else if (const auto trackers = value("--trackers=")) {
        if (*trackers == "all") {
            contents.Trackers = TLinkContents::TTrackers::All;
        } else if (*trackers == "first") {
            contents.Trackers = TLinkContents::TTrackers::First;
        } else if (*trackers == "none") {
            contents.Trackers = TLinkContents::TTrackers::None;
        } else {
            return -1;
        }
    } else if (const auto peer = value("--peer=")) {
        if (!IsPeerAddress(*peer)) {
            return -1;
        }
        contents.Peers.push_back(*peer);
    } else {
        return 0;
    }
    return 1;
}

TCommandLine Failure(std::string error) {
    TCommandLine line;
    line.Action = TCommandLine::UsageError;
    line.Error = std::move(error);
    return line;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments,
                              const TLinkContents& Links) {
    const auto end = std::find(Arguments.begin(), Arguments.end(), "--");
    for (auto word = Arguments.begin(); word != end; ++word) {
        if (*word == "--help" || *word == "-h") {
            return {TCommandLine::Help, {}, {}, false, {}};
        }
        if (*word == "--version") {
            return {TCommandLine::Version, {}, {}, false, {}};
        }
    }

    TCommandLine line;
    line.Contents = Links;
    bool linkOptions = false;
    for (auto word = Arguments.begin(); word != Arguments.end(); ++word) {
        if (word == end) {
            line.Operands.insert(line.Operands.end(), word + 1, Arguments.end());
            break;
        }
        if (*word == "--magnet" || *word == "--show") {
            const auto action = *word == "--magnet" ? TCommandLine::Magnet : TCommandLine::Show;
            if (line.Action != TCommandLine::Window && line.Action != action) {
                return Failure("--magnet and --show cannot be given together");
            }
            line.Action = action;
        } else if (*word == "--json") {
            line.Json = true;
        } else if (const int taken = LinkOption(*word, line.Contents); taken != 0) {
            if (taken < 0) {
                return Failure("bad value in '" + *word + "'");
            }
            linkOptions = true;
        } else if (IsOption(*word)) {
            return Failure("unknown option '" + *word + "'");
        } else {
            line.Operands.push_back(*word);
        }
    }
    if (line.Json && line.Action != TCommandLine::Show) {
        return Failure("--json goes with --show");
    }
    if (linkOptions && line.Action == TCommandLine::Window) {
        return Failure("the link options go with --magnet or --show");
    }
    if (line.Action == TCommandLine::Window) {
        return line;
    }
    const char* command = line.Action == TCommandLine::Magnet ? "--magnet" : "--show";
    if (line.Operands.empty()) {
        return Failure(std::string(command) + " needs at least one file");
    }
    // Standard input holds one torrent: a second "-" would find it used up.
    if (std::count(line.Operands.begin(), line.Operands.end(), "-") > 1) {
        return Failure("standard input (-) can be read only once");
    }
    std::replace(line.Operands.begin(), line.Operands.end(), std::string("-"),
                 std::string(kStandardInput));
    return line;
}

} // namespace lintervale
