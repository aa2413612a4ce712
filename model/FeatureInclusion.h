#pragma once

// Adding resources to a feature and taking them out again, keeping the feature's lists free of redundant
// entries: no entry twice, no file whose folder is listed, no folder or key that a listed ancestor
// already covers. Removing an item that a broader entry covers splits that entry, so that everything else
// it covered stays included. Each operation concerns the feature alone, never its sub-features.
#include "model/Feature.h"
#include "model/ItemArray.h"

class CFileItem;
class CFolder;
class CRegItem;

namespace feature_inclusion {

enum class Outcome {
    kChanged,
    kUnchanged,  // already included (an add) or not included at all (a remove)
    kListFull,   // a list would outgrow its capacity; the feature was left as it was
};

Outcome AddFile(CFeature& feature, CFileItem* file);
// "FileFolders": the folder with the files directly in it.
Outcome AddFolderWithFiles(CFeature& feature, CFolder* folder);
// "Folders": the folder with everything below it.
Outcome AddFolderWithSubfolders(CFeature& feature, CFolder* folder);
Outcome AddRegValue(CFeature& feature, CRegItem* value);
// "RegValueKeys": the key with the values directly in it.
Outcome AddKeyWithValues(CFeature& feature, CRegItem* key);
// "RegKeys": the key with everything below it.
Outcome AddKeyWithSubkeys(CFeature& feature, CRegItem* key);

// Takes the folder and everything below it out of the feature.
Outcome RemoveFolder(CFeature& feature, CFolder* folder);
// Takes one file out; files is the project's Files list (the other files of a covering folder stay).
Outcome RemoveFile(CFeature& feature, CFileItem* file, const CItemArray<CFileItem>& files);
// Takes a key (with everything below it) or a value out.
Outcome RemoveRegItem(CFeature& feature, CRegItem* item);

}  // namespace feature_inclusion
