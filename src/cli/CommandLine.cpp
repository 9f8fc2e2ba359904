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

// A whole number of seconds from 1 to kMaxFetchSeconds, or 0.
int Seconds(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    const int seconds = std::stoi(text);
    return seconds <= kMaxFetchSeconds ? seconds : 0;
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
    // The options of --torrent, by the first that was given.
    std::string fetchOption;
    const bool torrent = std::find(Arguments.begin(), end, "--torrent") != end;
    for (auto word = Arguments.begin(); word != Arguments.end(); ++word) {
        if (word == end) {
            line.Operands.insert(line.Operands.end(), word + 1, Arguments.end());
            break;
        }
        if (*word == "--magnet" || *word == "--show" || *word == "--torrent") {
            const auto action = *word == "--magnet" ? TCommandLine::Magnet
                                : *word == "--show" ? TCommandLine::Show
                                                    : TCommandLine::Torrent;
            if (torrent && action != TCommandLine::Torrent) {
                return Failure(*word + " and --torrent cannot be given together");
            }
            if (line.Action != TCommandLine::Window && line.Action != action) {
                return Failure("--magnet and --show cannot be given together");
            }
            line.Action = action;
        } else if ((*word == "-o" && torrent) || *word == "--timeout") {
            if (word + 1 == end) {
                return Failure(*word + " needs a value");
            }
            const std::string option = *word++;
            fetchOption = fetchOption.empty() ? option : fetchOption;
            if (option == "-o") {
                line.OutputFolder = *word;
            } else if ((line.TimeoutSeconds = Seconds(*word)) == 0) {
                return Failure("bad value in '--timeout " + *word + "'");
            }
        } else if (word->rfind("--timeout=", 0) == 0) {
            fetchOption = fetchOption.empty() ? "--timeout" : fetchOption;
            if ((line.TimeoutSeconds = Seconds(word->substr(10))) == 0) {
                return Failure("bad value in '" + *word + "'");
            }
        } else if (*word == "--no-dht") {
            fetchOption = fetchOption.empty() ? *word : fetchOption;
            line.Dht = false;
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
    if (linkOptions && (line.Action == TCommandLine::Window || torrent)) {
        return Failure("the link options go with --magnet or --show");
    }
    if (!fetchOption.empty() && !torrent) {
        return Failure(fetchOption + " goes with --torrent");
    }
    if (line.Action == TCommandLine::Window) {
        return line;
    }
    if (torrent) {
        if (line.Operands.empty()) {
            return Failure("--torrent needs at least one link");
        }
        // Standard input is read to its end once.
        if (std::count(line.Operands.begin(), line.Operands.end(), "-") > 1) {
            return Failure("standard input (-) can be read only once");
        }
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
