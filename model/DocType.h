#pragma once

#include <cstdint>
#include <string>

#include "model/ItemArray.h"

class CFileItem;
class CProject;

// One verb of a document type: a command of the type's shell menu that starts a file of the project.
struct CVerb {
    int position = -1;
    std::string name;
    std::string description;  // the menu text
    std::string arguments;
    CFileItem* target = nullptr;

    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);
};

// A document type that the setup program registers: a file extension, the type's name and icon, and the
// verbs that open its documents.
class CDocType {
public:
    static constexpr size_t kMaxVerbs = kArchiveListCapacity;

    int position = -1;
    std::string extension;
    std::string name;
    std::string description;
    CFileItem* iconFile = nullptr;
    int32_t iconIndex = 0;
    CItemArray<CVerb> verbs{kMaxVerbs};

    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);
};
