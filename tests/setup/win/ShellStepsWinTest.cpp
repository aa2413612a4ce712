// The document-type and shortcut steps of the install sequence on a real system: document types with
// their verbs in HKEY_CLASSES_ROOT, shortcuts read back through the shell's link object, suppressed
// folders, removal by marks, and test mode across all six registry, document-type and shortcut steps.
#include <objidl.h>
#include <olectl.h>
#include <shlobj.h>

#include "platform/TSSException.h"
#include "setup/engine/RegistryRules.h"
#include "setup/install/ComIds.h"
#include "tests/TestSupport.h"
#include "tests/setup/win/InstallStepsSupport.h"

namespace {

using namespace install_test;
using testing_support::TempFolder;

CFileItem* AddFile(CProject& project, const std::string& resolvedPath, bool selected, bool installed) {
    auto file = std::make_unique<CFileItem>();
    file->title = platform::FileTitle(resolvedPath);
    file->resolvedPath = resolvedPath;
    file->isSelected = selected;
    file->isInstalled = installed;
    return project.files.Add(std::move(file));
}

void MarkFile(CFileItem* file, bool selected, bool installed) {
    file->isSelected = selected;
    file->isInstalled = installed;
}

class DocTypeSteps : public StepsTest {
protected:
    DocTypeSteps() : name(Unique("TessaroTest.Doc")), extension(Unique("tst")) {
        app = AddFile(engine.project, "C:\\App\\app.exe", true, false);
        viewer = AddFile(engine.project, "C:\\App\\view.exe", true, false);
        CFileItem* icon = AddFile(engine.project, "C:\\App\\doc.ico", true, false);
        type = engine.project.docTypes.Add(std::make_unique<CDocType>());
        type->extension = extension;
        type->name = name;
        type->description = "Test document";
        type->iconFile = icon;
        type->iconIndex = 2;
        AddVerb("open", app, "%1");
        AddVerb("print", viewer, "/p \"%1\"");
    }
    ~DocTypeSteps() override {
        Wipe(HKEY_CLASSES_ROOT, "." + extension);
        Wipe(HKEY_CLASSES_ROOT, name);
    }

    void AddVerb(const char* verbName, CFileItem* target, const char* arguments) {
        CVerb* verb = type->verbs.Add(std::make_unique<CVerb>());
        verb->name = verbName;
        verb->description = "not written";
        verb->target = target;
        verb->arguments = arguments;
    }

    std::string Command(const char* verb) { return ReadText(HKEY_CLASSES_ROOT, VerbKey(verb) + "\\command"); }
    std::string VerbKey(const char* verb) { return name + "\\shell\\" + verb; }

    const std::string name;
    const std::string extension;
    CFileItem* app;
    CFileItem* viewer;
    CDocType* type;
};

TEST_F(DocTypeSteps, RegistersTheTypeWithItsVerbsAndIcon) {
    Run(RegisterDocTypes);

    EXPECT_EQ(sink.actions, std::vector<std::string>{"Registering Document Types..."});
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{name});
    EXPECT_EQ(sink.range, 1);
    EXPECT_EQ(sink.position, 1);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, "." + extension), name);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, name), "Test document");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, name + "\\DefaultIcon"), "C:\\App\\doc.ico,2");
    EXPECT_EQ(Command("open"), "\"C:\\App\\app.exe\" %1");
    EXPECT_EQ(Command("print"), "\"C:\\App\\view.exe\" /p \"%1\"");
    EXPECT_FALSE(ValueExists(HKEY_CLASSES_ROOT, VerbKey("open"), ""));  // a verb's description is not written

    engine.mode = SM_REMOVE;
    MarkFile(app, false, true);
    MarkFile(viewer, false, true);
    Run(RemoveDocTypes);

    EXPECT_EQ(sink.actions, std::vector<std::string>{"Removing Document Types..."});
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{name});
    EXPECT_EQ(sink.position, 1);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "." + extension));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, name));
}

TEST_F(DocTypeSteps, ChangeRemovesOnlyTheVerbsWhoseTargetsGo) {
    Run(RegisterDocTypes);
    engine.mode = SM_CHANGE;
    MarkFile(app, false, true);
    MarkFile(viewer, true, true);
    Run(RemoveDocTypes);

    EXPECT_TRUE(sink.NamedDetails().empty());
    EXPECT_EQ(sink.position, 1);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, VerbKey("open") + "\\command"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, VerbKey("open")));  // the verb's own key stays
    EXPECT_EQ(Command("print"), "\"C:\\App\\view.exe\" /p \"%1\"");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, "." + extension), name);

    Run(RegisterDocTypes);  // no verb's target is new: the type is not written again
    EXPECT_TRUE(sink.NamedDetails().empty());
    EXPECT_EQ(sink.position, 1);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, VerbKey("open") + "\\command"));
}

TEST_F(DocTypeSteps, TypeWithoutVerbsIsRegisteredInEveryRun) {
    type->verbs.Clear();
    type->iconFile = nullptr;
    CDocType* installed = engine.project.docTypes.Add(std::make_unique<CDocType>());
    installed->name = name + "Other";
    installed->extension = extension + "o";
    CVerb* verb = installed->verbs.Add(std::make_unique<CVerb>());
    verb->name = "open";
    verb->target = AddFile(engine.project, "C:\\App\\other.exe", true, true);

    for (const int32_t mode : {SM_NEW, SM_CHANGE, SM_REPAIR}) {
        Wipe(HKEY_CLASSES_ROOT, name);
        engine.mode = mode;
        Run(RegisterDocTypes);
        EXPECT_EQ(sink.range, 2);
        EXPECT_EQ(sink.position, 2);
        EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{name}) << mode;
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, name), "Test document") << mode;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, name + "\\DefaultIcon"));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, installed->name)) << mode;
    }

    engine.mode = SM_CHANGE;
    Run(RemoveDocTypes);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, name));
    engine.mode = SM_REMOVE;
    Run(RemoveDocTypes);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, name));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "." + extension));
    EXPECT_EQ(sink.position, 2);
}

TEST_F(DocTypeSteps, ExtensionWrittenWithItsDotAndNamelessTypesWriteNothing) {
    type->extension = "." + extension;
    Run(RegisterDocTypes);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, "." + extension), name);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".." + extension));
    Wipe(HKEY_CLASSES_ROOT, "." + extension);
    Wipe(HKEY_CLASSES_ROOT, name);

    type->name.clear();
    Run(RegisterDocTypes);
    EXPECT_EQ(sink.position, 1);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "." + extension));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "shell\\open\\command"));

    // Removing a nameless type neither reaches HKEY_CLASSES_ROOT itself nor an extension it never wrote.
    const std::string sentinel = Unique("TessaroSentinel");
    SetText(HKEY_CLASSES_ROOT, sentinel, "", "other");
    SetText(HKEY_CLASSES_ROOT, "." + extension, "", "claimed by another program");
    engine.mode = SM_REMOVE;
    MarkFile(app, false, true);
    MarkFile(viewer, false, true);
    Run(RemoveDocTypes);
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{});
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, "." + extension), "claimed by another program");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, sentinel), "other");
    Wipe(HKEY_CLASSES_ROOT, sentinel);
}

// The fields of a shortcut file as the shell's link object reads them.
struct LinkFields {
    std::string path, arguments, description, workingFolder, iconPath;
    int iconIndex = -1;
    int showCmd = -1;
};

bool ReadLink(const std::string& file, LinkFields* fields) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* persist = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    bool read = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
                SUCCEEDED(persist->Load(wide, STGM_READ));
    if (read) {
        char text[MAX_PATH * 2] = "";
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        fields->path = text;
        text[0] = 0;
        link->GetArguments(text, sizeof text);
        fields->arguments = text;
        text[0] = 0;
        link->GetDescription(text, sizeof text);
        fields->description = text;
        text[0] = 0;
        link->GetWorkingDirectory(text, MAX_PATH);
        fields->workingFolder = text;
        text[0] = 0;
        link->GetIconLocation(text, MAX_PATH, &fields->iconIndex);
        fields->iconPath = text;
    }
    if (persist != nullptr) {
        persist->Release();
    }
    link->Release();
    // Wine's link object does not restore the show command on loading (it always answers 1), so that one
    // field is read from the file's header, where the shell link format keeps it at offset 60.
    const std::vector<uint8_t> bytes = testing_support::ReadBytes(file);
    if (bytes.size() >= 64) {
        fields->showCmd = bytes[60] | bytes[61] << 8 | bytes[62] << 16 | bytes[63] << 24;
    }
    return read;
}

class ShortcutSteps : public StepsTest {
protected:
    ShortcutSteps() {
        CoInitialize(nullptr);
        appFolder = temp / "App";
        platform::CreateFolder(appFolder);
        testing_support::WriteBytes(appFolder + "\\app.exe", {'M', 'Z'});
        app = AddFile(engine.project, appFolder + "\\app.exe", true, false);
        icon = AddFile(engine.project, appFolder + "\\app.ico", true, false);

        CItemArray<CFolder>& roots = engine.project.rootFolders;
        target = roots[0];
        target->resolvedPath = appFolder;
        menu = roots.Add(std::make_unique<CFolder>("Programs"));
        menu->resolvedPath = temp / "Menu";
        product = menu->AddChild(std::make_unique<CFolder>("Product"));
        product->resolvedPath = menu->resolvedPath + "\\Product";
        desktop = roots.Add(std::make_unique<CFolder>("Desktop"));
        desktop->resolvedPath = temp / "Desktop";
        platform::CreateFolder(desktop->resolvedPath);
        for (CFolder* folder : {target, menu, product, desktop}) folder->isSelected = true;
    }
    ~ShortcutSteps() override { CoUninitialize(); }

    CShortcut* AddShortcut(const char* name, CFolder* folder, CFileItem* file) {
        CShortcut* shortcut = engine.project.shortcuts.Add(std::make_unique<CShortcut>());
        shortcut->name = name;
        shortcut->folder = folder;
        shortcut->target = file;
        return shortcut;
    }

    TempFolder temp;
    std::string appFolder;
    CFileItem* app;
    CFileItem* icon;
    CFolder* target;
    CFolder* menu;
    CFolder* product;
    CFolder* desktop;
};

// The identifiers that the setup program spells out itself are the system's own.
TEST(ComIds, AreTheSystemsIdentifiers) {
    const struct {
        const GUID& ours;
        const GUID& system;
        const char* name;
    } ids[] = {
        {com_ids::kShellLink, CLSID_ShellLink, "CLSID_ShellLink"},
        {com_ids::kShellLinkA, IID_IShellLinkA, "IID_IShellLinkA"},
        {com_ids::kPersistFile, IID_IPersistFile, "IID_IPersistFile"},
        {com_ids::kPicture, IID_IPicture, "IID_IPicture"},
    };
    for (const auto& id : ids) {
        EXPECT_TRUE(IsEqualGUID(id.ours, id.system)) << id.name;
    }
}

TEST_F(ShortcutSteps, CreatedWithEveryFieldAndRemovedWithItsFolder) {
    CShortcut* widget = AddShortcut("Widget", product, app);
    widget->arguments = "-x \"y z\"";
    widget->description = "Starts the widget";
    widget->showCmd = kShowMaximized;
    widget->workingFolder = target;
    widget->iconFile = icon;
    widget->iconIndex = 1;

    Run(CreateShortcuts);

    EXPECT_EQ(sink.actions, std::vector<std::string>{"Creating Shortcuts..."});
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{"Widget"});
    EXPECT_EQ(sink.range, 1);
    EXPECT_EQ(sink.position, 1);
    const std::string file = product->resolvedPath + "\\Widget.lnk";
    LinkFields fields;
    ASSERT_TRUE(ReadLink(file, &fields)) << file;
    EXPECT_EQ(fields.path, app->resolvedPath);
    EXPECT_EQ(fields.arguments, "-x \"y z\"");
    EXPECT_EQ(fields.description, "Starts the widget");
    EXPECT_EQ(fields.workingFolder, appFolder);
    EXPECT_EQ(fields.iconPath, icon->resolvedPath);
    EXPECT_EQ(fields.iconIndex, 1);
    EXPECT_EQ(fields.showCmd, SW_SHOWMAXIMIZED);

    engine.mode = SM_REMOVE;
    MarkFile(app, false, true);
    Run(RemoveShortcuts);

    EXPECT_EQ(sink.actions, std::vector<std::string>{"Removing Shortcuts..."});
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{"Widget"});
    EXPECT_EQ(sink.position, 1);
    EXPECT_FALSE(platform::FileExists(file));
    EXPECT_FALSE(
        platform::FolderExists(product->resolvedPath));       // its last shortcut gone, the empty folder too
    EXPECT_TRUE(platform::FolderExists(menu->resolvedPath));  // a root folder is never removed with it
}

TEST_F(ShortcutSteps, SuppressedDesktopGetsNoShortcutButLosesAnOldOne) {
    desktop->suppressed = true;
    AddShortcut("OnDesktop", desktop, app);
    AddShortcut("InMenu", menu, app);
    Run(CreateShortcuts);

    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{"InMenu"});
    EXPECT_EQ(sink.position, 2);
    const std::string onDesktop = desktop->resolvedPath + "\\OnDesktop.lnk";
    EXPECT_FALSE(platform::FileExists(onDesktop));
    LinkFields fields;
    EXPECT_TRUE(ReadLink(menu->resolvedPath + "\\InMenu.lnk", &fields));

    testing_support::WriteBytes(onDesktop, {'L'});  // made by an earlier installation that had it ticked
    engine.mode = SM_REMOVE;
    MarkFile(app, false, true);
    Run(RemoveShortcuts);
    EXPECT_EQ(sink.NamedDetails(), (std::vector<std::string>{"OnDesktop", "InMenu"}));
    EXPECT_FALSE(platform::FileExists(onDesktop));
    EXPECT_FALSE(platform::FileExists(menu->resolvedPath + "\\InMenu.lnk"));
    EXPECT_TRUE(platform::FolderExists(desktop->resolvedPath));
}

TEST_F(ShortcutSteps, FolderStaysWhileAnotherShortcutIsInIt) {
    CFileItem* other = AddFile(engine.project, appFolder + "\\other.exe", true, false);
    AddShortcut("First", product, app);
    AddShortcut("Second", product, other);
    Run(CreateShortcuts);
    ASSERT_TRUE(platform::FileExists(product->resolvedPath + "\\Second.lnk"));

    engine.mode = SM_CHANGE;
    MarkFile(app, false, true);
    MarkFile(other, true, true);
    Run(RemoveShortcuts);
    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{"First"});
    EXPECT_EQ(sink.position, 2);
    EXPECT_FALSE(platform::FileExists(product->resolvedPath + "\\First.lnk"));
    EXPECT_TRUE(platform::FileExists(product->resolvedPath + "\\Second.lnk"));
}

TEST_F(ShortcutSteps, WithoutTargetTheWorkingFolderIsStarted) {
    CShortcut* folderLink = AddShortcut("Open Folder", menu, nullptr);
    folderLink->workingFolder = target;
    folderLink->showCmd = kShowMinimized;
    AddShortcut("Nothing", menu, nullptr);  // neither target nor working folder: never made
    Run(CreateShortcuts);

    EXPECT_EQ(sink.NamedDetails(), std::vector<std::string>{"Open Folder"});
    EXPECT_EQ(sink.position, 2);
    LinkFields fields;
    ASSERT_TRUE(ReadLink(menu->resolvedPath + "\\Open Folder.lnk", &fields));
    EXPECT_EQ(fields.path, appFolder);
    EXPECT_EQ(fields.workingFolder, appFolder);
    EXPECT_EQ(fields.showCmd, SW_SHOWMINNOACTIVE);
    EXPECT_FALSE(platform::FileExists(menu->resolvedPath + "\\Nothing.lnk"));

    engine.mode = SM_REMOVE;
    target->isSelected = false;
    target->isInstalled = true;
    Run(RemoveShortcuts);
    EXPECT_FALSE(platform::FileExists(menu->resolvedPath + "\\Open Folder.lnk"));
}

TEST_F(ShortcutSteps, FolderThatCannotBeMadeEndsTheRun) {
    testing_support::WriteBytes(temp / "Blocked", {'x'});
    menu->resolvedPath = temp / "Blocked";
    product->resolvedPath = menu->resolvedPath + "\\Product";
    AddShortcut("Widget", product, app);
    try {
        Run(CreateShortcuts);
        ADD_FAILURE() << "no exception";
    } catch (const CTSSException& e) {
        EXPECT_FALSE(e.Message().empty());
    }
}

TEST_F(ShortcutSteps, MissingShellFolderGetsNoShortcut) {
    menu->resolvedPath.clear();  // the system has no such shell folder
    product->resolvedPath = "\\Product";
    AddShortcut("Widget", product, app);
    Run(CreateShortcuts);
    EXPECT_TRUE(sink.NamedDetails().empty());
    EXPECT_EQ(sink.position, 1);
}

// Test mode: each step reports its action, its range and a step per item, and the machine stays as it was.
class TestMode : public ShortcutSteps {
protected:
    TestMode() : base("Software\\" + Unique("TessaroTestMode")), docName(Unique("TessaroTestMode.Doc")) {
        CRegItem* key = Root("HKEY_CURRENT_USER")->AddChild(std::make_unique<CRegItem>(base, 0));
        CRegItem* value = key->AddChild(std::make_unique<CRegItem>("v", REG_SZ));
        value->data = {'x', 0};
        CDocType* type = engine.project.docTypes.Add(std::make_unique<CDocType>());
        type->name = docName;
        type->extension = Unique("tsm");
        CVerb* verb = type->verbs.Add(std::make_unique<CVerb>());
        verb->name = "open";
        verb->target = app;
        AddShortcut("Widget", product, app);
    }
    ~TestMode() override {
        Wipe(HKEY_CURRENT_USER, base);
        Wipe(HKEY_CLASSES_ROOT, docName);
        Wipe(HKEY_CLASSES_ROOT, "." + engine.project.docTypes[0]->extension);
    }

    void MarkEntries(bool selected, bool installed) {
        for (CRegItem* root : engine.project.rootRegs) {
            root->isSelected = selected;
            root->isInstalled = installed;
            for (CRegItem* key : root->children) {
                key->isSelected = selected;
                key->isInstalled = installed;
                for (CRegItem* value : key->children) {
                    value->isSelected = selected;
                    value->isInstalled = installed;
                }
            }
        }
        MarkFile(app, selected, installed);
    }

    void ExpectProgress(const char* action, int32_t count, const char* detail) {
        EXPECT_EQ(sink.actions, std::vector<std::string>{action});
        EXPECT_EQ(sink.range, count) << action;
        EXPECT_EQ(sink.position, count) << action;
        EXPECT_EQ(sink.NamedDetails(), detail ? std::vector<std::string>{detail} : std::vector<std::string>{})
            << action;
    }

    const std::string base;
    const std::string docName;
};

TEST_F(TestMode, InstallStepsWriteNothing) {
    engine.test = true;
    MarkEntries(true, false);
    Run(WriteRegistryEntries);
    ExpectProgress("Updating Registry...", 7, nullptr);
    Run(RegisterDocTypes);
    ExpectProgress("Registering Document Types...", 1, docName.c_str());
    Run(CreateShortcuts);
    ExpectProgress("Creating Shortcuts...", 1, "Widget");

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, docName));
    EXPECT_FALSE(platform::FolderExists(menu->resolvedPath));
}

TEST_F(TestMode, RemovalStepsDeleteNothing) {
    MarkEntries(true, false);
    Run(WriteRegistryEntries);
    Run(RegisterDocTypes);
    Run(CreateShortcuts);
    const std::string link = product->resolvedPath + "\\Widget.lnk";
    ASSERT_TRUE(ValueExists(HKEY_CURRENT_USER, base, "v"));
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, docName + "\\shell\\open\\command"));
    ASSERT_TRUE(platform::FileExists(link));

    engine.test = true;
    engine.mode = SM_REMOVE;
    MarkEntries(false, true);
    Run(RemoveRegistryEntries);
    ExpectProgress("Removing Registry Keys...", 7, nullptr);
    Run(RemoveDocTypes);
    ExpectProgress("Removing Document Types...", 1, docName.c_str());
    Run(RemoveShortcuts);
    ExpectProgress("Removing Shortcuts...", 1, "Widget");

    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, base, "v"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, docName + "\\shell\\open\\command"));
    EXPECT_TRUE(platform::FileExists(link));
}

}  // namespace
