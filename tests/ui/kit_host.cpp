// The editors' kit in a test dialog, for its UI test: a tree and a list side by side with a splitter,
// label editing under a naming rule (names unique among siblings, case ignored), Insert, Delete and F2
// from each control's keys and the tree's context menu, drags of tree items and list rows onto tree
// items, and files dropped from the shell. What each action did is written into the log field.
// F8 starts moving the splitter by the keyboard.
#include "tests/ui/kit_host.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/NoCase.h"
#include "win/Dialog.h"
#include "win/DragTracker.h"
#include "win/ImageList.h"
#include "win/LabelEditor.h"
#include "win/ListView.h"
#include "win/Menu.h"
#include "win/Splitter.h"
#include "win/TreeView.h"

namespace {

constexpr int kNewRow = 114;

class KitDialog : public win::Dialog, public win::DropTarget {
public:
    KitDialog() : splitter_(true, nullptr), labels_("Kit Error") {}

    bool PreTranslate(MSG& message) {
        if (drag_.PreTranslate(message) || splitter_.PreTranslate(message)) {
            return true;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_F8) {
            splitter_.BeginKeyboardMove();
            return true;
        }
        return false;
    }

    bool CanDrop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect) override {
        if (target == nullptr) {
            return false;
        }
        for (HTREEITEM dragged : items.treeItems) {  // never onto itself or below itself
            for (HTREEITEM up = target; up != nullptr; up = tree_.Parent(up)) {
                if (up == dragged) {
                    return false;
                }
            }
        }
        return true;
    }

    void Drop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override {
        static const char* const kEffects[] = {"move", "copy", "shortcut"};
        std::string names;
        for (size_t i = 0; i < items.Count(); ++i) {
            names += (i > 0 ? "," : "") +
                     (items.fromTree ? tree_.ItemText(items.treeItems[i]) : list_.ItemText(items.rows[i]));
        }
        Log(std::string("drop ") + kEffects[static_cast<int>(effect)] + " " + names + " onto " +
            tree_.ItemText(target));
    }

protected:
    BOOL OnInit() override {
        tree_ = win::TreeView(Item(IDC_KIT_TREE).Handle());
        list_ = win::ListView(Item(IDC_KIT_LIST).Handle());
        ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
        icons_.IndexOf("readme.txt");
        list_.SetImageList(icons_.Images());
        list_.AddColumn("Name", 150);
        for (const char* name : {"one.txt", "two.txt", "three.exe"}) {
            list_.Append(name, 0, icons_.IndexOf(name));
        }
        HTREEITEM root = tree_.Insert(TVI_ROOT, "Root");
        for (const char* name : {"Alpha", "Beta", "Tools"}) {
            tree_.Insert(root, name);
        }
        HTREEITEM alpha = tree_.Child(root);
        for (int i = 1; i <= 20; ++i) {
            tree_.Insert(alpha, "Item " + std::to_string(i));
        }
        tree_.Expand(root);
        tree_.Select(root);

        RECT tree = tree_.RectInParent();
        RECT list = list_.RectInParent();
        splitter_ = win::Splitter(true, win::Splitter::Panes(tree_, list_));
        splitter_.Attach(Handle());
        splitter_.SetArea({tree.left, tree.top, list.right, tree.bottom});
        splitter_.SetPosition(tree.right - tree.left);

        treeKeys_ = {tree_.Handle(), IDC_KIT_INSERT, IDC_KIT_DELETE, IDC_KIT_RENAME};
        listKeys_ = {list_.Handle(), kNewRow, 0, 0};
        labels_.SetRenameRequest([this](HWND control, LPARAM itemOrRow, win::LabelEditor::Edit* edit) {
            if (control == tree_.Handle()) {
                HTREEITEM item = reinterpret_cast<HTREEITEM>(itemOrRow);
                if (tree_.Parent(item) == nullptr) {
                    return false;  // the root keeps its name
                }
                *edit = TreeEdit(item, "renamed ");
            } else {
                *edit = RowEdit(static_cast<int>(itemOrRow), "row renamed ");
            }
            return true;
        });
        return TRUE;
    }

    bool OnCommand(int id, int, HWND) override {
        HTREEITEM selected = tree_.Selection();
        switch (id) {
            case IDC_KIT_INSERT: {
                if (selected == nullptr) {
                    return true;
                }
                tree_.Expand(selected);
                HTREEITEM item = tree_.Insert(selected, "New Folder");
                labels_.BeginNew(tree_, item, TreeEdit(item, "added "));
                return true;
            }
            case IDC_KIT_RENAME:
                if (selected != nullptr && tree_.Parent(selected) != nullptr) {
                    labels_.BeginRename(tree_, selected, TreeEdit(selected, "renamed "));
                }
                return true;
            case IDC_KIT_DELETE:
                if (selected != nullptr && tree_.Parent(selected) != nullptr) {
                    Log("deleted " + tree_.ItemText(selected));
                    tree_.Delete(selected);
                }
                return true;
            case kNewRow: {
                const int row = list_.Append("New Value", 0, icons_.IndexOf("x.txt"));
                labels_.BeginNew(list_, row, RowEdit(row, "row added "));
                return true;
            }
            default:
                return false;
        }
    }

    void OnCancel() override {
        DestroyWindow(Handle());
        PostQuitMessage(0);
    }

    bool OnNotify(NMHDR* header, LRESULT* result) override {
        if (labels_.OnNotify(header, result)) {
            return true;
        }
        int command = treeKeys_.CommandOf(header);
        if (command == 0) {
            command = listKeys_.CommandOf(header);
        }
        if (command != 0) {
            OnCommand(command, 0, nullptr);
            *result = TRUE;
            return true;
        }
        if (header->code == TVN_BEGINDRAGA || header->code == LVN_BEGINDRAG) {
            if (header->code == TVN_BEGINDRAGA &&
                tree_.Parent(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem) == nullptr) {
                return true;  // the root stays where it is
            }
            drag_.Begin(Handle(), header, tree_, this, true);
            return true;
        }
        return false;
    }

    bool OnContextMenu(HWND control, POINT screen) override {
        if (control != tree_.Handle()) {
            return false;
        }
        HTREEITEM item = tree_.Selection();
        if (screen.x != -1 || screen.y != -1) {
            POINT client = screen;
            ScreenToClient(tree_.Handle(), &client);
            item = tree_.ItemAt(client);
            tree_.Select(item);
        }
        win::Menu menu(IDM_KIT_TREE);
        const bool child = item != nullptr && tree_.Parent(item) != nullptr;
        menu.Enable(IDC_KIT_INSERT, item != nullptr);
        menu.Enable(IDC_KIT_DELETE, child);
        menu.Enable(IDC_KIT_RENAME, child);
        if (int command = menu.Track(Handle(), screen)) {
            OnCommand(command, 0, nullptr);
        }
        return true;
    }

    void OnDropFiles(const std::vector<std::string>& paths, POINT client) override {
        MapWindowPoints(Handle(), tree_.Handle(), &client, 1);
        HTREEITEM target = tree_.ItemAt(client);
        Log("files " + std::to_string(paths.size()) + " onto " +
            (target != nullptr ? tree_.ItemText(target) : "nothing"));
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
        return drag_.OnMessage(message, wParam, lParam) ||
               splitter_.OnMessage(message, wParam, lParam, result);
    }

private:
    void Log(const std::string& text) { Item(IDC_KIT_LOG).SetText(text); }

    // Names unique among an item's siblings, case ignored; the item itself does not count.
    win::LabelEditor::Edit TreeEdit(HTREEITEM item, const std::string& verb) {
        win::LabelEditor::Edit edit;
        edit.defaultName = "New Folder";
        edit.rule = [this, item](const std::string& name) {
            for (HTREEITEM other = tree_.Child(tree_.Parent(item)); other != nullptr;
                 other = tree_.Next(other)) {
                if (other != item && nocase::Equal(tree_.ItemText(other), name)) {
                    return "Cannot add \"" + name +
                           "\". A folder with the name you specified already exists.";
                }
            }
            return std::string();
        };
        edit.apply = [this, verb](const std::string& name) { Log(verb + name); };
        return edit;
    }

    win::LabelEditor::Edit RowEdit(int row, const std::string& verb) {
        win::LabelEditor::Edit edit;
        edit.defaultName = "New Value";
        edit.rule = [this, row](const std::string& name) {
            for (int other = 0; other < list_.Count(); ++other) {
                if (other != row && nocase::Equal(list_.ItemText(other), name)) {
                    return std::string("An item with the name you specified already exists.");
                }
            }
            return std::string();
        };
        edit.apply = [this, verb](const std::string& name) { Log(verb + name); };
        return edit;
    }

    win::TreeView tree_;
    win::ListView list_;
    win::Splitter splitter_;
    win::LabelEditor labels_;
    win::DragTracker drag_;
    win::ShellIcons icons_;
    win::KeyCommands treeKeys_;
    win::KeyCommands listKeys_;
};

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    KitDialog dialog;
    HWND window = dialog.Create(nullptr, IDD_KIT);
    if (window == nullptr) {
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // As the authoring program's frame: an open label edit takes Enter and Escape, the page sees every
        // message before the dialog manager.
        const bool labelKey = message.message == WM_KEYDOWN &&
                              (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
                              win::LabelEditor::IsLabelEdit(message.hwnd);
        if (!labelKey && (dialog.PreTranslate(message) || IsDialogMessageA(window, &message))) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
