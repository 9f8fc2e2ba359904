#include "desktop/DesktopEntries.h"

#include <gtest/gtest.h>

using namespace lintervale;

namespace {

TEST(DesktopEntries, ExecQuotesThePath) {
    EXPECT_EQ(AutostartExec("/opt/lintervale/lintervale"),
              "\"/opt/lintervale/lintervale\" -hidden");
    EXPECT_EQ(OpenWithExec("/a b/lv"), "\"/a b/lv\" %f");
    EXPECT_EQ(ExecArgument("/x$y`z\"w\\v%u"), "\"/x\\\\$y\\\\`z\\\\\"w\\\\\\\\v%%u\"");
}

TEST(DesktopEntries, EntriesCarryTheirExec) {
    bool found = false;
    EXPECT_EQ(DesktopEntryValue(AutostartEntry("/p/lv"), "Exec", &found), "\"/p/lv\" -hidden");
    EXPECT_TRUE(found);
    const std::string entry = OpenWithEntry("/p/lv", "lintervale");
    EXPECT_EQ(DesktopEntryValue(entry, "MimeType", &found), "application/x-bittorrent;");
    EXPECT_EQ(DesktopEntryValue(entry, "Icon", &found), "lintervale");
    EXPECT_EQ(DesktopEntryValue(entry, "Exec", &found), "\"/p/lv\" %f");
    DesktopEntryValue("[Other]\nExec=x\n", "Exec", &found);
    EXPECT_FALSE(found) << "only the [Desktop Entry] group counts";
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
