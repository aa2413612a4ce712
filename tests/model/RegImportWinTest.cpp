// The registry import against the system registry (under Wine here), over keys the test writes itself.
#include <windows.h>

#include <gtest/gtest.h>

#include "model/Project.h"

namespace {

class RegImportWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\TessaroImportTest" + std::to_string(GetCurrentProcessId());
        HKEY key = Create(base_);
        SetString(key, nullptr, "default text");
        SetString(key, "Name", "abc");
        DWORD number = 0x1F;
        RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
        const BYTE blob[] = {0x00, 0x7F, 0xFF};
        RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof blob);
        const std::string tooLong(300, 'x');
        RegCloseKey(key);
        HKEY sub = Create(base_ + "\\Sub");
        SetString(sub, "Inner", "1");
        RegCloseKey(sub);
    }

    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, (base_ + "\\Sub").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
    }

    static HKEY Create(const std::string& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    static void SetString(HKEY key, const char* name, const std::string& text) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }

    std::string base_;
};

TEST_F(RegImportWinTest, ImportsTheKeysTheTestWroteAndUpdatesThemOnASecondImport) {
    CProject project;
    project.Reset();
    const std::string path = "HKEY_CURRENT_USER\\" + base_;
    CRegItem* item = CRegItem::ImportFromSystem(project.rootRegs, path);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->FullPath(), path);
    ASSERT_NE(item->FindChild("", false), nullptr);
    EXPECT_EQ(item->FindChild("", false)->value, "default text");
    EXPECT_EQ(item->FindChild("", false)->DisplayName(), "(Default)");
    EXPECT_EQ(item->FindChild("Name", false)->value, "abc");
    EXPECT_EQ(item->FindChild("Count", false)->value, "31");
    EXPECT_EQ(item->FindChild("Count", false)->type, static_cast<uint32_t>(REG_DWORD));
    EXPECT_EQ(item->FindChild("Blob", false)->value, "00 7f ff");
    ASSERT_NE(item->FindChild("Sub", true), nullptr);
    EXPECT_EQ(item->FindChild("Sub", true)->FindChild("Inner", false)->value, "1");
    const size_t count = item->children.size();
    EXPECT_EQ(count, 5u);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    DWORD number = 42;
    RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    EXPECT_EQ(CRegItem::ImportFromSystem(project.rootRegs, path), item);
    EXPECT_EQ(item->children.size(), count) << "nothing duplicated";
    EXPECT_EQ(item->FindChild("Count", false)->value, "42");
}

TEST_F(RegImportWinTest, AValueTooLongForTheBuffersEndsTheValuesButNotTheSubkeys) {
    HKEY key = Create(base_);
    const std::string tooLong(300, 'x');
    SetString(key, "ZLong", tooLong);
    RegCloseKey(key);
    CProject project;
    project.Reset();
    CRegItem* item = CRegItem::ImportFromSystem(project.rootRegs, "HKEY_CURRENT_USER\\" + base_);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->FindChild("ZLong", false), nullptr);
    EXPECT_NE(item->FindChild("Sub", true), nullptr);
}

}  // namespace
