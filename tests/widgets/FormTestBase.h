#pragma once

// What the window's test suites share: a main window over a temporary folder of its own
// (list file, options), driven through its object names, with its boxes answered by the
// test seam.

#include "tests/list/RecordingHost.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The window's resources live in a static library: they are brought in by name.
inline void InitFormResources() {
    Q_INIT_RESOURCE(lintervale);
}

namespace lintervale::testing {

class FormTestBase : public QObject {
protected:
    void setUpForm() {
        m_Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_Dir->isValid());
        m_Paths = {m_Dir->filePath("data/Lintervale.dat"),
                   m_Dir->filePath("config/Lintervale.conf"), "/opt/lintervale test/lintervale"};
        MessageBoxes::setTestMode(true);
        MessageBoxes::clearShown();
        m_Form = makeForm();
    }
    void tearDownForm() {
        m_Form.reset();
        m_Dir.reset();
    }

    std::unique_ptr<MainForm> makeForm(const QStringList& Arguments = {}) {
        auto form = std::make_unique<MainForm>(m_Paths);
        form->initialize(Arguments);
        form->show();
        return form;
    }
    // Writes the options file with these five values, as a user's earlier run left them.
    void writeOptions(bool SaveOnExit, bool QuietMode) {
        QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
        settings.setValue("SaveOnExit", SaveOnExit ? 1 : 0);
        settings.setValue("AutoOpen", 0);
        settings.setValue("QuietMode", QuietMode ? 1 : 0);
        settings.setValue("CloseToTray", 0);
        settings.setValue("FetchExtra", 0);
        settings.sync();
    }
    QString torrent(const QString& Name, const QString& Announce = "http://t.example/a") {
        return QString::fromStdString(
            WriteTorrent(m_Dir->path().toStdString(), Name.toStdString(), Announce.toStdString()));
    }
    template <typename T> T* child(const char* Name) {
        T* found = m_Form->findChild<T*>(Name);
        if (found == nullptr) {
            qFatal("no child %s", Name);
        }
        return found;
    }
    QStringList names() const {
        const TTorrentGrid& grid = m_Form->List().Grid();
        QStringList result;
        for (int r = 1; r < grid.RowCount(); ++r) {
            result.append(QString::fromStdString(grid.Cell(TTorrentGrid::ColName, r)));
        }
        return result;
    }
    // Drops Data on the window as another program's drag would, and lets the window take in
    // what it brought; false when the window refuses the drag.
    bool dropOnForm(QMimeData& Data) {
        if (!dropOnly(Data)) {
            return false;
        }
        QCoreApplication::sendPostedEvents(m_Form.get(), QEvent::MetaCall);
        return true;
    }
    // The drop alone: the window has not taken in what it brought yet.
    bool dropOnly(QMimeData& Data) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &Data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_Form.get(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_Form.get(), &drop);
        return true;
    }
    void waitForAdds() { QTRY_VERIFY_WITH_TIMEOUT(!m_Form->adding(), 20000); }
    QString status() { return child<QLabel>("StatusText")->text(); }
    void trigger(const char* Action) { child<QAction>(Action)->trigger(); }

    std::unique_ptr<QTemporaryDir> m_Dir;
    MainFormPaths m_Paths;
    std::unique_ptr<MainForm> m_Form;
};

} // namespace lintervale::testing
