#pragma once

// The program's private libraries (the window, the fetching module) live in a folder of their
// own under the library folder, and are found from the program file's own place, so that an
// installed tree works under any prefix and from a staging root alike. The build tree keeps
// them beside the program.

#include <string>

namespace lintervale {

// The folder of the running program's file ("." when it cannot be told).
std::string ProgramFolder();

struct TModuleSearch {
    // The installed folder that was looked in.
    std::string Folder;
    // What the loader said of each file found but not loaded, each as "\n  " and its words.
    std::string Errors;
};

// Loads FileName ("liblintervale_window.so") from the installed folder, or else from the
// program's folder, with its symbols kept to itself. nullptr when neither holds a file that
// loads; Search says where it looked and why it failed.
void* OpenPrivateModule(const std::string& FileName, TModuleSearch& Search);

} // namespace lintervale
