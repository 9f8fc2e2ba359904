// The window's side of the program, in a library of its own so that the headless command
// starts without loading Qt. main() loads it and calls LintervaleRunWindow.

#include <QApplication>
#include <QStandardPaths>

#include "app/MainForm.h"
#include "app/SettingsStore.h"
#include "list/ListDataFile.h"

namespace lintervale {

MainFormPaths DefaultPaths() {
    return {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/" +
                kListFileName,
            SettingsStore::defaultFileName()};
}

} // namespace lintervale

// The resources live in a static library: they are brought in by name, from C++ linkage.
static void InitResources() { Q_INIT_RESOURCE(lintervale); }

extern "C" __attribute__((visibility("default"))) int LintervaleRunWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Lintervale");
    InitResources();

    const QStringList arguments = QApplication::arguments().mid(1);
    const bool hidden = !arguments.isEmpty() && arguments.first().toLower() == "-hidden";

    lintervale::MainForm form(lintervale::DefaultPaths());
    form.FormCreate(arguments);
    if (hidden) {
        form.HideToTray();
    } else {
        form.show();
    }
    return QApplication::exec();
}
