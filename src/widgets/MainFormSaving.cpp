#include "list/ListDataFile.h"
#include "list/ListFileAside.h"
#include "list/SavedRows.h"
#include "qtsupport/Utf8Text.h"
#include "session/ShellIntegration.h"
#include "widgets/GridModel.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

// The window's files: the list data file at start, while running and at close; the options'
// file; and the desktop's files behind "Start at login" and "Associate with torrents".

namespace lintervale {

namespace {

constexpr int kAutosaveQuietMilliseconds = 2000;
constexpr int kAutosaveLongestMilliseconds = 10000;

} // namespace

void MainForm::buildAutosave() {
    m_AutosaveQuiet = new QTimer(this);
    m_AutosaveLongest = new QTimer(this);
    for (QTimer* timer : {m_AutosaveQuiet, m_AutosaveLongest}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &MainForm::autosave);
    }
    setAutosaveDelays(kAutosaveQuietMilliseconds, kAutosaveLongestMilliseconds);
}

void MainForm::loadListFile() {
    QElapsedTimer timer;
    timer.start();
    // Tens of thousands of cells change: the view hears of them once, at the end.
    m_Model->beginBulk();
    try {
        LoadGridFile(m_List.Grid(), Utf8Of(m_Paths.ListFile));
        m_Model->endBulk();
        m_LoadMilliseconds = timer.elapsed();
        m_ListFileOwned = true;
    } catch (const std::exception& error) {
        m_Model->endBulk();
        listFileUnreadable(errorText(error));
    }
}

// The file is the user's list, even when this program cannot read it: it is moved out of the
// way and kept, and the next save writes a new one. If it cannot be moved, nothing is saved
// over it.
void MainForm::listFileUnreadable(const QString& Reason) {
    QString what;
    try {
        const QString aside = QStringOf(MoveListFileAside(Utf8Of(m_Paths.ListFile)));
        m_ListFileOwned = true;
        what = tr("The list file could not be read and was moved aside to \"%1\"; the next "
                  "save writes a new one.")
                   .arg(aside);
    } catch (const std::exception& error) {
        what = tr("%1. The list is not saved over it while Lintervale runs.").arg(errorText(error));
        m_ListFileKept = what;
        // The user hears of it now; each save that is skipped only updates the status line.
        m_AutosaveFailing = true;
    }
    report(Reason + " - " + what, Reason + "\n\n" + what);
}

void MainForm::saveOnExitToggled(bool On) {
    if (!On) {
        stopAutosave();
        return;
    }
    if (!m_ListFileOwned && QFileInfo::exists(m_Paths.ListFile)) {
        offerListFile();
        return;
    }
    m_ListFileOwned = true;
    // The list is kept from now on: the first save does not wait for a change.
    listChanged();
}

void MainForm::offerListFile() {
    TTorrentGrid saved;
    try {
        LoadGridFile(saved, Utf8Of(m_Paths.ListFile));
    } catch (const std::exception& error) {
        listFileUnreadable(errorText(error));
        listChanged();
        return;
    }
    const int rows = FilledRows(saved);
    bool load = true;
    if (!QuietMode()) {
        // No save runs while the user decides, and a close meanwhile keeps the file aside.
        m_OfferingListFile = true;
        load = published([&] {
            const QString found =
                rows == 1
                    ? tr("A saved list of 1 torrent was found in \"%1\".").arg(m_Paths.ListFile)
                    : tr("A saved list of %1 torrents was found in \"%2\".")
                          .arg(QString::number(rows), m_Paths.ListFile);
            return MessageBoxes::confirm(this,
                                         found + "\n\n" +
                                             tr("Load it into the list? If not, the file is "
                                                "moved aside and kept."),
                                         true);
        });
        m_OfferingListFile = false;
        if (m_Closed || !m_SaveOnExit->isChecked()) {
            return;
        }
    }
    if (load) {
        const TAppendedRows appended =
            published([&] { return AppendSavedRows(m_List.Grid(), saved); });
        showStatus(
            appended.Added == 1
                ? tr("1 torrent of the saved list was added to the list.")
                : tr("%1 torrents of the saved list were added to the list.").arg(appended.Added));
    } else {
        try {
            const QString aside = QStringOf(MoveListFileAside(Utf8Of(m_Paths.ListFile)));
            showStatus(tr("The saved list was moved aside to \"%1\".").arg(aside));
        } catch (const std::exception& error) {
            m_ListFileKept = tr("%1. The list is not saved over it while Lintervale runs.")
                                 .arg(errorText(error));
            report(m_ListFileKept, m_ListFileKept);
            return;
        }
    }
    m_ListFileOwned = true;
    listChanged();
}

QString MainForm::saveList() {
    if (!m_ListFileKept.isEmpty()) {
        return m_ListFileKept;
    }
    try {
        SaveGridFile(m_List.Grid(), Utf8Of(m_Paths.ListFile));
    } catch (const std::exception& error) {
        return errorText(error);
    }
    m_ListFileOwned = true;
    return {};
}

void MainForm::setAutosaveDelays(int QuietMilliseconds, int LongestMilliseconds) {
    m_AutosaveQuiet->setInterval(QuietMilliseconds);
    m_AutosaveLongest->setInterval(LongestMilliseconds);
}

bool MainForm::autosavePending() const {
    return m_AutosaveQuiet->isActive() || m_AutosaveLongest->isActive();
}

void MainForm::listChanged() {
    if (!m_SaveOnExit->isChecked()) {
        return;
    }
    // Each change puts the save off a little, but never past the longest wait after the
    // first unsaved change: a long batch is saved as it goes, never once per row.
    m_AutosaveQuiet->start();
    if (!m_AutosaveLongest->isActive()) {
        m_AutosaveLongest->start();
    }
}

void MainForm::stopAutosave() {
    m_AutosaveQuiet->stop();
    m_AutosaveLongest->stop();
}

void MainForm::autosave() {
    stopAutosave();
    // A box of an earlier failure may still be open: that save is not done twice at once.
    if (!m_SaveOnExit->isChecked() || m_Saving || m_OfferingListFile) {
        return;
    }
    m_Saving = true;
    QElapsedTimer timer;
    timer.start();
    const QString failure = saveList();
    m_AutosaveMilliseconds += timer.elapsed();
    ++m_Autosaves;
    if (failure.isEmpty()) {
        if (m_AutosaveFailing) {
            m_AutosaveFailing = false;
            showStatus(tr("The list is saved again."));
        }
    } else {
        const QString status = tr("The list could not be saved: %1").arg(failure);
        // One box for a run of failures; the status line follows each attempt.
        if (m_AutosaveFailing) {
            showStatus(status);
        } else {
            m_AutosaveFailing = true;
            report(status, failure + "\n\n" +
                               tr("The list was not saved; it is tried again at the next "
                                  "change."));
        }
    }
    m_Saving = false;
    emit autosaved(failure.isEmpty());
}

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
