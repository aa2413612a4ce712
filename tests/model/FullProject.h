#pragma once

// A project built in code that uses every record type of the model with values away from their defaults,
// and a text view of a project's content for comparing two projects field by field.
#include <cstdio>
#include <string>

#include "model/Project.h"
#include "platform/File.h"

namespace testing_support {

inline void WriteSourceFile(const std::string& path, const std::string& content) {
    platform::File file;
    file.Open(path, platform::File::Mode::Replace);
    file.Write(content.data(), content.size());
    file.Close();
}

// Source files are written into folder; the project is to be saved as folder\full.tsp.
inline void BuildFullProject(CProject& project, const std::string& folder) {
    project.Reset();
    project.projectPath = folder + "\\full.tsp";
    project.productName = "Acme Writer";
    project.productVersion = "2.1";
    project.manufacturer = "Acme";
    project.target = "<program files folder>\\Acme";
    project.destination = folder + "\\media";

    for (const char* name : {"app.exe", "setup.dll", "plugin.dll", "readme.txt", "data.dat", "manual.pdf"}) {
        WriteSourceFile(folder + "\\" + name, std::string("content of ") + name);
    }
    CFolder* target = project.rootFolders[0];
    CFolder* bin = target->AddChild(std::make_unique<CFolder>("Bin"));
    CFolder* plugins = bin->AddChild(std::make_unique<CFolder>("Plugins"));
    CFolder* data = target->AddChild(std::make_unique<CFolder>("Data"));
    CFolder* menu = project.rootFolders.Add(std::make_unique<CFolder>("Program Menu Folder"));
    CFolder* menuAcme = menu->AddChild(std::make_unique<CFolder>("Acme"));
    CFolder* source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    CFolder* docs = source->AddChild(std::make_unique<CFolder>("Docs"));

    CFileItem* app = project.AddFile(folder + "\\app.exe", bin);
    CFileItem* setupDll = project.AddFile(folder + "\\setup.dll", bin);
    CFileItem* plugin = project.AddFile(folder + "\\plugin.dll", plugins);
    CFileItem* readme = project.AddFile(folder + "\\readme.txt", target);
    CFileItem* dataFile = project.AddFile(folder + "\\data.dat", data);
    CFileItem* manual = project.AddFile(folder + "\\manual.pdf", docs);
    plugin->shared = true;
    readme->permanent = true;

    CRegItem* software = project.rootRegs[2]->AddChild(std::make_unique<CRegItem>("Software", 0));
    CRegItem* acme = software->AddChild(std::make_unique<CRegItem>("Acme", 0));
    CRegItem* path = acme->AddChild(std::make_unique<CRegItem>("Path", platform::kRegString));
    path->value = "<target folder>";
    CRegItem* count = acme->AddChild(std::make_unique<CRegItem>("Count", platform::kRegDword));
    count->value = "31";
    CRegItem* settings = acme->AddChild(std::make_unique<CRegItem>("Settings", 0));
    CRegItem* blob = settings->AddChild(std::make_unique<CRegItem>("Blob", platform::kRegBinary));
    blob->value = "0a ff 10";
    CRegItem* user = project.rootRegs[4]->AddChild(std::make_unique<CRegItem>("Acme User", 0));

    auto shortcut = std::make_unique<CShortcut>();
    shortcut->folder = menuAcme;
    shortcut->name = "Acme Writer";
    shortcut->target = app;
    shortcut->arguments = "/new";
    shortcut->description = "Starts the writer";
    shortcut->showCmd = kShowMaximized;
    shortcut->workingFolder = data;
    shortcut->iconFile = setupDll;
    shortcut->iconIndex = 3;
    project.shortcuts.Add(std::move(shortcut));
    shortcut = std::make_unique<CShortcut>();
    shortcut->folder = target;
    shortcut->name = "Read me";
    shortcut->target = readme;
    shortcut->showCmd = 11;  // not one the dialog offers; kept as it is
    project.shortcuts.Add(std::move(shortcut));

    auto docType = std::make_unique<CDocType>();
    docType->extension = "acw";
    docType->name = "AcmeWriter.Document";
    docType->description = "Acme Writer document";
    docType->iconFile = app;
    docType->iconIndex = 2;
    const char* verbs[][3] = {
        {"open", "&Open", "\"%1\""}, {"print", "&Print", "/p \"%1\""}, {"edit", "&Edit", ""}};
    for (const auto& v : verbs) {
        auto verb = std::make_unique<CVerb>();
        verb->name = v[0];
        verb->description = v[1];
        verb->arguments = v[2];
        verb->target = app;
        docType->verbs.Add(std::move(verb));
    }
    project.docTypes.Add(std::move(docType));

    auto action = std::make_unique<CCustomAction>();
    action->name = "Register";
    action->target = setupDll;
    action->description = "Registers the plug-ins";
    action->function = "RegisterAll";
    action->invokeAfter = kAfterDestination;
    action->waitTime = -1;
    action->runDuring = kRunDuringInstall | kRunDuringRepair;
    action->ignoreReturnValue = true;
    action->runOnce = false;
    project.actions.Add(std::move(action));
    action = std::make_unique<CCustomAction>();
    action->name = "Clean up";
    action->target = app;
    action->arguments = "/cleanup";
    action->invokeAfter = kBeforeWelcome;
    action->waitTime = 5000;
    action->runDuring = kRunDuringUninstall;
    project.actions.Add(std::move(action));

    CFeature* main = project.rootFeature.children[0];
    main->fileFolders.Add(target);
    main->folders.Add(bin);
    main->files.Add(dataFile);
    main->regKeys.Add(acme);
    main->regValueKeys.Add(user);
    main->regValues.Add(path);
    main->expanded = true;
    auto extras = std::make_unique<CFeature>("Extras", "Plug-ins and the manual");
    extras->required = false;
    extras->selected = false;
    extras->folders.Add(plugins);
    extras->fileFolders.Add(docs);
    extras->files.Add(manual);
    extras->regValues.Add(blob);
    CFeature* extrasAdded = main->AddChild(std::move(extras));
    auto hidden = std::make_unique<CFeature>("Hidden", "");
    hidden->visible = false;
    hidden->regValueKeys.Add(settings);
    extrasAdded->AddChild(std::move(hidden));
    project.rootFeature.AddChild(std::make_unique<CFeature>("Empty", "A feature without items"));

    CUISettings& ui = project.ui;
    ui.showSplash = true;
    ui.showPage[kUserInformationPage] = 0;
    ui.askOrganization = false;
    ui.askEMail = true;
    ui.askDesktop = false;
    ui.runApplication = app;
    ui.readmeFile = readme;
    ui.runOption = kAskChecked;
    ui.readmeOption = kAskUnchecked;
    ui.showRestart = true;
    ui.splashFile = folder + "\\art\\splash.bmp";
    ui.bannerForAll = folder + "\\art\\banner.bmp";
    ui.pageBanner[kWelcomePage] = folder + "\\art\\welcome.bmp";
    ui.pageBanner[kUserInformationPage] = folder + "\\art\\user.bmp";  // its page is hidden
    ui.pageBanner[kFinishPage] = "D:\\shared\\finish.bmp";
    ui.licenseFiles[0] = folder + "\\eula.txt";
    ui.licenseFiles[2] = folder + "\\third-party.rtf";
}

namespace view_detail {

inline std::string Number(long n) {
    return std::to_string(n);
}
inline std::string Bool(bool b) {
    return b ? "1" : "0";
}
inline std::string Bytes(const uint8_t* bytes, size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i) {
        text += std::to_string(bytes[i]);
    }
    return text;
}
inline std::string FileName(const CFileItem* file) {
    return file ? file->TargetPath() : "(none)";
}
inline std::string FolderName(const CFolder* folder) {
    return folder ? folder->TargetPath() : "(none)";
}
inline std::string RegName(const CRegItem* item) {
    return item ? item->FullPath() : "(none)";
}

template <typename T, typename Name>
std::string List(const CRefList<T>& list, Name name) {
    std::string text = "[";
    for (const T* item : list) {
        text += name(item) + ";";
    }
    return text + "]";
}

inline void DescribeFeature(const CFeature& f, const std::string& indent, std::string* out) {
    *out += indent + "feature " + f.name + " | " + f.description + " | " + Bool(f.required) +
            Bool(f.visible) + Bool(f.expanded) + Bool(f.selected) + " | fileFolders " +
            List(f.fileFolders, FolderName) + " folders " + List(f.folders, FolderName) + " files " +
            List(f.files, FileName) + " regValueKeys " + List(f.regValueKeys, RegName) + " regKeys " +
            List(f.regKeys, RegName) + " regValues " + List(f.regValues, RegName) + " parent " +
            (f.parent ? f.parent->name : "(none)") + "\n";
    for (const CFeature* child : f.children) {
        DescribeFeature(*child, indent + "  ", out);
    }
}

inline void DescribeRegItem(const CRegItem& item, bool authoring, std::string* out) {
    *out += "reg " + item.FullPath() + " type " + Number(item.type) + " permanent " + Bool(item.permanent);
    *out += authoring ? " value " + item.value : " data " + Bytes(item.data.data(), item.data.size());
    *out += "\n";
    for (const CRegItem* child : item.children) {
        DescribeRegItem(*child, authoring, out);
    }
}

}  // namespace view_detail

// What a project holds, one line per record, references shown by what they point at. The authoring view
// has the fields of a project file; the setup view those of the setup database.
inline std::string DescribeProject(const CProject& p, bool authoring) {
    using namespace view_detail;
    std::string out;
    for (const CFileItem* f : p.files) {
        out += "file " + Number(f->position) + " " + f->TargetPath() + " size " + Number(f->size) +
               " shared " + Bool(f->shared) + " permanent " + Bool(f->permanent) + " mask " +
               Number(f->osMask);
        out += authoring ? " source " + f->sourcePath : " compressed " + Bool(f->compressed);
        out += "\n";
    }
    for (const CRegItem* root : p.rootRegs) {
        DescribeRegItem(*root, authoring, &out);
    }
    for (const CShortcut* s : p.shortcuts) {
        out += "shortcut " + Number(s->position) + " " + s->name + " in " + FolderName(s->folder) + " -> " +
               FileName(s->target) + " | " + s->arguments + " | " + s->description + " | show " +
               Number(s->showCmd) + " | wkdir " + FolderName(s->workingFolder) + " | icon " +
               FileName(s->iconFile) + "," + Number(s->iconIndex) + "\n";
    }
    for (const CDocType* d : p.docTypes) {
        out += "doctype " + Number(d->position) + " ." + d->extension + " " + d->name + " | " +
               d->description + " | icon " + FileName(d->iconFile) + "," + Number(d->iconIndex) + "\n";
        for (const CVerb* v : d->verbs) {
            out += "  verb " + Number(v->position) + " " + v->name + " | " + v->description + " | " +
                   v->arguments + " -> " + FileName(v->target) + "\n";
        }
    }
    for (const CCustomAction* a : p.actions) {
        out += "action " + Number(a->position) + " " + a->name + " -> " + FileName(a->target) + " | " +
               a->description + " | " + a->arguments + " | " + a->function + " | at " +
               Number(a->invokeAfter) + " wait " + Number(a->waitTime) + " during " + Number(a->runDuring) +
               " ignore " + Bool(a->ignoreReturnValue) + " once " + Bool(a->runOnce) + "\n";
    }
    DescribeFeature(p.rootFeature, "", &out);
    const CUISettings& ui = p.ui;
    out += "ui splash " + Bool(ui.showSplash) + " type " + Number(ui.uiType) + " pages " +
           Bytes(ui.showPage, CUISettings::kPageSlots) + " restart " + Bool(ui.showRestart) + "\n";
    out += "ui asks " + Bool(ui.askUserName) + Bool(ui.askOrganization) + Bool(ui.askEMail) +
           Bool(ui.askInstallForAll) + Bool(ui.askDesktop) + Bool(ui.askStartMenu) + " run " +
           FileName(ui.runApplication) + "," + Number(ui.runOption) + " readme " + FileName(ui.readmeFile) +
           "," + Number(ui.readmeOption) + "\n";
    if (authoring) {
        out += "ui paths " + ui.splashFile + " | " + ui.bannerForAll + " |";
        for (const std::string& banner : ui.pageBanner) {
            out += " " + banner;
        }
        out += " | " + ui.licenseFiles[0] + " | " + ui.licenseFiles[1] + " | " + ui.licenseFiles[2] + "\n";
    } else {
        out += "ui licences " + Number(ui.noOfLicenseFiles) + " banners " +
               Bytes(ui.showBanner, CUISettings::kPageSlots) + "\n";
    }
    out += "project no modify " + Bool(p.noModify) + "\n";
    return out;
}

}  // namespace testing_support
