#include "fetch/FetchModule.h"

#include "fetch/PrivateModule.h"

#include <dlfcn.h>
#include <mutex>
#include <optional>

namespace lintervale {

namespace {

struct TLoadedModule {
    TMakeFetchSession Make = nullptr;
    std::string Failure; // why it did not load, as verbatim text
};

TLoadedModule LoadModule(const std::string& path) {
    TLoadedModule module;
    void* handle = nullptr;
    if (path.empty()) {
        TModuleSearch search;
        handle = OpenPrivateModule(kFetchModuleName, search);
        if (handle == nullptr) {
            module.Failure = "looked in " + search.Folder + search.Errors;
            return module;
        }
    } else {
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            module.Failure = ::dlerror();
            return module;
        }
    }
    module.Make = reinterpret_cast<TMakeFetchSession>(::dlsym(handle, kMakeFetchSessionSymbol));
    if (module.Make == nullptr) {
        module.Failure = ::dlerror();
    }
    return module;
}

} // namespace

std::unique_ptr<IContentsFetchSession> MakeFetchSession(const TFetchSettings& Settings,
                                                        TFetchHandler Handler, TMessage& Error,
                                                        const std::string& ModulePath) {
    static std::mutex mutex;
    static std::optional<TLoadedModule> loaded;
    TMakeFetchSession make = nullptr;
    {
        const std::lock_guard lock(mutex);
        if (!loaded) {
            loaded = LoadModule(ModulePath);
        }
        if (loaded->Make == nullptr) {
            Error = TMessage(Translatable("Message", "The fetching library cannot be loaded: %1"),
                             {loaded->Failure});
            return nullptr;
        }
        make = loaded->Make;
    }
    std::unique_ptr<IContentsFetchSession> session(
        make(kFetchInterfaceVersion, Settings, std::move(Handler)));
    if (!session) {
        Error = TMessage(Translatable(
            "Message", "The fetching library belongs to another version of the program."));
    }
    return session;
}

} // namespace lintervale
