#include "model/DocType.h"

#include "model/Project.h"

void CVerb::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Name", &name, std::string());
    ar.ExchangeString("Description", &description, std::string());
    ar.ExchangeString("Arguments", &arguments, std::string());
    project.ExchangeFileRef(ar, "Target", &target);
    ar.EndObject();
}

void CDocType::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Extension", &extension, std::string());
    ar.ExchangeString("Name", &name, std::string());
    ar.ExchangeString("Description", &description, std::string());
    project.ExchangeFileRef(ar, "IconFile", &iconFile);
    ar.ExchangeInt("IconIndex", &iconIndex, 0);
    verbs.Exchange(ar, "Verbs",
                   [&](CVerb& verb, const std::string& verbKey) { verb.Serialize(verbKey, ar, project); });
    ar.EndObject();
}
