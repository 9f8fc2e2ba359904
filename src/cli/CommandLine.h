#pragma once

// What the program's arguments ask for. Options are the words that begin with "--" (and -h);
// "--" ends them, so a file whose name begins with a dash can follow it. Single-dash words
// such as -hidden are the window's own and pass through as they are.

#include "magnet/MagnetLink.h"

#include <string>
#include <vector>

namespace lintervale {

struct TCommandLine {
    enum TAction { Window, Magnet, Show, Torrent, Help, Version, UsageError };

    TAction Action = Window;
    // Magnet and Show: the files, with "-" for standard input. Torrent: the links, with "-"
    // as it is (standard input, a link a line). Window: the arguments, in order, without the
    // "--" that ended the options.
    std::vector<std::string> Operands;
    // UsageError: what is wrong, as one line without the program's name.
    std::string Error;
    // Show: as JSON instead of text ("--json").
    bool Json = false;
    // Magnet and Show: what the links hold ("--no-name", "--trackers=all|first|none",
    // "--no-web-seeds", "--exact-length", "--peer=HOST:PORT" as often as wanted).
    TLinkContents Contents;
    // Torrent: where the files go ("-o DIR"), how long each link may take ("--timeout
    // SECONDS", 1 to kMaxFetchSeconds) and whether the DHT is asked ("--no-dht").
    std::string OutputFolder = ".";
    int TimeoutSeconds = 120;
    bool Dht = true;
};

inline constexpr int kMaxFetchSeconds = 24 * 60 * 60;

// "--help" and "--version" win wherever they stand before "--", the first of them given; an
// unknown option is an error, never a file name. "-o" is an option only beside "--torrent". The
// link options change Links (the user's settings) into the contents of the line.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments,
                              const TLinkContents& Links = {});

// The name "-" stands for in the magnet command's files.
inline constexpr const char* kStandardInput = "/dev/stdin";

} // namespace lintervale
