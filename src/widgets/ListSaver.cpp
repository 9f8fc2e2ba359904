#include "widgets/ListSaver.h"

#include "list/ListDataFile.h"
#include "list/ListFileAside.h"
#include "list/SavedRows.h"
#include "list/TorrentList.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/BatchAdder.h"
#include "widgets/GridModel.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

namespace lintervale {

namespace {

constexpr int kAutosaveQuietMilliseconds = 2000;
constexpr int kAutosaveLongestMilliseconds = 10000;

} // namespace

ListSaver::ListSaver(TTorrentList& List, GridModel& Model, QString ListFile, ListSaverWindow Window,
                     QObject* Parent)
    : QObject(Parent), m_List(List), m_Model(Model), m_ListFile(std::move(ListFile)),
      m_Window(std::move(Window)) {
    m_Quiet = new QTimer(this);
    m_Longest = new QTimer(this);
    for (QTimer* timer : {m_Quiet, m_Longest}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &ListSaver::autosave);
    }
    setAutosaveDelays(kAutosaveQuietMilliseconds, kAutosaveLongestMilliseconds);
}

void ListSaver::start() {
    if (m_Window.Keep() && QFileInfo::exists(m_ListFile)) {
        load();
    } else {
        m_Owned = !QFileInfo::exists(m_ListFile);
    }
    // From here on each change of the list is saved soon after, while the list is kept.
    // A change of how cells show only (a fetch's progress) is no change of the list.
    connect(&m_Model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& Roles) {
                if (Roles.isEmpty() || Roles.contains(Qt::EditRole)) {
                    changed();
                }
            });
    connect(&m_Model, &QAbstractItemModel::rowsInserted, this, &ListSaver::changed);
    connect(&m_Model, &QAbstractItemModel::rowsRemoved, this, &ListSaver::changed);
    connect(&m_Model, &QAbstractItemModel::rowsMoved, this, &ListSaver::changed);
    connect(&m_Model, &QAbstractItemModel::modelReset, this, &ListSaver::changed);
}

void ListSaver::closing() {
    if (m_Offering) {
        // The user has not said what becomes of the list file found: it is kept aside, never
        // saved over.
        try {
            MoveListFileAside(Utf8Of(m_ListFile));
        } catch (const std::exception&) {
            m_Kept = tr("The list file found was neither loaded nor moved aside.");
        }
    }
    stopAutosave();
}

void ListSaver::report(const QString& Status, const QString& Box) {
    m_Window.Status(Status);
    if (!m_Window.Quiet()) {
        MessageBoxes::error(m_Window.Boxes, Box);
    }
}

void ListSaver::load() {
    QElapsedTimer timer;
    timer.start();
    // Tens of thousands of cells change: the view hears of them once, at the end.
    m_Model.beginBulk();
    try {
        LoadGridFile(m_List.Grid(), Utf8Of(m_ListFile));
        m_Model.endBulk();
        m_LoadMilliseconds = timer.elapsed();
        m_Owned = true;
    } catch (const std::exception& error) {
        m_Model.endBulk();
        unreadable(errorText(error));
    }
}

// The file is the user's list, even when this program cannot read it: it is moved out of the
// way and kept, and the next save writes a new one. If it cannot be moved, nothing is saved
// over it.
void ListSaver::unreadable(const QString& Reason) {
    QString what;
    try {
        const QString aside = QStringOf(MoveListFileAside(Utf8Of(m_ListFile)));
        m_Owned = true;
        what = tr("The list file could not be read and was moved aside to \"%1\"; the next "
                  "save writes a new one.")
                   .arg(aside);
    } catch (const std::exception& error) {
        what = tr("%1. The list is not saved over it while Lintervale runs.").arg(errorText(error));
        m_Kept = what;
        // The user hears of it now; each save that is skipped only updates the status line.
        m_Failing = true;
    }
    report(Reason + " - " + what, Reason + "\n\n" + what);
}

void ListSaver::keepToggled(bool On) {
    if (!On) {
        stopAutosave();
        return;
    }
    if (!m_Owned && QFileInfo::exists(m_ListFile)) {
        offer();
        return;
    }
    m_Owned = true;
    // The list is kept from now on: the first save does not wait for a change.
    changed();
}

void ListSaver::offer() {
    TTorrentGrid saved;
    try {
        LoadGridFile(saved, Utf8Of(m_ListFile));
    } catch (const std::exception& error) {
        unreadable(errorText(error));
        changed();
        return;
    }
    const int rows = FilledRows(saved);
    bool load = true;
    if (!m_Window.Quiet()) {
        // No save runs while the user decides, and a close meanwhile keeps the file aside.
        m_Offering = true;
        load = m_Window.Adder->published([&] {
            const QString found =
                rows == 1 ? tr("A saved list of 1 torrent was found in \"%1\".").arg(m_ListFile)
                          : tr("A saved list of %1 torrents was found in \"%2\".")
                                .arg(QString::number(rows), m_ListFile);
            return MessageBoxes::confirm(m_Window.Boxes,
                                         found + "\n\n" +
                                             tr("Load it into the list? If not, the file is "
                                                "moved aside and kept."),
                                         true);
        });
        m_Offering = false;
        if (m_Closed || !m_Window.Keep()) {
            return;
        }
    }
    if (load) {
        const TAppendedRows appended =
            m_Window.Adder->published([&] { return AppendSavedRows(m_List.Grid(), saved); });
        m_Window.Status(
            appended.Added == 1
                ? tr("1 torrent of the saved list was added to the list.")
                : tr("%1 torrents of the saved list were added to the list.").arg(appended.Added));
        emit savedRowsAdded(appended.Hashes);
    } else {
        try {
            const QString aside = QStringOf(MoveListFileAside(Utf8Of(m_ListFile)));
            m_Window.Status(tr("The saved list was moved aside to \"%1\".").arg(aside));
        } catch (const std::exception& error) {
            m_Kept = tr("%1. The list is not saved over it while Lintervale runs.")
                         .arg(errorText(error));
            report(m_Kept, m_Kept);
            return;
        }
    }
    m_Owned = true;
    changed();
}

QString ListSaver::save() {
    if (!m_Kept.isEmpty()) {
        return m_Kept;
    }
    try {
        SaveGridFile(m_List.Grid(), Utf8Of(m_ListFile));
    } catch (const std::exception& error) {
        return errorText(error);
    }
    m_Owned = true;
    return {};
}

QString ListSaver::saveAtClose() {
    QElapsedTimer timer;
    timer.start();
    const QString failure = save();
    if (failure.isEmpty()) {
        m_SaveMilliseconds = timer.elapsed();
    }
    return failure;
}

void ListSaver::setAutosaveDelays(int QuietMilliseconds, int LongestMilliseconds) {
    m_Quiet->setInterval(QuietMilliseconds);
    m_Longest->setInterval(LongestMilliseconds);
}

bool ListSaver::autosavePending() const {
    return m_Quiet->isActive() || m_Longest->isActive();
}

void ListSaver::changed() {
    if (!m_Window.Keep()) {
        return;
    }
    // Each change puts the save off a little, but never past the longest wait after the
    // first unsaved change: a long batch is saved as it goes, never once per row.
    m_Quiet->start();
    if (!m_Longest->isActive()) {
        m_Longest->start();
    }
}

void ListSaver::stopAutosave() {
    m_Quiet->stop();
    m_Longest->stop();
}

void ListSaver::autosave() {
    stopAutosave();
    // A box of an earlier failure may still be open: that save is not done twice at once.
    if (!m_Window.Keep() || m_Saving || m_Offering) {
        return;
    }
    m_Saving = true;
    QElapsedTimer timer;
    timer.start();
    const QString failure = save();
    m_AutosaveMilliseconds += timer.elapsed();
    ++m_Autosaves;
    if (failure.isEmpty()) {
        if (m_Failing) {
            m_Failing = false;
            m_Window.Status(tr("The list is saved again."));
        }
    } else {
        const QString status = tr("The list could not be saved: %1").arg(failure);
        // One box for a run of failures; the status line follows each attempt.
        if (m_Failing) {
            m_Window.Status(status);
        } else {
            m_Failing = true;
            report(status, failure + "\n\n" +
                               tr("The list was not saved; it is tried again at the next "
                                  "change."));
        }
    }
    m_Saving = false;
    emit autosaved(failure.isEmpty());
}

} // namespace lintervale
