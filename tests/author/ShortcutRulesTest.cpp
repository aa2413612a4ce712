#include <gtest/gtest.h>

#include "author/ShortcutRules.h"
#include "author/views/RegistryText.h"

using namespace shortcut_rules;

namespace {

TEST(ShortcutRunListTest, EntriesAndShowCommandsBothWays) {
    ASSERT_EQ(RunChoices(), (std::vector<std::string>{"Normal Window", "Minimized", "Maximixed"}));
    const struct {
        int32_t stored;
        int choice;           // what the list shows for the stored value
        int32_t afterNoPick;  // stored again when nothing is chosen
    } kCases[] = {
        {1, 0, 1},
        {7, 1, 7},
        {3, 2, 3},
        // Values the list has no entry for show none and are kept unless an entry is chosen.
        {0, -1, 0},
        {2, -1, 2},
        {5, -1, 5},
        {-1, -1, -1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(RunChoiceOf(c.stored), c.choice);
        EXPECT_EQ(ShowCommandOf(-1, c.stored), c.afterNoPick);
        EXPECT_EQ(ShowCommandOf(RunChoiceOf(c.stored), c.stored), c.stored);
    }
    const int32_t kByChoice[] = {1, 7, 3};
    for (int choice = 0; choice < 3; ++choice) {
        EXPECT_EQ(ShowCommandOf(choice, 5), kByChoice[choice]);
    }
    EXPECT_EQ(ShowCommandOf(3, 7), 7);
}

TEST(ShortcutNameTest, EmptyAndFileNameCharactersAreRefused) {
    const char* const kEmpty = "Please enter a name for this shortcut.";
    const char* const kCharacters =
        "A shortcut name cannot contain any of the following characters:\n\\ / : * ? \" < > |";
    const struct {
        const char* name;
        const char* message;
    } kCases[] = {
        {"", kEmpty},           {"Widget", nullptr},   {"Widget 2.0 (beta)", nullptr},
        {" ", nullptr},         {"a\\b", kCharacters}, {"a/b", kCharacters},
        {"C:", kCharacters},    {"why?", kCharacters}, {"*", kCharacters},
        {"\"q\"", kCharacters}, {"<a>", kCharacters},  {"a|b", kCharacters},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const char* message = CheckName(c.name);
        if (c.message == nullptr) {
            EXPECT_EQ(message, nullptr);
        } else {
            ASSERT_NE(message, nullptr);
            EXPECT_STREQ(message, c.message);
        }
    }
}

TEST(RegistryTextTest, TypeAndDataColumns) {
    const struct {
        uint32_t type;
        const char* value;
        const char* typeText;
        const char* dataText;
    } kCases[] = {
        {1, "dark", "REG_SZ", "dark"},
        {3, "0a ff", "REG_BINARY", "0a ff"},
        {4, "31", "REG_DWORD", "0x0000001f (31)"},
        {4, "-1", "REG_DWORD", "0xffffffff (-1)"},
        {4, "4294967295", "REG_DWORD", "0xffffffff (-1)"},
        {4, "", "REG_DWORD", "0x00000000 (0)"},
        {4, "abc", "REG_DWORD", "0x00000000 (0)"},
        {7, "x", "REG_7", "x"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(registry_text::TypeText(c.type), c.typeText);
        EXPECT_EQ(registry_text::DataText(c.type, c.value), c.dataText);
    }
}

}  // namespace
