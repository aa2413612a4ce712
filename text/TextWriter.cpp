// Writes the text form of a project.
#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include "model/Project.h"
#include "platform/NoCase.h"
#include "text/ProjectText.h"
#include "text/TextNames.h"

namespace project_text {

namespace {

class Writer {
public:
    Writer(const CProject& project, const std::string& textPath)
        : project_(project), textPath_(textPath), files_(project) {}

    std::string Write() {
        std::ostringstream out;
        out << "# Tessaro project\n";
        Section(out, "product", Product());
        Section(out, "maintenance", Maintenance());
        Section(out, "media", Media());
        Section(out, "user_interface", UserInterface());
        Section(out, "root_feature", FeatureFields(project_.rootFeature, true));
        CheckSiblings(
            project_.rootFolders, [](const CFolder& f) { return f.name; }, "the root folders");
        CheckSiblings(
            project_.rootRegs, [](const CRegItem& r) { return r.name; }, "the root keys");
        CheckSiblings(
            project_.rootFeature.children, [](const CFeature& f) { return f.name; }, "the features");
        toml::array folders;
        for (const CFolder* root : project_.rootFolders) {
            AddFolders(*root, folders);
        }
        Section(out, "folder", std::move(folders));
        Section(out, "file", Files());
        toml::array registry;
        for (const CRegItem* root : project_.rootRegs) {
            AddRegItems(*root, registry);
        }
        Section(out, "registry", std::move(registry));
        Section(out, "shortcut", Shortcuts());
        Section(out, "document_type", DocTypes());
        Section(out, "custom_action", Actions());
        toml::array features;
        for (const CFeature* feature : project_.rootFeature.children) {
            AddFeatures(*feature, features);
        }
        Section(out, "feature", std::move(features));
        return out.str();
    }

private:
    template <typename Node>
    static void Section(std::ostream& out, const char* name, Node&& node) {
        if constexpr (std::is_same_v<std::decay_t<Node>, toml::array>) {
            if (!node.empty()) {
                PrintEntries(out, name, node);
            }
        } else {
            out << "\n[" << name << "]\n";
            PrintBody(out, name, node);
        }
    }

    // The printer: literal strings where they can hold the text, so that paths read with single
    // backslashes; the identifying keys of an entry first, the others in alphabetical order.
    static std::string Key(const std::string& key) {
        for (char c : key) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') {
                return Quoted(key);
            }
        }
        return key;
    }
    static std::string Quoted(const std::string& text) {
        bool literal = text.find('\'') == std::string::npos;
        for (size_t i = 0; i < text.size() && literal; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            // Control characters, and C1 controls (U+0080 to U+009F, "\xC2\x80" to "\xC2\x9F" in UTF-8).
            literal = !(c < 0x20 || c == 0x7F ||
                        (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0));
        }
        if (literal) {
            return "'" + text + "'";
        }
        std::string quoted = "\"";
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            char escaped[8];
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += static_cast<char>(c);
            } else if (c == '\n') {
                quoted += "\\n";
            } else if (c == '\t') {
                quoted += "\\t";
            } else if (c < 0x20 || c == 0x7F) {
                std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
                quoted += escaped;
            } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[++i]));
                quoted += escaped;
            } else {
                quoted += static_cast<char>(c);
            }
        }
        return quoted + "\"";
    }
    static std::string Inline(const toml::node& node) {
        if (const auto* s = node.as_string())
            return Quoted(s->get());
        if (const auto* i = node.as_integer())
            return std::to_string(i->get());
        if (const auto* b = node.as_boolean())
            return b->get() ? "true" : "false";
        std::string text;
        if (const auto* a = node.as_array()) {
            for (const toml::node& item : *a) {
                text += (text.empty() ? "" : ", ") + Inline(item);
            }
            return "[" + text + "]";
        }
        for (const auto& [key, value] : *node.as_table()) {
            text += (text.empty() ? "" : ", ") + Key(std::string(key.str())) + " = " + Inline(value);
        }
        return "{ " + text + " }";
    }
    static std::vector<std::string> KeyOrder(const toml::table& table) {
        static const char* const kFirst[] = {"path", "key", "folder", "name", "source", "extension"};
        std::vector<std::string> keys;
        for (const char* first : kFirst) {
            if (table.contains(first))
                keys.push_back(first);
        }
        for (const auto& [key, value] : table) {
            const std::string name(key.str());
            if (std::find(keys.begin(), keys.end(), name) == keys.end())
                keys.push_back(name);
        }
        return keys;
    }
    static void PrintBody(std::ostream& out, const std::string& path, const toml::table& table) {
        std::vector<std::string> later;
        for (const std::string& key : KeyOrder(table)) {
            const toml::node& value = *table.get(key);
            // Lists of references stay inline, even when every reference is a { key, name } table.
            if (value.is_table() || (value.is_array_of_tables() && key == "verb")) {
                later.push_back(key);
            } else {
                out << Key(key) << " = " << Inline(value) << "\n";
            }
        }
        for (const std::string& key : later) {
            const toml::node& value = *table.get(key);
            if (value.is_table()) {
                out << "\n[" << path << "." << Key(key) << "]\n";
                PrintBody(out, path + "." + Key(key), *value.as_table());
            } else {
                PrintEntries(out, path + "." + Key(key), *value.as_array());
            }
        }
    }
    static void PrintEntries(std::ostream& out, const std::string& path, const toml::array& entries) {
        for (const toml::node& entry : entries) {
            out << "\n[[" << path << "]]\n";
            PrintBody(out, path, *entry.as_table());
        }
    }

    static void Text(toml::table& t, const char* key, const std::string& value) {
        t.insert(key, ToUtf8(value));
    }
    void Path(toml::table& t, const char* key, const std::string& value) const {
        t.insert(key, ToUtf8(RelativeSourcePath(value, textPath_)));
    }
    void FileRef(toml::table& t, const char* key, const CFileItem* file) const {
        if (file != nullptr) {
            Text(t, key, files_.NameOf(file));
        }
    }
    static void FolderRef(toml::table& t, const char* key, const CFolder* folder) {
        if (folder != nullptr) {
            Text(t, key, folder->TargetPath());
        }
    }
    static toml::array Views(const uint8_t* expanded, size_t count) {
        toml::array views;
        for (size_t i = 0; i < count; ++i) {
            views.push_back(static_cast<int64_t>(expanded[i]));
        }
        return views;
    }
    static bool AnyView(const uint8_t* expanded, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (expanded[i] != 0) {
                return true;
            }
        }
        return false;
    }
    static void Overwrite(toml::table& t, int method) {
        if (const char* name = OverwriteName(method)) {
            t.insert("overwrite", name);
        } else {
            t.insert("overwrite", static_cast<int64_t>(method));
        }
    }

    toml::table Product() const {
        toml::table t;
        Text(t, "name", project_.productName);
        Text(t, "version", project_.productVersion);
        Text(t, "manufacturer", project_.manufacturer);
        Text(t, "url", project_.productURL);
        Text(t, "support_phone", project_.supportPhone);
        Text(t, "author", project_.author);
        Text(t, "comments", project_.comments);
        t.insert("id", platform::GuidText(project_.productID));
        Text(t, "target", project_.target);
        FileRef(t, "icon_file", project_.iconFile);
        t.insert("icon_index", project_.iconIndex);
        t.insert("min_nt", static_cast<int64_t>(project_.minNT));
        t.insert("min_95", static_cast<int64_t>(project_.min95));
        return t;
    }

    toml::table Maintenance() const {
        toml::table t;
        t.insert("no_modify", project_.noModify);
        t.insert("no_remove", project_.noRemove);
        t.insert("no_repair", project_.noRepair);
        t.insert("no_add_remove_programs", project_.noARP);
        return t;
    }

    toml::table Media() const {
        toml::table t;
        t.insert("type", project_.mediaType);
        t.insert("size", project_.mediaSize);
        t.insert("autorun", project_.makeAutorun);
        Path(t, "cd_icon_file", project_.cdIconFile);
        t.insert("cd_icon_index", project_.cdIconIndex);
        Path(t, "destination", project_.destination);
        t.insert("reserved_space", project_.reservedSpace);
        return t;
    }

    toml::table UserInterface() const {
        const CUISettings& ui = project_.ui;
        toml::table t;
        t.insert("type", ui.uiType);
        t.insert("show_splash", ui.showSplash);
        toml::array pages;
        toml::table banners;
        for (int page = 0; page < CUISettings::kPageSlots; ++page) {
            const std::string name = page < kWizardPageCount ? kWizardPageNames[page] : std::to_string(page);
            if (ui.showPage[page] != 0) {
                if (page < kWizardPageCount) {
                    pages.push_back(name);
                } else {
                    pages.push_back(static_cast<int64_t>(page));
                }
            }
            if (!ui.pageBanner[page].empty()) {
                Path(banners, name.c_str(), ui.pageBanner[page]);
            }
        }
        t.insert("pages", std::move(pages));
        t.insert("ask_user_name", ui.askUserName);
        t.insert("ask_organization", ui.askOrganization);
        t.insert("ask_email", ui.askEMail);
        t.insert("ask_install_for_all", ui.askInstallForAll);
        t.insert("ask_desktop", ui.askDesktop);
        t.insert("ask_start_menu", ui.askStartMenu);
        FileRef(t, "run_application", ui.runApplication);
        t.insert("run_option", ui.runOption);
        FileRef(t, "readme_file", ui.readmeFile);
        t.insert("readme_option", ui.readmeOption);
        t.insert("show_restart", ui.showRestart);
        Path(t, "splash_file", ui.splashFile);
        Path(t, "banner", ui.bannerForAll);
        if (!banners.empty()) {
            t.insert("page_banners", std::move(banners));
        }
        toml::array licenses;
        for (const std::string& license : ui.licenseFiles) {
            licenses.push_back(ToUtf8(RelativeSourcePath(license, textPath_)));
        }
        t.insert("license_files", std::move(licenses));
        return t;
    }

    // Two siblings that one path would name cannot be told apart in the text.
    template <typename Item, typename Name>
    static void CheckSiblings(const CItemArray<Item>& children, Name nameOf, const std::string& where,
                              bool namesInPaths = true) {
        std::set<std::string> seen;
        for (const Item* child : children) {
            const std::string name = nameOf(*child);
            if (name.empty()) {
                continue;
            }
            if (namesInPaths && name.find('\\') != std::string::npos) {
                throw TextError("", 0, 0, "the name \"" + name + "\" in " + where + " holds a backslash");
            }
            if (!seen.insert(LookupKey(name)).second) {
                throw TextError("", 0, 0, "two items of " + where + " are named \"" + name + "\"");
            }
        }
    }

    void AddFolders(const CFolder& folder, toml::array& out) const {
        if (folder.generated) {
            return;
        }
        toml::table t;
        Text(t, "path", folder.TargetPath());
        if (folder.isDynamic) {
            t.insert("dynamic", true);
        }
        if (!folder.dynamicPath.empty()) {
            Path(t, "source", folder.dynamicPath);
        }
        if (folder.wildCards != "*.*") {
            Text(t, "wildcards", folder.wildCards);
        }
        if (!folder.xWildCards.empty()) {
            Text(t, "exclude", folder.xWildCards);
        }
        if (!folder.includeSF) {
            t.insert("subfolders", false);
        }
        if (folder.overwriteMethod != kOverwriteNewerVersionThenDate) {
            Overwrite(t, folder.overwriteMethod);
        }
        if (AnyView(folder.expanded, CFolder::kExpandedViews)) {
            t.insert("expanded", Views(folder.expanded, CFolder::kExpandedViews));
        }
        out.push_back(std::move(t));
        CheckSiblings(
            folder.children, [](const CFolder& f) { return f.generated ? std::string() : f.name; },
            folder.TargetPath());
        for (const CFolder* child : folder.children) {
            AddFolders(*child, out);
        }
    }

    toml::array Files() const {
        toml::array out;
        for (const CFileItem* file : project_.files) {
            if (file->generated) {
                continue;
            }
            toml::table t;
            FolderRef(t, "folder", file->folder);
            Path(t, "source", file->sourcePath);
            if (file->registerFile)
                t.insert("register", true);
            if (file->shared)
                t.insert("shared", true);
            if (file->addAppPath)
                t.insert("add_app_path", true);
            if (!file->appPath.empty())
                Text(t, "app_path", file->appPath);
            const int byVersion = file->versionMS == 0 && file->versionLS == 0
                                      ? kOverwriteNewerDate
                                      : kOverwriteNewerVersionThenDate;
            if (file->overwriteMethod != byVersion)
                Overwrite(t, file->overwriteMethod);
            if (file->isConfigFile)
                t.insert("config_file", true);
            if (file->permanent)
                t.insert("permanent", true);
            if (file->osMask != kOsMaskNamed)
                t.insert("os_mask", static_cast<int64_t>(file->osMask));
            out.push_back(std::move(t));
        }
        return out;
    }

    void AddRegItems(const CRegItem& item, toml::array& out) const {
        if (!item.IsKey() && !item.children.empty()) {
            throw TextError("", 0, 0,
                            "the registry value \"" + item.FullPath() + "\" holds items of its own");
        }
        toml::table t;
        if (item.IsKey()) {
            Text(t, "key", item.FullPath());
        } else {
            Text(t, "key", item.parent != nullptr ? item.parent->FullPath() : std::string());
            Text(t, "name", item.name);
            if (const char* type = RegTypeName(item.type)) {
                t.insert("type", type);
            } else {
                t.insert("type", static_cast<int64_t>(item.type));
            }
        }
        if (!item.value.empty() || !item.IsKey())
            Text(t, "data", item.value);
        if (item.permanent)
            t.insert("permanent", true);
        if (AnyView(item.expanded, CRegItem::kExpandedViews)) {
            t.insert("expanded", Views(item.expanded, CRegItem::kExpandedViews));
        }
        out.push_back(std::move(t));
        CheckSiblings(
            item.children, [](const CRegItem& r) { return r.IsKey() ? r.name : std::string(); },
            item.FullPath());
        CheckSiblings(
            item.children, [](const CRegItem& r) { return r.IsKey() ? std::string() : "=" + r.name; },
            item.FullPath(), false);
        for (const CRegItem* child : item.children) {
            AddRegItems(*child, out);
        }
    }

    toml::array Shortcuts() const {
        toml::array out;
        for (const CShortcut* s : project_.shortcuts) {
            toml::table t;
            FolderRef(t, "folder", s->folder);
            Text(t, "name", s->name);
            FileRef(t, "target", s->target);
            if (!s->arguments.empty())
                Text(t, "arguments", s->arguments);
            if (!s->description.empty())
                Text(t, "description", s->description);
            if (s->showCmd != kShowNormal)
                t.insert("show", s->showCmd);
            FolderRef(t, "working_folder", s->workingFolder);
            FileRef(t, "icon_file", s->iconFile);
            if (s->iconIndex != 0)
                t.insert("icon_index", s->iconIndex);
            out.push_back(std::move(t));
        }
        return out;
    }

    toml::array DocTypes() const {
        toml::array out;
        for (const CDocType* d : project_.docTypes) {
            toml::table t;
            Text(t, "extension", d->extension);
            Text(t, "name", d->name);
            if (!d->description.empty())
                Text(t, "description", d->description);
            FileRef(t, "icon_file", d->iconFile);
            if (d->iconIndex != 0)
                t.insert("icon_index", d->iconIndex);
            toml::array verbs;
            for (const CVerb* v : d->verbs) {
                toml::table verb;
                Text(verb, "name", v->name);
                if (!v->description.empty())
                    Text(verb, "description", v->description);
                if (!v->arguments.empty())
                    Text(verb, "arguments", v->arguments);
                FileRef(verb, "target", v->target);
                verbs.push_back(std::move(verb));
            }
            if (!verbs.empty())
                t.insert("verb", std::move(verbs));
            out.push_back(std::move(t));
        }
        return out;
    }

    toml::array Actions() const {
        toml::array out;
        for (const CCustomAction* a : project_.actions) {
            toml::table t;
            Text(t, "name", a->name);
            FileRef(t, "target", a->target);
            if (!a->description.empty())
                Text(t, "description", a->description);
            if (!a->arguments.empty())
                Text(t, "arguments", a->arguments);
            if (!a->function.empty())
                Text(t, "function", a->function);
            t.insert("invoke_after", a->invokeAfter);
            if (a->waitTime != 0)
                t.insert("wait", a->waitTime);
            t.insert("run_during", static_cast<int64_t>(a->runDuring));
            if (a->ignoreReturnValue)
                t.insert("ignore_return_value", true);
            if (!a->runOnce)
                t.insert("run_once", false);
            out.push_back(std::move(t));
        }
        return out;
    }

    template <typename T, typename Name>
    static toml::array RefArray(const CRefList<T>& list, Name name) {
        toml::array out;
        for (const T* item : list) {
            out.push_back(name(item));
        }
        return out;
    }

    static void RegRefs(toml::table& t, const char* key, const CRefList<CRegItem>& list) {
        if (list.empty())
            return;
        toml::array out;
        for (const CRegItem* item : list) {
            if (item->IsKey()) {
                out.push_back(ToUtf8(item->FullPath()));
            } else {
                toml::table value;
                value.insert("key",
                             ToUtf8(item->parent != nullptr ? item->parent->FullPath() : std::string()));
                value.insert("name", ToUtf8(item->name));
                out.push_back(std::move(value));
            }
        }
        t.insert(key, std::move(out));
    }

    toml::table FeatureFields(const CFeature& f, bool root) const {
        toml::table t;
        Text(t, root ? "name" : "path", root ? f.name : FeaturePath(f));
        if (!f.description.empty())
            Text(t, "description", f.description);
        if (f.required)
            t.insert("required", true);
        if (!f.visible)
            t.insert("visible", false);
        if (f.expanded)
            t.insert("expanded", true);
        if (!f.selected)
            t.insert("selected", false);
        auto folderName = [](const CFolder* folder) { return ToUtf8(folder->TargetPath()); };
        auto fileName = [this](const CFileItem* file) { return ToUtf8(files_.NameOf(file)); };
        if (!f.fileFolders.empty())
            t.insert("file_folders", RefArray(f.fileFolders, folderName));
        if (!f.folders.empty())
            t.insert("folders", RefArray(f.folders, folderName));
        if (!f.files.empty())
            t.insert("files", RefArray(f.files, fileName));
        RegRefs(t, "registry_value_keys", f.regValueKeys);
        RegRefs(t, "registry_keys", f.regKeys);
        RegRefs(t, "registry_items", f.regValues);
        return t;
    }

    void AddFeatures(const CFeature& feature, toml::array& out) const {
        out.push_back(FeatureFields(feature, false));
        CheckSiblings(
            feature.children, [](const CFeature& f) { return f.name; }, "feature " + FeaturePath(feature));
        for (const CFeature* child : feature.children) {
            AddFeatures(*child, out);
        }
    }

    const CProject& project_;
    std::string textPath_;
    FileNames files_;
};

}  // namespace

TextError::TextError(std::string file, long line, long column, const std::string& message)
    : std::runtime_error(message), line_(line), column_(column) {
    report_ = file.empty()
                  ? "error: " + message
                  : file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": error: " + message;
}

std::string WriteProjectText(const CProject& project, const std::string& textPath) {
    return Writer(project, textPath).Write();
}

}  // namespace project_text
