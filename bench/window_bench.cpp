// The window's list timings: `window_bench [--paste TEXTFILE] FILE...` runs the window as the
// program does (offscreen, boxes answered at once), adds the files of the command line and the
// links of TEXTFILE, reports on stderr how long the list took to load, to add them, to save
// while running and to save at close, and closes.

#include "entry/WindowRun.h"
#include "widgets/ListSaver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    // --paste TEXTFILE is the benchmark's own; the rest goes to the window.
    const char* paste = nullptr;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--paste") == 0 && i + 1 < argc) {
            paste = argv[++i];
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);

    QElapsedTimer started;
    bool reported = false;
    const auto report = [&](lintervale::MainForm& form) {
        if (reported) {
            return;
        }
        reported = true;
        std::fprintf(stderr, "bench: load %lld ms, rows %d, added after %lld ms\n",
                     static_cast<long long>(form.saver().loadMilliseconds()),
                     form.List().Grid().RowCount() - 1, static_cast<long long>(started.elapsed()));
        std::fprintf(stderr, "bench: autosaves %d, %lld ms\n", form.saver().autosaves(),
                     static_cast<long long>(form.saver().autosaveMilliseconds()));
        form.exitClicked();
        std::fprintf(stderr, "bench: save %lld ms\n",
                     static_cast<long long>(form.saver().saveMilliseconds()));
    };
    lintervale::WindowHooks hooks;
    hooks.AnswerBoxes = true;
    hooks.Started = [&](lintervale::MainForm& form) {
        started.start();
        QObject::connect(
            &form, &lintervale::MainForm::addsFinished, &form, [&] { report(form); },
            Qt::QueuedConnection);
    };
    hooks.Shown = [&](lintervale::MainForm& form) {
        if (paste != nullptr) {
            QFile file(QString::fromLocal8Bit(paste));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "bench: cannot read %s\n", paste);
                return false;
            }
            form.adder().addLinkText(QString::fromUtf8(file.readAll()));
        }
        if (!form.adding()) {
            QTimer::singleShot(0, &form, [&] { report(form); });
        }
        return true;
    };
    return lintervale::RunWindow(count, arguments.data(), hooks);
}
