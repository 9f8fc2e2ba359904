// The window's side of the program, in a library of its own so that the headless command
// starts without loading Qt. main() loads it and calls LintervaleRunWindow.

#include "desktop/DesktopEntries.h"
#include "list/ListDataFile.h"
#include "session/RunningCopy.h"
#include "session/SettingsStore.h"
#include "session/ShellIntegration.h"
#include "session/TerminationWatcher.h"
#include "widgets/ListSaver.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace lintervale {

MainFormPaths DefaultPaths() {
    return {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/" + kListFileName,
            SettingsStore::defaultFileName(), RunningCopy::programPath()};
}

} // namespace lintervale

// A later copy's start brings the window forward. Wayland lets a program neither raise its
// window without a token from the compositor nor take it out of the minimised state, and
// does not even tell it that the window is minimised; but a window shown anew is mapped
// again, in view. So there a window that is not the active one is shown anew.
static void BringBack(lintervale::MainForm& form) {
    if (QGuiApplication::platformName() == QLatin1String("wayland") && form.isVisible() &&
        !form.isActiveWindow()) {
        form.hide();
        form.showNormal();
    }
    form.bringForward();
}

// The resources live in a static library: they are brought in by name, from C++ linkage.
static void InitResources() {
    Q_INIT_RESOURCE(lintervale);
}

extern "C" __attribute__((visibility("default"))) int LintervaleRunWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Lintervale");
    // Wayland compositors and docks match the windows to the desktop entry by this name.
    QApplication::setDesktopFileName(
        QString::fromLatin1(lintervale::kApplicationId.data(), lintervale::kApplicationId.size()));
    InitResources();
    QApplication::setWindowIcon(lintervale::ShellIntegration::programIcon());
    // In the user's language from the first box on.
    lintervale::installTranslations(QLocale());

    // Programs run by tests answer their boxes on stderr instead of waiting for a user.
    // With LINTERVALE_HOLD_DIALOGS each box also stays up, its event loop running, until a
    // line comes on standard input.
    if (qEnvironmentVariableIsSet("LINTERVALE_NO_DIALOGS")) {
        lintervale::MessageBoxes::setTestMode(true, true);
        lintervale::MessageBoxes::setHoldOnInput(
            qEnvironmentVariableIsSet("LINTERVALE_HOLD_DIALOGS"));
    }

    const QStringList arguments = QApplication::arguments().mid(1);
    const bool hidden = lintervale::MainForm::startsHidden(arguments);

    lintervale::RunningCopy copy(lintervale::RunningCopy::programPath());
    if (!copy.tryToRun()) {
        QStringList files;
        for (const QString& argument : arguments) {
            if (QFileInfo(argument).isFile()) {
                files.append(QFileInfo(argument).absoluteFilePath());
            }
        }
        if (!copy.handOver(files) && !arguments.isEmpty()) {
            lintervale::MessageBoxes::error(
                nullptr,
                QCoreApplication::translate("WindowMain", "Error: Main window not found."));
            return 1;
        }
        return 0;
    }

    // Later copies are heard from now on. The window serves them once it is ready; until
    // then (a long list to load, a box at start) they wait for their answer.
    copy.listen();
    lintervale::MainForm form(lintervale::DefaultPaths());
    // The benchmark's run: report the list's timings on stderr and close (saving) as soon as
    // the files of the command line are in, and the text of the file that
    // LINTERVALE_BENCH_PASTE names, pasted as links.
    QElapsedTimer started;
    const bool bench = qEnvironmentVariableIsSet("LINTERVALE_BENCH");
    bool reported = false;
    const auto report = [&] {
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
    if (bench) {
        started.start();
        QObject::connect(&form, &lintervale::MainForm::addsFinished, &form, report,
                         Qt::QueuedConnection);
    }
    form.initialize(arguments);
    if (hidden) {
        form.hideToTray();
    } else {
        form.show();
    }
    if (const QString paste = qEnvironmentVariable("LINTERVALE_BENCH_PASTE");
        bench && !paste.isEmpty()) {
        QFile file(paste);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench: cannot read %s\n", qPrintable(paste));
            return 2;
        }
        form.addLinkText(QString::fromUtf8(file.readAll()));
    }
    if (bench && !form.adding()) {
        QTimer::singleShot(0, &form, report);
    }
    lintervale::TerminationWatcher termination([&form] { form.exitClicked(); });
    copy.serve([&form] { BringBack(form); }, [&form](const QString& file) { form.AddFile(file); });
    return QApplication::exec();
}
