// A small driver that works a Windows program's windows the way a person would, for UI tests under Wine:
// finds windows by title and controls by identifier, reads texts, presses buttons, works tree views.
//
//   uidriver STEP [STEP ...]        each STEP is one argument: verb|arg|arg...
//
//   wait|TITLE[|MS]                 a visible top-level window with that title appears
//   gone|TITLE[|MS]                 no such window is left
//   windows                         prints the titles of the visible top-level windows, one per line
//   text|TITLE|ID                   prints the control's text
//   expect|TITLE|ID|TEXT            the control's text becomes TEXT (within 5 s)
//   visible|TITLE|ID|0|1            the control becomes hidden (0) or shown (1) within 5 s
//   default|TITLE|ID                the button is the default push button
//   checked|TITLE|ID|0|1            the check box or radio button is clear (0) or checked (1)
//   icon|TITLE|ID|0|1               the picture control shows no icon (0) or an icon (1) within 5 s
//   enabled|TITLE|ID|0|1            the control is disabled (0) or enabled (1), within 5 s
//   type|TITLE|ID|TEXT              replaces the text of an edit control
//   check|TITLE|ID|0|1              clears or sets a check box, as a click on it would
//   select|TITLE|ID|INDEX           chooses an entry of a drop-down list, as a person would
//   click|TITLE|ID                  presses a button once it is enabled and shown, within 5 s, as a
//                                   person waits for it (posted, so that a modal loop it
//                                   starts does not block the driver)
//   command|TITLE|ID                posts WM_COMMAND with ID to the window itself (IDCANCEL is Escape)
//   syscommand|TITLE|ID             posts WM_SYSCOMMAND with ID, as the window's system menu would
//   tree|TITLE|ID[|pictures]        prints the tree's items, indented, "*" before the selected one; with
//                                   "pictures", each followed by a space and its picture's index
//   tree-select|TITLE|ID|A\B\C      selects the item reached by those texts from the root
//   tree-click|TITLE|ID|A\B|WHERE   moves the mouse pointer onto that item and clicks: WHERE is "left" or
//                                   "right" on its label, or "picture" (a left click on its picture)
//   tree-edit|TITLE|ID|TEXT         types TEXT into the label being edited and ends the edit
//   tree-try-edit|TITLE|ID          asks to edit the selected item's label; prints "editing" or "refused"
//   menu|TITLE|POSITION             prints the items of the menu at that position of the window's menu bar
//                                   (0 the first): "-" for a separator, else "ID TEXT", " (grayed)" after
//                                   a grayed item; read inside the program by the hook library uihook.dll
//   drop|TITLE|PATH[|PATH...]       drops those files on the window, as a drag from the shell would
//   drop-at|TITLE|PLACE|PATH[|...]  the same, at a place (as drag names it) of the window: as the shell
//                                   does, onto the window there that accepts files, or the nearest of its
//                                   parents that does (the window itself when none does)
//   pop-tips|TITLE                  hides any tool tip that the window's program shows (the pointer of a
//                                   display without a person rests on the window and raises them)
//   menu-key|TITLE|ID               the menu key on the control (WM_CONTEXTMENU from the keyboard)
//   popup-menu                      prints the items of the pop-up menu that is open, as menu does
//   menu-choose|N                   in the pop-up menu that opens, the Nth item (from 0), by the keyboard
//   topmost|W|H|0|1                 no (0) or a (1) visible top-most window whose client area measures W x H
//                                   pixels is there, within 5 s (a window without a title, e.g. a splash)
//   list|TITLE|ID[|pictures]        prints the list's rows, "*" before a selected one, the columns joined by
//                                   " | "; with "pictures", each followed by a space and its picture's index
//   list-select|TITLE|ID|ROW[,ROW]  selects that row (from 0) alone and gives it the focus mark (and
//                                   selects the other rows listed as well)
//   list-click|TITLE|ID|ROW|WHERE   moves the mouse pointer onto the row's label and clicks: WHERE is "left",
//                                   "right" or "double"
//   list-edit|TITLE|ID|TEXT         types TEXT into the row label being edited and ends the edit
//   rows|TITLE|ID|N[|MS]            the list holds N rows (within MS, 20 s by default); prints the
//                                   milliseconds since the driver began its first step
//   column-width|TITLE|ID|COLUMN    prints the width of a list's column in pixels
//   key|TITLE|ID|KEY                presses a key on the control (Insert, Delete, F2, Return, Escape, Space,
//                                   or one letter or digit), as the keyboard would while it has the focus
//   press|TITLE|ID|KEY              gives the control the keyboard focus and presses the key on the keyboard
//                                   (through the system's input, so that keys the system itself turns into
//                                   messages, such as F1 into WM_HELP, take their way)
//   pixel|TITLE|ID|X|Y              prints the colour of the control's pixel at X,Y (client coordinates)
//                                   as RRGGBB in hex, as the screen shows it
//   rect|TITLE|ID                   prints the control's rectangle in its parent's client area: "X Y W H"
//   focused|TITLE                   prints the identifier of the control of the window that has the keyboard
//                                   focus, once the focus is inside the window (within 5 s)
//   client|TITLE                    prints the size of the window's client area: "W H"
//   place|TITLE                     prints the window's rectangle on the screen: "X Y W H"
//   resize|TITLE|X|Y|W|H            moves the window to that rectangle of the screen, as a person dragging
//                                   its edges would
//   drag|TITLE|FROM|TO[|ctrl][|alt][|escape]
//                                   presses the left button at FROM, moves the pointer to TO in steps
//                                   (holding Ctrl and/or Alt from the first step) and releases it there;
//                                   a place is ID:X,Y (client point of control ID), ID:tree:A\B (a tree
//                                   item's label) or ID:list:ROW (a list row's label); with "escape",
//                                   Escape is pressed before the release
//   label-key|TITLE|ID|KEY          presses a key in the label being edited in tree or list ID
//   tree-top|TITLE|ID               prints the text of the tree's first visible item
//   clipboard|TEXT                  puts TEXT on the clipboard (CF_TEXT), as a copy in another program would
//   sleep|MS
//
// Exits 0 when every step succeeds, 1 at the first that fails (with a message), 2 for a bad step.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/ui/uihook.h"

namespace {

constexpr DWORD kDefaultWait = 20000;  // a busy machine makes Wine slow to start and to open dialogs
DWORD driverStart = 0;  // when the driver began its first step

struct Failure {
    std::string message;
};

std::vector<std::string> Split(const std::string& step) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = step.find('|', start);
        parts.push_back(step.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            return parts;
        }
        start = bar + 1;
    }
}

struct FindState {
    const std::string* title;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    char text[512];
    if (IsWindowVisible(hwnd) && GetWindowTextA(hwnd, text, sizeof text) >= 0 && *state->title == text) {
        state->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowTitled(const std::string& title) {
    FindState state{&title, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

BOOL CALLBACK PrintTopLevel(HWND hwnd, LPARAM) {
    char text[512] = "";
    if (IsWindowVisible(hwnd)) {
        GetWindowTextA(hwnd, text, sizeof text);
        std::printf("%s\n", text);
    }
    return TRUE;
}

HWND WaitWindow(const std::string& title, DWORD timeout) {
    for (DWORD waited = 0;; waited += 50) {
        if (HWND hwnd = FindWindowTitled(title)) {
            return hwnd;
        }
        if (waited >= timeout) {
            throw Failure{"no window titled \"" + title + "\""};
        }
        Sleep(50);
    }
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(hwnd) == search->id && (search->found == nullptr || IsWindowVisible(hwnd))) {
        search->found = hwnd;
    }
    return TRUE;
}

// A control of the window or of a child dialog in it (a page), the visible one when several share the id.
HWND Control(const std::string& title, const std::string& id) {
    HWND window = WaitWindow(title, kDefaultWait);
    ControlSearch search{std::atoi(id.c_str()), nullptr};
    EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&search));
    HWND control = search.found;
    if (control == nullptr) {
        throw Failure{"window \"" + title + "\" has no control " + id};
    }
    return control;
}

std::string TextOf(HWND hwnd) {
    char text[4096] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return std::string(text, length);
}

// Memory inside the program under test, for control messages whose pointers the system does not carry
// across processes.
class RemoteBuffer {
public:
    RemoteBuffer(HWND hwnd, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ == nullptr) {
            throw Failure{"cannot open the program's process"};
        }
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (address_ == nullptr) {
            CloseHandle(process_);
            throw Failure{"cannot reserve memory in the program's process"};
        }
    }
    ~RemoteBuffer() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(size_t offset, const void* data, size_t size) const {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

struct TreeItem {
    std::string text;
    int picture;
};

TreeItem ReadTreeItem(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, sizeof(TVITEMA) + MAX_PATH);
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE;
    tv.hItem = item;
    tv.pszText = remote.At(sizeof(TVITEMA));
    tv.cchTextMax = MAX_PATH;
    remote.Write(0, &tv, sizeof tv);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    char text[MAX_PATH + 1] = "";
    remote.Read(sizeof(TVITEMA), text, MAX_PATH);
    remote.Read(0, &tv, sizeof tv);
    return {text, tv.iImage};
}

std::string TreeItemText(HWND tree, HTREEITEM item) { return ReadTreeItem(tree, item).text; }

// The item's label rectangle in screen coordinates.
RECT TreeItemLabel(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, sizeof(RECT));
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle's first bytes
    remote.Write(0, &rect, sizeof rect);
    if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.At(0)))) {
        throw Failure{"the tree item is not on the screen"};
    }
    remote.Read(0, &rect, sizeof rect);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A mouse click where a person's pointer would be: the pointer moves there and the buttons go down and up.
void ClickAt(POINT where, bool right) {
    SetCursorPos(where.x, where.y);
    Sleep(100);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    if (SendInput(2, input, sizeof(INPUT)) != 2) {
        throw Failure{"the system did not take the mouse click"};
    }
}

// The focus is set from the program's own input queue, which this thread shares for the moment.
void PressKey(HWND control, UINT key) {
    HWND window = GetAncestor(control, GA_ROOT);
    const DWORD program = GetWindowThreadProcessId(window, nullptr);
    const DWORD self = GetCurrentThreadId();
    AttachThreadInput(self, program, TRUE);
    SetForegroundWindow(window);
    SetFocus(control);
    const bool focused = GetFocus() == control;
    AttachThreadInput(self, program, FALSE);
    if (!focused) {
        throw Failure{"the control cannot take the keyboard focus"};
    }
    Sleep(100);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = static_cast<WORD>(key);
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (SendInput(2, input, sizeof(INPUT)) != 2) {
        throw Failure{"the system did not take the key"};
    }
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT which) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
}

void PrintTree(HWND tree, HTREEITEM item, int depth, bool pictures) {
    HTREEITEM selected = Next(tree, nullptr, TVGN_CARET);
    for (; item != nullptr; item = Next(tree, item, TVGN_NEXT)) {
        const TreeItem read = ReadTreeItem(tree, item);
        std::printf("%s%s%s", std::string(static_cast<size_t>(depth) * 2, ' ').c_str(), item == selected ? "*" : "",
                    read.text.c_str());
        if (pictures) {
            std::printf(" %d", read.picture);
        }
        std::printf("\n");
        PrintTree(tree, Next(tree, item, TVGN_CHILD), depth + 1, pictures);
    }
}

HTREEITEM FindTreeItem(HWND tree, const std::string& path) {
    HTREEITEM item = nullptr;
    HTREEITEM level = Next(tree, nullptr, TVGN_ROOT);
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('\\', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        for (item = level; item != nullptr && TreeItemText(tree, item) != part; item = Next(tree, item, TVGN_NEXT)) {
        }
        if (item == nullptr) {
            throw Failure{"no tree item \"" + part + "\" on the way to \"" + path + "\""};
        }
        if (slash == std::string::npos) {
            return item;
        }
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        level = Next(tree, item, TVGN_CHILD);
        start = slash + 1;
    }
    return item;
}

int ListColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int count = header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    return count > 0 ? count : 1;
}

struct ListCell {
    std::string text;
    int picture;
};

ListCell ReadListCell(HWND list, int row, int column) {
    RemoteBuffer remote(list, sizeof(LVITEMA) + MAX_PATH);
    LVITEMA lv{};
    lv.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0);
    lv.iItem = row;
    lv.iSubItem = column;
    lv.pszText = remote.At(sizeof(LVITEMA));
    lv.cchTextMax = MAX_PATH;
    remote.Write(0, &lv, sizeof lv);
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    char text[MAX_PATH + 1] = "";
    remote.Read(sizeof(LVITEMA), text, MAX_PATH);
    remote.Read(0, &lv, sizeof lv);
    return {text, lv.iImage};
}

void PrintList(HWND list, bool pictures) {
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const int columns = ListColumns(list);
    for (int row = 0; row < rows; ++row) {
        const bool selected = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
        std::string line = selected ? "*" : "";
        int picture = -1;
        for (int column = 0; column < columns; ++column) {
            const ListCell cell = ReadListCell(list, row, column);
            line += (column > 0 ? " | " : "") + cell.text;
            if (column == 0) {
                picture = cell.picture;
            }
        }
        if (pictures) {
            line += " " + std::to_string(picture);
        }
        std::printf("%s\n", line.c_str());
    }
}

void SelectListRow(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    LVITEMA lv{};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = 0;
    remote.Write(0, &lv, sizeof lv);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.At(0)));
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &lv, sizeof lv);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0)));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// Selects one more row, keeping the others.
void AddListRow(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    LVITEMA lv{};
    lv.stateMask = LVIS_SELECTED;
    lv.state = LVIS_SELECTED;
    remote.Write(0, &lv, sizeof lv);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0)));
}

// The row's label rectangle in screen coordinates.
RECT ListRowLabel(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_LABEL;
    remote.Write(0, &rect, sizeof rect);
    if (!SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At(0)))) {
        throw Failure{"the list has no row " + std::to_string(row)};
    }
    remote.Read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A place for the pointer, in screen coordinates: "ID:X,Y", "ID:tree:PATH" or "ID:list:ROW".
POINT PlaceOf(const std::string& title, const std::string& place) {
    const size_t colon = place.find(':');
    if (colon == std::string::npos) {
        throw Failure{"a place is ID:X,Y, ID:tree:PATH or ID:list:ROW, not \"" + place + "\""};
    }
    HWND control = Control(title, place.substr(0, colon));
    const std::string rest = place.substr(colon + 1);
    if (rest.compare(0, 5, "tree:") == 0) {
        const RECT label = TreeItemLabel(control, FindTreeItem(control, rest.substr(5)));
        return {label.left + 6, (label.top + label.bottom) / 2};
    }
    if (rest.compare(0, 5, "list:") == 0) {
        const RECT label = ListRowLabel(control, std::atoi(rest.c_str() + 5));
        return {label.left + 6, (label.top + label.bottom) / 2};
    }
    POINT point{std::atoi(rest.c_str()), 0};
    const size_t comma = rest.find(',');
    point.y = comma != std::string::npos ? std::atoi(rest.c_str() + comma + 1) : 0;
    ClientToScreen(control, &point);
    return point;
}

void SendKey(UINT key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void SendButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// A drag as a hand makes it: press, a few small moves past the drag threshold, then the way to the
// target in steps, with the keys held down while moving, and the release.
void Drag(POINT from, POINT to, const std::vector<UINT>& keys, bool escape) {
    SetCursorPos(from.x, from.y);
    Sleep(150);
    SendButton(true);
    Sleep(150);
    for (int i = 1; i <= 4; ++i) {
        SetCursorPos(from.x + i * 3, from.y + i * 2);
        Sleep(60);
    }
    for (UINT key : keys) {
        SendKey(key, false);
    }
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        SetCursorPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
        Sleep(60);
    }
    Sleep(300);
    if (escape) {
        SendKey(VK_ESCAPE, false);
        SendKey(VK_ESCAPE, true);
        Sleep(200);
    }
    SendButton(false);
    Sleep(150);
    for (UINT key : keys) {
        SendKey(key, true);
    }
}

UINT KeyOf(const std::string& name) {
    static const struct {
        const char* name;
        UINT key;
    } kKeys[] = {{"Insert", VK_INSERT}, {"Delete", VK_DELETE}, {"F2", VK_F2},     {"Return", VK_RETURN},
                 {"Escape", VK_ESCAPE}, {"Space", VK_SPACE},   {"Down", VK_DOWN}, {"Up", VK_UP},
                 {"Left", VK_LEFT},     {"Right", VK_RIGHT},   {"F8", VK_F8},     {"F1", VK_F1}};
    for (const auto& key : kKeys) {
        if (name == key.name) {
            return key.key;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    throw Failure{"unknown key \"" + name + "\""};
}

HWND WaitEditControl(HWND control, UINT message) {
    HWND edit = nullptr;
    for (DWORD waited = 0; (edit = reinterpret_cast<HWND>(SendMessageA(control, message, 0, 0))) == nullptr;
         waited += 50) {
        if (waited >= 5000) {
            throw Failure{"no label is being edited"};
        }
        Sleep(50);
    }
    return edit;
}

// Hands the window a drop of files: the block that the shell would give it, made in the program's memory
// and left there, since the program itself releases it (DragFinish).
void DropFiles(HWND window, const std::vector<std::string>& paths, POINT client = {0, 0}) {
    DROPFILES header{};
    header.pt = client;
    header.pFiles = sizeof header;
    header.fWide = FALSE;
    std::vector<char> block(reinterpret_cast<const char*>(&header), reinterpret_cast<const char*>(&header + 1));
    for (const std::string& path : paths) {
        block.insert(block.end(), path.c_str(), path.c_str() + path.size() + 1);
    }
    block.push_back('\0');
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = process != nullptr ? VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE)
                                      : nullptr;
    bool written = remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    if (process != nullptr) {
        CloseHandle(process);
    }
    if (!written) {
        throw Failure{"cannot make the dropped files' block in the program"};
    }
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// Hides a tool tip window of the program whose process is param.
BOOL CALLBACK PopToolTip(HWND hwnd, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (process == static_cast<DWORD>(param) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) {
        SendMessageTimeoutA(hwnd, TTM_POP, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    return TRUE;
}

// The items of one of the window's menus. Only the program's own process can read its menus, so the hook
// library is loaded into it by a hook on its user-interface thread and asked there.
std::string MenuItems(HWND window, int position) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    path = path.substr(0, path.find_last_of('\\') + 1) + kUiHookLibrary;
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        throw Failure{"cannot load " + path};
    }
    auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, kUiHookProcedure)));
    HHOOK hook = procedure != nullptr
                     ? SetWindowsHookExA(WH_CALLWNDPROC, procedure, library, GetWindowThreadProcessId(window, nullptr))
                     : nullptr;
    if (hook == nullptr) {
        FreeLibrary(library);
        throw Failure{"cannot set the hook of " + path};
    }
    std::vector<char> text(kUiHookBufferSize);
    {
        RemoteBuffer remote(window, kUiHookBufferSize);
        remote.Write(0, text.data(), 1);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, RegisterWindowMessageA(kUiHookReadMenu), static_cast<WPARAM>(position),
                            reinterpret_cast<LPARAM>(remote.At(0)), SMTO_ABORTIFHUNG, 5000, &ignored);
        remote.Read(0, text.data(), text.size() - 1);
    }
    UnhookWindowsHookEx(hook);
    FreeLibrary(library);
    if (text[0] == '\0') {
        throw Failure{"the program did not describe its menu"};
    }
    if (std::string(text.data()) == "no menu\n") {
        throw Failure{"the window has no menu at position " + std::to_string(position)};
    }
    return text.data();
}

struct SizeSearch {
    LONG width, height;
    bool found;
};

BOOL CALLBACK FindTopMost(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<SizeSearch*>(param);
    RECT client{};
    if (IsWindowVisible(hwnd) && (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 &&
        GetClientRect(hwnd, &client) && client.right == search->width && client.bottom == search->height) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

HWND OpenPopupMenu() {
    HWND menu = nullptr;
    for (DWORD waited = 0; (menu = FindWindowA("#32768", nullptr)) == nullptr || !IsWindowVisible(menu);
         waited += 50) {
        if (waited >= kDefaultWait) {
            throw Failure{"no pop-up menu opened"};
        }
        Sleep(50);
    }
    return menu;
}

void Need(const std::vector<std::string>& args, size_t count) {
    if (args.size() < count) {
        throw Failure{"step \"" + args[0] + "\" needs " + std::to_string(count - 1) + " arguments"};
    }
}

void Run(const std::vector<std::string>& a) {
    const std::string& verb = a[0];
    if (verb == "wait") {
        Need(a, 2);
        WaitWindow(a[1], a.size() > 2 ? static_cast<DWORD>(std::atoi(a[2].c_str())) : kDefaultWait);
    } else if (verb == "windows") {
        EnumWindows(PrintTopLevel, 0);
    } else if (verb == "gone") {
        Need(a, 2);
        DWORD timeout = a.size() > 2 ? static_cast<DWORD>(std::atoi(a[2].c_str())) : kDefaultWait;
        for (DWORD waited = 0; FindWindowTitled(a[1]) != nullptr; waited += 50) {
            if (waited >= timeout) {
                throw Failure{"the window \"" + a[1] + "\" is still there"};
            }
            Sleep(50);
        }
    } else if (verb == "text") {
        Need(a, 3);
        std::printf("%s\n", TextOf(Control(a[1], a[2])).c_str());
    } else if (verb == "expect") {
        Need(a, 4);
        HWND control = Control(a[1], a[2]);
        std::string text;
        for (DWORD waited = 0; (text = TextOf(control)) != a[3]; waited += 50) {
            if (waited >= 5000) {
                throw Failure{"control " + a[2] + " of \"" + a[1] + "\" shows \"" + text + "\", not \"" + a[3] + "\""};
            }
            Sleep(50);
        }
    } else if (verb == "visible") {
        Need(a, 4);
        HWND control = Control(a[1], a[2]);
        bool visible = false;
        for (DWORD waited = 0; (visible = IsWindowVisible(control) != FALSE) != (a[3] == "1"); waited += 50) {
            if (waited >= 5000) {
                throw Failure{"control " + a[2] + " of \"" + a[1] + "\" is " + (visible ? "shown" : "hidden")};
            }
            Sleep(50);
        }
    } else if (verb == "icon") {
        Need(a, 4);
        HWND control = Control(a[1], a[2]);
        bool shown = false;
        for (DWORD waited = 0; (shown = SendMessageA(control, STM_GETICON, 0, 0) != 0) != (a[3] == "1");
             waited += 50) {
            if (waited >= 5000) {
                throw Failure{"control " + a[2] + " of \"" + a[1] + "\" shows " + (shown ? "an" : "no") + " icon"};
            }
            Sleep(50);
        }
    } else if (verb == "checked") {
        Need(a, 4);
        bool checked = SendMessageA(Control(a[1], a[2]), BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != (a[3] == "1")) {
            throw Failure{"control " + a[2] + " of \"" + a[1] + "\" is " + (checked ? "checked" : "clear")};
        }
    } else if (verb == "enabled") {
        Need(a, 4);
        // Within 5 s: a click posted by an earlier step may still be on its way.
        HWND control = Control(a[1], a[2]);
        bool enabled = IsWindowEnabled(control) != FALSE;
        for (DWORD waited = 0; enabled != (a[3] == "1") && waited < 5000; waited += 50) {
            Sleep(50);
            enabled = IsWindowEnabled(control) != FALSE;
        }
        if (enabled != (a[3] == "1")) {
            throw Failure{"control " + a[2] + " of \"" + a[1] + "\" is " + (enabled ? "enabled" : "disabled")};
        }
    } else if (verb == "default") {
        Need(a, 3);
        LONG_PTR style = GetWindowLongPtrA(Control(a[1], a[2]), GWL_STYLE);
        if ((style & 0x0F) != BS_DEFPUSHBUTTON) {
            throw Failure{"control " + a[2] + " of \"" + a[1] + "\" is not the default button"};
        }
    } else if (verb == "type") {
        Need(a, 4);
        SendMessageA(Control(a[1], a[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()));
    } else if (verb == "check") {
        Need(a, 4);
        HWND box = Control(a[1], a[2]);
        SendMessageA(box, BM_SETCHECK, a[3] == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
        PostMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED),
                     reinterpret_cast<LPARAM>(box));
    } else if (verb == "select") {
        Need(a, 4);
        HWND combo = Control(a[1], a[2]);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(a[3].c_str())), 0);
        PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        // The choice made in the open list is then confirmed, which some dialogs (the common file dialogs'
        // file type) wait for.
        PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(combo));
    } else if (verb == "click") {
        // What a click on an enabled, visible button sends its dialog; BM_CLICK depends on the mouse
        // capture, which a window that is not in front may not get.
        Need(a, 3);
        HWND button = Control(a[1], a[2]);
        for (DWORD waited = 0; !IsWindowEnabled(button) || !IsWindowVisible(button); waited += 50) {
            if (waited >= 5000) {
                throw Failure{"button " + a[2] + " of \"" + a[1] + "\" cannot be pressed: it is disabled or hidden"};
            }
            Sleep(50);
        }
        PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    } else if (verb == "command") {
        Need(a, 3);
        PostMessageA(WaitWindow(a[1], kDefaultWait), WM_COMMAND, static_cast<WPARAM>(std::atoi(a[2].c_str())), 0);
    } else if (verb == "syscommand") {
        Need(a, 3);
        PostMessageA(WaitWindow(a[1], kDefaultWait), WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(a[2].c_str())), 0);
    } else if (verb == "tree") {
        Need(a, 3);
        HWND tree = Control(a[1], a[2]);
        PrintTree(tree, Next(tree, nullptr, TVGN_ROOT), 0, a.size() > 3 && a[3] == "pictures");
    } else if (verb == "tree-select") {
        Need(a, 4);
        HWND tree = Control(a[1], a[2]);
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FindTreeItem(tree, a[3])));
    } else if (verb == "tree-click") {
        Need(a, 5);
        HWND tree = Control(a[1], a[2]);
        HTREEITEM item = FindTreeItem(tree, a[3]);
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        const RECT label = TreeItemLabel(tree, item);
        const LONG middle = (label.top + label.bottom) / 2;
        if (a[4] == "picture") {
            // The picture lies just left of the label.
            ClickAt({label.left - 12, middle}, false);
        } else if (a[4] == "left" || a[4] == "right") {
            ClickAt({label.left + 4, middle}, a[4] == "right");
        } else {
            throw Failure{"a tree click is \"left\", \"right\" or \"picture\""};
        }
    } else if (verb == "tree-edit") {
        Need(a, 4);
        HWND tree = Control(a[1], a[2]);
        HWND edit = WaitEditControl(tree, TVM_GETEDITCONTROL);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()));
        PostMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    } else if (verb == "list") {
        Need(a, 3);
        PrintList(Control(a[1], a[2]), a.size() > 3 && a[3] == "pictures");
    } else if (verb == "rows") {
        Need(a, 4);
        HWND list = Control(a[1], a[2]);
        const int wanted = std::atoi(a[3].c_str());
        const DWORD timeout = a.size() > 4 ? static_cast<DWORD>(std::atol(a[4].c_str())) : kDefaultWait;
        for (DWORD waited = 0; ListView_GetItemCount(list) != wanted; waited += 10) {
            if (waited >= timeout) {
                throw Failure{"the list holds " + std::to_string(ListView_GetItemCount(list)) + " rows"};
            }
            Sleep(10);
        }
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - driverStart));
    } else if (verb == "list-select") {
        Need(a, 4);
        HWND list = Control(a[1], a[2]);
        SelectListRow(list, std::atoi(a[3].c_str()));
        for (size_t comma = a[3].find(','); comma != std::string::npos; comma = a[3].find(',', comma + 1)) {
            AddListRow(list, std::atoi(a[3].c_str() + comma + 1));
        }
    } else if (verb == "list-click") {
        Need(a, 5);
        HWND list = Control(a[1], a[2]);
        const RECT label = ListRowLabel(list, std::atoi(a[3].c_str()));
        const POINT where{label.left + 4, (label.top + label.bottom) / 2};
        if (a[4] == "double") {
            ClickAt(where, false);
            ClickAt(where, false);
        } else if (a[4] == "left" || a[4] == "right") {
            ClickAt(where, a[4] == "right");
        } else {
            throw Failure{"list-click needs left, right or double"};
        }
    } else if (verb == "list-edit") {
        Need(a, 4);
        HWND list = Control(a[1], a[2]);
        HWND edit = WaitEditControl(list, LVM_GETEDITCONTROL);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()));
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    } else if (verb == "column-width") {
        Need(a, 4);
        std::printf("%d\n", static_cast<int>(SendMessageA(Control(a[1], a[2]), LVM_GETCOLUMNWIDTH,
                                                          static_cast<WPARAM>(std::atoi(a[3].c_str())), 0)));
    } else if (verb == "key") {
        Need(a, 4);
        HWND control = Control(a[1], a[2]);
        const UINT key = KeyOf(a[3]);
        PostMessageA(control, WM_KEYDOWN, key, 1);
        PostMessageA(control, WM_KEYUP, key, 0xC0000001);
    } else if (verb == "press") {
        Need(a, 4);
        PressKey(Control(a[1], a[2]), KeyOf(a[3]));
    } else if (verb == "tree-try-edit") {
        Need(a, 3);
        HWND tree = Control(a[1], a[2]);
        HTREEITEM selected = Next(tree, nullptr, TVGN_CARET);
        HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(selected)));
        std::printf("%s\n", edit != nullptr ? "editing" : "refused");
        if (edit != nullptr) {
            SendMessageA(tree, TVM_ENDEDITLABELNOW, TRUE, 0);
        }
    } else if (verb == "menu") {
        Need(a, 3);
        std::printf("%s", MenuItems(WaitWindow(a[1], kDefaultWait), std::atoi(a[2].c_str())).c_str());
    } else if (verb == "drop") {
        Need(a, 3);
        DropFiles(WaitWindow(a[1], kDefaultWait), std::vector<std::string>(a.begin() + 2, a.end()));
    } else if (verb == "drop-at") {
        Need(a, 4);
        HWND window = WaitWindow(a[1], kDefaultWait);
        POINT client = PlaceOf(a[1], a[2]);
        for (HWND under = WindowFromPoint(client); under != nullptr && under != window; under = GetParent(under)) {
            if (GetWindowLongPtrA(under, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) {
                window = under;
                break;
            }
        }
        ScreenToClient(window, &client);
        DropFiles(window, std::vector<std::string>(a.begin() + 3, a.end()), client);
    } else if (verb == "pop-tips") {
        Need(a, 2);
        DWORD process = 0;
        GetWindowThreadProcessId(WaitWindow(a[1], kDefaultWait), &process);
        EnumWindows(PopToolTip, static_cast<LPARAM>(process));
    } else if (verb == "menu-key") {
        Need(a, 3);
        HWND control = Control(a[1], a[2]);
        PostMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), -1);
    } else if (verb == "popup-menu") {
        std::printf("%s", MenuItems(OpenPopupMenu(), kUiHookPopupMenu).c_str());
    } else if (verb == "menu-choose") {
        Need(a, 2);
        HWND menu = OpenPopupMenu();
        for (int i = 0; i <= std::atoi(a[1].c_str()); ++i) {
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    } else if (verb == "topmost") {
        Need(a, 4);
        const bool wanted = a[3] == "1";
        for (DWORD waited = 0;; waited += 50) {
            SizeSearch search{std::atol(a[1].c_str()), std::atol(a[2].c_str()), false};
            EnumWindows(FindTopMost, reinterpret_cast<LPARAM>(&search));
            if (search.found == wanted) {
                break;
            }
            if (waited >= 5000) {
                throw Failure{std::string(wanted ? "no" : "still a") + " top-most window of " + a[1] + " x " + a[2]};
            }
            Sleep(50);
        }
    } else if (verb == "pixel") {
        Need(a, 5);
        // Read from the screen: a window's own device context may not read back what was drawn.
        HWND control = Control(a[1], a[2]);
        POINT at{std::atoi(a[3].c_str()), std::atoi(a[4].c_str())};
        ClientToScreen(control, &at);
        HDC dc = GetDC(nullptr);
        const COLORREF colour = GetPixel(dc, at.x, at.y);
        ReleaseDC(nullptr, dc);
        if (colour == CLR_INVALID) {
            throw Failure{"the pixel is outside control " + a[2] + " of \"" + a[1] + "\""};
        }
        std::printf("%02X%02X%02X\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    } else if (verb == "focused") {
        Need(a, 2);
        HWND window = WaitWindow(a[1], kDefaultWait);
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        for (DWORD waited = 0;; waited += 50) {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr &&
                (info.hwndFocus == window || IsChild(window, info.hwndFocus))) {
                std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
                break;
            }
            if (waited >= 5000) {
                char active[256] = "";
                GetWindowTextA(info.hwndActive, active, sizeof active);
                throw Failure{"no control of \"" + a[1] + "\" has the keyboard focus (the active window is \"" +
                              active + "\")"};
            }
            Sleep(50);
        }
    } else if (verb == "client") {
        Need(a, 2);
        RECT client{};
        GetClientRect(WaitWindow(a[1], kDefaultWait), &client);
        std::printf("%ld %ld\n", client.right, client.bottom);
    } else if (verb == "resize") {
        Need(a, 6);
        SetWindowPos(WaitWindow(a[1], kDefaultWait), nullptr, std::atoi(a[2].c_str()), std::atoi(a[3].c_str()),
                     std::atoi(a[4].c_str()), std::atoi(a[5].c_str()), SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (verb == "place") {
        Need(a, 2);
        RECT rect{};
        GetWindowRect(WaitWindow(a[1], kDefaultWait), &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    } else if (verb == "rect") {
        Need(a, 3);
        HWND control = Control(a[1], a[2]);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    } else if (verb == "drag") {
        Need(a, 4);
        std::vector<UINT> keys;
        bool escape = false;
        for (size_t i = 4; i < a.size(); ++i) {
            if (a[i] != "ctrl" && a[i] != "alt" && a[i] != "escape") {
                throw Failure{"a drag holds ctrl or alt, or ends with escape, not \"" + a[i] + "\""};
            }
            escape = escape || a[i] == "escape";
            if (a[i] != "escape") {
                keys.push_back(a[i] == "ctrl" ? VK_CONTROL : VK_MENU);
            }
        }
        Drag(PlaceOf(a[1], a[2]), PlaceOf(a[1], a[3]), keys, escape);
    } else if (verb == "tree-top") {
        Need(a, 3);
        HWND tree = Control(a[1], a[2]);
        std::printf("%s\n", TreeItemText(tree, Next(tree, nullptr, TVGN_FIRSTVISIBLE)).c_str());
    } else if (verb == "label-key") {
        Need(a, 4);
        HWND control = Control(a[1], a[2]);
        char name[32] = "";
        GetClassNameA(control, name, sizeof name);
        HWND edit = WaitEditControl(
            control, lstrcmpiA(name, WC_LISTVIEWA) == 0 ? LVM_GETEDITCONTROL : TVM_GETEDITCONTROL);
        const UINT key = KeyOf(a[3]);
        PostMessageA(edit, WM_KEYDOWN, key, 1);
        PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
    } else if (verb == "clipboard") {
        Need(a, 2);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, a[1].size() + 1);
        char* chars = memory != nullptr ? static_cast<char*>(GlobalLock(memory)) : nullptr;
        if (chars == nullptr) {
            throw Failure{"no memory for the clipboard"};
        }
        std::memcpy(chars, a[1].c_str(), a[1].size() + 1);
        GlobalUnlock(memory);
        if (!OpenClipboard(nullptr)) {
            GlobalFree(memory);
            throw Failure{"the clipboard cannot be opened"};
        }
        EmptyClipboard();
        const bool set = SetClipboardData(CF_TEXT, memory) != nullptr;
        CloseClipboard();
        if (!set) {
            GlobalFree(memory);
            throw Failure{"the clipboard takes no text"};
        }
    } else if (verb == "sleep") {
        Need(a, 2);
        Sleep(static_cast<DWORD>(std::atoi(a[1].c_str())));
    } else {
        throw Failure{"unknown step \"" + verb + "\""};
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    driverStart = GetTickCount();
    for (int i = 1; i < argc; ++i) {
        try {
            Run(Split(argv[i]));
        } catch (const Failure& failure) {
            std::fprintf(stderr, "uidriver: step %d (%s): %s\n", i, argv[i], failure.message.c_str());
            return 1;
        }
    }
    return 0;
}
