// The Folders page's drops of folders and list items onto folders, and the properties of the list's items.
#include <memory>

#include "author/dialogs/FilePropertiesDialog.h"
#include "author/dialogs/ShortcutDialog.h"
#include "author/pages/FoldersPage.h"

using editor_rules::DropEffect;
using folder_rules::DropAction;
using folder_rules::DropDecision;

bool CFoldersPage::CanDrop(const win::DragItems& items, HTREEITEM target, DropEffect effect) {
    const CFolder* folder = folders_.FolderOf(target);
    if (folder == nullptr) {
        return false;
    }
    const CProject& project = document_.project;
    if (items.fromTree) {
        const CFolder* dragged = folders_.FolderOf(items.treeItems.front());
        return dragged != nullptr &&
               folder_rules::FolderDrop(project, *dragged, *folder, effect).action != DropAction::kNothing;
    }
    for (int row : items.rows) {
        DropDecision decision{DropAction::kNothing, std::string()};
        if (const CFileItem* file = FileOfRow(row)) {
            decision = folder_rules::FileDrop(project, *file, *folder, effect);
        } else if (const CShortcut* shortcut = ShortcutOfRow(row)) {
            decision = folder_rules::ShortcutDrop(project, *shortcut, *folder, effect);
        }
        if (decision.action != DropAction::kNothing) {
            return true;
        }
    }
    return false;
}

void CFoldersPage::Drop(const win::DragItems& items, HTREEITEM target, DropEffect effect) {
    CFolder* folder = folders_.FolderOf(target);
    if (folder == nullptr) {
        return;
    }
    if (items.fromTree) {
        if (CFolder* dragged = folders_.FolderOf(items.treeItems.front())) {
            DropFolder(dragged, folder, effect);
        }
        return;
    }
    DropRows(items, folder, effect);
}

void CFoldersPage::DropFolder(CFolder* dragged, CFolder* target, DropEffect effect) {
    CProject& project = document_.project;
    const DropDecision decision = folder_rules::FolderDrop(project, *dragged, *target, effect);
    switch (decision.action) {
        case DropAction::kRefuse:
            Refuse(decision.message);
            return;
        case DropAction::kShortcut:
            MakeShortcut(target, nullptr, dragged, dragged->name);
            return;
        case DropAction::kMove:
            if (project.MoveFolder(dragged, target)) {
                document_.Changed(UpdateHint::kItemMovedOrCopied, dragged);
                ShowFolders(dragged);
            }
            return;
        case DropAction::kCopy:
            if (CFolder* copy = project.CopyFolder(*dragged, target)) {
                document_.Changed(UpdateHint::kItemMovedOrCopied, copy);
                ShowFolders(copy);
            }
            return;
        case DropAction::kNothing:
            return;
    }
}

void CFoldersPage::DropRows(const win::DragItems& items, CFolder* target, DropEffect effect) {
    // The objects first: the rows name them by position, and the first copy or removal changes the lists.
    std::vector<CFileItem*> files;
    std::vector<CShortcut*> shortcuts;
    for (int row : items.rows) {
        if (CFileItem* file = FileOfRow(row)) {
            files.push_back(file);
        } else if (CShortcut* shortcut = ShortcutOfRow(row)) {
            shortcuts.push_back(shortcut);
        }
    }
    CProject& project = document_.project;
    bool changed = false;
    for (CFileItem* file : files) {
        const DropDecision decision = folder_rules::FileDrop(project, *file, *target, effect);
        switch (decision.action) {
            case DropAction::kRefuse:
                Refuse(decision.message);
                break;
            case DropAction::kShortcut:
                MakeShortcut(target, file, nullptr, file->title);
                break;
            case DropAction::kMove:
                // The file keeps every reference to it (shortcuts, features, custom actions) as it moves.
                file->folder = target;
                changed = true;
                break;
            case DropAction::kCopy:
                changed = project.CopyFileItem(*file, target) != nullptr || changed;
                break;
            case DropAction::kNothing:
                break;
        }
    }
    for (CShortcut* shortcut : shortcuts) {
        const DropDecision decision = folder_rules::ShortcutDrop(project, *shortcut, *target, effect);
        if (decision.action == DropAction::kMove) {
            shortcut->folder = target;
            changed = true;
        } else if (decision.action == DropAction::kCopy) {
            changed = project.CopyShortcut(*shortcut, target) != nullptr || changed;
        }
    }
    if (changed) {
        document_.Changed(UpdateHint::kItemMovedOrCopied, target);
    }
}

void CFoldersPage::MakeShortcut(CFolder* location, CFileItem* file, CFolder* folder,
                                const std::string& name) {
    auto shortcut = std::make_unique<CShortcut>();
    shortcut->name = folder_rules::ShortcutNameFor(name);
    shortcut->folder = location;
    shortcut->target = file;
    shortcut->workingFolder = folder;  // a shortcut without target file opens its working folder
    if (CShortcut* added = document_.project.shortcuts.Add(std::move(shortcut))) {
        document_.Changed(UpdateHint::kShortcutChanged, added);
    }
}

void CFoldersPage::ItemProperties() {
    const int row = list_.Selected();
    if (CShortcut* shortcut = ShortcutOfRow(row)) {
        CShortcutDialog dialog(document_.project, *shortcut);
        if (dialog.Edit(Handle())) {
            document_.Changed(UpdateHint::kShortcutChanged, shortcut);
        }
        return;
    }
    if (CFileItem* file = FileOfRow(row)) {
        CFilePropertiesDialog dialog(*file);
        if (dialog.Edit(Handle())) {
            document_.Changed(UpdateHint::kFileChanged, file);
        }
    }
}
