#include "desktop/DesktopEntries.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace lintervale;

namespace {

TEST(DesktopEntries, ExecQuotesThePath) {
    EXPECT_EQ(AutostartExec("/opt/lintervale/lintervale"),
              "\"/opt/lintervale/lintervale\" -hidden");
    EXPECT_EQ(OpenWithExec("/a b/lv"), "\"/a b/lv\" %F");
    EXPECT_EQ(ExecArgument("/x$y`z\"w\\v%u"), "\"/x\\\\$y\\\\`z\\\\\"w\\\\\\\\v%%u\"");
}

TEST(DesktopEntries, EntriesCarryTheirExec) {
    bool found = false;
    EXPECT_EQ(DesktopEntryValue(AutostartEntry("/p/lv"), "Exec", &found), "\"/p/lv\" -hidden");
    EXPECT_TRUE(found);
    const std::string entry = OpenWithEntry("/p/lv", "lintervale");
    EXPECT_EQ(DesktopEntryValue(entry, "MimeType", &found), "application/x-bittorrent;");
    EXPECT_EQ(DesktopEntryValue(entry, "Icon", &found), "lintervale");
    EXPECT_EQ(DesktopEntryValue(entry, "Exec", &found), "\"/p/lv\" %F");
    DesktopEntryValue("[Other]\nExec=x\n", "Exec", &found);
    EXPECT_FALSE(found) << "only the [Desktop Entry] group counts";
}

TEST(DesktopEntries, ExecProgramUndoesTheQuoting) {
    // What the program writes comes back as the path it was written from.
    for (const char* path : {"/usr/bin/lintervale", "/opt/Lintervale 1.0/lintervale",
                             "/x$y`z\"w\\v%u/lv", "/100%%/lv", "/caf\xc3\xa9/lv"}) {
        EXPECT_EQ(ExecProgram(AutostartExec(path)), path) << path;
        EXPECT_EQ(ExecProgram(OpenWithExec(path)), path) << path;
    }
    // Entries written by others: bare names, spaces escaped as a string value, nothing.
    struct Case {
        const char* exec;
        const char* program;
    };
    const Case cases[] = {
        {"lintervale %F", "lintervale"},
        {"  lintervale", "lintervale"},
        {"\"/opt/a b/lv\" %f", "/opt/a b/lv"},
        {"/opt/a\\sb/lv %f", "/opt/a"}, // \s is a space, and an unquoted space ends the word
        {"\"/unterminated %F", "/unterminated %F"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExecProgram(c.exec), c.program) << c.exec;
    }
}

// The entry written at run time says what the installed one says, but for the program's path.
TEST(DesktopEntries, TheWrittenEntryMatchesTheInstalledOne) {
    std::ifstream in(LINTERVALE_DESKTOP_TEMPLATE);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string installed = text.str();
    const std::string written = OpenWithEntry("/p/lv", kApplicationId);
    bool found = false;
    EXPECT_EQ(DesktopEntryValue(installed, "Icon", &found), "@LINTERVALE_APP_ID@");
    EXPECT_EQ(DesktopEntryValue(installed, "Exec", &found), "lintervale %F");
    for (const char* key :
         {"Type", "Name", "GenericName", "GenericName[de]", "Comment", "Comment[de]", "MimeType",
          "Terminal", "Categories", "Keywords", "StartupNotify", "StartupWMClass"}) {
        bool inInstalled = false;
        bool inWritten = false;
        EXPECT_EQ(DesktopEntryValue(written, key, &inWritten),
                  DesktopEntryValue(installed, key, &inInstalled))
            << key;
        EXPECT_TRUE(inInstalled && inWritten) << key;
    }
}

// desktop-file-validate, where it is installed, accepts every entry the program writes.
TEST(DesktopEntries, WrittenEntriesAreValid) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("entries-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = "/opt/Lintervale 1.0/lint$erval`e";
    const std::pair<const char*, std::string> entries[] = {
        {"autostart", AutostartEntry(path)},
        {"open-with", OpenWithEntry(path, kApplicationId)},
    };
    for (const auto& [name, text] : entries) {
        const fs::path file = folder / (std::string(kApplicationId) + "." + name + ".desktop");
        std::ofstream(file) << text;
        const std::string command = "desktop-file-validate '" + file.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << name << ":\n" << text;
    }
    fs::remove_all(folder);
}

TEST(MimeApps, OursGoesFirstAndComesOutAgainLeavingTheRest) {
    const std::string mime = "application/x-bittorrent";
    struct Case {
        const char* what;
        std::string before;
        std::string with;
    };
    const Case cases[] = {
        {"no file", "", "[Default Applications]\napplication/x-bittorrent=lintervale.desktop;\n"},
        {"another default",
         "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\n"
         "application/x-bittorrent=qbittorrent.desktop;\ntext/html=firefox.desktop;\n",
         "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\n"
         "application/x-bittorrent=lintervale.desktop;qbittorrent.desktop;\n"
         "text/html=firefox.desktop;\n"},
        {"group without the line, CR LF kept elsewhere",
         "[Default Applications]\r\ntext/html=firefox.desktop;\r\n\r\n[Other]\r\nx=y\r\n",
         "[Default Applications]\r\ntext/html=firefox.desktop;\r\n"
         "application/x-bittorrent=lintervale.desktop;\n\r\n[Other]\r\nx=y\r\n"},
        {"no final line break", "[Default Applications]\ntext/html=f.desktop;",
         "[Default "
         "Applications]\ntext/html=f.desktop;\napplication/x-bittorrent=lintervale.desktop;\n"},
    };
    for (const Case& c : cases) {
        const std::string with = WithDefaultApplication(c.before, mime, "lintervale.desktop");
        EXPECT_EQ(with, c.with) << c.what;
        EXPECT_TRUE(DefaultApplicationIs(with, mime, "lintervale.desktop")) << c.what;
        EXPECT_EQ(WithDefaultApplication(with, mime, "lintervale.desktop"), with) << c.what;
        const std::string without = WithoutDefaultApplication(with, mime, "lintervale.desktop");
        EXPECT_FALSE(DefaultApplicationIs(without, mime, "lintervale.desktop")) << c.what;
        if (std::string(c.what) == "another default") {
            EXPECT_EQ(without, c.before) << "every other program's entry is back byte for byte";
        }
    }
}

TEST(MimeApps, TakingOutLeavesOtherProgramsAlone) {
    const std::string mime = "application/x-bittorrent";
    const std::string theirs = "[Default Applications]\napplication/x-bittorrent=deluge.desktop;\n";
    EXPECT_EQ(WithoutDefaultApplication(theirs, mime, "lintervale.desktop"), theirs);
    EXPECT_FALSE(DefaultApplicationIs(theirs, mime, "lintervale.desktop"));
    EXPECT_FALSE(
        DefaultApplicationIs("[Added Associations]\napplication/x-bittorrent=lintervale.desktop;\n",
                             mime, "lintervale.desktop"))
        << "only the default group counts";
    EXPECT_TRUE(DefaultApplicationIs(
        "[Default Applications]\napplication/x-bittorrent = lintervale.desktop ; other.desktop\n",
        mime, "lintervale.desktop"));
}

} // namespace
