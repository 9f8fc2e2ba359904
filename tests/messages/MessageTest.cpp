#include "messages/Message.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;

namespace {

constexpr const char* kTwo = Translatable("Message", "%1 trackers for \"%2\"");
constexpr const char* kOne = TranslatableCounted("Message", "%n file left out of %1.");
constexpr const char* kMany = TranslatableCounted("Message", "%n files left out of %1.");

} // namespace

TEST(Message, PlaceholdersAreFilledInOnePass) {
    struct Case {
        const char* what;
        const char* format;
        std::vector<std::string> args;
        long long count;
        std::string expected;
    };
    const Case cases[] = {
        {"in order", "%1 and %2", {"a", "b"}, -1, "a and b"},
        {"out of order and twice", "%2, %1, %2", {"a", "b"}, -1, "b, a, b"},
        {"an argument that holds a placeholder", "%1 / %2", {"%2", "x"}, -1, "%2 / x"},
        {"an argument that holds %n", "%1 (%n)", {"%n"}, 3, "%n (3)"},
        {"a placeholder without an argument stays", "%1 %3", {"a"}, -1, "a %3"},
        {"%n without a count stays", "%n left", {}, -1, "%n left"},
        {"a percent that is no placeholder", "100% of %1%", {"x"}, -1, "100% of x%"},
        {"%0 and %% are no placeholders", "%0 %% %1", {"y"}, -1, "%0 %% y"},
        {"a percent at the end", "%", {"z"}, -1, "%"},
        {"nine arguments", "%9%8%1", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, -1, "981"},
        {"bytes of UTF-8 pass unchanged",
         "\xE2\x80\x9E%1\xE2\x80\x9C",
         {"\xC3\xA4"},
         -1,
         "\xE2\x80\x9E\xC3\xA4\xE2\x80\x9C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FillPlaceholders(c.format, c.args, c.count), c.expected);
    }
}

TEST(Message, PartsJoinIntoOneText) {
    const TMessage status = TMessage::Verbatim("0123 - ") + TMessage(kTwo, {"2", "a \"name\""}) +
                            TMessage::Verbatim("  %1");
    ASSERT_EQ(status.Parts().size(), 3u);
    EXPECT_EQ(status.Parts()[0].Format, nullptr);
    EXPECT_EQ(status.Parts()[1].Format, kTwo);
    // What a verbatim part holds is never read as a format.
    EXPECT_EQ(status.English(), "0123 - 2 trackers for \"a \"name\"\"  %1");

    EXPECT_TRUE(TMessage().Empty());
    EXPECT_EQ(TMessage().English(), "");
    TMessage grown;
    grown += TMessage::Verbatim("");
    EXPECT_FALSE(grown.Empty());
    EXPECT_EQ(grown.English(), "");
}

TEST(Message, ACountChoosesItsEnglishForm) {
    struct Case {
        long long count;
        const char* format;
        std::string english;
    };
    const Case cases[] = {
        {0, kMany, "0 files left out of x."},
        {1, kOne, "1 file left out of x."},
        {2, kMany, "2 files left out of x."},
        {10000000000, kMany, "10000000000 files left out of x."},
    };
    for (const Case& c : cases) {
        const TMessage message = TMessage::Counted(kOne, kMany, c.count, {"x"});
        ASSERT_EQ(message.Parts().size(), 1u);
        EXPECT_EQ(message.Parts()[0].Format, c.format);
        EXPECT_EQ(message.Parts()[0].Count, c.count);
        EXPECT_EQ(message.English(), c.english);
    }
}

TEST(Message, AFailureCarriesItsMessage) {
    try {
        throw EMessageError(TMessage(kTwo, {"3", "n"}) + TMessage::Verbatim("!"));
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "3 trackers for \"n\"!");
        const auto* described = dynamic_cast<const EMessageError*>(&error);
        ASSERT_NE(described, nullptr);
        EXPECT_EQ(described->Message().Parts().size(), 2u);
        EXPECT_EQ(described->Message().English(), error.what());
    }
}
