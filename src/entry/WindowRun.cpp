#include "entry/WindowRun.h"

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
#include "widgets/WindowTray.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

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
    form.tray().bringForward();
}

// A later copy's activation, sent after its files. Under Wayland the launcher's token lets
// the window come forward: Qt's Wayland plugin takes XDG_ACTIVATION_TOKEN from the
// environment at the next activation (and clears it). An X11 startup id is carried too, but
// Qt offers no public call to apply it to a window that is shown already.
static void ActivateWith(lintervale::MainForm& form,
                         const lintervale::RunningCopy::Activation& tokens) {
    if (tokens.Token.isEmpty()) {
        return; // the later copy's arrival brought the window forward as far as it can
    }
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        qputenv("XDG_ACTIVATION_TOKEN", tokens.Token.toUtf8());
    }
    form.tray().bringForward();
}

// The resources live in a static library: they are brought in by name, from C++ linkage.
static void InitResources() {
    Q_INIT_RESOURCE(lintervale);
}

namespace lintervale {

int RunWindow(int argc, char** argv, const WindowHooks& Hooks) {
    // As the launcher gave them; Qt's X11 plugin takes the startup id out of the environment.
    const lintervale::RunningCopy::Activation activation{
        qEnvironmentVariable("XDG_ACTIVATION_TOKEN"), qEnvironmentVariable("DESKTOP_STARTUP_ID")};
    QApplication application(argc, argv);
    QApplication::setApplicationName("Lintervale");
    // Wayland compositors and docks match the windows to the desktop entry by this name.
    QApplication::setDesktopFileName(
        QString::fromLatin1(lintervale::kApplicationId.data(), lintervale::kApplicationId.size()));
    InitResources();
    QApplication::setWindowIcon(lintervale::ShellIntegration::programIcon());
    // In the user's language from the first box on.
    lintervale::installTranslations(QLocale());

    if (Hooks.AnswerBoxes) {
        lintervale::MessageBoxes::setTestMode(true, true);
        lintervale::MessageBoxes::setHoldOnInput(Hooks.HoldBoxes);
    }

    const QStringList arguments = QApplication::arguments().mid(1);
    const bool hidden = lintervale::WindowTray::startsHidden(arguments);

    // One copy runs for each list: every program file that would write this list finds it.
    lintervale::RunningCopy copy(lintervale::DefaultPaths().ListFile);
    if (!copy.failure().isEmpty()) {
        // Without a private place for the lock, a second copy could write the same list.
        lintervale::MessageBoxes::error(
            nullptr,
            copy.failure() + "\n\n" +
                QCoreApplication::translate(
                    "WindowMain",
                    "Lintervale does not start, so that no second copy writes the same list. "
                    "Remove that folder, or set XDG_RUNTIME_DIR to a folder that only you can "
                    "enter."));
        return 1;
    }
    QStringList startArguments = arguments;
    if (!copy.tryToRun()) {
        copy.setActivation(activation);
        QStringList files;
        for (const QString& argument : arguments) {
            if (QFileInfo(argument).isFile()) {
                files.append(QFileInfo(argument).absoluteFilePath());
            }
        }
        switch (copy.handOverOrRun(files)) {
        case lintervale::RunningCopy::Outcome::HandedOver:
            return 0;
        case lintervale::RunningCopy::Outcome::NotFound:
            if (arguments.isEmpty()) {
                return 0;
            }
            lintervale::MessageBoxes::error(
                nullptr,
                QCoreApplication::translate("WindowMain", "Error: Main window not found."));
            return 1;
        case lintervale::RunningCopy::Outcome::Run:
            // The running copy closed meanwhile: this one runs, with the files it kept.
            startArguments = files;
            if (hidden) {
                startArguments.prepend(arguments.first());
            }
            break;
        }
    }

    // Later copies are heard from now on. The window serves them once it is ready; until
    // then (a long list to load, a box at start) they wait for their answer.
    copy.listen();
    lintervale::MainForm form(lintervale::DefaultPaths());
    // A copy that closes takes no more files: those that came later would miss the saved
    // list. Their copies wait for the lock and run themselves. Every way out (Exit, SIGTERM,
    // a logout's quit that closes the window) passes through the window's close; a quit
    // that does not is caught as the event loop ends.
    QObject::connect(&form, &lintervale::MainForm::closing, &copy,
                     [&copy] { copy.setClosing(true); });
    QObject::connect(&form, &lintervale::MainForm::closeCancelled, &copy,
                     [&copy] { copy.setClosing(false); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &copy,
                     [&copy] { copy.setClosing(true); });
    if (Hooks.Started) {
        Hooks.Started(form);
    }
    form.initialize(startArguments);
    if (hidden) {
        form.tray().hideWindow();
        qunsetenv("XDG_ACTIVATION_TOKEN"); // it was this start's; a later copy brings its own
    } else {
        form.show();
        if (!activation.Token.isEmpty()) {
            form.activateWindow(); // takes the launcher's token
        }
    }
    if (Hooks.Shown && !Hooks.Shown(form)) {
        return 2;
    }
    lintervale::TerminationWatcher termination([&form] { form.exitClicked(); });
    copy.serve(
        [&form] { BringBack(form); }, [&form](const QString& file) { form.AddFile(file); },
        [&form](const lintervale::RunningCopy::Activation& tokens) { ActivateWith(form, tokens); });
    return QApplication::exec();
}

} // namespace lintervale
