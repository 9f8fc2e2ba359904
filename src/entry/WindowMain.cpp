// The window's side of the program, in a library of its own so that the headless command
// starts without loading Qt. main() loads it and calls LintervaleRunWindow.

#include "entry/WindowRun.h"

extern "C" __attribute__((visibility("default"))) int LintervaleRunWindow(int argc, char** argv) {
    return lintervale::RunWindow(argc, argv, {});
}
