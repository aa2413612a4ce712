// tessaro: the native command line over the portable model and builder code.
#include <cstring>
#include <iostream>
#include <string>

#include "cli/ArchiveDump.h"
#include "cli/BuildCommand.h"
#include "cli/CabCommand.h"
#include "cli/NativePaths.h"
#include "cli/NewProject.h"
#include "cli/TextCommands.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const std::string kUsage =
    std::string(
        "usage: tessaro COMMAND [ARGUMENTS]\n"
        "\n"
        "commands:\n"
        "  dump FILE     print an archive file (project, setup database) as an indented tree\n"
        "  new FILE      write a new project file (it must not exist yet) and print its product GUID\n") +
    kCabUsage + kBuildUsage + kTextUsage +
    "  help          print this text (COMMAND --help: that command's alone)\n"
    "  --version     print the version\n"
    "\n"
    "exit status: 0 done; 1 the work failed (check or build errors, a file that cannot be read or\n"
    "written); 2 the command line or the project cannot be read\n";

// What one command takes, as the full text lists it; empty for an unknown command.
std::string CommandUsage(const std::string& command) {
    if (command == "dump") {
        return "  dump FILE     print an archive file (project, setup database) as an indented tree\n";
    }
    if (command == "new") {
        return "  new FILE      write a new project file (it must not exist yet) and print its product "
               "GUID\n";
    }
    if (command == "cab") {
        return kCabUsage;
    }
    if (command == "check" || command == "build") {
        return kBuildUsage;
    }
    if (command == "export" || command == "import") {
        return kTextUsage;
    }
    return std::string();
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

int Usage(const std::string& problem) {
    std::cerr << "tessaro: " << problem << "\n\n" << kUsage;
    return kExitUsage;
}

int Dump(int argc, char** argv) {
    if (argc != 3) {
        return Usage("dump takes exactly one FILE");
    }
    DumpArchive(platform::ToModelPath(argv[2]), std::cout);
    return kExitOk;
}

int New(int argc, char** argv) {
    if (argc != 3) {
        return Usage("new takes exactly one FILE");
    }
    std::cout << platform::GuidText(WriteNewProject(platform::ToModelPath(argv[2]))) << "\n";
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command given");
    }
    const std::string command = argv[1];
    if (command == "--version" || command == "version") {
        std::cout << "tessaro " << TESSARO_VERSION << "\n";
        return kExitOk;
    }
    if (AsksForHelp(argc, argv) && !CommandUsage(command).empty()) {
        std::cout << "usage: tessaro " << command << " ...\n" << CommandUsage(command);
        return kExitOk;
    }
    // Messages name this machine's files by their POSIX paths; a dump prints the stored data as it is.
    cli::NativePathStream out(std::cout);
    cli::NativePathStream err(std::cerr);
    try {
        if (command == "dump") {
            return Dump(argc, argv);
        }
        if (command == "new") {
            return New(argc, argv);
        }
        if (command == "check") {
            return RunCheckCommand(argc, argv, out, err);
        }
        if (command == "build") {
            return RunBuildCommand(argc, argv, out, err);
        }
        if (command == "export") {
            return RunExportCommand(argc, argv, out, err);
        }
        if (command == "import") {
            return RunImportCommand(argc, argv, out, err);
        }
        if (command == "cab") {
            return RunCabCommand(argc, argv, out, err);
        }
        if (command == "help" || command == "--help" || command == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
        return Usage("unknown command \"" + command + "\"");
    } catch (const CTSException& e) {
        out.flush();
        err << "tessaro: " << e.Message() << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        out.flush();
        err << "tessaro: " << e.what() << "\n";
        return kExitFailure;
    }
}
