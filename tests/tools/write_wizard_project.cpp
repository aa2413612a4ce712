// write_wizard_project OUTDIR ACTION.EXE ACTION.DLL VARIANT: writes the files and the project wizard.tsp
// that the wizard's UI test builds and walks.
//
// Every variant: the product "Gadget" with three licence texts (one rich text, two plain), every question
// of the user-information and destination pages, a feature tree (a required "Program" with two
// sub-features, an unselected "Extras", an invisible "Hidden"), and the run and readme choices at the end.
// The action program and library lie in the Source Folder, so that custom actions can run them before
// anything is installed. Variants:
//   full        every page shown; the Welcome page has a banner of its own (files\banner.bmp); the action
//               program pauses on the progress page after the run
//   skip        the License and Setup Type pages hidden; the action program logs the points 0 to 3; a
//               splash picture (files\splash.bmp)
//   fail        a library action at point 2 (after User Information) that fails
//   failfirst   a library action before the Welcome page that fails
//   settarget   a library action at point 0 (after Welcome) that deletes the second licence file from the
//               setup's temporary folder, and one at point 3 (after Destination) that sets the target
//               folder by message
//   runonly     only the Welcome, progress and Finish pages; no readme offered, the run offered unchecked; the
//               target folder C:\Gadget Default, which a library action before the Welcome page changes back
//               to C:\Gadget by message
//   restart     only the Welcome, progress and Finish pages; the restart always offered
//   plain       the user-interface settings of a new project, for the authoring program's User Interface
//               page to set
//   actions     no custom action, and the library once more as SETUP.DLL in the Source Folder, for the
//               Custom Actions page to make actions of
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

void WriteText(const std::string& path, const std::string& text) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"%s\"!", path);
    }
    file.Write(text.data(), text.size());
    file.Close();
}

void CopyFile(const std::string& from, const std::string& to) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(from, &bytes)) {
        throw CTSException("Cannot find the file \"%s\"!", from);
    }
    platform::File file;
    if (!file.Open(to, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"%s\"!", to);
    }
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

CFeature* Feature(CFeature* parent, const char* name, const char* description, CFileItem* file) {
    CFeature* feature = parent->AddChild(std::make_unique<CFeature>(name, description));
    feature->files.Add(file);
    return feature;
}

void AddAction(CProject& project, const char* name, CFileItem* target, const std::string& function,
               const std::string& arguments, int32_t invokeAfter) {
    auto action = std::make_unique<CCustomAction>();
    action->name = name;
    action->target = target;
    action->function = function;
    action->arguments = arguments;
    action->invokeAfter = invokeAfter;
    action->waitTime = -1;
    action->runDuring = kRunDuringInstall;
    project.actions.Add(std::move(action));
}

void MakeProject(const std::string& out, const std::string& files, const std::string& variant) {
    CProject project;
    project.Reset();
    project.productName = "Gadget";
    project.productVersion = "2.0";
    project.manufacturer = "Aldmere Test Software";
    project.target = "C:\\Gadget";
    project.destination = out + "\\media";
    project.mediaType = 0;

    CFolder* target = project.rootFolders[0];
    CFolder* bin = target->AddChild(std::make_unique<CFolder>("Bin"));
    CFolder* docs = target->AddChild(std::make_unique<CFolder>("Docs"));
    CFolder* source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    CFileItem* tool = project.AddFile(files + "\\tool.exe", bin);
    CFileItem* readme = project.AddFile(files + "\\readme.txt", docs);
    CFileItem* help = project.AddFile(files + "\\help.txt", docs);
    CFileItem* samples = project.AddFile(files + "\\samples.txt", docs);
    CFileItem* extras = project.AddFile(files + "\\extras.txt", docs);
    CFileItem* hidden = project.AddFile(files + "\\hidden.txt", docs);
    CFileItem* actionExe = project.AddFile(files + "\\action.exe", source);
    CFileItem* actionDll = project.AddFile(files + "\\action.dll", source);

    CFeature* program = project.rootFeature.children[0];
    program->name = "Program";
    program->description = "The Gadget program";
    program->required = true;
    program->expanded = true;
    program->files.Add(tool);
    program->files.Add(readme);
    Feature(program, "Help", "The help text", help);
    Feature(program, "Samples", "Sample documents", samples);
    Feature(&project.rootFeature, "Extras", "Extra documents", extras)->selected = false;
    Feature(&project.rootFeature, "Hidden", "Never shown", hidden)->visible = false;

    CUISettings& ui = project.ui;
    ui.askUserName = ui.askOrganization = ui.askEMail = true;
    ui.askDesktop = ui.askStartMenu = ui.askInstallForAll = true;
    ui.licenseFiles[0] = files + "\\first.rtf";
    ui.licenseFiles[1] = files + "\\second.txt";
    ui.licenseFiles[2] = files + "\\third.txt";
    ui.readmeFile = readme;
    ui.readmeOption = kAskChecked;
    ui.runApplication = tool;
    ui.runOption = kAskUnchecked;
    ui.pageBanner[0] = files + "\\banner.bmp";  // the test script draws it
    if (variant == "skip") {
        ui.showSplash = true;
        ui.splashFile = files + "\\splash.bmp";
    }

    if (variant == "full") {
        AddAction(project, "pauses on the progress page", actionExe, "", "pause", kAfterProgress);
    } else if (variant == "skip") {
        ui.showPage[1] = 0;
        ui.showPage[4] = 0;
        for (int point = 0; point <= 3; ++point) {
            AddAction(project, "log", actionExe, "", "point" + std::to_string(point), point + 2);
        }
    } else if (variant == "fail") {
        AddAction(project, "fails", actionDll, "Fail", "", kAfterUserInformation);
    } else if (variant == "failfirst") {
        AddAction(project, "fails first", actionDll, "Fail", "", kBeforeWelcome);
    } else if (variant == "settarget") {
        AddAction(project, "loses a licence", actionDll, "LoseLicense", "", kAfterWelcome);
        AddAction(project, "moves the target", actionDll, "SetTarget", "", kAfterDestination);
    } else if (variant == "runonly" || variant == "restart") {
        for (int page = kLicensePage; page <= kConfirmationPage; ++page) {
            ui.showPage[page] = 0;
        }
        ui.readmeOption = variant == "runonly" ? kDoNotOffer : kAskChecked;
        ui.showRestart = variant == "restart";
        if (variant == "runonly") {
            project.target = "C:\\Gadget Default";
            AddAction(project, "sets the target", actionDll, "TargetGadget", "", kBeforeWelcome);
        }
    } else if (variant == "plain") {
        ui.Reset();
    } else if (variant == "actions") {
        project.AddFile(files + "\\SETUP.DLL", source);
    } else {
        throw CTSException("Unknown variant \"%s\"!", variant);
    }
    SaveProjectFile(project, out + "\\wizard.tsp");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(
            stderr,
            "usage: write_wizard_project OUTDIR ACTION.EXE ACTION.DLL full|skip|fail|failfirst|settarget|runonly|"
            "restart|plain|actions\n");
        return 2;
    }
    try {
        const std::string out = platform::ToModelPath(argv[1]);
        const std::string files = out + "\\files";
        if (!platform::CreateFolderPath(files)) {
            throw CTSException("Cannot create the folder \"%s\"!", files);
        }
        CopyFile(platform::ToModelPath(argv[2]), files + "\\action.exe");
        CopyFile(platform::ToModelPath(argv[3]), files + "\\action.dll");
        CopyFile(platform::ToModelPath(argv[3]), files + "\\SETUP.DLL");
        CopyFile(platform::ToModelPath(argv[2]), files + "\\tool.exe");
        WriteText(files + "\\readme.txt", "Gadget readme\r\n");
        WriteText(files + "\\help.txt", "Gadget help\r\n");
        WriteText(files + "\\samples.txt", "Gadget samples\r\n");
        WriteText(files + "\\extras.txt", "Gadget extras\r\n");
        WriteText(files + "\\hidden.txt", "Gadget hidden\r\n");
        WriteText(files + "\\first.rtf",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b First licence} in rich text.\\par}");
        WriteText(files + "\\second.txt", "Second licence, plain text.\r\n");
        WriteText(files + "\\third.txt", "Third licence, plain text.\r\n");
        MakeProject(out, files, argv[4]);
        std::printf("%s\n", (out + "\\wizard.tsp").c_str());
        return 0;
    } catch (const CTSException& e) {
        std::fprintf(stderr, "write_wizard_project: %s\n", e.Message().c_str());
        return 1;
    }
}
