// The window as the program runs it, for the tests that start it as a process: its boxes are
// answered at once with their default and their texts go to stderr; with
// LINTERVALE_HOLD_DIALOGS set, each box stays up until a line comes on standard input.

#include "entry/WindowRun.h"

#include <QtGlobal>

int main(int argc, char** argv) {
    lintervale::WindowHooks hooks;
    hooks.AnswerBoxes = true;
    hooks.HoldBoxes = qEnvironmentVariableIsSet("LINTERVALE_HOLD_DIALOGS");
    return lintervale::RunWindow(argc, argv, hooks);
}
