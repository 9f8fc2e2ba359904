#include "session/ShellIntegration.h"

#include "desktop/DesktopEntries.h"
#include "qtsupport/Utf8Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace lintervale {

namespace {

const QString kAppId = QString::fromLatin1(kApplicationId.data(), kApplicationId.size());
const QString kEntryName = kAppId + ".desktop";

void Fail(QString* Failure, const QString& Text) {
    if (Failure != nullptr) {
        *Failure += (Failure->isEmpty() ? "" : "\n") + Text;
    }
}

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads a file that is rewritten with changes: a missing one reads as empty, one that is
// there but cannot be read fails, so that it is never replaced by what little is known.
bool ReadToChange(const QString& fileName, QByteArray& bytes, QString* Failure) {
    QFile file(fileName);
    bytes.clear();
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(Failure, QCoreApplication::translate("ShellIntegration", "Cannot read \"%1\". %2")
                          .arg(fileName, file.errorString()));
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Replaces a file whole, so that a failure never leaves it half-written. Returns false and
// adds the reason to *Failure when it cannot.
bool WriteAll(const QString& fileName, const QByteArray& bytes, QString* Failure) {
    // A folder that cannot be made shows in the open's reason.
    QDir().mkpath(QFileInfo(fileName).path());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Fail(Failure, QCoreApplication::translate("ShellIntegration", "Cannot write \"%1\". %2")
                          .arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

bool Remove(const QString& fileName, QString* Failure) {
    QFile file(fileName);
    if (file.exists() && !file.remove()) {
        Fail(Failure, QCoreApplication::translate("ShellIntegration", "Cannot remove \"%1\". %2")
                          .arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

std::string ExecOf(const QString& fileName, bool* found) {
    return DesktopEntryValue(ReadAll(fileName).toStdString(), "Exec", found);
}

bool ExecIs(const QString& fileName, const std::string& exec) {
    bool found = false;
    const std::string value = ExecOf(fileName, &found);
    return found && value == exec;
}

void Clear(QString* Failure) {
    if (Failure != nullptr) {
        Failure->clear();
    }
}

} // namespace

ShellIntegration::ShellIntegration(QString ProgramPath) : m_ProgramPath(std::move(ProgramPath)) {}

QString ShellIntegration::autostartFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/" +
           kEntryName;
}

QString ShellIntegration::desktopFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/applications/" + kEntryName;
}

QString ShellIntegration::iconFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/icons/hicolor/256x256/apps/" + kAppId + ".png";
}

QString ShellIntegration::mimeAppsFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/mimeapps.list";
}

QString ShellIntegration::installedDesktopFile() const {
    // The first of the system's data folders that holds the id wins, as on the desktop.
    for (const QString& file : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                         "applications/" + kEntryName)) {
        if (file != desktopFile()) {
            return runsThisProgram(file) ? file : QString();
        }
    }
    return {};
}

bool ShellIntegration::runsThisProgram(const QString& EntryFile) const {
    bool found = false;
    const QString program = QStringOf(ExecProgram(ExecOf(EntryFile, &found)));
    if (!found || program.isEmpty()) {
        return false;
    }
    const QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(m_ProgramPath).canonicalFilePath();
}

bool ShellIntegration::startsAtLogin() const {
    return ExecIs(autostartFile(), AutostartExec(Utf8Of(m_ProgramPath)));
}

bool ShellIntegration::setStartAtLogin(bool On, QString* Failure) const {
    Clear(Failure);
    if (On) {
        return WriteAll(autostartFile(),
                        QByteArray::fromStdString(AutostartEntry(Utf8Of(m_ProgramPath))), Failure);
    }
    return Remove(autostartFile(), Failure);
}

bool ShellIntegration::opensTorrents() const {
    // An entry of the id in the user's folder hides the installed one.
    const bool entryRunsThis = QFileInfo::exists(desktopFile())
                                   ? ExecIs(desktopFile(), OpenWithExec(Utf8Of(m_ProgramPath)))
                                   : !installedDesktopFile().isEmpty();
    return entryRunsThis && DefaultApplicationIs(ReadAll(mimeAppsFile()).toStdString(),
                                                 kTorrentMimeType, kDesktopId);
}

bool ShellIntegration::setOpensTorrents(bool On, QString* Failure) const {
    Clear(Failure);
    QByteArray mimeAppsBytes;
    if (!ReadToChange(mimeAppsFile(), mimeAppsBytes, Failure)) {
        return false;
    }
    const std::string mimeApps = mimeAppsBytes.toStdString();
    bool done = true;
    if (On) {
        // An installed entry that runs this program is the one made default; an entry of our
        // own is written where there is none, or where one in the user's folder hides it.
        if (installedDesktopFile().isEmpty() || QFileInfo::exists(desktopFile())) {
            // The entry first: the default application must name an entry that is there.
            done = WriteAll(desktopFile(),
                            QByteArray::fromStdString(
                                OpenWithEntry(Utf8Of(m_ProgramPath), kApplicationId)),
                            Failure) &&
                   WriteAll(iconFile(), ReadAll(":/icons/lintervale-256.png"), Failure);
        }
        return done && WriteAll(mimeAppsFile(),
                                QByteArray::fromStdString(
                                    WithDefaultApplication(mimeApps, kTorrentMimeType, kDesktopId)),
                                Failure);
    }
    const std::string without = WithoutDefaultApplication(mimeApps, kTorrentMimeType, kDesktopId);
    if (without != mimeApps) {
        done = WriteAll(mimeAppsFile(), QByteArray::fromStdString(without), Failure);
    }
    // The entry and the icon are ours only while they name this program file.
    if (ExecIs(desktopFile(), OpenWithExec(Utf8Of(m_ProgramPath)))) {
        done = Remove(desktopFile(), Failure) && done;
        done = Remove(iconFile(), Failure) && done;
    }
    return done;
}

QIcon ShellIntegration::programIcon() {
    QIcon bundled;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        bundled.addFile(QString(":/icons/lintervale-%1.png").arg(size), QSize(size, size));
    }
    return QIcon::fromTheme(kAppId, bundled);
}

} // namespace lintervale
