#include "session/ShellIntegration.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QCheckBox>

// The options' file, and the desktop's files behind "Start at login" and "Associate with
// torrents".

namespace lintervale {

void MainForm::reportSettingsFailure(const QString& Failure) {
    if (Failure.isEmpty()) {
        return;
    }
    // The options matter at the next start whatever quiet mode says: always a box.
    showStatus(Failure);
    MessageBoxes::error(this, Failure + "\n\n" + tr("The options were not saved."));
}

void MainForm::saveSettings() {
    QString failure;
    SettingsStore(m_Paths.SettingsFile).save(options(), &failure);
    reportSettingsFailure(failure);
}

void MainForm::shellOptionClicked(QCheckBox* Box, bool On) {
    const ShellIntegration shell(m_Paths.ProgramPath);
    const bool login = Box == m_StartAtLogin;
    QString failure;
    if (login ? shell.setStartAtLogin(On, &failure) : shell.setOpensTorrents(On, &failure)) {
        return;
    }
    // The box shows what is so, not what was asked for.
    Box->setChecked(login ? shell.startsAtLogin() : shell.opensTorrents());
    report(failure, failure);
}

void MainForm::report(const QString& Status, const QString& Box) {
    showStatus(Status);
    if (!QuietMode()) {
        MessageBoxes::error(this, Box);
    }
}

} // namespace lintervale
