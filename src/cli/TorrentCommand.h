#pragma once

// `lintervale --torrent`: the .torrent of each magnet link, its contents fetched from peers.

#include "fetch/ContentsFetch.h"
#include "messages/Message.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lintervale {

struct TCommandLine;

// Makes the fetching session (fetch/FetchModule.h's MakeFetchSession by default).
using TFetchSessionMaker = std::function<std::unique_ptr<IContentsFetchSession>(
    const TFetchSettings& Settings, TFetchHandler Handler, TMessage& Error)>;

// Fetches the contents of Line's links (a link a line from In for "-"), several at a time,
// and writes each as a new file into Line's folder (cli/NewFile.h: never over a file). The
// paths written go to Out in the order of the links; a link that gives no file is named on Err
// with the reason, in that order too. Returns 0 only when every link gave a file and every
// line reached Out, 1 otherwise, and 3 when the fetching module cannot be loaded.
int RunTorrentCommand(const TCommandLine& Line, std::FILE* In, std::FILE* Out, std::FILE* Err,
                      const TFetchSessionMaker& MakeSession = {});

} // namespace lintervale
