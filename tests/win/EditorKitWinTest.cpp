#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "win/ImageList.h"
#include "win/Menu.h"
#include "win/Splitter.h"

namespace {

std::string SystemFolder() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

TEST(ShellIcons, OneIconPerExtensionAndPerProgram) {
    win::ShellIcons icons;
    const int text = icons.IndexOf("C:\\nowhere\\readme.txt");
    ASSERT_GE(text, 0);
    EXPECT_EQ(icons.IndexOf("D:\\other\\NOTES.TXT"), text);
    EXPECT_EQ(icons.List().Count(), 1);

    // Programs have their own icons, each added once whatever the case of its path.
    const std::string notepad = SystemFolder() + "\\notepad.exe";
    const std::string mine = SystemFolder() + "\\winemine.exe";
    const int first = icons.IndexOf(notepad);
    const int second = icons.IndexOf(mine);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_NE(first, text);
    std::string upper = notepad;
    CharUpperA(&upper[0]);
    EXPECT_EQ(icons.IndexOf(upper), first);
    const int count = icons.List().Count();

    // A program that is not there shows the icon of its extension, one for all such programs; a file
    // without an extension still gets an icon.
    const int missing = icons.IndexOf("C:\\nowhere\\setup.exe");
    EXPECT_GE(missing, 0);
    EXPECT_EQ(icons.IndexOf("C:\\nowhere\\other.EXE"), missing);
    EXPECT_EQ(icons.List().Count(), count + 1);
    EXPECT_GE(icons.IndexOf("C:\\nowhere\\Makefile"), 0);
}

struct Panes {
    RECT first{};
    RECT second{};
};

win::Splitter::Layout Record(Panes* panes) {
    return [panes](const RECT& a, const RECT& b) {
        panes->first = a;
        panes->second = b;
    };
}

TEST(Splitter, KeepsPanesApartAndWithinLimits) {
    Panes panes;
    win::Splitter splitter(true, Record(&panes), 6, 24);
    splitter.SetArea({10, 20, 310, 120});
    EXPECT_EQ(splitter.Position(), 147);  // the middle of the room left beside the bar
    EXPECT_EQ(panes.first.right, 157);
    EXPECT_EQ(panes.second.left, 163);
    EXPECT_EQ(panes.second.right, 310);
    EXPECT_EQ(panes.first.top, 20);
    EXPECT_EQ(panes.second.bottom, 120);

    splitter.SetPosition(5);
    EXPECT_EQ(splitter.Position(), 24);
    splitter.SetPosition(1000);
    EXPECT_EQ(splitter.Position(), 300 - 6 - 24);
    splitter.SetPosition(100);
    const RECT bar = splitter.Bar();
    EXPECT_EQ(bar.left, 110);
    EXPECT_EQ(bar.right, 116);

    // A wider area keeps the bar's share of it.
    splitter.SetArea({10, 20, 604, 120});
    EXPECT_EQ(splitter.Position(), 200);
}

TEST(Splitter, ThreeOnOnePage) {
    // Top and bottom split by a horizontal bar, each of them split again by a vertical one, as the
    // Features page lays out its five panes.
    Panes top;
    Panes bottom;
    win::Splitter upper(true, Record(&top));
    win::Splitter lower(true, Record(&bottom));
    win::Splitter middle(false, [&](const RECT& a, const RECT& b) {
        upper.SetArea(a);
        lower.SetArea(b);
    });
    middle.SetArea({0, 0, 400, 306});
    EXPECT_EQ(top.first.bottom, 150);
    EXPECT_EQ(bottom.first.top, 156);
    upper.SetPosition(50);
    middle.SetPosition(100);
    EXPECT_EQ(top.first.right, 50);  // the upper bar kept its place when the area's height changed
    EXPECT_EQ(top.first.bottom, 100);
    EXPECT_EQ(bottom.second.top, 106);
    EXPECT_EQ(bottom.first.right, 197);
}

TEST(KeyCommands, KeysOfTheFocusedControlOnly) {
    HWND tree = reinterpret_cast<HWND>(0x1000);
    HWND list = reinterpret_cast<HWND>(0x2000);
    const win::KeyCommands keys{tree, 10, 11, 12};
    const struct {
        HWND from;
        UINT code;
        WORD key;
        int command;
    } cases[] = {
        {tree, TVN_KEYDOWN, VK_INSERT, 10}, {tree, TVN_KEYDOWN, VK_DELETE, 11},
        {tree, TVN_KEYDOWN, VK_F2, 12},     {tree, TVN_KEYDOWN, VK_F3, 0},
        {list, LVN_KEYDOWN, VK_INSERT, 0},  {tree, TVN_SELCHANGEDA, VK_F2, 0},
    };
    for (const auto& c : cases) {
        NMTVKEYDOWN key{};
        key.hdr.hwndFrom = c.from;
        key.hdr.code = c.code;
        key.wVKey = c.key;
        EXPECT_EQ(keys.CommandOf(&key.hdr), c.command) << c.key;
    }
    const win::KeyCommands listKeys{list, 20, 0, 0};
    NMLVKEYDOWN key{};
    key.hdr.hwndFrom = list;
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = VK_INSERT;
    EXPECT_EQ(listKeys.CommandOf(&key.hdr), 20);
    key.wVKey = VK_DELETE;
    EXPECT_EQ(listKeys.CommandOf(&key.hdr), 0);
}

}  // namespace
