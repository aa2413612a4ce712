#include "model/Project.h"

#include "model/ArchiveRefs.h"
#include "model/Text.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"

namespace {

const char kSourceFolderName[] = "Source Folder";
const char kTempFolderName[] = "Temp Folder";
const char kTargetFolderName[] = "Target Folder";
const char kRootFeatureName[] = "Features";

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
    // The records that refer to files, folders and registry items go before what they refer to.
    rootFeature.Empty();
    shortcuts.Clear();
    docTypes.Clear();
    actions.Clear();
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

    rootFeature.name = kRootFeatureName;
    rootFeature.description = "The Root feature";
    rootFeature.required = true;
    rootFeature.visible = false;
    rootFeature.expanded = false;
    rootFeature.selected = true;
    auto main = std::make_unique<CFeature>("Main", "The main feature of this installation");
    main->required = true;
    main->visible = true;
    main->expanded = false;
    main->selected = true;
    rootFeature.AddChild(std::move(main));

    ui.Reset();
}

void CProject::Serialize(const std::string& key, CTreeArchive& ar) {
    if (!ar.BeginObject(key)) {
        return;
    }
    const bool loading = !ar.IsStoring();
    if (ar.IsBuildingDatabase() && !loading) {
        FindSpecialFolders(true);
    }
    // A list that a load replaces takes its old elements with it. Whatever the file leaves in place (a
    // list or object whose key is missing) must not keep pointing at them, so those references go first.
    auto everything = [](const void*) { return true; };
    if (rootFolders.Exchange(ar, "RootFolders", [&](CFolder& folder, const std::string& k) {
            folder.Serialize(k, ar, projectPath);
        }) && loading) {
        ForgetFolders(everything, nullptr);
    }
    if (files.Exchange(
            ar, "Files", [&](CFileItem& file, const std::string& k) { file.Serialize(k, ar, *this); },
            [&](const CFileItem& file) { return file.generated && ar.IsProjectFile(); }) &&
        loading) {
        ForgetFiles(everything, nullptr);
    }
    if (rootRegs.Exchange(ar, "RootRegs", [&](CRegItem& item, const std::string& k) { item.Serialize(k, ar); }) &&
        loading) {
        ForgetRegItems(everything, nullptr);
    }
    // The records that refer to folders, files and registry items come after them, so that their
    // references resolve on load.
    shortcuts.Exchange(ar, "Shortcuts",
                       [&](CShortcut& shortcut, const std::string& k) { shortcut.Serialize(k, ar, *this); });
    docTypes.Exchange(ar, "DocTypes", [&](CDocType& docType, const std::string& k) { docType.Serialize(k, ar, *this); });
    actions.Exchange(ar, "Actions", [&](CCustomAction& action, const std::string& k) { action.Serialize(k, ar, *this); });
    rootFeature.Serialize("RootFeature", ar, *this);
    ui.Serialize("UserInterface", ar, *this);

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
        if (!ar.IsProjectFile() && !ar.IsBuildingDatabase()) {
            // After "NoModify", which the rules may override.
            ui.ApplySetupRules(&noModify);
        }
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

void CProject::ExchangeRegItemRef(CTreeArchive& ar, const char* name, CRegItem** item) {
    std::string path = IndexPathOf(*item);
    ar.ExchangeString(name, &path, std::string());
    if (!ar.IsStoring()) {
        *item = RegItemFromIndexPath(path);
    }
}

bool CProject::IsInstalledByAFeature(const CFileItem* file) const {
    for (const CFeature* feature : rootFeature.children) {
        if (feature->ContainsFile(file, true) != kNotIncluded) {
            return true;
        }
    }
    return false;
}

size_t CProject::NamesakeHash::operator()(const NamesakeKey& key) const {
    return std::hash<std::string>()(key.upperTitle) ^ (std::hash<const void*>()(key.folder) * 31);
}

CProject::FileBatch::FileBatch(CProject& project) : project_(project) {
    if (project_.openBatches_++ > 0) {
        return;
    }
    project_.namesakes_.clear();
    for (const CFileItem* file : project_.files) {
        project_.namesakes_[NamesakeKey{file->folder, nocase::Upper(file->title)}] |= file->osMask;
    }
}

CProject::FileBatch::~FileBatch() {
    if (--project_.openBatches_ == 0) {
        project_.namesakes_.clear();
        project_.namesakes_.rehash(0);
    }
}

CFileItem* CProject::AddFile(const std::string& sourcePath, CFolder* folder) {
    const std::string title = platform::FileTitle(sourcePath);
    uint32_t taken = 0;
    uint32_t* indexed = nullptr;
    if (openBatches_ > 0) {
        indexed = &namesakes_[NamesakeKey{folder, nocase::Upper(title)}];
        taken = *indexed;
    } else {
        for (const CFileItem* file : files) {
            if (file->folder == folder && text::EqualNoCase(file->title, title)) {
                taken |= file->osMask;
            }
        }
    }
    if ((taken & kOsMaskNamed) == kOsMaskNamed || files.IsFull()) {
        return nullptr;
    }
    std::unique_ptr<CFileItem> file = CFileItem::FromPath(sourcePath);
    file->folder = folder;
    file->osMask = ~taken & kOsMaskNamed;
    CFileItem* added = files.Add(std::move(file));
    if (added != nullptr && indexed != nullptr) {
        *indexed |= added->osMask;
    }
    return added;
}

void CProject::ExpandDynamicFolders() {
    FileBatch batch(*this);
    for (CFolder* root : rootFolders) {
        root->ExpandDynamic(*this);
    }
}
