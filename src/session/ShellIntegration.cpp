#include "session/ShellIntegration.h"

#include "desktop/DesktopEntries.h"
#include "qtsupport/Utf8Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace lintervale {

namespace {

constexpr const char* kIconName = "lintervale";

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces a file whole, so that a failure never leaves it half-written.
bool WriteAll(const QString& fileName, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(fileName).path());
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool ExecIs(const QString& fileName, const std::string& exec) {
    const QByteArray text = ReadAll(fileName);
    bool found = false;
    const std::string value = DesktopEntryValue(text.toStdString(), "Exec", &found);
    return found && value == exec;
}

} // namespace

ShellIntegration::ShellIntegration(QString ProgramPath) : m_ProgramPath(std::move(ProgramPath)) {}

QString ShellIntegration::autostartFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/autostart/lintervale.desktop";
}

QString ShellIntegration::desktopFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/applications/lintervale.desktop";
}

QString ShellIntegration::iconFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/icons/hicolor/256x256/apps/" + kIconName + ".png";
}

QString ShellIntegration::mimeAppsFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/mimeapps.list";
}

bool ShellIntegration::startsAtLogin() const {
    return ExecIs(autostartFile(), AutostartExec(Utf8Of(m_ProgramPath)));
}

void ShellIntegration::setStartAtLogin(bool On) const {
    if (On) {
        WriteAll(autostartFile(), QByteArray::fromStdString(AutostartEntry(Utf8Of(m_ProgramPath))));
    } else {
        QFile::remove(autostartFile());
    }
}

bool ShellIntegration::opensTorrents() const {
    return ExecIs(desktopFile(), OpenWithExec(Utf8Of(m_ProgramPath))) &&
           DefaultApplicationIs(ReadAll(mimeAppsFile()).toStdString(), kTorrentMimeType,
                                kDesktopId);
}

void ShellIntegration::setOpensTorrents(bool On) const {
    const std::string mimeApps = ReadAll(mimeAppsFile()).toStdString();
    if (On) {
        WriteAll(desktopFile(),
                 QByteArray::fromStdString(OpenWithEntry(Utf8Of(m_ProgramPath), kIconName)));
        WriteAll(iconFile(), ReadAll(":/icons/lintervale-256.png"));
        WriteAll(mimeAppsFile(), QByteArray::fromStdString(WithDefaultApplication(
                                     mimeApps, kTorrentMimeType, kDesktopId)));
        return;
    }
    const std::string without = WithoutDefaultApplication(mimeApps, kTorrentMimeType, kDesktopId);
    if (without != mimeApps) {
        WriteAll(mimeAppsFile(), QByteArray::fromStdString(without));
    }
    // The entry and the icon are ours only while they name this program file.
    if (ExecIs(desktopFile(), OpenWithExec(Utf8Of(m_ProgramPath)))) {
        QFile::remove(desktopFile());
        QFile::remove(iconFile());
    }
}

} // namespace lintervale
