#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "model/FileItem.h"
#include "setup/install/ComIds.h"
#include "setup/engine/ShellRules.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"

namespace {

// COM on this thread for the time of a step: balanced when this call started it, or when it was started
// already (the call then only counts); left alone when the thread runs another model.
class ComScope {
public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// One reference to a COM object, released when it goes out of scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    void** Out() { return reinterpret_cast<void**>(&object_); }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }

private:
    T* object_ = nullptr;
};

// The text in UTF-16 with its ending zero; an empty text when it cannot be converted.
std::vector<wchar_t> Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    }
    return wide;
}

// What the link starts and how; false at the first setting the link refuses.
bool Describe(IShellLinkA* link, const CShortcut& shortcut) {
    if (FAILED(link->SetPath(ShortcutLinkPath(shortcut).c_str()))) {
        return false;
    }
    if (shortcut.iconFile != nullptr &&
        FAILED(link->SetIconLocation(shortcut.iconFile->resolvedPath.c_str(), shortcut.iconIndex))) {
        return false;
    }
    if (FAILED(link->SetDescription(shortcut.description.c_str())) ||
        FAILED(link->SetShowCmd(shortcut.showCmd))) {
        return false;
    }
    if (shortcut.workingFolder != nullptr &&
        FAILED(link->SetWorkingDirectory(shortcut.workingFolder->resolvedPath.c_str()))) {
        return false;
    }
    return SUCCEEDED(link->SetArguments(shortcut.arguments.c_str()));
}

// Makes the shortcut's file; a link the shell refuses is silently not made, a folder that cannot be created
// ends the sequence.
void MakeShortcut(const CShortcut& shortcut, CreatedFolders& made) {
    ComRef<IShellLinkA> link;
    if (FAILED(
            CoCreateInstance(com_ids::kShellLink, nullptr, CLSCTX_INPROC_SERVER, com_ids::kShellLinkA, link.Out())) ||
        !Describe(link.Get(), shortcut)) {
        return;
    }
    for (const CFolder* folder : FolderChain(*shortcut.folder)) {
        MakeFolderPath(folder->resolvedPath, &made);
    }
    ComRef<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(com_ids::kPersistFile, file.Out()))) {
        file->Save(Wide(ShortcutFilePath(shortcut)).data(), TRUE);
    }
}

}  // namespace

void CreateShortcuts(InstallRun& run) {
    const CItemArray<CShortcut>& shortcuts = run.engine.project.shortcuts;
    run.BeginStep("Creating Shortcuts...", static_cast<int32_t>(shortcuts.size()));
    std::unique_ptr<ComScope> com;  // started for the first shortcut made
    for (const CShortcut* shortcut : shortcuts) {
        if (ShortcutNeeded(*shortcut) && CanMakeShortcut(*shortcut)) {
            run.SetDetailText(shortcut->name);
            if (!run.engine.test) {
                if (com == nullptr) {
                    com = std::make_unique<ComScope>();
                }
                const std::string link = ShortcutFilePath(*shortcut);
                const bool wasThere = GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
                MakeShortcut(*shortcut, run.engine.createdFolders);
                const bool made = GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
                if (!wasThere && made) {
                    run.madeShortcuts.push_back(link);
                }
                run.engine.Log(made ? "Shortcut created" : "Shortcut not created", link);
            }
        }
        run.Step();
    }
}

void RemoveShortcuts(InstallRun& run) {
    const CItemArray<CShortcut>& shortcuts = run.engine.project.shortcuts;
    run.BeginStep("Removing Shortcuts...", static_cast<int32_t>(shortcuts.size()));
    for (const CShortcut* shortcut : shortcuts) {
        if (ShortcutGoes(*shortcut)) {
            run.SetDetailText(shortcut->name);
            const std::string file = ShortcutFilePath(*shortcut);
            const std::string folder = ShortcutFolderToRemove(*shortcut);
            if (!run.engine.test && !file.empty()) {
                if (DeleteFileA(file.c_str())) {
                    run.engine.Log("Shortcut removed", file);
                }
                // A folder that was there before the installation stays, empty or not.
                if (!folder.empty() && run.engine.createdFolders.MayRemove(folder) &&
                    RemoveDirectoryA(folder.c_str())) {
                    run.engine.createdFolders.Forget(folder);
                }
            }
        }
        run.Step();
    }
}
