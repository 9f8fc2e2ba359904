#include "fetch/PrivateModule.h"

#include <dlfcn.h>
#include <unistd.h>

// The private folder, relative to the program's: set by the build from the install folders.
#ifndef LINTERVALE_PRIVATE_LIBRARY_DIR
#define LINTERVALE_PRIVATE_LIBRARY_DIR "."
#endif

namespace lintervale {

std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return ".";
    }
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

void* OpenPrivateModule(const std::string& FileName, TModuleSearch& Search) {
    const std::string folder = ProgramFolder();
    Search.Folder = folder + "/" LINTERVALE_PRIVATE_LIBRARY_DIR;
    Search.Errors.clear();
    for (const std::string& dir : {Search.Folder, folder}) {
        const std::string library = dir + "/" + FileName;
        if (::access(library.c_str(), F_OK) != 0) {
            continue;
        }
        if (void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return handle;
        }
        Search.Errors += std::string("\n  ") + ::dlerror();
    }
    return nullptr;
}

} // namespace lintervale
