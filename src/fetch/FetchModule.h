#pragma once

// Makes fetching sessions from the module that holds libtorrent, liblintervale_fetch.so. The
// module is loaded on the first call, once per process, and stays loaded: a program that
// never fetches never loads libtorrent.

#include "fetch/ContentsFetch.h"
#include "messages/Message.h"

#include <memory>
#include <string>

namespace lintervale {

inline constexpr const char* kFetchModuleName = "liblintervale_fetch.so";

// A new session, or nullptr with Error saying why: the module is missing, does not load, or
// comes from another build. ModulePath names the module's file; empty, it is looked for
// where the program's private libraries are (fetch/PrivateModule.h). The first call's place
// is the one loaded: later calls get sessions from the same module.
std::unique_ptr<IContentsFetchSession> MakeFetchSession(const TFetchSettings& Settings,
                                                        TFetchHandler Handler, TMessage& Error,
                                                        const std::string& ModulePath = {});

} // namespace lintervale
