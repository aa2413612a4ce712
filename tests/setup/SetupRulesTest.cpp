#include <gtest/gtest.h>

#include <string>

#include "setup/engine/SetupRules.h"

namespace {

TEST(CommandLine, UninstallWithPath) {
    const CommandLine line = ParseCommandLine("-U C:\\App\\TSdb.dat");
    EXPECT_EQ(line.mode, SM_REMOVE);
    ASSERT_TRUE(line.hasDatabasePath);
    EXPECT_EQ(line.databasePath, "C:\\App\\TSdb.dat");
    EXPECT_FALSE(line.force);
    EXPECT_FALSE(line.uiTypeGiven);
}

TEST(CommandLine, RemoveOtherVersionOptions) {
    const CommandLine line = ParseCommandLine("-FO2U C:\\Old\\TSdb.dat");
    EXPECT_EQ(line.mode, SM_REMOVE);
    EXPECT_TRUE(line.force);
    EXPECT_EQ(line.uiType, 1);
    EXPECT_TRUE(line.uiTypeGiven);
    EXPECT_TRUE(line.secondInstance);
    EXPECT_EQ(line.databasePath, "C:\\Old\\TSdb.dat");
}

TEST(CommandLine, LaterLettersWin) {
    EXPECT_EQ(ParseCommandLine("CU").mode, SM_REMOVE);
    EXPECT_EQ(ParseCommandLine("UC").mode, SM_REMOVE);  // the order of the letters does not matter
    EXPECT_EQ(ParseCommandLine("UA").mode, SM_ASK);
    EXPECT_EQ(ParseCommandLine("RN").mode, SM_REPAIR);
    EXPECT_EQ(ParseCommandLine("OS").uiType, 1);
    EXPECT_EQ(ParseCommandLine("S").uiType, 0);
    EXPECT_EQ(ParseCommandLine("").uiType, 2);
    EXPECT_FALSE(ParseCommandLine("").uiTypeGiven);
}

TEST(CommandLine, SwitchesInEitherCaseAfterDashOrSlash) {
    struct Case {
        const char* text;
        int32_t mode;
        int32_t uiType;
        bool test;
        bool help;
        const char* path;  // nullptr: no database named
    };
    const Case cases[] = {
        {"-s", SM_NEW, 0, false, false, nullptr},
        {"/S", SM_NEW, 0, false, false, nullptr},
        {"/s /u C:\\App\\TSdb.dat", SM_REMOVE, 0, false, false, "C:\\App\\TSdb.dat"},
        {"-S -U C:\\My-App\\TSdb.dat", SM_REMOVE, 0, false, false, "C:\\My-App\\TSdb.dat"},
        {"-u -s", SM_REMOVE, 0, false, false, nullptr},
        {"/o/t", SM_NEW, 1, true, false, nullptr},
        {"-St", SM_NEW, 0, true, false, nullptr},
        {"/?", SM_NEW, 2, false, true, nullptr},
        {"-?", SM_NEW, 2, false, true, nullptr},
        {"-c2 C:\\P F\\TSdb.dat", SM_CHANGE, 2, false, false, "C:\\P F\\TSdb.dat"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.text);
        EXPECT_EQ(line.error, "") << c.text;
        EXPECT_EQ(line.mode, c.mode) << c.text;
        EXPECT_EQ(line.uiType, c.uiType) << c.text;
        EXPECT_EQ(line.test, c.test) << c.text;
        EXPECT_EQ(line.help, c.help) << c.text;
        EXPECT_EQ(line.hasDatabasePath, c.path != nullptr) << c.text;
        EXPECT_EQ(line.databasePath, c.path != nullptr ? c.path : "") << c.text;
    }
}

TEST(CommandLine, UnknownOptionsMakeTheLineUnreadable) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"/SILENT", "Unknown option \"I\" on the command line!"},
        {"-x", "Unknown option \"x\" on the command line!"},
        {"-S -q", "Unknown option \"q\" on the command line!"},
        {"/h", "Unknown option \"h\" on the command line!"},
        {"-U3 C:\\App\\TSdb.dat", "Unknown option \"3\" on the command line!"},
        {"C:\\App\\TSdb.dat", "Unknown option \":\" on the command line!"},  // a path needs options first
        {"\"-S\"", "Unknown option \"\"\" on the command line!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseCommandLine(c.text).error, c.error) << c.text;
    }
    // The letters that are known still count, so a silent run stays silent while it refuses.
    EXPECT_EQ(ParseCommandLine("/SILENT").uiType, 0);
    EXPECT_NE(std::string(CommandLineHelp()).find("  S\tsilent"), std::string::npos);
}

TEST(CommandLine, SeparatorsAndVerbatimPath) {
    const CommandLine tabs = ParseCommandLine(" \t--T,\"C:\\My Dir\\x.dat\"");
    EXPECT_TRUE(tabs.test);
    EXPECT_EQ(tabs.databasePath, "C:\\My Dir\\x.dat");  // the quotes around a path are not part of it
    // Quotes count only around the whole path; a lone quote stays (and names no file).
    const struct {
        const char* text;
        const char* path;
        bool named;
    } quoted[] = {{"-SU \"C:\\Program Files\\A\\TSdb.dat\"", "C:\\Program Files\\A\\TSdb.dat", true},
                  {"U C:\\Program Files\\A\\TSdb.dat", "C:\\Program Files\\A\\TSdb.dat", true},
                  {"U \"C:\\a\" b", "\"C:\\a\" b", true},
                  {"U \"", "\"", true},
                  {"U \"\"", "", false}};
    for (const auto& c : quoted) {
        const CommandLine line = ParseCommandLine(c.text);
        EXPECT_EQ(line.databasePath, c.path) << c.text;
        EXPECT_EQ(line.hasDatabasePath, c.named) << c.text;
    }
    const CommandLine none = ParseCommandLine("C2");
    EXPECT_EQ(none.mode, SM_CHANGE);
    EXPECT_TRUE(none.secondInstance);
    EXPECT_FALSE(none.hasDatabasePath);
    EXPECT_FALSE(ParseCommandLine("U ").hasDatabasePath);  // nothing after the separator: no database named
    EXPECT_EQ(ParseCommandLine("U  x").databasePath, " x");  // only one separator is taken
}

TEST(CommandLine, DeploymentValues) {
    const struct {
        const char* text;
        const char* log;
        const char* target;
        const char* features;  // joined by "|"
        int32_t uiType;
        const char* path;  // nullptr: no database named
    } cases[] = {
        {"-S -L C:\\setup.log", "C:\\setup.log", "", "", 0, nullptr},
        {"/sl C:\\setup.log", "C:\\setup.log", "", "", 0, nullptr},
        {"-L \"C:\\My Logs\\a.log\" -S", "C:\\My Logs\\a.log", "", "", 0, nullptr},
        {"-S -D \"C:\\Program Files\\W\" -P Main,Help", "", "C:\\Program Files\\W", "Main|Help", 0, nullptr},
        {"-S -D C:/Apps/W/ -p \" Main , Help ,\"", "", "C:\\Apps\\W", "Main|Help", 0, nullptr},
        {"-D C:\\ -S", "", "C:", "", 0, nullptr},
        {"-D \\\\server\\share\\W", "", "\\\\server\\share\\W", "", 2, nullptr},
        {"-O -L x.log D:\\Media\\tsdb.dat", "x.log", "", "", 1, "D:\\Media\\tsdb.dat"},
        {"-SL a.log,b.dat", "a.log,b.dat", "", "", 0, nullptr},  // a value ends at a blank only
        {"-S -L a.log -L b.log", "b.log", "", "", 0, nullptr},   // the last value wins
        {"-S -P \"Main Program\" \"C:\\Media Dir\\tsdb.dat\"", "", "", "Main Program", 0, "C:\\Media Dir\\tsdb.dat"},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.text);
        EXPECT_EQ(line.error, "") << c.text;
        EXPECT_EQ(line.logPath, c.log) << c.text;
        EXPECT_EQ(line.targetFolder, c.target) << c.text;
        std::string features;
        for (const std::string& name : line.features) {
            features += (features.empty() ? "" : "|") + name;
        }
        EXPECT_EQ(features, c.features) << c.text;
        EXPECT_EQ(line.uiType, c.uiType) << c.text;
        EXPECT_EQ(line.hasDatabasePath, c.path != nullptr) << c.text;
        EXPECT_EQ(line.databasePath, c.path != nullptr ? c.path : "") << c.text;
    }
}

TEST(CommandLine, BadDeploymentValuesMakeTheLineUnreadable) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"-S -L", "The option \"L\" needs a value!"},
        {"-S -L -U", "The option \"L\" needs a value!"},
        {"-S -L \"C:\\a.log", "The option \"L\" needs a value!"},  // no closing quote
        {"-S -L,C:\\a.log", "The option \"L\" needs a value!"},
        {"-LS a.log", "The option \"L\" must end its group of letters!"},
        {"-S -D", "The option \"D\" needs a value!"},
        {"-S -D \"\"", "The target folder is empty!"},
        {"-S -D Widget", "The target folder \"Widget\" is not a full path!"},
        {"-S -D C:Widget", "The target folder \"C:Widget\" is not a full path!"},
        {"-S -D \\Widget", "The target folder \"\\Widget\" is not a full path!"},
        {"-S -D \\\\server", "The target folder \"\\\\server\" is not a full path!"},
        {"-S -D C:\\W?dget", "The target folder \"C:\\W?dget\" holds a character that no folder name can hold!"},
        {"-S -D C:\\a:b", "The target folder \"C:\\a:b\" holds a character that no folder name can hold!"},
        {"-S -P \" , \"", "The option \"P\" names no feature!"},
        {"-SU -D C:\\W C:\\W\\TSdb.dat", "The target folder and the features can be given only to an installation!"},
        {"-C -P Main C:\\W\\TSdb.dat", "The target folder and the features can be given only to an installation!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseCommandLine(c.text).error, c.error) << c.text;
    }
    EXPECT_EQ(ParseCommandLine("-S -D Widget").uiType, 0);  // still silent while it refuses
    EXPECT_NE(std::string(CommandLineHelp()).find("  L file\twrite the log"), std::string::npos);
}

TEST(OsCode, Releases) {
    EXPECT_EQ(OsCode(kPlatformNT, 5, 0, ""), 0x4000u);
    EXPECT_EQ(OsCode(kPlatformNT, 5, 1, "Service Pack 3"), 0x8003u);
    EXPECT_EQ(OsCode(kPlatformNT, 5, 2, ""), 0x10000u);
    EXPECT_EQ(OsCode(kPlatformNT, 4, 0, "Service Pack 6a"), 0x2006u);
    EXPECT_EQ(OsCode(kPlatformNT, 3, 51, ""), 0x1000u);
    EXPECT_EQ(OsCode(kPlatformNT, 10, 0, ""), 0x10000u);  // later NT releases are not code 0
    EXPECT_EQ(OsCode(kPlatformNT, 6, 1, "Service Pack 1"), 0x10001u);
    EXPECT_EQ(OsCode(kPlatformWindows, 4, 0, ""), 0x200u);
    EXPECT_EQ(OsCode(kPlatformWindows, 4, 10, ""), 0x400u);
    EXPECT_EQ(OsCode(kPlatformWindows, 4, 89, ""), 0x400u);
    EXPECT_EQ(OsCode(kPlatformWindows, 4, 90, ""), 0x800u);
    EXPECT_EQ(OsCode(kPlatformWindows, 5, 0, ""), 0u);
    EXPECT_EQ(OsCode(kPlatformWin32s, 3, 1, ""), 0x100u);
}

TEST(OsCode, ServicePackNumberIsBounded) {
    // A hostile version string cannot carry into the release bits.
    EXPECT_EQ(OsCode(kPlatformNT, 5, 1, "Service Pack 99999999999"), 0x80FFu);
    EXPECT_EQ(OsCode(kPlatformNT, 5, 1, "no digits"), 0x8000u);
}

TEST(OsCode, FileMasksOnEachRelease) {
    const uint32_t windows10 = OsCode(kPlatformNT, 10, 0, "");
    const uint32_t xpSp3 = OsCode(kPlatformNT, 5, 1, "Service Pack 3");
    const uint32_t windows98 = OsCode(kPlatformWindows, 4, 10, "");
    // A new file's mask (every named release) and the all-releases mask install everywhere.
    for (uint32_t code : {windows10, xpSp3, windows98}) {
        EXPECT_TRUE(FileRunsOnSystem(code, kOsMaskNamed)) << code;
        EXPECT_TRUE(FileRunsOnSystem(code, kOsMaskAll)) << code;
    }
    // The NT namesake of a file split by family installs on today's Windows; the 95 one does not.
    EXPECT_TRUE(FileRunsOnSystem(windows10, 0xE000));
    EXPECT_FALSE(FileRunsOnSystem(windows10, 0x0E00));
    EXPECT_FALSE(FileRunsOnSystem(xpSp3, 0x0E00));
    EXPECT_FALSE(FileRunsOnSystem(windows98, 0xE000));
    // A mask without XP stays off later releases, and XP does not take a file meant only for later ones.
    EXPECT_FALSE(FileRunsOnSystem(windows10, kOsWin2000 | kOsNT4));
    EXPECT_FALSE(FileRunsOnSystem(xpSp3, kOsLaterNT));
    // The service-pack number in the low byte is no release bit.
    EXPECT_FALSE(FileRunsOnSystem(OsCode(kPlatformNT, 5, 0, "Service Pack 255"), 0xFF));
}

TEST(OsCheck, NtServicePackAgainstMinimum) {
    EXPECT_FALSE(CheckOperatingSystem(0x2003, 0x200, 0x2004, "P").pass);
    EXPECT_TRUE(CheckOperatingSystem(0x2004, 0x200, 0x2004, "P").pass);
    EXPECT_TRUE(CheckOperatingSystem(0x10000, 0x200, 0x2004, "P").pass);
    EXPECT_FALSE(CheckOperatingSystem(0x2004, 0x200, 0x2004, "P").clearInstallForAll);
}

TEST(OsCheck, Windows98PassesAndLosesAllUsers) {
    const OsCheckResult r = CheckOperatingSystem(0x400, 0x200, 0x2004, "P");
    EXPECT_TRUE(r.pass);
    EXPECT_TRUE(r.clearInstallForAll);
    EXPECT_FALSE(CheckOperatingSystem(0x200, 0x400, 0x2004, "P").pass);
}

TEST(OsCheck, UnsupportedPlatformMessage) {
    for (uint32_t code : {0x100u, 0x1000u}) {
        const OsCheckResult r = CheckOperatingSystem(code, 0, 0, "P");
        EXPECT_FALSE(r.pass);
        EXPECT_EQ(r.message,
                  "This setup program runs only on the following Operating Systems:\nWindows 9X, Windows ME, or newer.\n"
                  "Windows NT 4.00, Windows 2000, or newer.");
    }
}

TEST(OsCheck, MinimumMessages) {
    EXPECT_EQ(CheckOperatingSystem(0x2003, 0x200, 0x2004, "Prod").message,
              "Prod runs only on the following Operating Systems:\nWindows 98,\nWindows NT4Service Pack 4\nor a newer OS.");
    EXPECT_EQ(CheckOperatingSystem(0x2004, 0x800, 0x4000, "Prod").message,
              "Prod runs only on the following Operating Systems:\nWindows ME,\nWindows 2000,\nor a newer OS.");
    EXPECT_EQ(CheckOperatingSystem(0x8000, 0x900, 0x10000, "Prod").message,
              "Prod runs only on the following Operating Systems:\nor a newer OS.");
    EXPECT_EQ(CheckOperatingSystem(0x4000, 0x200, 0x8002, "Prod").message,
              "Prod runs only on the following Operating Systems:\nWindows 98,\nWindows XPService Pack 2\nor a newer OS.");
}

TEST(ModeDecision, SilentCannotAsk) {
    EXPECT_TRUE(DecideMode(SM_CHANGE, 0, false, false, false, false, "P").exit);
    EXPECT_TRUE(DecideMode(SM_ASK, 0, true, false, false, false, "P").exit);
    const ModeDecision unattended = DecideMode(SM_ASK, 1, false, false, false, false, "P");
    EXPECT_FALSE(unattended.exit);
    EXPECT_EQ(unattended.uiType, 2);
    EXPECT_EQ(DecideMode(SM_REMOVE, 0, false, false, false, false, "P").uiType, 0);
}

TEST(ModeDecision, Restrictions) {
    EXPECT_EQ(DecideMode(SM_CHANGE, 2, false, true, false, true, "P").mode, SM_REMOVE);
    EXPECT_EQ(DecideMode(SM_CHANGE, 2, false, true, false, false, "P").mode, SM_REPAIR);
    EXPECT_EQ(DecideMode(SM_REMOVE, 2, false, true, false, false, "P").mode, SM_REMOVE);
    EXPECT_EQ(DecideMode(SM_REMOVE, 2, false, false, true, false, "P").mode, SM_CHANGE);
    EXPECT_EQ(DecideMode(SM_REPAIR, 2, false, false, false, true, "P").mode, SM_CHANGE);
    EXPECT_EQ(DecideMode(SM_REPAIR, 2, false, false, true, true, "P").mode, SM_REPAIR);
    EXPECT_EQ(DecideMode(SM_CHANGE, 2, true, true, false, true, "P").mode, SM_CHANGE);  // forced
    EXPECT_EQ(DecideMode(SM_NEW, 2, false, true, true, true, "P").mode, SM_NEW);
}

TEST(ModeDecision, NothingAllowed) {
    const ModeDecision full = DecideMode(SM_REMOVE, 2, false, true, true, true, "My App");
    EXPECT_TRUE(full.exit);
    EXPECT_EQ(full.message, "Can't modify, remove, or repair \"My App\"!");
    const ModeDecision silent = DecideMode(SM_REMOVE, 0, false, true, true, true, "My App");
    EXPECT_FALSE(silent.exit);
    EXPECT_EQ(silent.mode, SM_REMOVE);
    EXPECT_FALSE(DecideMode(SM_REMOVE, 2, true, true, true, true, "My App").exit);
}

TEST(FormatSize, Units) {
    EXPECT_EQ(FormatSize(0), "0 bytes");
    EXPECT_EQ(FormatSize(1023), "1023 bytes");
    EXPECT_EQ(FormatSize(1536), "1.0 KB");
    EXPECT_EQ(FormatSize(1024LL * 1024), "1024.0 KB");
    EXPECT_EQ(FormatSize(1024LL * 1025), "1.0 MB");
    EXPECT_EQ(FormatSize(5242880), "5.0 MB");
    EXPECT_EQ(FormatSize(1024LL * 1048576), "1024.0 MB");
    EXPECT_EQ(FormatSize(3221225472LL), "3.0 GB");
    EXPECT_EQ(FormatSize(-1023), "-1023 bytes");
    EXPECT_EQ(FormatSize(-2048), "-2.0 KB");
}

}  // namespace
