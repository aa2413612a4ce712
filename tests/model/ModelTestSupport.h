#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"

namespace testing_support {

inline void SaveWithKind(CProject& project, const std::string& path, uint32_t kind) {
    CTreeArchive ar(kMainClass, kind);
    ar.OpenForSave(path);
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterSave();
}

inline void LoadWithKind(CProject& project, const std::string& path, uint32_t kind) {
    CTreeArchive ar(kMainClass, kind);
    ASSERT_TRUE(ar.OpenForLoad(path)) << path;
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterLoad();
}

// The names of the entries directly inside an object, in storage order; objectPath names the objects
// from below TSFile down ({"TSDatabase", "Files", "Arr0"}). Empty when the object is missing.
inline std::vector<std::string> KeysAt(const std::string& file, const std::vector<std::string>& objectPath) {
    CTreeArchive ar(kMainClass, kLoadProject);
    std::vector<std::string> keys;
    if (!ar.OpenForLoad(file)) {
        ADD_FAILURE() << "cannot open " << file;
        return keys;
    }
    for (const std::string& name : objectPath) {
        if (!ar.BeginObject(name)) {
            return keys;
        }
    }
    for (int i = 0; i < ar.ChildCount(); ++i) {
        ArchiveEntry entry;
        ar.PeekEntry(&entry);
        keys.push_back(entry.name);
        ar.ReadLeaf(0);
    }
    return keys;
}

inline bool Contains(const std::vector<std::string>& keys, const std::string& key) {
    for (const std::string& k : keys) {
        if (k == key) {
            return true;
        }
    }
    return false;
}

// A 32-bit leaf inside an object, or the fallback when it is missing.
inline int32_t IntAt(const std::string& file, const std::vector<std::string>& objectPath, const char* key,
                     int32_t fallback) {
    CTreeArchive ar(kMainClass, kLoadProject);
    if (!ar.OpenForLoad(file)) {
        return fallback;
    }
    for (const std::string& name : objectPath) {
        if (!ar.BeginObject(name)) {
            return fallback;
        }
    }
    int32_t value = fallback;
    ar.ExchangeInt(key, &value, fallback);
    return value;
}

}  // namespace testing_support
