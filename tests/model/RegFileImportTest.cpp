#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "model/RegFileImport.h"
#include "model/RegItem.h"

using regfile::ImportRegFile;
using regfile::ImportResult;
using namespace std::string_literals;

namespace {

struct Roots {
    CItemArray<CRegItem> regs{CRegItem::kMaxChildren};
    Roots() {
        for (const char* name : kRootRegistryNames) {
            regs.Add(std::make_unique<CRegItem>(name, 0));
        }
    }
    // The item at a path such as "HKEY_LOCAL_MACHINE\Software\A" (a key), or "...\A:Name" (a value).
    const CRegItem* Find(const std::string& path) const {
        const size_t colon = path.find(':');
        const std::string keyPath = path.substr(0, colon);
        const CRegItem* item = nullptr;
        size_t at = 0;
        while (at <= keyPath.size()) {
            size_t end = keyPath.find('\\', at);
            if (end == std::string::npos)
                end = keyPath.size();
            const std::string name = keyPath.substr(at, end - at);
            if (item == nullptr) {
                for (const CRegItem* root : regs) {
                    if (root->name == name)
                        item = root;
                }
            } else {
                item = item->FindChild(name, true);
            }
            if (item == nullptr)
                return nullptr;
            at = end + 1;
        }
        return colon == std::string::npos ? item : item->FindChild(path.substr(colon + 1), false);
    }
    // "type:text" of a value, or "missing".
    std::string Value(const std::string& path) const {
        const CRegItem* v = Find(path);
        return v == nullptr || v->IsKey() ? "missing" : std::to_string(v->type) + ":" + v->value;
    }
};

std::vector<uint8_t> Ansi(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The text in UTF-16 LE with a byte-order mark; \u escapes are not needed: the text is ASCII or Latin-1.
std::vector<uint8_t> Utf16(const std::string& text) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (unsigned char c : text) {
        bytes.push_back(c);
        bytes.push_back(0);
    }
    return bytes;
}

std::string Lines(const ImportResult& r) {
    std::string out;
    for (const regfile::Skipped& s : r.skipped) out += std::to_string(s.line) + " " + s.reason + "\n";
    return out;
}

const char* const kVersion5 = "Windows Registry Editor Version 5.00\r\n\r\n";

TEST(RegFileImportTest, ValuesOfEveryKindInBothVersions) {
    const std::string body =
        "[HKEY_LOCAL_MACHINE\\Software\\Tessaro Test]\r\n"
        "@=\"the default\"\r\n"
        "\"Path\"=\"C:\\\\Program Files\\\\A \\\"quoted\\\" name\"\r\n"
        "\"Count\"=dword:0000001f\r\n"
        "\"Minus\"=dword:ffffffff\r\n"
        "\"Bytes\"=hex:00,1f,ab,\\\r\n"
        "  ff,10\r\n"
        "\"Empty\"=hex:\r\n"
        "\"Dword4\"=hex(4):02,01,00,00\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Tessaro Test\\Sub\\Deeper]\r\n"
        "\"S\"=\"x\"\r\n";
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } kFiles[] = {
        {"REGEDIT4 ANSI", Ansi("REGEDIT4\r\n\r\n" + body)},
        {"version 5 UTF-16", Utf16(kVersion5 + body)},
        {"version 5 ANSI, Unix lines", Ansi("Windows Registry Editor Version 5.00\n\n" + body)},
    };
    for (const auto& f : kFiles) {
        SCOPED_TRACE(f.name);
        Roots roots;
        const ImportResult r = ImportRegFile(roots.regs, f.bytes);
        EXPECT_TRUE(r.recognized);
        EXPECT_EQ(Lines(r), "");
        EXPECT_EQ(r.keys, 2);
        EXPECT_EQ(r.values, 8);
        const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Tessaro Test";
        const struct {
            const char* name;
            const char* value;
        } kValues[] = {
            {"", "1:the default"},
            {"Path", "1:C:\\Program Files\\A \"quoted\" name"},
            {"COUNT", "4:31"},
            {"Minus", "4:-1"},
            {"Bytes", "3:00 1f ab ff 10"},
            {"Empty", "3:"},
            {"Dword4", "4:258"},
        };
        for (const auto& v : kValues) {
            EXPECT_EQ(roots.Value(key + ":" + v.name), v.value) << v.name;
        }
        EXPECT_EQ(roots.Value(key + "\\Sub\\Deeper:S"), "1:x");
        ASSERT_NE(roots.Find(key + "\\Sub"), nullptr);
        EXPECT_TRUE(roots.Find(key + "\\Sub")->IsKey());
    }
}

TEST(RegFileImportTest, ExpandableAndMultiStringsByVersion) {
    // "%windir%\x" and "one" (then "one", "two") as UTF-16 in version 5, as ANSI in REGEDIT4.
    const std::string v5 =
        std::string(kVersion5) +
        "[HKEY_CURRENT_USER\\Software\\T]\r\n"
        "\"E\"=hex(2):25,00,77,00,69,00,6e,00,64,00,69,00,72,00,25,00,5c,00,78,00,00,00\r\n"
        "\"M1\"=hex(7):6f,00,6e,00,65,00,00,00,00,00\r\n"
        "\"M2\"=hex(7):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00,00,00\r\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"S\"=hex(1):e9,00,00,00\r\n"
        "\"W\"=hex(1):3a,04,00,00\r\n";
    Roots roots;
    ImportResult r = ImportRegFile(roots.regs, Utf16(v5));
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:E"), "1:%windir%\\x");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:M1"), "1:one");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:M2"), "missing");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:Q"), "missing");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:S"), "1:\xe9");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Software\\T:W"), "missing");
    EXPECT_EQ(Lines(r),
              "4 the expandable string \"E\" is imported as a plain string (REG_SZ)\n"
              "5 the multi-string value \"M1\" is imported as a plain string (REG_SZ)\n"
              "6 the multi-string value \"M2\" holds several strings, which a project cannot hold\n"
              "7 the value \"Q\" is of type 11, which a project cannot hold\n"
              "9 the value \"W\" holds characters that the ANSI code page cannot hold\n");

    Roots ansi;
    r = ImportRegFile(ansi.regs, Ansi("REGEDIT4\n[HKCU\\Software\\T]\n\"E\"=hex(2):25,41,25,00\n"));
    EXPECT_EQ(ansi.Value("HKEY_CURRENT_USER\\Software\\T:E"), "1:%A%");
    EXPECT_EQ(r.skipped.size(), 1u);
}

TEST(RegFileImportTest, RootsDeletionsAndReplacedValues) {
    Roots roots;
    CRegItem* hklm = roots.regs[2];
    CRegItem* software = hklm->AddChild(std::make_unique<CRegItem>("SOFTWARE", 0));
    CRegItem* old = software->AddChild(std::make_unique<CRegItem>("name", 4));
    old->value = "5";
    old->permanent = true;
    const ImportResult r = ImportRegFile(roots.regs, Ansi(std::string("REGEDIT4\n"
                                                                      "[HKLM\\Software]\n"
                                                                      "\"Name\"=\"text\"\n"
                                                                      "\"Gone\"=-\n"
                                                                      "[-HKEY_CURRENT_USER\\Software\\Old]\n"
                                                                      "\"After\"=\"x\"\n"
                                                                      "[HKEY_CURRENT_CONFIG\\Software]\n"
                                                                      "[HKEY_NOWHERE\\A]\n"
                                                                      "[hkey_classes_root\\.tst]\n"
                                                                      "@=\"tst.file\"\n"
                                                                      "[HKU\\.DEFAULT\\\\A\\]\n"
                                                                      "[HKEY_CURRENT_USER]\n"
                                                                      "\"AtRoot\"=dword:00000001\n")));
    EXPECT_EQ(Lines(r),
              "4 deleting the value \"Gone\" is not imported\n"
              "5 deleting the key HKEY_CURRENT_USER\\Software\\Old is not imported\n"
              "6 the value's key (line 5) was not imported\n"
              "7 the project has no root key HKEY_CURRENT_CONFIG\n"
              "8 \"HKEY_NOWHERE\" is not a root key of the registry\n");
    // The key is found in other case, the value replaced in place: its type and text, not its flag.
    EXPECT_EQ(software->children.size(), 1u);
    EXPECT_EQ(roots.Value("HKEY_LOCAL_MACHINE\\SOFTWARE:name"), "1:text");
    EXPECT_TRUE(old->permanent);
    EXPECT_EQ(roots.Value("HKEY_CLASSES_ROOT\\.tst:"), "1:tst.file");
    EXPECT_NE(roots.Find("HKEY_USERS\\.DEFAULT\\A"), nullptr);
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER:AtRoot"), "4:1");
    EXPECT_EQ(roots.regs[1]->children.size(), 1u) << "the deleted key is not made";
}

TEST(RegFileImportTest, BadInputImportsWhatItCanAndListsTheRest) {
    const struct {
        const char* name;
        std::string text;
        bool recognized;
        const char* skipped;
        const char* imported;  // a value path expected present, or ""
    } kCases[] = {
        {"wrong header", "REGEDIT5\n[HKCU\\A]\n\"x\"=\"1\"\n", false,
         "1 not a file of the registry editor: the first line must be \"REGEDIT4\" or \"Windows Registry "
         "Editor "
         "Version 5.00\"\n",
         ""},
        {"empty", "", false,
         "1 not a file of the registry editor: the first line must be \"REGEDIT4\" or \"Windows Registry "
         "Editor "
         "Version 5.00\"\n",
         ""},
        {"truncated in a continued line", "REGEDIT4\n[HKCU\\A]\n\"x\"=\"1\"\n\"b\"=hex:01,02,\\\n", true,
         "4 the value's data breaks off after a continued line\n", "HKEY_CURRENT_USER\\A:x"},
        {"continued line cut off", "REGEDIT4\n[HKCU\\A]\n\"b\"=hex:01,\\\n\n\"x\"=\"1\"\n", true,
         "3 the value's data breaks off after a continued line\n", "HKEY_CURRENT_USER\\A:x"},
        {"truncated in a string", "REGEDIT4\n[HKCU\\A]\n\"x\"=\"1\"\n\"y\"=\"abc", true,
         "4 unreadable string data\n", "HKEY_CURRENT_USER\\A:x"},
        {"truncated key", "REGEDIT4\n[HKCU\\A]\n\"x\"=\"1\"\n[HKCU\\B", true,
         "4 unreadable key line (no closing ])\n", "HKEY_CURRENT_USER\\A:x"},
        {"unreadable lines",
         "REGEDIT4\n[HKCU\\A]\ngarbage\n\"n\" \"v\"\n\"d\"=dword:123456789\n\"h\"=hex:1,zz\n"
         "\"t\"=hex(zz):00\n\"u\"=unknown:1\n\"x\"=\"1\"\n\"q\"=\"1\" trailing\n",
         true,
         "3 unreadable line\n4 unreadable line (no = after the value's name)\n5 unreadable dword data\n"
         "6 unreadable hexadecimal data of the value \"h\"\n7 unreadable data type of the value \"t\"\n"
         "8 unreadable data of the value \"u\"\n10 unreadable string data\n",
         "HKEY_CURRENT_USER\\A:x"},
        {"value before a key", "REGEDIT4\n\"x\"=\"1\"\n[HKCU\\A]\n\"x\"=\"1\"\n", true,
         "2 a value before the first key\n", "HKEY_CURRENT_USER\\A:x"},
        {"zero byte", "REGEDIT4\n[HKCU\\A]\n\"z\"=\"a\0b\"\n\"x\"=\"1\"\n"s, true,
         "3 the value holds characters that the ANSI code page cannot hold\n", "HKEY_CURRENT_USER\\A:x"},
        {"long key name",
         "REGEDIT4\n[HKCU\\" + std::string(256, 'k') + "]\n\"v\"=\"1\"\n[HKCU\\A]\n\"x\"=\"1\"\n", true,
         "2 a key name longer than 255 characters\n3 the value's key (line 2) was not imported\n",
         "HKEY_CURRENT_USER\\A:x"},
        {"hex(4) not four bytes", "REGEDIT4\n[HKCU\\A]\n\"d\"=hex(4):01\n\"x\"=\"1\"\n", true,
         "3 a dword value \"d\" that does not hold 4 bytes\n", "HKEY_CURRENT_USER\\A:x"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Roots roots;
        const ImportResult r = ImportRegFile(roots.regs, Ansi(c.text));
        EXPECT_EQ(r.recognized, c.recognized);
        EXPECT_EQ(Lines(r), c.skipped);
        if (*c.imported != 0) {
            EXPECT_EQ(roots.Value(c.imported), "1:1");
        } else {
            EXPECT_EQ(roots.regs[1]->children.size(), 0u);
        }
    }
}

TEST(RegFileImportTest, CharactersOutsideTheAnsiCodePage) {
    // A key with a Cyrillic letter is skipped with its values; Latin-1 and the euro sign come through.
    std::vector<uint8_t> bytes = Utf16(std::string(kVersion5) + "[HKEY_CURRENT_USER\\K");
    bytes.push_back(0x3A);
    bytes.push_back(0x04);
    const std::vector<uint8_t> rest = Utf16("]\r\n\"v\"=\"1\"\r\n[HKEY_CURRENT_USER\\Caf\xe9]\r\n\"p\"=\"");
    bytes.insert(bytes.end(), rest.begin() + 2, rest.end());
    bytes.push_back(0xAC);
    bytes.push_back(0x20);  // the euro sign, 0x80 in code page 1252
    const std::vector<uint8_t> end = Utf16("\"\r\n");
    bytes.insert(bytes.end(), end.begin() + 2, end.end());
    Roots roots;
    const ImportResult r = ImportRegFile(roots.regs, bytes);
    EXPECT_EQ(Lines(r),
              "3 the key name holds characters that the ANSI code page cannot hold\n"
              "4 the value's key (line 3) was not imported\n");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\Caf\xe9:p"), "1:\x80");
}

TEST(RegFileImportTest, AUtf16FileCutOffInsideACharacter) {
    // A version 5 file that ends half-way through a character of a string value: the lines before it
    // are imported, the cut line is listed.
    std::vector<uint8_t> bytes =
        Utf16(std::string(kVersion5) + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n\"y\"=\"ab");
    bytes.push_back('c');
    Roots roots;
    const ImportResult r = ImportRegFile(roots.regs, bytes);
    EXPECT_TRUE(r.recognized);
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\A:x"), "1:1");
    EXPECT_EQ(roots.Value("HKEY_CURRENT_USER\\A:y"), "missing");
    EXPECT_EQ(Lines(r), "5 the file ends in the middle of a character\n");
}

TEST(RegFileImportTest, SkippedMessageListsTheLines) {
    ImportResult r;
    EXPECT_EQ(regfile::SkippedMessage(r), "");
    for (int i = 1; i <= 3; ++i) r.skipped.push_back({i * 10, "unreadable line"});
    EXPECT_EQ(regfile::SkippedMessage(r, 2),
              "These lines of the file were not imported as they stand:\n"
              "Line 10: unreadable line\nLine 20: unreadable line\n... and 1 more.\n");
}

#ifndef _WIN32
// tests/data/regedit-wine-export.reg was written by Wine's regedit ("regedit /e FILE KEY") after "reg add"
// had made the key and values checked here; tests/e2e/regedit_export.sh makes it again under Wine and
// compares. Version 5, UTF-16 LE with a byte-order mark, continued hex lines.
TEST(RegFileImportTest, AFileWrittenByWinesRegedit) {
    const char* data = std::getenv("TESSARO_TEST_DATA");
    ASSERT_NE(data, nullptr);
    std::ifstream file(std::string(data) + "/regedit-wine-export.reg", std::ios::binary);
    ASSERT_TRUE(file);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 2u);
    ASSERT_EQ(bytes[0], 0xFF);
    Roots roots;
    const ImportResult r = ImportRegFile(roots.regs, bytes);
    EXPECT_TRUE(r.recognized);
    EXPECT_EQ(Lines(r),
              "8 the expandable string \"Expand\" is imported as a plain string (REG_SZ)\n"
              "11 the multi-string value \"Multi\" holds several strings, which a project cannot hold\n"
              "13 the multi-string value \"Single\" is imported as a plain string (REG_SZ)\n");
    EXPECT_EQ(r.keys, 3);
    EXPECT_EQ(r.values, 8);
    const std::string key = "HKEY_CURRENT_USER\\Software\\Tessaro Regedit Sample";
    EXPECT_EQ(roots.Value(key + ":"), "1:default text");
    EXPECT_EQ(roots.Value(key + ":Path"), "1:C:\\Program Files\\A \"quoted\" name");
    EXPECT_EQ(roots.Value(key + ":Count"), "4:31");
    EXPECT_EQ(roots.Value(key + ":Minus"), "4:-1");
    EXPECT_EQ(
        roots.Value(key + ":Bytes"),
        "3:00 1f ab ff 10 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17 18 19 1a "
        "1b 1c 1d 1e 1f");
    EXPECT_EQ(roots.Value(key + ":Expand"), "1:%windir%\\x");
    EXPECT_EQ(roots.Value(key + ":Single"), "1:only");
    EXPECT_EQ(roots.Value(key + ":Multi"), "missing");
    EXPECT_EQ(roots.Value(key + "\\Sub\\Deeper:Caf\xe9"), "1:x");
}
#endif

}  // namespace
