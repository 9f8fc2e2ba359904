#pragma once

// The window's run: the application, the one running copy per list, the window, and the
// hand-offs of later copies, until the window closes. The shipped program runs it as it is
// (entry/WindowMain.cpp); the tests' program and the benchmark hook into it.

#include "widgets/MainForm.h"

#include <functional>

namespace lintervale {

// Where the window keeps the list, the options, and which program file it is.
MainFormPaths DefaultPaths();

struct WindowHooks {
    // Boxes are answered at once with their default, their texts on stderr; with HoldBoxes
    // each stays up, its event loop running, until a line comes on standard input.
    bool AnswerBoxes = false;
    bool HoldBoxes = false;
    // The window is made and has not yet taken the command line's files.
    std::function<void(MainForm&)> Started;
    // The window is shown and serves later copies from now on; false ends the run (exit 2).
    std::function<bool(MainForm&)> Shown;
};

int RunWindow(int argc, char** argv, const WindowHooks& Hooks);

} // namespace lintervale
