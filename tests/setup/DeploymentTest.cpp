#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/Feature.h"
#include "setup/engine/Deployment.h"
#include "setup/engine/SetupLog.h"

namespace {

TEST(TargetFolder, FullPathsAreTakenAndTidied) {
    const struct {
        const char* text;
        const char* folder;  // nullptr: refused
    } cases[] = {
        {"C:\\Program Files\\Widget", "C:\\Program Files\\Widget"},
        {"c:\\Widget\\\\", "c:\\Widget"},
        {"D:\\", "D:"},
        {"D:/Apps/Widget", "D:\\Apps\\Widget"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\server\\share\\Widget\\", "\\\\server\\share\\Widget"},
        {"", nullptr},
        {"Widget", nullptr},
        {".\\Widget", nullptr},
        {"C:", nullptr},
        {"C:Widget", nullptr},
        {"\\Widget", nullptr},
        {"\\\\server", nullptr},
        {"\\\\server\\", nullptr},
        {"\\\\\\share", nullptr},
        {"1:\\Widget", nullptr},
        {"C:\\Wid<get", nullptr},
        {"C:\\Wid\"get", nullptr},
        {"C:\\Wid|get", nullptr},
        {"C:\\Wid*", nullptr},
        {"C:\\a\tb", nullptr},
        {"C:\\a\\b:c", nullptr},
    };
    for (const auto& c : cases) {
        std::string folder = "unchanged";
        std::string error;
        const bool taken = NormalizeTargetFolder(c.text, &folder, &error);
        EXPECT_EQ(taken, c.folder != nullptr) << c.text;
        if (c.folder != nullptr) {
            EXPECT_EQ(folder, c.folder) << c.text;
            EXPECT_EQ(error, "") << c.text;
        } else {
            EXPECT_EQ(folder, "unchanged") << c.text;
            EXPECT_NE(error, "") << c.text;
        }
    }
}

TEST(FeatureNames, SplitAtCommas) {
    const struct {
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {"Main", {"Main"}},
        {"Main,Help", {"Main", "Help"}},
        {" Main Program ,\tHelp\t", {"Main Program", "Help"}},
        {",,Main,,", {"Main"}},
        {"", {}},
        {" , ", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitFeatureNames(c.text), c.names) << c.text;
    }
}

// Root: Program (with Shortcuts and Plugins below it), Documentation, Tools (required).
class NamedFeatures : public ::testing::Test {
protected:
    NamedFeatures() {
        program = root.AddChild(std::make_unique<CFeature>("Program", ""));
        shortcuts = program->AddChild(std::make_unique<CFeature>("Shortcuts", ""));
        plugins = program->AddChild(std::make_unique<CFeature>("Plugins", ""));
        documentation = root.AddChild(std::make_unique<CFeature>("Documentation", ""));
        tools = root.AddChild(std::make_unique<CFeature>("Tools", ""));
        tools->required = true;
    }
    std::string Selected() {
        std::string names;
        root.ForEach([&](CFeature& feature) {
            if (&feature != &root && feature.selected) {
                names += (names.empty() ? "" : " ") + feature.name;
            }
        });
        return names;
    }

    CFeature root;
    CFeature* program;
    CFeature* shortcuts;
    CFeature* plugins;
    CFeature* documentation;
    CFeature* tools;
};

TEST_F(NamedFeatures, SelectsTheNamedWithWhatIsBelowAndAboveThem) {
    const struct {
        std::vector<std::string> names;
        const char* selected;
    } cases[] = {
        {{"Documentation"}, "Documentation Tools"},
        {{"documentation"}, "Documentation Tools"},  // case does not matter
        {{"Program"}, "Program Shortcuts Plugins Tools"},
        {{"Plugins"}, "Program Plugins Tools"},
        {{"Shortcuts", "DOCUMENTATION"}, "Program Shortcuts Documentation Tools"},
        {{"Tools"}, "Tools"},
    };
    for (const auto& c : cases) {
        root.ForEach([](CFeature& feature) { feature.selected = true; });
        std::string unknown;
        EXPECT_TRUE(SelectNamedFeatures(root, c.names, &unknown)) << c.selected;
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_TRUE(root.selected);
    }
}

TEST_F(NamedFeatures, AnUnknownNameChangesNothing) {
    documentation->selected = false;
    std::string unknown;
    EXPECT_FALSE(SelectNamedFeatures(root, {"Program", "Extras", "Nope"}, &unknown));
    EXPECT_EQ(unknown, "Extras");
    EXPECT_EQ(Selected(), "Program Shortcuts Plugins Tools");  // as before the call
    EXPECT_FALSE(SelectNamedFeatures(root, {""}, &unknown));
    EXPECT_EQ(unknown, "");
    root.name = "Root";
    EXPECT_FALSE(SelectNamedFeatures(root, {"Root"}, &unknown));  // the root is no feature to name
    EXPECT_EQ(unknown, "Root");
    EXPECT_EQ(Selected(), "Program Shortcuts Plugins Tools");
}

TEST(LogLine, OneLinePerEvent) {
    const LogTime time{2026, 12, 8, 9, 5, 3};
    const struct {
        const char* event;
        const char* detail;
        const char* line;
    } cases[] = {
        {"Folder made", "C:\\Program Files\\W", "2026-12-08 09:05:03  Folder made: C:\\Program Files\\W"},
        {"Sequence completed", "", "2026-12-08 09:05:03  Sequence completed"},
        {"Failed", "Cannot Extract files!(x)\n\nDisk full",
         "2026-12-08 09:05:03  Failed: Cannot Extract files!(x) Disk full"},
        {"Failed", "a\r\nb\tc", "2026-12-08 09:05:03  Failed: a b c"},
        {"Failed", "\n  message \r\n", "2026-12-08 09:05:03  Failed: message"},
        {"Step", " \n ", "2026-12-08 09:05:03  Step"},
        {"Two\nlines", "x", "2026-12-08 09:05:03  Two lines: x"},
        {"File copied", "C:\\\xe9t\xe9.txt (Always overwrite: no file there)",
         "2026-12-08 09:05:03  File copied: C:\\\xe9t\xe9.txt (Always overwrite: no file there)"},
    };
    for (const auto& c : cases) {
        const std::string line = FormatLogLine(time, c.event, c.detail);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
}

}  // namespace
