#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/Feature.h"
#include "model/FeatureInclusion.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"

using namespace feature_inclusion;

namespace {

// Target > {A > {A1, A2}, B}; files t (Target), a1 a2 (A), x (A1), y (A2); B is empty.
// HKLM > K > {K1 > K11, K2}; values k (K), k1a k1b (K1), k11 (K11), k2 (K2).
struct Trees {
    CFolder target{"Target Folder"};
    CFolder *a, *a1, *a2, *b;
    CItemArray<CFileItem> files{100};
    CFileItem *t, *fa1, *fa2, *x, *y;
    CRegItem hklm{"HKEY_LOCAL_MACHINE", 0};
    CRegItem *k, *k1, *k11, *k2;
    CRegItem *vk, *vk1a, *vk1b, *vk11, *vk2;

    Trees() {
        a = target.AddChild(std::make_unique<CFolder>("A"));
        a1 = a->AddChild(std::make_unique<CFolder>("A1"));
        a2 = a->AddChild(std::make_unique<CFolder>("A2"));
        b = target.AddChild(std::make_unique<CFolder>("B"));
        t = File("t", &target);
        fa1 = File("a1", a);
        fa2 = File("a2", a);
        x = File("x", a1);
        y = File("y", a2);
        k = hklm.AddChild(std::make_unique<CRegItem>("K", 0));
        k1 = k->AddChild(std::make_unique<CRegItem>("K1", 0));
        k11 = k1->AddChild(std::make_unique<CRegItem>("K11", 0));
        k2 = k->AddChild(std::make_unique<CRegItem>("K2", 0));
        vk = Value("k", k);
        vk1a = Value("k1a", k1);
        vk1b = Value("k1b", k1);
        vk11 = Value("k11", k11);
        vk2 = Value("k2", k2);
    }
    CFileItem* File(const char* title, CFolder* folder) {
        auto file = std::make_unique<CFileItem>();
        file->title = title;
        file->folder = folder;
        return files.Add(std::move(file));
    }
    static CRegItem* Value(const char* name, CRegItem* key) {
        return key->AddChild(std::make_unique<CRegItem>(name, 1));
    }
    std::vector<CFolder*> Folders() { return {&target, a, a1, a2, b}; }
    std::vector<CRegItem*> Keys() { return {&hklm, k, k1, k11, k2}; }
    std::vector<CRegItem*> Values() { return {vk, vk1a, vk1b, vk11, vk2}; }
};

// What the feature installs, by the meaning of its lists alone.
std::set<const CFileItem*> InstalledFiles(const CFeature& feature, const CItemArray<CFileItem>& files) {
    std::set<const CFileItem*> installed;
    for (const CFileItem* file : files) {
        if (feature.files.Contains(file) || feature.fileFolders.Contains(file->folder) ||
            feature.folders.Any([file](const CFolder* entry) { return file->LiesIn(entry, true); })) {
            installed.insert(file);
        }
    }
    return installed;
}

void CollectValues(const CRegItem* key, std::vector<const CRegItem*>* values) {
    for (const CRegItem* child : key->children) {
        if (child->IsKey()) {
            CollectValues(child, values);
        } else {
            values->push_back(child);
        }
    }
}

std::set<const CRegItem*> InstalledValues(const CFeature& feature, const CRegItem& root) {
    std::vector<const CRegItem*> values;
    CollectValues(&root, &values);
    std::set<const CRegItem*> installed;
    for (const CRegItem* value : values) {
        if (feature.regValues.Contains(value) || feature.regValueKeys.Contains(value->parent) ||
            feature.regKeys.Any([value](const CRegItem* entry) { return value->IsBelow(entry); })) {
            installed.insert(value);
        }
    }
    return installed;
}

template <typename T>
std::string Duplicate(const CRefList<T>& list, const char* name) {
    std::set<const T*> seen;
    for (const T* entry : list) {
        if (!seen.insert(entry).second) {
            return std::string(name) + " twice";
        }
    }
    return std::string();
}

// The first redundant entry of the file-system lists, or empty when there is none.
std::string FileRedundancy(const CFeature& feature) {
    std::string found = Duplicate(feature.folders, "Folders") +
                        Duplicate(feature.fileFolders, "FileFolders") + Duplicate(feature.files, "Files");
    for (const CFolder* entry : feature.folders) {
        if (feature.folders.Any([entry](const CFolder* other) { return entry->IsBelow(other, true); })) {
            found += " Folders entry " + entry->name + " below another";
        }
    }
    for (const CFolder* entry : feature.fileFolders) {
        if (feature.folders.Any(
                [entry](const CFolder* other) { return other == entry || entry->IsBelow(other, true); })) {
            found += " FileFolders entry " + entry->name + " covered";
        }
    }
    for (const CFileItem* file : feature.files) {
        if (feature.fileFolders.Contains(file->folder) ||
            feature.folders.Any([file](const CFolder* other) { return file->LiesIn(other, true); })) {
            found += " Files entry " + file->title + " covered";
        }
    }
    return found;
}

std::string RegistryRedundancy(const CFeature& feature) {
    std::string found = Duplicate(feature.regKeys, "RegKeys") +
                        Duplicate(feature.regValueKeys, "RegValueKeys") +
                        Duplicate(feature.regValues, "RegValues");
    for (const CRegItem* entry : feature.regKeys) {
        if (feature.regKeys.Any([entry](const CRegItem* other) { return entry->IsBelow(other); })) {
            found += " RegKeys entry " + entry->name + " below another";
        }
    }
    for (const CRegItem* entry : feature.regValueKeys) {
        if (feature.regKeys.Any(
                [entry](const CRegItem* other) { return other == entry || entry->IsBelow(other); })) {
            found += " RegValueKeys entry " + entry->name + " covered";
        }
    }
    for (const CRegItem* value : feature.regValues) {
        if (feature.regValueKeys.Contains(value->parent) ||
            feature.regKeys.Any([value](const CRegItem* other) { return value->IsBelow(other); })) {
            found += " RegValues entry " + value->name + " covered";
        }
    }
    return found;
}

std::string Names(const CRefList<CFolder>& list) {
    std::string text;
    for (const CFolder* entry : list) {
        text += entry->name + " ";
    }
    return text;
}
template <typename T>
std::string Titles(const CRefList<T>& list) {
    std::string text;
    for (const T* entry : list) {
        text += entry->name + " ";
    }
    return text;
}
std::string Titles(const CRefList<CFileItem>& list) {
    std::string text;
    for (const CFileItem* entry : list) {
        text += entry->title + " ";
    }
    return text;
}

// The feature's file-system lists in one line: "Folders: ... | FileFolders: ... | Files: ...".
std::string FileLists(const CFeature& feature) {
    return "Folders: " + Names(feature.folders) + "| FileFolders: " + Names(feature.fileFolders) +
           "| Files: " + Titles(feature.files);
}
std::string RegLists(const CFeature& feature) {
    return "RegKeys: " + Titles(feature.regKeys) + "| RegValueKeys: " + Titles(feature.regValueKeys) +
           "| RegValues: " + Titles(feature.regValues);
}

// One step of a sequence: what it does to the feature, and to the set a plain recomputation expects.
template <typename Leaf>
struct Step {
    std::string name;
    std::function<Outcome(CFeature&)> apply;
    std::function<void(std::set<const Leaf*>&)> expect;
};

struct Snapshot {
    explicit Snapshot(const CFeature& feature)
        : fileFolders(feature.fileFolders),
          folders(feature.folders),
          files(feature.files),
          regValueKeys(feature.regValueKeys),
          regKeys(feature.regKeys),
          regValues(feature.regValues) {}
    void Restore(CFeature& feature) const {
        feature.fileFolders = fileFolders;
        feature.folders = folders;
        feature.files = files;
        feature.regValueKeys = regValueKeys;
        feature.regKeys = regKeys;
        feature.regValues = regValues;
    }
    CRefList<CFolder> fileFolders, folders;
    CRefList<CFileItem> files;
    CRefList<CRegItem> regValueKeys, regKeys, regValues;
};

// Runs every sequence of the steps up to the depth, depth first, checking after each step that the
// installed set is the expected one and that no list holds a redundant entry. Returns the number of
// sequences run; stops at the first failure.
template <typename Leaf>
size_t RunEverySequence(CFeature& feature, const std::vector<Step<Leaf>>& steps, int depth,
                        const std::set<const Leaf*>& expected,
                        const std::function<std::set<const Leaf*>(const CFeature&)>& installed,
                        const std::function<std::string(const CFeature&)>& redundancy, std::string trail) {
    if (depth == 0 || ::testing::Test::HasFailure()) {
        return 1;
    }
    size_t sequences = 0;
    for (const Step<Leaf>& step : steps) {
        const Snapshot before(feature);
        const std::string path = trail + " > " + step.name;
        std::set<const Leaf*> next = expected;
        step.expect(next);
        const Outcome outcome = step.apply(feature);
        EXPECT_NE(outcome, Outcome::kListFull) << path;
        EXPECT_EQ(installed(feature), next) << path;
        EXPECT_EQ(redundancy(feature), "") << path;
        if (::testing::Test::HasFailure()) {
            return sequences;
        }
        sequences += RunEverySequence(feature, steps, depth - 1, next, installed, redundancy, path);
        before.Restore(feature);
    }
    return sequences;
}

template <typename Leaf, typename Node>
void AddLeavesIn(std::set<const Leaf*>& set, const std::vector<Leaf*>& leaves, const Node* node,
                 bool anyDepth, const std::function<bool(const Leaf*, const Node*, bool)>& in) {
    for (const Leaf* leaf : leaves) {
        if (in(leaf, node, anyDepth)) {
            set.insert(leaf);
        }
    }
}

TEST(FeatureInclusionTest, EverySequenceOfFileSystemEditsInstallsWhatARecomputationSays) {
    Trees trees;
    std::vector<CFileItem*> files;
    for (CFileItem* file : trees.files) {
        files.push_back(file);
    }
    const std::function<bool(const CFileItem*, const CFolder*, bool)> in =
        [](const CFileItem* file, const CFolder* folder, bool anyDepth) {
            return file->LiesIn(folder, anyDepth);
        };
    std::vector<Step<CFileItem>> steps;
    for (CFileItem* file : files) {
        steps.push_back({"add file " + file->title, [file](CFeature& f) { return AddFile(f, file); },
                         [file](std::set<const CFileItem*>& s) { s.insert(file); }});
        steps.push_back({"remove file " + file->title,
                         [file, &trees](CFeature& f) { return RemoveFile(f, file, trees.files); },
                         [file](std::set<const CFileItem*>& s) { s.erase(file); }});
    }
    for (CFolder* folder : trees.Folders()) {
        steps.push_back(
            {"add files of " + folder->name, [folder](CFeature& f) { return AddFolderWithFiles(f, folder); },
             [&, folder](std::set<const CFileItem*>& s) { AddLeavesIn(s, files, folder, false, in); }});
        steps.push_back(
            {"add all of " + folder->name,
             [folder](CFeature& f) { return AddFolderWithSubfolders(f, folder); },
             [&, folder](std::set<const CFileItem*>& s) { AddLeavesIn(s, files, folder, true, in); }});
        steps.push_back({"remove folder " + folder->name,
                         [folder](CFeature& f) { return RemoveFolder(f, folder); },
                         [&, folder](std::set<const CFileItem*>& s) {
                             for (const CFileItem* file : files) {
                                 if (file->LiesIn(folder, true)) {
                                     s.erase(file);
                                 }
                             }
                         }});
    }
    CFeature feature;
    const size_t sequences = RunEverySequence<CFileItem>(
        feature, steps, 4, {}, [&](const CFeature& f) { return InstalledFiles(f, trees.files); },
        FileRedundancy, "");
    EXPECT_GE(sequences, steps.size() * steps.size() * steps.size() * steps.size());
}

TEST(FeatureInclusionTest, EverySequenceOfRegistryEditsInstallsWhatARecomputationSays) {
    Trees trees;
    std::vector<CRegItem*> values = trees.Values();
    const std::function<bool(const CRegItem*, const CRegItem*, bool)> in =
        [](const CRegItem* value, const CRegItem* key, bool anyDepth) {
            return anyDepth ? value->IsBelow(key) : value->parent == key;
        };
    std::vector<Step<CRegItem>> steps;
    for (CRegItem* value : values) {
        steps.push_back({"add value " + value->name, [value](CFeature& f) { return AddRegValue(f, value); },
                         [value](std::set<const CRegItem*>& s) { s.insert(value); }});
        steps.push_back({"remove value " + value->name,
                         [value](CFeature& f) { return RemoveRegItem(f, value); },
                         [value](std::set<const CRegItem*>& s) { s.erase(value); }});
    }
    for (CRegItem* key : trees.Keys()) {
        steps.push_back({"add values of " + key->name,
                         [key](CFeature& f) { return AddKeyWithValues(f, key); },
                         [&, key](std::set<const CRegItem*>& s) { AddLeavesIn(s, values, key, false, in); }});
        steps.push_back({"add all of " + key->name, [key](CFeature& f) { return AddKeyWithSubkeys(f, key); },
                         [&, key](std::set<const CRegItem*>& s) { AddLeavesIn(s, values, key, true, in); }});
        steps.push_back({"remove key " + key->name, [key](CFeature& f) { return RemoveRegItem(f, key); },
                         [&, key](std::set<const CRegItem*>& s) {
                             for (const CRegItem* value : values) {
                                 if (value->IsBelow(key)) {
                                     s.erase(value);
                                 }
                             }
                         }});
    }
    CFeature feature;
    const size_t sequences = RunEverySequence<CRegItem>(
        feature, steps, 4, {}, [&](const CFeature& f) { return InstalledValues(f, trees.hklm); },
        RegistryRedundancy, "");
    EXPECT_GE(sequences, steps.size() * steps.size() * steps.size() * steps.size());
}

// Examples of the rules, each from a starting state to the lists it leaves.
TEST(FeatureInclusionTest, FileSystemRulesLeaveTheseLists) {
    struct Case {
        const char* name;
        std::function<void(Trees&, CFeature&)> start;
        std::function<Outcome(Trees&, CFeature&)> edit;
        Outcome outcome;
        const char* lists;
    };
    const Case cases[] = {
        {"a file twice is listed once", [](Trees& t, CFeature& f) { AddFile(f, t.x); },
         [](Trees& t, CFeature& f) { return AddFile(f, t.x); }, Outcome::kUnchanged,
         "Folders: | FileFolders: | Files: x "},
        {"a file of a listed folder is not added", [](Trees& t, CFeature& f) { AddFolderWithFiles(f, t.a); },
         [](Trees& t, CFeature& f) { return AddFile(f, t.fa1); }, Outcome::kUnchanged,
         "Folders: | FileFolders: A | Files: "},
        {"a folder's files replace its single files but not deeper ones",
         [](Trees& t, CFeature& f) { AddFile(f, t.fa1), AddFile(f, t.x); },
         [](Trees& t, CFeature& f) { return AddFolderWithFiles(f, t.a); }, Outcome::kChanged,
         "Folders: | FileFolders: A | Files: x "},
        {"files of a folder whose subfolder is listed whole are added once",
         [](Trees& t, CFeature& f) { AddFolderWithFiles(f, t.a), AddFolderWithSubfolders(f, t.a1); },
         [](Trees& t, CFeature& f) { return AddFolderWithFiles(f, t.a); }, Outcome::kUnchanged,
         "Folders: A1 | FileFolders: A | Files: "},
        {"a whole folder absorbs what lies in it",
         [](Trees& t, CFeature& f) {
             AddFile(f, t.x), AddFolderWithFiles(f, t.a), AddFolderWithSubfolders(f, t.a2);
         },
         [](Trees& t, CFeature& f) { return AddFolderWithSubfolders(f, t.a); }, Outcome::kChanged,
         "Folders: A | FileFolders: | Files: "},
        {"a folder below a whole folder is covered",
         [](Trees& t, CFeature& f) { AddFolderWithSubfolders(f, t.a); },
         [](Trees& t, CFeature& f) { return AddFolderWithSubfolders(f, t.a1); }, Outcome::kUnchanged,
         "Folders: A | FileFolders: | Files: "},
        {"removing a whole folder entry removes only it",
         [](Trees& t, CFeature& f) { AddFolderWithSubfolders(f, t.a), AddFile(f, t.t); },
         [](Trees& t, CFeature& f) { return RemoveFolder(f, t.a); }, Outcome::kChanged,
         "Folders: | FileFolders: | Files: t "},
        {"removing a folder inside a covering entry splits it up to that entry",
         [](Trees& t, CFeature& f) { AddFolderWithSubfolders(f, &t.target); },
         [](Trees& t, CFeature& f) { return RemoveFolder(f, t.a1); }, Outcome::kChanged,
         "Folders: A2 B | FileFolders: A Target Folder | Files: "},
        {"removing a folder takes out what was listed below it",
         [](Trees& t, CFeature& f) {
             AddFolderWithFiles(f, t.a), AddFolderWithSubfolders(f, t.a1), AddFile(f, t.y);
         },
         [](Trees& t, CFeature& f) { return RemoveFolder(f, t.a); }, Outcome::kChanged,
         "Folders: | FileFolders: | Files: "},
        {"removing a folder not included changes nothing", [](Trees& t, CFeature& f) { AddFile(f, t.t); },
         [](Trees& t, CFeature& f) { return RemoveFolder(f, t.b); }, Outcome::kUnchanged,
         "Folders: | FileFolders: | Files: t "},
        {"removing a file of a listed folder lists its siblings",
         [](Trees& t, CFeature& f) { AddFolderWithFiles(f, t.a); },
         [](Trees& t, CFeature& f) { return RemoveFile(f, t.fa1, t.files); }, Outcome::kChanged,
         "Folders: | FileFolders: | Files: a2 "},
        {"removing a file covered through an ancestor splits the ancestor",
         [](Trees& t, CFeature& f) { AddFolderWithSubfolders(f, t.a); },
         [](Trees& t, CFeature& f) { return RemoveFile(f, t.fa2, t.files); }, Outcome::kChanged,
         "Folders: A1 A2 | FileFolders: | Files: a1 "},
    };
    for (const Case& c : cases) {
        Trees trees;
        CFeature feature;
        c.start(trees, feature);
        EXPECT_EQ(c.edit(trees, feature), c.outcome) << c.name;
        EXPECT_EQ(FileLists(feature), c.lists) << c.name;
    }
}

TEST(FeatureInclusionTest, RegistryRulesLeaveTheseLists) {
    struct Case {
        const char* name;
        std::function<void(Trees&, CFeature&)> start;
        std::function<Outcome(Trees&, CFeature&)> edit;
        Outcome outcome;
        const char* lists;
    };
    const Case cases[] = {
        {"a value of a key listed with its values is not added",
         [](Trees& t, CFeature& f) { AddKeyWithValues(f, t.k1); },
         [](Trees& t, CFeature& f) { return AddRegValue(f, t.vk1a); }, Outcome::kUnchanged,
         "RegKeys: | RegValueKeys: K1 | RegValues: "},
        {"a key's values replace its single values",
         [](Trees& t, CFeature& f) { AddRegValue(f, t.vk1a), AddRegValue(f, t.vk11); },
         [](Trees& t, CFeature& f) { return AddKeyWithValues(f, t.k1); }, Outcome::kChanged,
         "RegKeys: | RegValueKeys: K1 | RegValues: k11 "},
        {"a whole key absorbs what lies below it",
         [](Trees& t, CFeature& f) {
             AddRegValue(f, t.vk11), AddKeyWithValues(f, t.k1), AddKeyWithSubkeys(f, t.k2);
         },
         [](Trees& t, CFeature& f) { return AddKeyWithSubkeys(f, t.k); }, Outcome::kChanged,
         "RegKeys: K | RegValueKeys: | RegValues: "},
        {"removing a key inside a whole key splits it",
         [](Trees& t, CFeature& f) { AddKeyWithSubkeys(f, &t.hklm); },
         [](Trees& t, CFeature& f) { return RemoveRegItem(f, t.k11); }, Outcome::kChanged,
         "RegKeys: K2 | RegValueKeys: K1 K HKEY_LOCAL_MACHINE | RegValues: "},
        {"removing a value of a whole key keeps the rest",
         [](Trees& t, CFeature& f) { AddKeyWithSubkeys(f, t.k1); },
         [](Trees& t, CFeature& f) { return RemoveRegItem(f, t.vk1a); }, Outcome::kChanged,
         "RegKeys: K11 | RegValueKeys: | RegValues: k1b "},
        {"removing a value of a key with its values lists the others",
         [](Trees& t, CFeature& f) { AddKeyWithValues(f, t.k1); },
         [](Trees& t, CFeature& f) { return RemoveRegItem(f, t.vk1b); }, Outcome::kChanged,
         "RegKeys: | RegValueKeys: | RegValues: k1a "},
        {"removing a single value removes only it",
         [](Trees& t, CFeature& f) { AddRegValue(f, t.vk2), AddKeyWithSubkeys(f, t.k1); },
         [](Trees& t, CFeature& f) { return RemoveRegItem(f, t.vk2); }, Outcome::kChanged,
         "RegKeys: K1 | RegValueKeys: | RegValues: "},
    };
    for (const Case& c : cases) {
        Trees trees;
        CFeature feature;
        c.start(trees, feature);
        EXPECT_EQ(c.edit(trees, feature), c.outcome) << c.name;
        EXPECT_EQ(RegLists(feature), c.lists) << c.name;
    }
}

TEST(FeatureInclusionTest, AListThatWouldOverflowLeavesTheFeatureAsItWas) {
    Trees trees;
    CFeature feature;
    feature.folders = CRefList<CFolder>(1);
    feature.fileFolders = CRefList<CFolder>(1);
    AddFolderWithSubfolders(feature, &trees.target);
    EXPECT_EQ(RemoveFolder(feature, trees.a1), Outcome::kListFull);
    EXPECT_EQ(FileLists(feature), "Folders: Target Folder | FileFolders: | Files: ");
}

}  // namespace
