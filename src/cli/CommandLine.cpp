#include "cli/CommandLine.h"

#include <algorithm>

namespace lintervale {

namespace {

bool IsOption(const std::string& word) {
    return word == "-h" || (word.size() > 2 && word.compare(0, 2, "--") == 0);
}

TCommandLine Failure(std::string error) {
    TCommandLine line;
    line.Action = TCommandLine::UsageError;
    line.Error = std::move(error);
    return line;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
    const auto end = std::find(Arguments.begin(), Arguments.end(), "--");
    for (auto word = Arguments.begin(); word != end; ++word) {
        if (*word == "--help" || *word == "-h") {
            return {TCommandLine::Help, {}, {}, false};
        }
        if (*word == "--version") {
            return {TCommandLine::Version, {}, {}, false};
        }
    }

    TCommandLine line;
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
        } else if (IsOption(*word)) {
            return Failure("unknown option '" + *word + "'");
        } else {
            line.Operands.push_back(*word);
        }
    }
    if (line.Json && line.Action != TCommandLine::Show) {
        return Failure("--json goes with --show");
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
