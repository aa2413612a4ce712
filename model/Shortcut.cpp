#include "model/Shortcut.h"

#include "model/Project.h"

void CShortcut::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    project.ExchangeFolderRef(ar, "Folder", &folder);
    ar.ExchangeString("Name", &name, std::string());
    project.ExchangeFileRef(ar, "Target", &target);
    ar.ExchangeString("Arguments", &arguments, std::string());
    ar.ExchangeString("Description", &description, std::string());
    ar.ExchangeInt("ShowCmd", &showCmd, kShowNormal);
    project.ExchangeFolderRef(ar, "WkDir", &workingFolder);
    project.ExchangeFileRef(ar, "IconFile", &iconFile);
    ar.ExchangeInt("IconIndex", &iconIndex, 0);
    ar.EndObject();
}
