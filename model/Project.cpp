#include "model/Project.h"

#include "model/ArchiveRefs.h"
#include "model/Text.h"
#include "platform/Paths.h"

namespace {

const char kSourceFolderName[] = "Source Folder";
const char kTempFolderName[] = "Temp Folder";
const char kTargetFolderName[] = "Target Folder";

// New projects are numbered from 1 while the program runs.
int newProjectCounter = 0;

bool SameName(const std::string& a, const std::string& b, bool ignoreCase) {
    return ignoreCase ? text::EqualNoCase(a, b) : a == b;
}

// The positions from the root list down to an item; empty when the item is not in the tree.
template <typename Item, typename List>
std::vector<int> PositionsOf(const Item* item, const List& roots) {
    std::vector<int> positions;
    for (const Item* at = item; at != nullptr; at = at->parent) {
        const List& list = at->parent != nullptr ? at->parent->children : roots;
        if (!list.Holds(at)) {
            return {};
        }
        positions.insert(positions.begin(), at->position);
    }
    return positions;
}

template <typename Item>
const CItemArray<Item>& ChildrenOf(Item* item) {
    return item->children;
}

}  // namespace

void CProject::Reset() {
    projectPath.clear();
    displayName = text::Format("Project%d", ++newProjectCounter);

    iconFile = nullptr;
    sourceFolder = nullptr;
    tempFolder = nullptr;
    files.Clear();
    rootFolders.Clear();
    rootRegs.Clear();

    target.clear();
    author.clear();
    comments.clear();
    productName.clear();
    productVersion.clear();
    manufacturer.clear();
    productURL.clear();
    supportPhone.clear();
    cdIconFile.clear();
    destination.clear();
    iconIndex = cdIconIndex = mediaType = mediaSize = reservedSpace = 0;
    noARP = noModify = noRemove = noRepair = false;
    makeAutorun = true;
    minNT = kDefaultMinNT;
    min95 = kDefaultMin95;
    productID = platform::NewGuid();

    rootFolders.Add(std::make_unique<CFolder>(kTargetFolderName));
    for (const char* name : kRootRegistryNames) {
        rootRegs.Add(std::make_unique<CRegItem>(name, 0));
    }
    // The root feature ("Features" with its child "Main") and the user-interface settings are reset here
    // once the project holds them.
}

void CProject::Serialize(const std::string& key, CTreeArchive& ar) {
    if (!ar.BeginObject(key)) {
        return;
    }
    const bool loading = !ar.IsStoring();
    if (ar.IsBuildingDatabase() && !loading) {
        FindSpecialFolders(true);
    }
    const bool foldersLoaded = rootFolders.Exchange(ar, "RootFolders", [&](CFolder& folder, const std::string& k) {
        folder.Serialize(k, ar, projectPath);
    });
    if (loading && foldersLoaded) {
        // Files kept from before (a file without "Files") must not point into the replaced folders.
        for (CFileItem* file : files) {
            file->folder = nullptr;
        }
        sourceFolder = tempFolder = nullptr;
    }
    if (loading) {
        iconFile = nullptr;  // read again below; the list it points into may be replaced now
    }
    files.Exchange(
        ar, "Files", [&](CFileItem& file, const std::string& k) { file.Serialize(k, ar, *this); },
        [&](const CFileItem& file) { return file.generated && ar.IsProjectFile(); });
    rootRegs.Exchange(ar, "RootRegs", [&](CRegItem& item, const std::string& k) { item.Serialize(k, ar); });
    // The lists "Shortcuts", "DocTypes" and "Actions", the object "RootFeature" and the object
    // "UserInterface" belong here, in this order, once the project holds them: they come after the
    // folders, files and registry items so that their references resolve on load.

    ar.ExchangeString("Target", &target, std::string());
    ExchangeFileRef(ar, "IconFile", &iconFile);
    ar.ExchangeInt("IconIndex", &iconIndex, 0);
    ar.ExchangeBool("NoModify", &noModify, false);
    ar.ExchangeBool("NoRemove", &noRemove, false);
    ar.ExchangeBool("NoRepair", &noRepair, false);
    ar.ExchangeString("Author", &author, std::string());
    ar.ExchangeString("Comments", &comments, std::string());
    ar.ExchangeBool("NoARP", &noARP, false);
    ar.ExchangeBlock("ProductID", productID.bytes, sizeof productID.bytes);
    ar.ExchangeString("ProductName", &productName, std::string());
    ar.ExchangeString("ProductVersion", &productVersion, std::string());
    ar.ExchangeString("Manufacturer", &manufacturer, std::string());
    ar.ExchangeString("ProductURL", &productURL, std::string());
    ar.ExchangeString("SupportPhone", &supportPhone, std::string());
    ar.ExchangeInt("MinNT", &minNT, kDefaultMinNT);
    ar.ExchangeInt("Min95", &min95, kDefaultMin95);
    ar.ExchangeInt("MediaType", &mediaType, 0);
    if (ar.IsProjectFile()) {
        ar.ExchangeInt("MediaSize", &mediaSize, 0);
        ar.ExchangeBool("MakeAutorun", &makeAutorun, true);
        archive_refs::ExchangeRelativePath(ar, "CDIconFile", &cdIconFile, projectPath);
        ar.ExchangeInt("CDIconIndex", &cdIconIndex, 0);
        archive_refs::ExchangeRelativePath(ar, "Destination", &destination, projectPath);
        ar.ExchangeInt("ReservedSpace", &reservedSpace, 0);
    }
    ar.EndObject();
    if (loading) {
        FindSpecialFolders(false);
    }
}

void CProject::FindSpecialFolders(bool ignoreCase) {
    sourceFolder = tempFolder = nullptr;
    for (CFolder* folder : rootFolders) {
        if (sourceFolder == nullptr && SameName(folder->name, kSourceFolderName, ignoreCase)) {
            sourceFolder = folder;
        }
        if (tempFolder == nullptr && SameName(folder->name, kTempFolderName, ignoreCase)) {
            tempFolder = folder;
        }
    }
}

bool CProject::IsInSourceFolder(const CFileItem& file) const {
    return sourceFolder != nullptr && file.LiesIn(sourceFolder, true);
}

std::string CProject::IndexPathOf(const CFolder* folder) const {
    return archive_refs::EncodeIndexPath(PositionsOf(folder, rootFolders));
}

std::string CProject::IndexPathOf(const CRegItem* item) const {
    return archive_refs::EncodeIndexPath(PositionsOf(item, rootRegs));
}

CFolder* CProject::FolderFromIndexPath(const std::string& text) const {
    return archive_refs::ResolveIndexPath<CFolder>(text, rootFolders, ChildrenOf<CFolder>);
}

CRegItem* CProject::RegItemFromIndexPath(const std::string& text) const {
    return archive_refs::ResolveIndexPath<CRegItem>(text, rootRegs, ChildrenOf<CRegItem>);
}

void CProject::ExchangeFileRef(CTreeArchive& ar, const char* name, CFileItem** file) {
    int position = files.Holds(*file) ? (*file)->position : -1;
    archive_refs::ExchangeFileRef(ar, name, &position, static_cast<int>(files.size()));
    if (!ar.IsStoring()) {
        *file = files.At(position);
    }
}

void CProject::ExchangeFolderRef(CTreeArchive& ar, const char* name, CFolder** folder) {
    std::string path = IndexPathOf(*folder);
    ar.ExchangeString(name, &path, std::string());
    if (!ar.IsStoring()) {
        *folder = FolderFromIndexPath(path);
    }
}

CFileItem* CProject::AddFile(const std::string& sourcePath, CFolder* folder) {
    const std::string title = platform::FileTitle(sourcePath);
    uint32_t taken = 0;
    for (const CFileItem* file : files) {
        if (file->folder == folder && text::EqualNoCase(file->title, title)) {
            taken |= file->osMask;
        }
    }
    if ((taken & kOsMaskNamed) == kOsMaskNamed || files.IsFull()) {
        return nullptr;
    }
    std::unique_ptr<CFileItem> file = CFileItem::FromPath(sourcePath);
    file->folder = folder;
    file->osMask = ~taken & kOsMaskNamed;
    return files.Add(std::move(file));
}

void CProject::ExpandDynamicFolders() {
    for (CFolder* root : rootFolders) {
        root->ExpandDynamic(*this);
    }
}
