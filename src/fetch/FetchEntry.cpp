// The fetching module's one entry point, looked up by name when the module is loaded.

#include "fetch/ContentsFetch.h"
#include "fetch/FetchSession.h"

extern "C" __attribute__((visibility("default"))) lintervale::IContentsFetchSession*
LintervaleMakeFetchSession(int Version, const lintervale::TFetchSettings& Settings,
                           lintervale::TFetchHandler Handler) {
    if (Version != lintervale::kFetchInterfaceVersion) {
        return nullptr;
    }
    return new lintervale::TFetchSession(Settings, std::move(Handler));
}
