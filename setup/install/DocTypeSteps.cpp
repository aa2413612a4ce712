#include "model/FileItem.h"
#include "setup/engine/RegistryRules.h"
#include "setup/engine/ShellRules.h"
#include "setup/install/RegKey.h"
#include "setup/install/Steps.h"

namespace {

// Creates a key of HKEY_CLASSES_ROOT and sets its unnamed value; false when the key cannot be created.
bool SetClassText(const std::string& keyPath, const std::string& text) {
    RegKey key;
    if (!IsKeyPath(keyPath) || key.Create(HKEY_CLASSES_ROOT, keyPath) != ERROR_SUCCESS) {
        return false;
    }
    SetDefaultText(key.Get(), text);
    return true;
}

// The extension key naming the type, the type's key with its description and icon, then its verbs. A type
// without a name writes nothing: its extension would name no key.
void WriteDocType(const CDocType& type) {
    if (!IsKeyPath(type.name)) {
        return;
    }
    const std::string extensionKey = ExtensionKey(type.extension);
    if (!extensionKey.empty() && !SetClassText(extensionKey, type.name)) {
        return;
    }
    if (!SetClassText(type.name, type.description)) {
        return;
    }
    if (type.iconFile != nullptr &&
        !SetClassText(DefaultIconKey(type.name),
                      DefaultIconText(type.iconFile->resolvedPath, type.iconIndex))) {
        return;
    }
    for (const CVerb* verb : type.verbs) {
        if (VerbToRegister(*verb)) {
            SetClassText(VerbCommandKey(type.name, verb->name),
                         VerbCommandText(verb->target->resolvedPath, verb->arguments));
        }
    }
}

void RemoveDocType(InstallRun& run, const CDocType& type) {
    switch (RemovalOf(type, run.engine.mode)) {
        case DocTypeRemoval::kNothing:
            break;
        case DocTypeRemoval::kVerbs:
            if (run.engine.test) {
                break;
            }
            for (const CVerb* verb : type.verbs) {
                if (VerbToRemove(*verb)) {
                    DeleteRegistryTree(HKEY_CLASSES_ROOT, VerbCommandKey(type.name, verb->name));
                }
            }
            break;
        case DocTypeRemoval::kWholeType: {
            run.SetDetailText(type.name);
            if (run.engine.test || !IsKeyPath(type.name)) {
                break;  // a type without a usable name was never written, its extension key included
            }
            run.engine.Log("Document type removed", type.name);
            const std::string extensionKey = ExtensionKey(type.extension);
            if (!extensionKey.empty()) {
                DeleteRegistryTree(HKEY_CLASSES_ROOT, extensionKey);
            }
            DeleteRegistryTree(HKEY_CLASSES_ROOT, type.name);
            break;
        }
    }
}

}  // namespace

void RegisterDocTypes(InstallRun& run) {
    const CItemArray<CDocType>& types = run.engine.project.docTypes;
    run.BeginStep("Registering Document Types...", static_cast<int32_t>(types.size()));
    for (const CDocType* type : types) {
        if (DocTypeNeeded(*type)) {
            run.SetDetailText(type->name);
            if (!run.engine.test) {
                WriteDocType(*type);
                run.engine.Log("Document type registered", type->name + " (" + type->extension + ")");
            }
        }
        run.Step();
    }
}

void RemoveDocTypes(InstallRun& run) {
    const CItemArray<CDocType>& types = run.engine.project.docTypes;
    run.BeginStep("Removing Document Types...", static_cast<int32_t>(types.size()));
    for (const CDocType* type : types) {
        RemoveDocType(run, *type);
        run.Step();
    }
}
