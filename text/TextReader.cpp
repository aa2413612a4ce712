// Reads the text form of a project.
#include <toml++/toml.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <map>

#include "model/Project.h"
#include "platform/Paths.h"
#include "text/AsciiText.h"
#include "text/ProjectText.h"
#include "text/TextNames.h"

namespace project_text {

namespace {

using Keys = std::initializer_list<const char*>;

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

class Reader {
public:
    Reader(CProject& project, const std::string& textPath, const std::string& displayPath)
        : project_(project), textPath_(textPath), file_(displayPath) {}

    void Read(const std::string& content, const std::vector<std::string>& overrides) {
        toml::table document;
        TextPosition bare;
        const std::string ascii = AsciiText(content, &bare);
        if (bare.line != 0) {
            throw TextError(file_, bare.line, bare.column, "a character beyond ASCII outside a string or comment");
        }
        try {
            document = toml::parse(ascii, file_);
        } catch (const toml::parse_error& e) {
            throw TextError(file_, static_cast<long>(e.source().begin.line),
                            static_cast<long>(e.source().begin.column), std::string(e.description()));
        }
        for (const std::string& setting : overrides) {
            ApplyOverride(document, setting);
        }
        CheckKeys(document, {"product", "maintenance", "media", "user_interface", "root_feature", "folder",
                             "file", "registry", "shortcut", "document_type", "custom_action", "feature"});
        project_.Reset();
        project_.rootFolders.Clear();
        project_.rootRegs.Clear();
        project_.rootFeature.Empty();
        for (const toml::table* t : Entries(document, "folder")) ReadFolder(*t);
        for (const toml::table* t : Entries(document, "file")) ReadFile(*t);
        FileNames names(project_);
        for (const CFileItem* file : project_.files) fileByName_[LookupKey(names.NameOf(file))] = file;
        for (const toml::table* t : Entries(document, "registry")) ReadRegItem(*t);
        ReadProduct(Section(document, "product"));
        ReadMaintenance(Section(document, "maintenance"));
        ReadMedia(Section(document, "media"));
        ReadUserInterface(Section(document, "user_interface"));
        for (const toml::table* t : Entries(document, "shortcut")) ReadShortcut(*t);
        for (const toml::table* t : Entries(document, "document_type")) ReadDocType(*t);
        for (const toml::table* t : Entries(document, "custom_action")) ReadAction(*t);
        const toml::table& root = Section(document, "root_feature");
        ReadFeature(root, project_.rootFeature, true);
        for (const toml::table* t : Entries(document, "feature")) {
            CFeature* parent = nullptr;
            std::string name;
            const std::string path = RequiredText(*t, "path");
            const size_t slash = path.rfind('\\');
            if (slash == std::string::npos) {
                parent = &project_.rootFeature;
                name = path;
            } else {
                const auto found = featureByPath_.find(LookupKey(path.substr(0, slash)));
                if (found == featureByPath_.end()) {
                    Fail(*t->get("path"),
                         "no feature " + Quote(path.substr(0, slash)) + " is listed before this one");
                }
                parent = found->second;
                name = path.substr(slash + 1);
            }
            if (name.empty() || parent->FindChild(name) != nullptr) {
                Fail(*t->get("path"), name.empty() ? "a feature needs a name"
                                                   : "the feature " + Quote(path) + " is listed twice");
            }
            CFeature* feature = parent->AddChild(std::make_unique<CFeature>(name, ""));
            featureByPath_[LookupKey(path)] = feature;
            ReadFeature(*t, *feature, false);
        }
        project_.FindSpecialFolders(false);
    }

private:
    // "product.version=1.4.2": a product or media field for this read only, typed as the field is.
    static void ApplyOverride(toml::table& document, const std::string& setting) {
        static const char* const kTexts[] = {
            "product.name",          "product.version",   "product.manufacturer", "product.url",
            "product.support_phone", "product.author",    "product.comments",     "product.id",
            "product.target",        "product.icon_file", "media.cd_icon_file",   "media.destination"};
        static const char* const kNumbers[] = {"product.icon_index",  "product.min_nt", "product.min_95",
                                               "media.type",          "media.size",     "media.cd_icon_index",
                                               "media.reserved_space"};
        static const char* const kFlags[] = {"media.autorun"};
        const size_t equals = setting.find('=');
        const std::string name = setting.substr(0, equals);
        if (equals == std::string::npos) {
            throw TextError("", 0, 0, "--set " + Quote(setting) + " needs KEY=VALUE");
        }
        const std::string value = setting.substr(equals + 1);
        auto among = [&](const auto& list) {
            return std::find_if(std::begin(list), std::end(list), [&](const char* k) { return name == k; }) !=
                   std::end(list);
        };
        const size_t dot = name.find('.');
        if (!among(kTexts) && !among(kNumbers) && !among(kFlags)) {
            std::vector<const char*> known(std::begin(kTexts), std::end(kTexts));
            known.insert(known.end(), std::begin(kNumbers), std::end(kNumbers));
            known.push_back(kFlags[0]);
            const std::string nearest = Nearest(name, known);
            throw TextError("", 0, 0,
                            "--set: no product or media field " + Quote(name) +
                                (nearest.empty() ? std::string() : "; did you mean " + Quote(nearest) + "?"));
        }
        const std::string table = name.substr(0, dot);
        if (document.get(table) == nullptr)
            document.insert(table, toml::table());
        toml::table* section = document.get(table)->as_table();
        if (section == nullptr) {
            return;  // the read reports the section that is not a table
        }
        const std::string key = name.substr(dot + 1);
        if (among(kTexts)) {
            section->insert_or_assign(key, value);
        } else if (among(kFlags)) {
            if (value != "true" && value != "false") {
                throw TextError("", 0, 0, "--set " + name + " takes true or false");
            }
            section->insert_or_assign(key, value == "true");
        } else {
            char* end = nullptr;
            const long long number = std::strtoll(value.c_str(), &end, 0);
            if (value.empty() || *end != '\0') {
                throw TextError("", 0, 0, "--set " + name + " takes a whole number");
            }
            section->insert_or_assign(key, static_cast<int64_t>(number));
        }
    }

    static std::string Nearest(const std::string& name, const std::vector<const char*>& known) {
        std::string nearest;
        size_t best = 4;
        for (const char* candidate : known) {
            const size_t distance = EditDistance(name, candidate);
            if (distance < best) {
                best = distance;
                nearest = candidate;
            }
        }
        return nearest;
    }

    [[noreturn]] void Fail(const toml::source_region& where, const std::string& message) const {
        throw TextError(file_, static_cast<long>(where.begin.line), static_cast<long>(where.begin.column),
                        message);
    }
    [[noreturn]] void Fail(const toml::node& node, const std::string& message) const {
        Fail(node.source(), message);
    }

    void CheckKeys(const toml::table& table, Keys known) const {
        for (const auto& [key, node] : table) {
            const std::string name(key.str());
            if (std::find_if(known.begin(), known.end(), [&](const char* k) { return name == k; }) !=
                known.end()) {
                continue;
            }
            const std::string nearest = Nearest(name, std::vector<const char*>(known.begin(), known.end()));
            Fail(key.source(),
                 "unknown key " + Quote(name) +
                     (nearest.empty() ? std::string() : "; did you mean " + Quote(nearest) + "?"));
        }
    }

    const toml::table& Section(const toml::table& document, const char* name) {
        static const toml::table kEmpty;
        const toml::node* node = document.get(name);
        if (node == nullptr)
            return kEmpty;
        if (!node->is_table())
            Fail(*node, Quote(name) + " must be a table");
        return *node->as_table();
    }

    std::vector<const toml::table*> Entries(const toml::table& document, const char* name) {
        std::vector<const toml::table*> entries;
        const toml::node* node = document.get(name);
        if (node == nullptr)
            return entries;
        if (!node->is_array() || (!node->as_array()->empty() && !node->is_array_of_tables()))
            Fail(*node, Quote(name) + " must be an array of tables ([[" + name + "]])");
        for (const toml::node& entry : *node->as_array()) entries.push_back(entry.as_table());
        return entries;
    }

    bool Text(const toml::table& t, const char* key, std::string* out) const {
        const toml::node* node = t.get(key);
        if (node == nullptr)
            return false;
        if (!node->is_string())
            Fail(*node, Quote(key) + " must be a text");
        if (!FromUtf8(node->as_string()->get(), out)) {
            Fail(*node, Quote(key) + " holds a character that the Western code page does not have");
        }
        return true;
    }
    std::string RequiredText(const toml::table& t, const char* key) const {
        std::string value;
        if (!Text(t, key, &value))
            Fail(t.source(), "this entry needs " + Quote(key));
        return value;
    }
    bool Path(const toml::table& t, const char* key, std::string* out) const {
        if (!Text(t, key, out))
            return false;
        *out = AbsoluteSourcePath(*out, textPath_);
        return true;
    }
    template <typename Int>
    bool Number(const toml::table& t, const char* key, Int* out) const {
        const toml::node* node = t.get(key);
        if (node == nullptr)
            return false;
        if (!node->is_integer())
            Fail(*node, Quote(key) + " must be a whole number");
        const int64_t value = node->as_integer()->get();
        if (value < static_cast<int64_t>(std::numeric_limits<Int>::min()) ||
            value > static_cast<int64_t>(std::numeric_limits<Int>::max())) {
            Fail(*node, Quote(key) + " is out of range");
        }
        *out = static_cast<Int>(value);
        return true;
    }
    bool Flag(const toml::table& t, const char* key, bool* out) const {
        const toml::node* node = t.get(key);
        if (node == nullptr)
            return false;
        if (!node->is_boolean())
            Fail(*node, Quote(key) + " must be true or false");
        *out = node->as_boolean()->get();
        return true;
    }
    void Overwrite(const toml::table& t, uint8_t* out) const {
        const toml::node* node = t.get("overwrite");
        if (node == nullptr)
            return;
        if (node->is_integer()) {
            Number(t, "overwrite", out);
            return;
        }
        std::string name;
        Text(t, "overwrite", &name);
        const int method = OverwriteFromName(name);
        if (method < 0)
            Fail(*node, "unknown overwrite method " + Quote(name));
        *out = static_cast<uint8_t>(method);
    }
    template <size_t N>
    void Views(const toml::table& t, uint8_t (&out)[N]) const {
        const toml::node* node = t.get("expanded");
        if (node == nullptr)
            return;
        const toml::array* views = node->as_array();
        if (views == nullptr || views->size() > N)
            Fail(*node, "\"expanded\" must be a list of up to " + std::to_string(N) + " numbers");
        for (size_t i = 0; i < views->size(); ++i) {
            const auto* n = (*views)[i].as_integer();
            if (n == nullptr || n->get() < 0 || n->get() > 255)
                Fail((*views)[i], "a view state is a number from 0 to 255");
            out[i] = static_cast<uint8_t>(n->get());
        }
    }

    // References by path.
    CFolder* FolderRef(const toml::node& node, const std::string& name) const {
        const auto found = folderByPath_.find(LookupKey(name));
        if (found == folderByPath_.end())
            Fail(node, "no folder " + Quote(name));
        return found->second;
    }
    bool FolderRef(const toml::table& t, const char* key, CFolder** out) const {
        std::string name;
        if (!Text(t, key, &name))
            return false;
        *out = FolderRef(*t.get(key), name);
        return true;
    }
    CFileItem* FileRef(const toml::node& node, const std::string& name) const {
        const auto found = fileByName_.find(LookupKey(name));
        if (found == fileByName_.end())
            Fail(node, "no file " + Quote(name));
        return const_cast<CFileItem*>(found->second);
    }
    bool FileRef(const toml::table& t, const char* key, CFileItem** out) const {
        std::string name;
        if (!Text(t, key, &name))
            return false;
        *out = FileRef(*t.get(key), name);
        return true;
    }
    CRegItem* RegRef(const toml::node& node) const {
        if (const toml::table* value = node.as_table()) {
            CheckKeys(*value, {"key", "name"});
            const std::string key = RequiredText(*value, "key");
            const std::string name = RequiredText(*value, "name");
            const auto found = regValueByPath_.find(LookupKey(key) + "\n" + LookupKey(name));
            if (found == regValueByPath_.end())
                Fail(node, "no registry value " + Quote(name) + " in " + Quote(key));
            return found->second;
        }
        if (!node.is_string())
            Fail(node, "a registry reference is a key's path or { key = ..., name = ... }");
        std::string path;
        if (!FromUtf8(node.as_string()->get(), &path))
            Fail(node, "the path holds a character beyond Latin-1");
        const auto found = regKeyByPath_.find(LookupKey(path));
        if (found == regKeyByPath_.end())
            Fail(node, "no registry key " + Quote(path));
        return found->second;
    }

    template <typename T, typename Resolve>
    void RefList(const toml::table& t, const char* key, CRefList<T>& list, Resolve resolve) const {
        const toml::node* node = t.get(key);
        if (node == nullptr)
            return;
        const toml::array* items = node->as_array();
        if (items == nullptr)
            Fail(*node, Quote(key) + " must be a list");
        for (const toml::node& item : *items) {
            T* target = resolve(item);
            if (!list.Add(target))
                Fail(item, "the list " + Quote(key) + " is full");
        }
    }

    void ReadFolder(const toml::table& t) {
        CheckKeys(
            t, {"path", "dynamic", "source", "wildcards", "exclude", "subfolders", "overwrite", "expanded"});
        const std::string path = RequiredText(t, "path");
        const toml::node& where = *t.get("path");
        const size_t close = path.find('>');
        if (path.empty() || path[0] != '<' || close == std::string::npos ||
            (close + 1 < path.size() && path[close + 1] != '\\')) {
            Fail(where,
                 "a folder's path begins with its root folder in angle brackets, as in \"<Target "
                 "Folder>\\Bin\"");
        }
        auto folder = std::make_unique<CFolder>();
        CFolder* added = nullptr;
        const size_t slash = path.rfind('\\');
        if (slash == std::string::npos || slash < close) {
            folder->name = path.substr(1, close - 1);
            if (folder->name.find('\\') != std::string::npos) {
                Fail(where, "a root folder's name holds no backslash");
            }
            if (folderByPath_.count(LookupKey(path)) != 0)
                Fail(where, "the root folder " + Quote(path) + " is listed twice");
            added = project_.rootFolders.Add(std::move(folder));
        } else {
            const std::string parentPath = path.substr(0, slash);
            const auto parent = folderByPath_.find(LookupKey(parentPath));
            if (parent == folderByPath_.end())
                Fail(where, "no folder " + Quote(parentPath) + " is listed before this one");
            folder->name = path.substr(slash + 1);
            if (folder->name.empty())
                Fail(where, "a folder needs a name");
            if (parent->second->FindChild(folder->name) != nullptr) {
                Fail(where, "the folder " + Quote(parentPath) + " already holds a folder named " +
                                Quote(folder->name));
            }
            added = parent->second->AddChild(std::move(folder));
        }
        if (added == nullptr)
            Fail(where, "the folder's list is full");
        Flag(t, "dynamic", &added->isDynamic);
        Path(t, "source", &added->dynamicPath);
        Text(t, "wildcards", &added->wildCards);
        Text(t, "exclude", &added->xWildCards);
        Flag(t, "subfolders", &added->includeSF);
        Overwrite(t, &added->overwriteMethod);
        Views(t, added->expanded);
        folderByPath_[LookupKey(added->TargetPath())] = added;
    }

    void ReadFile(const toml::table& t) {
        CheckKeys(t, {"folder", "source", "register", "shared", "add_app_path", "app_path", "overwrite",
                      "config_file", "permanent", "os_mask"});
        auto file = std::make_unique<CFileItem>();
        file->osMask = kOsMaskNamed;  // the releases a file added in the authoring program is meant for
        Path(t, "source", &file->sourcePath);
        if (file->sourcePath.empty())
            Fail(t.source(), "a file needs its \"source\"");
        file->title = platform::FileTitle(file->sourcePath);
        file->Refresh();
        file->overwriteMethod = file->versionMS == 0 && file->versionLS == 0 ? kOverwriteNewerDate
                                                                             : kOverwriteNewerVersionThenDate;
        FolderRef(t, "folder", &file->folder);
        Flag(t, "register", &file->registerFile);
        Flag(t, "shared", &file->shared);
        Flag(t, "add_app_path", &file->addAppPath);
        Text(t, "app_path", &file->appPath);
        Overwrite(t, &file->overwriteMethod);
        Flag(t, "config_file", &file->isConfigFile);
        Flag(t, "permanent", &file->permanent);
        Number(t, "os_mask", &file->osMask);
        if (project_.files.Add(std::move(file)) == nullptr)
            Fail(t.source(), "the project's file list is full");
    }

    void ReadRegItem(const toml::table& t) {
        CheckKeys(t, {"key", "name", "type", "data", "permanent", "expanded"});
        const std::string keyPath = RequiredText(t, "key");
        const toml::node& where = *t.get("key");
        std::unique_ptr<CRegItem> item = std::make_unique<CRegItem>();
        std::string valueName;
        const bool isValue = Text(t, "name", &valueName);
        CRegItem* parent = nullptr;
        if (isValue) {
            const auto found = regKeyByPath_.find(LookupKey(keyPath));
            if (found == regKeyByPath_.end())
                Fail(where, "no registry key " + Quote(keyPath) + " is listed before this value");
            parent = found->second;
            item->name = valueName;
            item->type = platform::kRegString;
            if (const toml::node* type = t.get("type")) {
                std::string name;
                if (type->is_integer()) {
                    Number(t, "type", &item->type);
                } else if (Text(t, "type", &name)) {
                    const int known = RegTypeFromName(name);
                    if (known < 0)
                        Fail(*type, "unknown registry type " + Quote(name) +
                                        "; the types are \"string\", \"binary\" and \"dword\"");
                    item->type = static_cast<uint32_t>(known);
                }
                if (item->type == 0)
                    Fail(*type, "a value's type cannot be 0, which makes a key");
            }
            if (parent->FindChild(valueName, false) != nullptr) {
                Fail(t.source(),
                     "the key " + Quote(keyPath) + " already holds a value named " + Quote(valueName));
            }
        } else {
            if (t.get("type") != nullptr)
                Fail(*t.get("type"), "a key has no type; a value needs its \"name\"");
            const size_t slash = keyPath.rfind('\\');
            item->name = slash == std::string::npos ? keyPath : keyPath.substr(slash + 1);
            if (item->name.empty())
                Fail(where, "a key needs a name");
            if (slash != std::string::npos) {
                const std::string parentPath = keyPath.substr(0, slash);
                const auto found = regKeyByPath_.find(LookupKey(parentPath));
                if (found == regKeyByPath_.end())
                    Fail(where, "no registry key " + Quote(parentPath) + " is listed before this one");
                parent = found->second;
            }
            if (regKeyByPath_.count(LookupKey(keyPath)) != 0)
                Fail(where, "the key " + Quote(keyPath) + " is listed twice");
        }
        Text(t, "data", &item->value);
        Flag(t, "permanent", &item->permanent);
        Views(t, item->expanded);
        CRegItem* added =
            parent != nullptr ? parent->AddChild(std::move(item)) : project_.rootRegs.Add(std::move(item));
        if (added == nullptr)
            Fail(where, "the key's list is full");
        if (isValue) {
            regValueByPath_[LookupKey(keyPath) + "\n" + LookupKey(valueName)] = added;
        } else {
            regKeyByPath_[LookupKey(keyPath)] = added;
        }
    }

    void ReadProduct(const toml::table& t) {
        CheckKeys(t, {"name", "version", "manufacturer", "url", "support_phone", "author", "comments", "id",
                      "target", "icon_file", "icon_index", "min_nt", "min_95"});
        Text(t, "name", &project_.productName);
        Text(t, "version", &project_.productVersion);
        Text(t, "manufacturer", &project_.manufacturer);
        Text(t, "url", &project_.productURL);
        Text(t, "support_phone", &project_.supportPhone);
        Text(t, "author", &project_.author);
        Text(t, "comments", &project_.comments);
        std::string id;
        if (Text(t, "id", &id) && !ParseGuid(id, &project_.productID)) {
            Fail(*t.get("id"), "\"id\" must be a GUID like \"{8F1A2B3C-4D5E-6f70-8192-A3B4C5D6E7F8}\"");
        }
        Text(t, "target", &project_.target);
        FileRef(t, "icon_file", &project_.iconFile);
        Number(t, "icon_index", &project_.iconIndex);
        Number(t, "min_nt", &project_.minNT);
        Number(t, "min_95", &project_.min95);
    }

    static bool ParseGuid(const std::string& text, platform::Guid* guid) {
        // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
        if (text.size() != 38 || text[0] != '{' || text[37] != '}')
            return false;
        std::string hex;
        for (size_t i = 1; i < 37; ++i) {
            if (i == 9 || i == 14 || i == 19 || i == 24) {
                if (text[i] != '-')
                    return false;
            } else if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
                return false;
            } else {
                hex += text[i];
            }
        }
        uint8_t b[16];
        for (int i = 0; i < 16; ++i)
            b[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
        for (int i = 0; i < 16; ++i) guid->bytes[i] = b[order[i]];
        return true;
    }

    void ReadMaintenance(const toml::table& t) {
        CheckKeys(t, {"no_modify", "no_remove", "no_repair", "no_add_remove_programs"});
        Flag(t, "no_modify", &project_.noModify);
        Flag(t, "no_remove", &project_.noRemove);
        Flag(t, "no_repair", &project_.noRepair);
        Flag(t, "no_add_remove_programs", &project_.noARP);
    }

    void ReadMedia(const toml::table& t) {
        CheckKeys(
            t, {"type", "size", "autorun", "cd_icon_file", "cd_icon_index", "destination", "reserved_space"});
        Number(t, "type", &project_.mediaType);
        Number(t, "size", &project_.mediaSize);
        Flag(t, "autorun", &project_.makeAutorun);
        Path(t, "cd_icon_file", &project_.cdIconFile);
        Number(t, "cd_icon_index", &project_.cdIconIndex);
        Path(t, "destination", &project_.destination);
        Number(t, "reserved_space", &project_.reservedSpace);
    }

    static int PageNumber(const std::string& name) {
        for (int page = 0; page < kWizardPageCount; ++page) {
            if (name == kWizardPageNames[page])
                return page;
        }
        return -1;
    }

    void ReadUserInterface(const toml::table& t) {
        CUISettings& ui = project_.ui;
        CheckKeys(t, {"type", "show_splash", "pages", "ask_user_name", "ask_organization", "ask_email",
                      "ask_install_for_all", "ask_desktop", "ask_start_menu", "run_application", "run_option",
                      "readme_file", "readme_option", "show_restart", "splash_file", "banner", "page_banners",
                      "license_files"});
        Number(t, "type", &ui.uiType);
        Flag(t, "show_splash", &ui.showSplash);
        if (const toml::node* node = t.get("pages")) {
            const toml::array* pages = node->as_array();
            if (pages == nullptr)
                Fail(*node, "\"pages\" must be a list of page names");
            std::fill(std::begin(ui.showPage), std::end(ui.showPage), 0);
            for (const toml::node& page : *pages) {
                int number = -1;
                if (const auto* n = page.as_integer()) {
                    number =
                        n->get() >= 0 && n->get() < CUISettings::kPageSlots ? static_cast<int>(n->get()) : -1;
                } else if (const auto* s = page.as_string()) {
                    number = PageNumber(s->get());
                }
                if (number < 0)
                    Fail(page,
                         "unknown page; the pages are \"Welcome\", \"License Agreement\", \"User "
                         "Information\", \"Destination Folder\", \"Setup Type\", \"Features\", "
                         "\"Confirmation\", \"Progress\" and \"Finish\"");
                ui.showPage[number] = 1;
            }
        }
        Flag(t, "ask_user_name", &ui.askUserName);
        Flag(t, "ask_organization", &ui.askOrganization);
        Flag(t, "ask_email", &ui.askEMail);
        Flag(t, "ask_install_for_all", &ui.askInstallForAll);
        Flag(t, "ask_desktop", &ui.askDesktop);
        Flag(t, "ask_start_menu", &ui.askStartMenu);
        FileRef(t, "run_application", &ui.runApplication);
        Number(t, "run_option", &ui.runOption);
        FileRef(t, "readme_file", &ui.readmeFile);
        Number(t, "readme_option", &ui.readmeOption);
        Flag(t, "show_restart", &ui.showRestart);
        Path(t, "splash_file", &ui.splashFile);
        Path(t, "banner", &ui.bannerForAll);
        if (const toml::node* node = t.get("page_banners")) {
            const toml::table* banners = node->as_table();
            if (banners == nullptr)
                Fail(*node, "\"page_banners\" must be a table of page names and paths");
            for (const auto& [key, value] : *banners) {
                const std::string name(key.str());
                int page = PageNumber(name);
                if (page < 0 && !name.empty() && std::all_of(name.begin(), name.end(), ::isdigit) &&
                    name.size() < 3) {
                    page = std::stoi(name) < CUISettings::kPageSlots ? std::stoi(name) : -1;
                }
                if (page < 0)
                    Fail(key.source(), "unknown page " + Quote(name));
                Path(*banners, name.c_str(), &ui.pageBanner[page]);
            }
        }
        if (const toml::node* node = t.get("license_files")) {
            const toml::array* licenses = node->as_array();
            if (licenses == nullptr || licenses->size() > CUISettings::kMaxLicenseFiles) {
                Fail(*node, "\"license_files\" must be a list of up to three paths");
            }
            for (size_t i = 0; i < licenses->size(); ++i) {
                const auto* path = (*licenses)[i].as_string();
                std::string text;
                if (path == nullptr || !FromUtf8(path->get(), &text))
                    Fail((*licenses)[i], "a licence file is a path");
                ui.licenseFiles[i] = AbsoluteSourcePath(text, textPath_);
            }
        }
    }

    void ReadShortcut(const toml::table& t) {
        CheckKeys(t, {"folder", "name", "target", "arguments", "description", "show", "working_folder",
                      "icon_file", "icon_index"});
        auto shortcut = std::make_unique<CShortcut>();
        FolderRef(t, "folder", &shortcut->folder);
        Text(t, "name", &shortcut->name);
        FileRef(t, "target", &shortcut->target);
        Text(t, "arguments", &shortcut->arguments);
        Text(t, "description", &shortcut->description);
        Number(t, "show", &shortcut->showCmd);
        FolderRef(t, "working_folder", &shortcut->workingFolder);
        FileRef(t, "icon_file", &shortcut->iconFile);
        Number(t, "icon_index", &shortcut->iconIndex);
        if (project_.shortcuts.Add(std::move(shortcut)) == nullptr)
            Fail(t.source(), "the shortcut list is full");
    }

    void ReadDocType(const toml::table& t) {
        CheckKeys(t, {"extension", "name", "description", "icon_file", "icon_index", "verb"});
        auto docType = std::make_unique<CDocType>();
        Text(t, "extension", &docType->extension);
        Text(t, "name", &docType->name);
        Text(t, "description", &docType->description);
        FileRef(t, "icon_file", &docType->iconFile);
        Number(t, "icon_index", &docType->iconIndex);
        for (const toml::table* v : Entries(t, "verb")) {
            CheckKeys(*v, {"name", "description", "arguments", "target"});
            auto verb = std::make_unique<CVerb>();
            Text(*v, "name", &verb->name);
            Text(*v, "description", &verb->description);
            Text(*v, "arguments", &verb->arguments);
            FileRef(*v, "target", &verb->target);
            if (docType->verbs.Add(std::move(verb)) == nullptr)
                Fail(v->source(), "the verb list is full");
        }
        if (project_.docTypes.Add(std::move(docType)) == nullptr)
            Fail(t.source(), "the document type list is full");
    }

    void ReadAction(const toml::table& t) {
        CheckKeys(t, {"name", "target", "description", "arguments", "function", "invoke_after", "wait",
                      "run_during", "ignore_return_value", "run_once"});
        auto action = std::make_unique<CCustomAction>();
        Text(t, "name", &action->name);
        FileRef(t, "target", &action->target);
        Text(t, "description", &action->description);
        Text(t, "arguments", &action->arguments);
        Text(t, "function", &action->function);
        Number(t, "invoke_after", &action->invokeAfter);
        Number(t, "wait", &action->waitTime);
        Number(t, "run_during", &action->runDuring);
        Flag(t, "ignore_return_value", &action->ignoreReturnValue);
        Flag(t, "run_once", &action->runOnce);
        if (project_.actions.Add(std::move(action)) == nullptr)
            Fail(t.source(), "the custom action list is full");
    }

    void ReadFeature(const toml::table& t, CFeature& feature, bool root) {
        CheckKeys(t, {root ? "name" : "path", "description", "required", "visible", "expanded", "selected",
                      "file_folders", "folders", "files", "registry_value_keys", "registry_keys",
                      "registry_items"});
        if (root)
            Text(t, "name", &feature.name);
        Text(t, "description", &feature.description);
        Flag(t, "required", &feature.required);
        Flag(t, "visible", &feature.visible);
        Flag(t, "expanded", &feature.expanded);
        Flag(t, "selected", &feature.selected);
        auto folder = [this](const toml::node& n) {
            std::string name;
            if (!n.is_string() || !FromUtf8(n.as_string()->get(), &name))
                Fail(n, "a folder is named by its path");
            return FolderRef(n, name);
        };
        auto file = [this](const toml::node& n) {
            std::string name;
            if (!n.is_string() || !FromUtf8(n.as_string()->get(), &name))
                Fail(n, "a file is named by its path");
            return FileRef(n, name);
        };
        auto reg = [this](const toml::node& n) { return RegRef(n); };
        RefList(t, "file_folders", feature.fileFolders, folder);
        RefList(t, "folders", feature.folders, folder);
        RefList(t, "files", feature.files, file);
        RefList(t, "registry_value_keys", feature.regValueKeys, reg);
        RefList(t, "registry_keys", feature.regKeys, reg);
        RefList(t, "registry_items", feature.regValues, reg);
    }

    CProject& project_;
    std::string textPath_;
    std::string file_;
    std::map<std::string, CFolder*> folderByPath_;
    std::map<std::string, const CFileItem*> fileByName_;
    std::map<std::string, CRegItem*> regKeyByPath_;
    std::map<std::string, CRegItem*> regValueByPath_;
    std::map<std::string, CFeature*> featureByPath_;
};

}  // namespace

void ReadProjectText(CProject& project, const std::string& content, const std::string& textPath,
                     const std::string& displayPath, const std::string& projectPath,
                     const std::vector<std::string>& overrides) {
    project.projectPath = projectPath;
    Reader(project, textPath, displayPath).Read(content, overrides);
    project.projectPath = projectPath;
}

}  // namespace project_text
