#include "list/ListFileAside.h"

#include "list/ListDataFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace lintervale;
namespace fs = std::filesystem;

namespace {

class ListFileAsideTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("lintervale-aside-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Write(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_Dir;
};

TEST_F(ListFileAsideTest, TheNameCarriesTheLocalTime) {
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 5;
    when.tm_hour = 7;
    when.tm_min = 8;
    when.tm_sec = 9;
    EXPECT_EQ(UnreadableListFileName("/d/Lintervale.dat", when),
              "/d/Lintervale.dat.unreadable-20240305-070809");
    EXPECT_EQ(UnreadableListFileName("/d/Lintervale.dat", when, 3),
              "/d/Lintervale.dat.unreadable-20240305-070809-3");
}

TEST_F(ListFileAsideTest, MovedBesideItNeverOverAnotherFile) {
    const std::string list = Write(m_Dir / "Lintervale.dat", "6\r\nbroken\r\n");
    const std::string first = MoveListFileAside(list);
    EXPECT_FALSE(fs::exists(list));
    EXPECT_EQ(fs::path(first).parent_path(), m_Dir);
    EXPECT_EQ(first.rfind(list + ".unreadable-", 0), 0u) << first;
    EXPECT_EQ(Read(first), "6\r\nbroken\r\n");

    // Twice in a second: the second one gets a name of its own; the first stays as it was.
    Write(list, "second");
    const std::string second = MoveListFileAside(list);
    EXPECT_NE(second, first);
    EXPECT_EQ(Read(second), "second");
    EXPECT_EQ(Read(first), "6\r\nbroken\r\n");
}

TEST_F(ListFileAsideTest, FailuresNameTheFileAndTheReason) {
    // A name too long for the folder once the suffix is added: the file cannot move, so it
    // stays where it is, unchanged.
    const std::string longList = Write(m_Dir / std::string(240, 'l'), "kept");
    // A file that is not there.
    const std::string missing = (m_Dir / "missing.dat").string();
    struct Case {
        std::string File;
        const char* Reason;
    };
    const Case cases[] = {{longList, "File name too long"}, {missing, "No such file or directory"}};
    for (const Case& c : cases) {
        try {
            MoveListFileAside(c.File);
            ADD_FAILURE() << c.File << " moved";
        } catch (const EListFileError& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find(c.File), std::string::npos) << text;
            EXPECT_NE(text.find(c.Reason), std::string::npos) << text;
        }
    }
    EXPECT_EQ(Read(longList), "kept");
}

} // namespace
