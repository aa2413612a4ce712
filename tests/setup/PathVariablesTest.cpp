#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "setup/engine/SetupEngine.h"

namespace {

class FakeFolders : public SystemFolders {
public:
    std::string WindowsFolder() override { return "C:\\WINDOWS"; }
    std::string SystemFolder() override { return "C:\\WINDOWS\\system32"; }
    std::string ShellFolder(const std::string& valueName, bool machine) override {
        auto it = values.find((machine ? "HKLM:" : "HKCU:") + valueName);
        return it == values.end() ? std::string() : it->second;
    }
    std::map<std::string, std::string> values = {
        {"HKCU:Desktop", "C:\\Users\\ann\\Desktop"},
        {"HKCU:Programs", "C:\\Users\\ann\\Start Menu\\Programs"},
        {"HKLM:Common Programs", "C:\\All Users\\Start Menu\\Programs"},
        {"HKCU:Personal", "C:\\Users\\ann\\Documents"},
    };
};

class PathVariables : public ::testing::Test {
protected:
    FakeFolders folders;
    SetupEngine engine{folders};
};

TEST_F(PathVariables, NamesIgnoreCase) {
    EXPECT_EQ(engine.ExpandVariables("<Windows System Folder>\\TSSetup.exe"), "C:\\WINDOWS\\system32\\TSSetup.exe");
    EXPECT_EQ(engine.ExpandVariables("<windows system folder>\\TSSetup.exe"), "C:\\WINDOWS\\system32\\TSSetup.exe");
    engine.project.target = "D:\\App";
    EXPECT_EQ(engine.ExpandVariables("<TARGET FOLDER>\\bin"), "D:\\App\\bin");
}

TEST_F(PathVariables, UnknownNamesAndUnpairedBrackets) {
    EXPECT_EQ(engine.ExpandVariables("<nothing known>\\x"), "\\x");
    EXPECT_EQ(engine.ExpandVariables("a<b"), "a<b");
    EXPECT_EQ(engine.ExpandVariables("a>b<c"), "a>b<c");
    EXPECT_EQ(engine.ExpandVariables("<>x<"), "x<");
}

TEST_F(PathVariables, ValuesAreNotScannedAgain) {
    engine.userName = "<product name>";
    engine.project.productName = "Prod";
    EXPECT_EQ(engine.ExpandVariables("<user name>/<product name>"), "<product name>/Prod");
}

TEST_F(PathVariables, HardCodedIsLowerCase) {
    EXPECT_EQ(engine.ExpandVariables("<hard coded C:\\Data>\\f.txt"), "c:\\data\\f.txt");
    EXPECT_EQ(engine.ExpandVariables("<Hard Coded >"), "");
}

TEST_F(PathVariables, RunValues) {
    engine.installForAll = true;
    engine.menuShortcuts = false;
    engine.mode = SM_REMOVE;
    engine.test = true;
    engine.databasePath = "C:\\M\\tsdb.dat";
    engine.tstempFolder = "C:\\TEMP\\ts";
    engine.sourceFolder = "C:\\M";
    EXPECT_EQ(engine.ExpandVariables("<install for all>,<install menu shortcuts>,<install desktop shortcuts>"),
              "TRUE,FALSE,TRUE");
    EXPECT_EQ(engine.ExpandVariables("<setup mode>|<test>"), "SM_REMOVE|TRUE");
    EXPECT_EQ(engine.ExpandVariables("<tsdb folder>|<temp folder>|<tstemp folder>|<source folder>"),
              "C:\\M\\tsdb.dat|C:\\TEMP\\ts|C:\\TEMP\\ts|C:\\M");
    EXPECT_EQ(engine.ExpandVariables("<program files>"), "C:\\Program Files");
    EXPECT_EQ(engine.ExpandVariables("<toolbar>"),
              "C:\\Users\\ann\\Application Data\\Microsoft\\Internet Explorer\\Quick Launch");
}

TEST_F(PathVariables, AllUsersFoldersOnNtOnly) {
    engine.installForAll = true;
    engine.osCode = 0x4000;
    EXPECT_EQ(engine.ResolveVariable("programs"), "C:\\All Users\\Start Menu\\Programs");
    engine.osCode = 0x400;
    EXPECT_EQ(engine.ResolveVariable("programs"), "C:\\Users\\ann\\Start Menu\\Programs");
    engine.osCode = 0x4000;
    engine.installForAll = false;
    EXPECT_EQ(engine.ResolveVariable("programs"), "C:\\Users\\ann\\Start Menu\\Programs");
    EXPECT_EQ(engine.ResolveVariable("desktop"), "C:\\Users\\ann\\Desktop");
}

TEST_F(PathVariables, MyDocumentsFallsBackToWindowsDrive) {
    EXPECT_EQ(engine.ResolveVariable("my documents"), "C:\\Users\\ann\\Documents");
    folders.values.erase("HKCU:Personal");
    EXPECT_EQ(engine.ResolveVariable("my documents"), "C:\\My Documents");
}

TEST_F(PathVariables, FolderAndFilePaths) {
    CFolder* source = engine.project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    CFolder* target = engine.project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
    CFolder* bin = target->AddChild(std::make_unique<CFolder>("Bin"));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(bin, nullptr);
    engine.project.target = "D:\\App";
    engine.sourceFolder = "E:\\Media";
    engine.tstempFolder = "C:\\TEMP\\ts";
    EXPECT_EQ(engine.ResolvedFolderPath(*bin), "D:\\App\\Bin");

    CFileItem inSource;
    inSource.title = "readme.txt";
    inSource.folder = source;
    CFileItem inBin;
    inBin.title = "a.exe";
    inBin.folder = bin;
    CFileItem loose;
    loose.title = "x";
    EXPECT_EQ(engine.ResolvedFilePath(inSource), "E:\\Media\\readme.txt");
    EXPECT_EQ(engine.FilePath(loose), "");
    engine.project.mediaType = 2;
    EXPECT_EQ(engine.ResolvedFilePath(inSource), "C:\\TEMP\\ts\\readme.txt");
    EXPECT_EQ(engine.ResolvedFilePath(inBin), "D:\\App\\Bin\\a.exe");
}

}  // namespace
