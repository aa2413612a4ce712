// make_example OUTDIR WIDGET.EXE [--single-file|--floppy|--custom|--settings-only|--files-only]
// [--no-destination]: writes the bundled example into OUTDIR: the product's files (the Widget program, a readme,
// a licence, a help text, a picture, an icon) and the project widget.tsp that installs them, made through the
// model's API so that every setting can be read here; with --settings-only, the project settings.tsp of a
// companion product that has no data files; with --files-only, the files alone, for the example's text form
// (widget.toml beside this program's source), which names them; with --no-destination, a project without
// destination (for trying the builder's check and --out).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"%s\"!", path);
    }
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

void WriteText(const std::string& path, const std::string& text) { Write(path, {text.begin(), text.end()}); }

void Put(std::vector<uint8_t>& b, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A 24-bit bitmap of width x height: a blue-to-green gradient, the kind of picture a wizard banner shows.
std::vector<uint8_t> Bitmap(int width, int height) {
    const uint32_t row = static_cast<uint32_t>((width * 3 + 3) & ~3);
    std::vector<uint8_t> b = {'B', 'M'};
    Put(b, 54 + row * height, 4);
    Put(b, 0, 4);
    Put(b, 54, 4);
    Put(b, 40, 4);
    Put(b, width, 4);
    Put(b, height, 4);
    Put(b, 1, 2);
    Put(b, 24, 2);
    Put(b, 0, 4);
    Put(b, row * height, 4);
    Put(b, 2835, 4);
    Put(b, 2835, 4);
    Put(b, 0, 4);
    Put(b, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.push_back(static_cast<uint8_t>(255 - 255 * x / width));
            b.push_back(static_cast<uint8_t>(255 * x / width));
            b.push_back(static_cast<uint8_t>(40 + y));
        }
        b.resize(b.size() + (row - width * 3));
    }
    return b;
}

// A one-image 32x32 icon in 32 bits per pixel: a green disc.
std::vector<uint8_t> Icon() {
    const int size = 32;
    std::vector<uint8_t> image;
    Put(image, 40, 4);
    Put(image, size, 4);
    Put(image, size * 2, 4);  // the colour and mask halves
    Put(image, 1, 2);
    Put(image, 32, 2);
    for (int i = 0; i < 6; ++i) {
        Put(image, 0, 4);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int dx = x - 16, dy = y - 16;
            const bool inside = dx * dx + dy * dy < 14 * 14;
            Put(image, inside ? 0xFF20A040u : 0u, 4);
        }
    }
    image.resize(image.size() + size * 4);  // AND mask: 32 bits per row, all clear
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, size, size, 0, 0, 1, 0, 32, 0};
    Put(ico, static_cast<uint32_t>(image.size()), 4);
    Put(ico, 22, 4);
    ico.insert(ico.end(), image.begin(), image.end());
    return ico;
}

CFolder* Child(CFolder* parent, const char* name) { return parent->AddChild(std::make_unique<CFolder>(name)); }

CRegItem* Key(CRegItem* parent, const char* name) { return parent->AddChild(std::make_unique<CRegItem>(name, 0)); }

void Value(CRegItem* key, const char* name, uint32_t type, const char* text) {
    auto value = std::make_unique<CRegItem>(name, type);
    value->value = text;
    key->AddChild(std::move(value));
}

void MakeProject(const std::string& out, const std::string& files, int32_t mediaType, bool destination) {
    CProject project;
    project.Reset();
    project.productName = "Widget";
    project.productVersion = "1.0";
    project.manufacturer = "Aldmere Example Software";
    project.productURL = "http://www.example.com/widget";
    project.supportPhone = "+1 555 0100";
    project.author = "Tessaro example";
    project.comments = "The example that make demo builds.";
    project.target = "<program files>\\Aldmere\\Widget";
    project.destination = destination ? out + "\\media" : std::string();
    project.cdIconFile = files + "\\widget.ico";
    project.mediaType = mediaType;
    project.mediaSize = 0;  // a user defined size without limit: one cabinet

    CFolder* target = project.rootFolders[0];
    CFolder* bin = Child(target, "Bin");
    CFolder* docs = Child(target, "Docs");
    CFolder* programs = project.rootFolders.Add(std::make_unique<CFolder>("Programs"));
    CFolder* menu = Child(programs, "Widget");
    CFolder* source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    CFolder* temp = project.rootFolders.Add(std::make_unique<CFolder>("Temp Folder"));

    CFileItem* widget = project.AddFile(files + "\\Widget.exe", bin);
    CFileItem* readme = project.AddFile(files + "\\readme.txt", docs);
    CFileItem* help = project.AddFile(files + "\\widget-help.txt", docs);
    CFileItem* picture = project.AddFile(files + "\\logo.bmp", docs);
    project.AddFile(files + "\\readme.txt", source);
    CFileItem* checker = project.AddFile(files + "\\Widget.exe", temp);
    project.iconFile = widget;

    CFeature* main = project.rootFeature.children[0];
    main->name = "Program";
    main->description = "The Widget program";
    main->fileFolders.Add(bin);
    auto documentation = std::make_unique<CFeature>("Documentation", "The readme, the help and the picture");
    documentation->folders.Add(docs);
    CFeature* documentationFeature = project.rootFeature.AddChild(std::move(documentation));
    auto shortcuts = std::make_unique<CFeature>("Shortcuts", "A Start menu entry for Widget");
    shortcuts->folders.Add(programs);
    CFeature* shortcutFeature = main->AddChild(std::move(shortcuts));

    CRegItem* software = Key(project.rootRegs[2], "Software");
    CRegItem* company = Key(software, "Aldmere Example");
    CRegItem* product = Key(company, "Widget");
    Value(product, "InstallDir", 1, "<target folder>");
    Value(product, "Version", 1, "1.0");
    Value(product, "Runs", 4, "0");
    CRegItem* user = Key(Key(project.rootRegs[1], "Software"), "Aldmere Example Widget");
    Value(user, "Colour", 1, "green");
    main->regKeys.Add(company);
    shortcutFeature->regKeys.Add(user);
    (void)documentationFeature;

    auto shortcut = std::make_unique<CShortcut>();
    shortcut->folder = menu;
    shortcut->name = "Widget";
    shortcut->target = widget;
    shortcut->description = "Start Widget";
    shortcut->workingFolder = bin;
    project.shortcuts.Add(std::move(shortcut));
    auto helpShortcut = std::make_unique<CShortcut>();
    helpShortcut->folder = menu;
    helpShortcut->name = "Widget Help";
    helpShortcut->target = help;
    project.shortcuts.Add(std::move(helpShortcut));

    auto docType = std::make_unique<CDocType>();
    docType->extension = "wdg";
    docType->name = "Widget.Document";
    docType->description = "Widget Document";
    docType->iconFile = widget;
    auto verb = std::make_unique<CVerb>();
    verb->name = "open";
    verb->description = "&Open";
    verb->arguments = "\"%1\"";
    verb->target = widget;
    docType->verbs.Add(std::move(verb));
    project.docTypes.Add(std::move(docType));

    auto action = std::make_unique<CCustomAction>();
    action->name = "Check the machine";
    action->target = checker;
    action->arguments = "/check";
    action->invokeAfter = kAfterWelcome;
    action->waitTime = 5000;
    project.actions.Add(std::move(action));

    project.ui.licenseFiles[0] = files + "\\license.txt";
    project.ui.bannerForAll = files + "\\logo.bmp";
    project.ui.readmeFile = readme;
    project.ui.readmeOption = kAskChecked;
    project.ui.runApplication = widget;
    project.ui.runOption = kAskUnchecked;
    (void)picture;

    SaveProjectFile(project, out + "\\widget.tsp");
}

// A companion product without data files: registry data and a readme in the Source Folder, built as one
// self-contained Setup.exe, whose payload therefore ends with the setup database.
void MakeSettingsProject(const std::string& out, const std::string& files) {
    CProject project;
    project.Reset();
    project.productName = "Widget Settings";
    project.productVersion = "1.0";
    project.manufacturer = "Aldmere Example Software";
    project.target = "<program files>\\Aldmere Settings\\Widget Settings";
    project.destination = out + "\\settings-media";
    project.mediaType = 2;
    CFolder* source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    project.AddFile(files + "\\readme.txt", source);
    CRegItem* product = Key(Key(Key(project.rootRegs[2], "Software"), "Aldmere Example"), "Widget Settings");
    Value(product, "Greeting", 1, "hello");
    Value(product, "Folder", 1, "<target folder>");
    CFeature* main = project.rootFeature.children[0];
    main->name = "Settings";
    main->regKeys.Add(product);
    project.ui.showPage[kLicensePage] = false;
    project.ui.readmeFile = project.files[0];  // offered on the Finish page, from the Source Folder
    SaveProjectFile(project, out + "\\settings.tsp");
}

}  // namespace

int main(int argc, char** argv) {
    const bool destination = !(argc > 3 && std::string(argv[argc - 1]) == "--no-destination");
    const int options = argc - 3 - (destination ? 0 : 1);
    const std::string media = options == 1 ? argv[3] : "";
    const bool settings = media == "--settings-only";
    const bool filesOnly = media == "--files-only";
    const int32_t mediaType = media == "--single-file" ? 2 : media == "--floppy" ? 1 : media == "--custom" ? 3 : 0;
    if (argc < 3 || options > 1 || (options == 1 && mediaType == 0 && !settings && !filesOnly)) {
        std::fprintf(stderr, "usage: make_example OUTDIR WIDGET.EXE [--single-file|--floppy|--custom|--settings-only|"
                             "--files-only] [--no-destination]\n");
        return 2;
    }
    try {
        const std::string out = platform::ToModelPath(argv[1]);
        const std::string files = out + "\\files";
        std::vector<uint8_t> program;
        if (!platform::File::ReadAll(platform::ToModelPath(argv[2]), &program)) {
            throw CTSException("Cannot find the file \"%s\"!", argv[2]);
        }
        if (!platform::CreateFolderPath(files)) {
            throw CTSException("Cannot create the folder \"%s\"!", files);
        }
        Write(files + "\\Widget.exe", program);
        WriteText(files + "\\readme.txt", "Widget 1.0\r\n\r\nWidget greets you. Start it from the Start menu.\r\n");
        WriteText(files + "\\license.txt",
                  "Widget licence\r\n\r\nYou may use Widget for anything. It comes without any warranty.\r\n");
        WriteText(files + "\\widget-help.txt", "Widget help\r\n\r\nStart Widget; it shows one message.\r\n");
        Write(files + "\\logo.bmp", Bitmap(96, 48));
        Write(files + "\\widget.ico", Icon());
        if (filesOnly) {
            std::printf("%s\n", files.c_str());
            return 0;
        }
        if (settings) {
            MakeSettingsProject(out, files);
            std::printf("%s\n", (out + "\\settings.tsp").c_str());
            return 0;
        }
        MakeProject(out, files, mediaType, destination);
        std::printf("%s\n", (out + "\\widget.tsp").c_str());
        return 0;
    } catch (const CTSException& e) {
        std::fprintf(stderr, "make_example: %s\n", e.Message().c_str());
        return 1;
    }
}
