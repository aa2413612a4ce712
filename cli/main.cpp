// tessaro: the native command line over the portable model and builder code.
#include <cstring>
#include <iostream>
#include <string>

#include "cli/ArchiveDump.h"
#include "cli/BuildCommand.h"
#include "cli/CabCommand.h"
#include "cli/NewProject.h"
#include "cli/TextCommands.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const std::string kUsage = std::string(
    "usage: tessaro COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  dump FILE     print an archive file (project, setup database) as an indented tree\n"
    "  new FILE      write a new project file (it must not exist yet) and print its product GUID\n") +
    kCabUsage + kBuildUsage + kTextUsage +
    "  help          print this text\n";

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
    try {
        if (command == "dump") {
            return Dump(argc, argv);
        }
        if (command == "new") {
            return New(argc, argv);
        }
        if (command == "check") {
            return RunCheckCommand(argc, argv, std::cout, std::cerr);
        }
        if (command == "build") {
            return RunBuildCommand(argc, argv, std::cout, std::cerr);
        }
        if (command == "export") {
            return RunExportCommand(argc, argv, std::cout, std::cerr);
        }
        if (command == "import") {
            return RunImportCommand(argc, argv, std::cout, std::cerr);
        }
        if (command == "cab") {
            return RunCabCommand(argc, argv, std::cout, std::cerr);
        }
        if (command == "help" || command == "--help" || command == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
        return Usage("unknown command \"" + command + "\"");
    } catch (const CTSException& e) {
        std::cout.flush();
        std::cerr << "tessaro: " << e.Message() << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "tessaro: " << e.what() << "\n";
        return kExitFailure;
    }
}
