// Starting at login and opening .torrent files, with real files in a home of the test's own;
// and the options' store.

#include "session/ShellIntegration.h"

#include "session/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace lintervale;

class ShellIntegrationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(lintervale); }
    void init();
    void cleanup();

    void startAtLoginIsOnOnlyForAnExactMatch();
    void associationWritesAndTakesOutOnlyItsOwn();
    void anInstalledEntryRunsThisProgramOrNot();
    void associationUsesTheInstalledEntry();
    void theIconComesFromTheThemeOrTheProgram();
    void settingsFirstStartPartialStoreAndNonNumbers();
    void failuresSayWhy();

private:
    QByteArray read(const QString& file) const;
    void write(const QString& file, const QByteArray& bytes) const;
    // An executable file (or a link to one) at Path in the test's home.
    QString program(const QString& Path, const QString& LinkTo = {}) const;
    QString installedEntry() const;

    std::unique_ptr<QTemporaryDir> m_Home;
    const QByteArray m_Path = qgetenv("PATH");
    const QString m_Program = "/opt/Lintervale 1.0/lintervale";
};

void ShellIntegrationTest::init() {
    m_Home = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_Home->filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", m_Home->filePath("data").toUtf8());
    // The system's folders are the test's own too: nothing installed on this machine counts.
    qputenv("XDG_DATA_DIRS", m_Home->filePath("system").toUtf8());
    qputenv("PATH", m_Home->filePath("bin").toUtf8() + ":" + m_Path);
}

void ShellIntegrationTest::cleanup() {
    qputenv("PATH", m_Path);
    m_Home.reset();
}

QString ShellIntegrationTest::program(const QString& Path, const QString& LinkTo) const {
    const QString file = m_Home->filePath(Path);
    QDir().mkpath(QFileInfo(file).path());
    if (!LinkTo.isEmpty()) {
        QFile::link(m_Home->filePath(LinkTo), file);
        return file;
    }
    write(file, "#!/bin/sh\n");
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return file;
}

QString ShellIntegrationTest::installedEntry() const {
    return m_Home->filePath("system/applications/org.lintervale.Lintervale.desktop");
}

QByteArray ShellIntegrationTest::read(const QString& file) const {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

void ShellIntegrationTest::write(const QString& file, const QByteArray& bytes) const {
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

void ShellIntegrationTest::startAtLoginIsOnOnlyForAnExactMatch() {
    const ShellIntegration shell(m_Program);
    QCOMPARE(shell.autostartFile(),
             m_Home->filePath("config/autostart/org.lintervale.Lintervale.desktop"));
    QVERIFY(!shell.startsAtLogin());
    shell.setStartAtLogin(true);
    QVERIFY(shell.startsAtLogin());
    QVERIFY(
        read(shell.autostartFile()).contains("Exec=\"/opt/Lintervale 1.0/lintervale\" -hidden\n"));

    // Another program file, or no -hidden: off, and the file stays as it is.
    QVERIFY(!ShellIntegration("/usr/bin/lintervale").startsAtLogin());
    const QByteArray other =
        "[Desktop Entry]\nType=Application\nExec=\"/opt/Lintervale 1.0/lintervale\"\n";
    write(shell.autostartFile(), other);
    QVERIFY(!shell.startsAtLogin());
    QCOMPARE(read(shell.autostartFile()), other);

    shell.setStartAtLogin(false);
    QVERIFY(!QFile::exists(shell.autostartFile()));
}

void ShellIntegrationTest::associationWritesAndTakesOutOnlyItsOwn() {
    const ShellIntegration shell(m_Program);
    const QByteArray before =
        "# mine\n[Added Associations]\napplication/x-bittorrent=deluge.desktop;\n\n"
        "[Default Applications]\r\napplication/x-bittorrent=qbittorrent.desktop;\r\n"
        "x-scheme-handler/magnet=qbittorrent.desktop;\r\n";
    write(shell.mimeAppsFile(), before);
    write(m_Home->filePath("data/applications/qbittorrent.desktop"),
          "[Desktop Entry]\nExec=qb %U\n");
    QVERIFY(!shell.opensTorrents());

    shell.setOpensTorrents(true);
    QVERIFY(shell.opensTorrents());
    const QByteArray entry = read(shell.desktopFile());
    QVERIFY(entry.contains("MimeType=application/x-bittorrent;\n"));
    QVERIFY(entry.contains("Exec=\"/opt/Lintervale 1.0/lintervale\" %F\n"));
    QVERIFY(entry.contains("Icon=org.lintervale.Lintervale\n"));
    QCOMPARE(shell.desktopFile(),
             m_Home->filePath("data/applications/org.lintervale.Lintervale.desktop"));
    QCOMPARE(shell.iconFile(), m_Home->filePath("data/icons/hicolor/256x256/apps/"
                                                "org.lintervale.Lintervale.png"));
    QVERIFY(QFile::exists(shell.iconFile()));
    QVERIFY(read(shell.mimeAppsFile())
                .contains("application/x-bittorrent=org.lintervale.Lintervale.desktop;"
                          "qbittorrent.desktop;\r\n"));
    QVERIFY(!ShellIntegration("/elsewhere/lintervale").opensTorrents());

    shell.setOpensTorrents(false);
    QVERIFY(!shell.opensTorrents());
    QCOMPARE(read(shell.mimeAppsFile()), before);
    QVERIFY(!QFile::exists(shell.desktopFile()));
    QVERIFY(!QFile::exists(shell.iconFile()));
    QCOMPARE(read(m_Home->filePath("data/applications/qbittorrent.desktop")),
             QByteArray("[Desktop Entry]\nExec=qb %U\n"));

    // An entry written for another program file is not this one's to take out.
    ShellIntegration("/elsewhere/lintervale").setOpensTorrents(true);
    shell.setOpensTorrents(false);
    QVERIFY(QFile::exists(shell.desktopFile()));
}

void ShellIntegrationTest::anInstalledEntryRunsThisProgramOrNot() {
    const QString self = program("usr/bin/lintervale");
    program("bin/lintervale", "usr/bin/lintervale"); // PATH finds it through a link
    program("elsewhere/lintervale");
    const QByteArray quotedSelf = "\"" + self.toUtf8() + "\"";
    struct Case {
        const char* what;
        QByteArray entry; // no entry at all when empty
        bool runsThis;
    };
    const Case cases[] = {
        {"a bare name found in PATH", "[Desktop Entry]\nExec=lintervale %F\n", true},
        {"the quoted path", "[Desktop Entry]\nExec=" + quotedSelf + " %F\n", true},
        {"the path through the link",
         "[Desktop Entry]\nExec=" + m_Home->filePath("bin/lintervale").toUtf8() + "\n", true},
        {"another program file",
         "[Desktop Entry]\nExec=" + m_Home->filePath("elsewhere/lintervale").toUtf8() + " %F\n",
         false},
        {"a name PATH does not know", "[Desktop Entry]\nExec=lintervale-old %F\n", false},
        {"no Exec", "[Desktop Entry]\nName=Lintervale\n", false},
        {"Exec outside the entry's group", "[Desktop Action x]\nExec=lintervale\n", false},
        {"no entry", "", false},
    };
    for (const Case& c : cases) {
        QFile::remove(installedEntry());
        if (!c.entry.isEmpty()) {
            write(installedEntry(), c.entry);
        }
        const QString found = ShellIntegration(self).installedDesktopFile();
        QVERIFY2(found == (c.runsThis ? installedEntry() : QString()), c.what);
    }
    // The user's own entry of the id is not an installed one.
    QFile::remove(installedEntry());
    write(m_Home->filePath("data/applications/org.lintervale.Lintervale.desktop"),
          "[Desktop Entry]\nExec=lintervale %F\n");
    QCOMPARE(ShellIntegration(self).installedDesktopFile(), QString());
}

void ShellIntegrationTest::associationUsesTheInstalledEntry() {
    const QString self = program("bin/lintervale");
    const QString other = program("elsewhere/lintervale");
    write(installedEntry(), "[Desktop Entry]\nType=Application\nExec=lintervale %F\n");
    const ShellIntegration shell(self);
    const QByteArray before = "[Default Applications]\ntext/html=firefox.desktop;\n";
    write(shell.mimeAppsFile(), before);

    // Installed and running this program: only the default changes, no entry of our own.
    QVERIFY(!shell.opensTorrents());
    shell.setOpensTorrents(true);
    QVERIFY(shell.opensTorrents());
    QVERIFY(!QFile::exists(shell.desktopFile()));
    QVERIFY(!QFile::exists(shell.iconFile()));
    QVERIFY(read(shell.mimeAppsFile())
                .contains("application/x-bittorrent=org.lintervale.Lintervale.desktop;\n"));
    QVERIFY2(!ShellIntegration(other).opensTorrents(), "the entry runs another file");
    shell.setOpensTorrents(false);
    QVERIFY(!shell.opensTorrents());
    QCOMPARE(read(shell.mimeAppsFile()), before);
    QCOMPARE(read(installedEntry()),
             QByteArray("[Desktop Entry]\nType=Application\nExec=lintervale %F\n"));

    // Another program file writes its own entry, which hides the installed one...
    ShellIntegration(other).setOpensTorrents(true);
    QVERIFY(ShellIntegration(other).opensTorrents());
    QVERIFY(QFile::exists(shell.desktopFile()));
    QVERIFY(!shell.opensTorrents());
    // ...until this one is ticked again: its entry then runs this program by its path.
    shell.setOpensTorrents(true);
    QVERIFY(shell.opensTorrents());
    QVERIFY(!ShellIntegration(other).opensTorrents());
    shell.setOpensTorrents(false);
    QVERIFY(!QFile::exists(shell.desktopFile()));
    QCOMPARE(read(shell.mimeAppsFile()), before);
}

void ShellIntegrationTest::theIconComesFromTheThemeOrTheProgram() {
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({m_Home->filePath("icons")});
    QIcon::setThemeName("hicolor");

    // No theme holds it: the bundled pictures, every size of them.
    QIcon icon = ShellIntegration::programIcon();
    QVERIFY(icon.name().isEmpty());
    QCOMPARE(icon.availableSizes().size(), 7);
    QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));

    // Installed in the theme: the theme's, by the application id.
    write(m_Home->filePath("icons/hicolor/index.theme"),
          "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n"
          "[48x48/apps]\nSize=48\nContext=Applications\nType=Fixed\n");
    write(m_Home->filePath("icons/hicolor/48x48/apps/org.lintervale.Lintervale.png"),
          read(":/icons/lintervale-48.png"));
    QIcon::setThemeName("hicolor"); // reloads the theme
    icon = ShellIntegration::programIcon();
    QCOMPARE(icon.name(), QString("org.lintervale.Lintervale"));
    QVERIFY(!icon.pixmap(QSize(48, 48)).isNull());

    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

void ShellIntegrationTest::settingsFirstStartPartialStoreAndNonNumbers() {
    // Each case has a file of its own: QSettings keeps what it read of a file for a while.
    QString file = m_Home->filePath("config/Lintervale/first.conf");
    const auto load = [&](QMap<QString, bool>& got) {
        got.clear();
        return SettingsStore(file).load([&](SettingsStore::Option option, bool on) {
            got[SettingsStore::kOptions[option].Name] = on;
        });
    };
    QMap<QString, bool> got;
    QVERIFY(!load(got)); // first start
    QCOMPARE(got, (QMap<QString, bool>{{"QuietMode", true}}));
    QSettings stored(file, QSettings::IniFormat);
    QCOMPARE(stored.value("QuietMode").toInt(), 1);
    QCOMPARE(stored.value("SaveOnExit").toInt(), 0);
    QCOMPARE(stored.value("FetchExtra").toInt(), 0);

    // A store with only SaveOnExit = 1: it is read, then the defaults are written.
    file = m_Home->filePath("config/Lintervale/partial.conf");
    write(file, "[General]\nSaveOnExit=1\n");
    QVERIFY(!load(got));
    QCOMPARE(got, (QMap<QString, bool>{{"SaveOnExit", true}, {"QuietMode", true}}));
    QCOMPARE(QSettings(file, QSettings::IniFormat).value("SaveOnExit").toInt(), 0);

    // A value that is no number stops the reading there.
    file = m_Home->filePath("config/Lintervale/word.conf");
    write(file,
          "[General]\nSaveOnExit=1\nAutoOpen=yes\nQuietMode=0\nCloseToTray=1\nFetchExtra=1\n");
    QVERIFY(!load(got));
    QCOMPARE(got, (QMap<QString, bool>{{"SaveOnExit", true}, {"QuietMode", true}}));

    // All five readable: any non-zero number is ticked.
    file = m_Home->filePath("config/Lintervale/full.conf");
    write(file, "[General]\nSaveOnExit=0\nAutoOpen=2\nQuietMode=0\nCloseToTray=1\nFetchExtra=0\n");
    QVERIFY(load(got));
    QCOMPARE(got, (QMap<QString, bool>{{"SaveOnExit", false},
                                       {"AutoOpen", true},
                                       {"QuietMode", false},
                                       {"CloseToTray", true},
                                       {"FetchExtra", false}}));

    // The service's values fall back one by one, and reading them writes nothing.
    file = m_Home->filePath("config/Lintervale/service.conf");
    write(file, "[General]\nTrackerServiceName=Mine\n");
    const SettingsStore store(file);
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString("Mine"));
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString());
    QCOMPARE(store.text(SettingsStore::TrackerListURL),
             QString(SettingsStore::kDefaultTrackerListURL));
    QCOMPARE(read(file), QByteArray("[General]\nTrackerServiceName=Mine\n"));
}

void ShellIntegrationTest::failuresSayWhy() {
    // A regular file where a folder should be: nothing can be written below it, as root
    // neither.
    const QString plain = m_Home->filePath("plain");
    write(plain, "");
    QString failure;

    const QString settingsFile = plain + "/Lintervale.conf";
    QVERIFY(!SettingsStore(settingsFile).save({true, true, true, true, true}, &failure));
    QVERIFY2(failure.startsWith("Cannot write the options file \"" + settingsFile + "\". ") &&
                 failure.endsWith("Not a directory"),
             qPrintable(failure));
    // A first start that cannot write the defaults still ticks quiet mode, and says why.
    bool quiet = false;
    failure.clear();
    QVERIFY(!SettingsStore(settingsFile)
                 .load([&](SettingsStore::Option option,
                           bool on) { quiet = option == SettingsStore::QuietMode && on; },
                       &failure));
    QVERIFY(quiet);
    QVERIFY2(failure.contains(settingsFile), qPrintable(failure));
    QVERIFY(SettingsStore(m_Home->filePath("config/fine.conf")).save({}, &failure));
    QVERIFY(failure.isEmpty());

    const ShellIntegration shell(m_Program);
    qputenv("XDG_CONFIG_HOME", (plain + "/config").toUtf8());
    QVERIFY(!shell.setStartAtLogin(true, &failure));
    QVERIFY2(failure.startsWith("Cannot write \"" + shell.autostartFile() + "\". ") &&
                 failure.endsWith("Not a directory"),
             qPrintable(failure));
    qputenv("XDG_CONFIG_HOME", m_Home->filePath("config").toUtf8());

    // Something in the way that is not a file: it is not taken out, and that is said.
    QVERIFY(QDir().mkpath(shell.autostartFile() + "/inside"));
    QVERIFY(!shell.setStartAtLogin(false, &failure));
    QVERIFY2(failure.startsWith("Cannot remove \"" + shell.autostartFile() + "\". "),
             qPrintable(failure));

    // A mimeapps.list that cannot be read is never replaced by one that holds only this
    // program's line, and nothing else is written either.
    QVERIFY(QDir().mkpath(shell.mimeAppsFile() + "/inside"));
    QVERIFY(!shell.setOpensTorrents(true, &failure));
    QVERIFY2(failure.startsWith("Cannot read \"" + shell.mimeAppsFile() + "\". "),
             qPrintable(failure));
    QVERIFY(!QFile::exists(shell.desktopFile()));
    QVERIFY(QFileInfo(shell.mimeAppsFile()).isDir());
}

QTEST_MAIN(ShellIntegrationTest)
#include "ShellIntegrationTest.moc"
