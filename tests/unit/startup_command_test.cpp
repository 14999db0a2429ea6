#include <gtest/gtest.h>

#include "app/StartupCommand.h"
#include "text/CaseFold.h"

namespace {
bool Starts(const std::string& command, const std::string& exe)
{
    return StartupCommandStarts(command, exe, FoldAsciiCase);
}
}  // namespace

TEST(StartupCommand, CommandFor_QuotesThePathWithItsSpaces)
{
    EXPECT_EQ(StartupCommandFor("C:\\Program Files\\SkarnVale\\SkarnVale.exe"),
              "\"C:\\Program Files\\SkarnVale\\SkarnVale.exe\"");
}

TEST(StartupCommand, SamePathQuotedOrNotInAnyCase_StartsTheProgram)
{
    const std::string exe = "C:\\Users\\Ann\\AppData\\Local\\Programs\\SkarnVale\\SkarnVale.exe";
    EXPECT_TRUE(Starts(StartupCommandFor(exe), exe));
    EXPECT_TRUE(Starts("\"c:\\users\\ann\\appdata\\local\\programs\\skarnvale\\SKARNVALE.EXE\"", exe));
    EXPECT_TRUE(Starts("  " + exe + " ", exe));
    EXPECT_TRUE(Starts(StartupCommandFor(exe) + " /minimized", exe));
}

TEST(StartupCommand, OtherPathOrEmptyCommand_DoesNotStartTheProgram)
{
    const std::string exe = "D:\\Tools\\SkarnVale.exe";
    EXPECT_FALSE(Starts("\"C:\\Old\\SkarnVale.exe\"", exe));
    EXPECT_FALSE(Starts("\"D:\\Tools\\SkarnVale.exe.bak\"", exe));
    EXPECT_FALSE(Starts("D:\\Tools\\SkarnVale.exe /x", exe));  // unquoted: the whole command is the path
    EXPECT_FALSE(Starts("", exe));
    EXPECT_FALSE(Starts("\"\"", exe));
    EXPECT_FALSE(Starts("\"D:\\Tools\\SkarnVale.exe", "D:\\Tools"));
}

TEST(StartupCommand, UnclosedQuote_NamesTheRestOfTheCommand)
{
    EXPECT_TRUE(Starts("\"D:\\Tools\\SkarnVale.exe", "D:\\Tools\\SkarnVale.exe"));
}

// Task Manager's switch: an odd first byte is off, whatever follows (the
// time it was turned off); no value, or an even first byte, is on.
TEST(StartupCommand, ApprovalBytes_OddFirstByteIsOff)
{
    EXPECT_FALSE(StartupApprovalDisabled(""));
    EXPECT_FALSE(StartupApprovalDisabled(StartupApprovalEnabled()));
    EXPECT_FALSE(StartupApprovalDisabled(std::string("\x06\0\0\0", 4)));
    EXPECT_TRUE(StartupApprovalDisabled(std::string("\x03\0\0\0\x10\x32\x54\x76\x98\xBA\xDC\x01", 12)));
    EXPECT_TRUE(StartupApprovalDisabled(std::string("\x01", 1)));
    EXPECT_TRUE(StartupApprovalDisabled(std::string("\xFF", 1)));
}

TEST(StartupCommand, EnabledBytes_AreTwoThenElevenZeros)
{
    EXPECT_EQ(StartupApprovalEnabled(), std::string("\x02\0\0\0\0\0\0\0\0\0\0\0", 12));
}
