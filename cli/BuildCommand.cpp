#include "cli/BuildCommand.h"

#include <unistd.h>

#include <cstring>
#include <vector>

#include "builder/BuildOutput.h"
#include "builder/MediaBuild.h"
#include "cli/Signing.h"
#include "cli/TextCommands.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

const char kBuildUsage[] =
    "  check PROJECT.tsp|PROJECT.toml [--out DIR] [--set KEY=VALUE]... [-q] [--werror]\n"
    "                check a project as a build into DIR (default: the project's Destination) would and "
    "print\n"
    "                the findings\n"
    "  build PROJECT.tsp|PROJECT.toml [--out DIR] [--raw-setup FILE] [--set KEY=VALUE]... [-q] [--werror]\n"
    "                check a project and build its setup media into DIR (default: the project's "
    "Destination)\n"
    "                with FILE as the setup program's image (default: TSS.dat beside tessaro)\n"
    "                --set overrides a product or media field for this run (--set product.version=1.4.2)\n"
    "                [--sign (--sign-cert FILE --sign-key FILE | --sign-pkcs12 FILE) [--sign-pass-file "
    "FILE]\n"
    "                [--timestamp-url URL]] signs Setup.exe through osslsigncode\n"
    "                -q prints only the findings and the summary; --werror fails on warnings\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

// Prints every line as it is reported, so that a long build shows its progress; quiet, only the findings
// and the summary line.
class StreamOutput : public BuildOutput {
public:
    StreamOutput(std::ostream& out, bool quiet) : out_(out), quiet_(quiet) {}

protected:
    void ShowLine(Kind kind, const std::string& text) override {
        if (quiet_ && kind == Kind::kInformation && text.rfind("Finished ", 0) != 0) {
            return;
        }
        out_ << CommandLineText(kind, text) << std::endl;
    }

private:
    std::ostream& out_;
    bool quiet_;
};

// The switches that check and build share: -q (quiet) and --werror (warnings fail the run).
bool TakeCommonOption(const char* argument, bool* quiet, bool* werror) {
    if (std::strcmp(argument, "-q") == 0 || std::strcmp(argument, "--quiet") == 0) {
        *quiet = true;
        return true;
    }
    if (std::strcmp(argument, "--werror") == 0) {
        *werror = true;
        return true;
    }
    return false;
}

int WarningsFail(std::ostream& err, const BuildOutput& output) {
    err << "tessaro: " << output.Warnings() << " warning" << (output.Warnings() > 1 ? "s" : "")
        << " with --werror\n";
    return kExitErrors;
}

int Usage(std::ostream& err, const std::string& problem) {
    err << "tessaro: " << problem << "\n\nusage:\n" << kBuildUsage;
    return kExitUsage;
}

std::string ProgramFolder() {
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string model = platform::ToModelPath(std::string(path.data(), static_cast<size_t>(length)));
    return model.substr(0, model.find_last_of('\\'));
}

}  // namespace

std::string DefaultRawSetup() {
    const std::string folder = ProgramFolder();
    const std::string beside = folder + "\\TSS.dat";
    if (folder.empty() || platform::FileExists(beside)) {
        return beside;
    }
    // dist/linux/tessaro, or build/linux/cli/tessaro in a source tree.
    for (const char* up : {"\\..", "\\..\\..\\..\\dist"}) {
        for (const char* arch : {"\\win32\\TSS.dat", "\\win64\\TSS.dat"}) {
            const std::string candidate = folder + up + arch;
            if (platform::FileExists(candidate)) {
                return platform::ToModelPath(platform::ToNativePath(candidate));
            }
        }
    }
    return beside;
}

int RunCheckCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string projectPath;
    std::string outputFolder;
    std::vector<std::string> overrides;
    bool quiet = false;
    bool werror = false;
    for (int i = 2; i < argc; ++i) {
        if (TakeCommonOption(argv[i], &quiet, &werror)) {
            continue;
        }
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outputFolder = platform::ToModelPath(argv[++i]);
        } else if (std::strcmp(argv[i], "--set") == 0 && i + 1 < argc) {
            overrides.push_back(argv[++i]);
        } else if (argv[i][0] == '-' || !projectPath.empty()) {
            return Usage(err, "check takes exactly one PROJECT.tsp");
        } else {
            projectPath = argv[i];
        }
    }
    if (projectPath.empty()) {
        return Usage(err, "check takes exactly one PROJECT.tsp");
    }
    CProject project;
    if (!LoadAnyProject(project, projectPath, overrides, err)) {
        return kExitUsage;
    }
    StreamOutput output(out, quiet);
    if (!CMediaBuild::Check(project, output, outputFolder)) {
        return kExitErrors;
    }
    return werror && output.Warnings() > 0 ? WarningsFail(err, output) : kExitOk;
}

int RunBuildCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string projectPath;
    BuildOptions options;
    std::vector<std::string> overrides;
    SignOptions signing;
    bool quiet = false;
    bool werror = false;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (TakeCommonOption(argv[i], &quiet, &werror) || TakeSignOption(argc, argv, &i, &signing)) {
            continue;
        }
        if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            options.outputFolder = platform::ToModelPath(argv[++i]);
        } else if (std::strcmp(argv[i], "--raw-setup") == 0 && hasValue) {
            options.rawSetup = platform::ToModelPath(argv[++i]);
        } else if (std::strcmp(argv[i], "--set") == 0 && hasValue) {
            overrides.push_back(argv[++i]);
        } else if (argv[i][0] == '-' || !projectPath.empty()) {
            return Usage(err, std::string("unexpected argument \"") + argv[i] + "\"");
        } else {
            projectPath = argv[i];
        }
    }
    if (projectPath.empty()) {
        return Usage(err, "build takes a PROJECT.tsp");
    }
    bool usage = false;
    const std::string signingProblem = CheckSignOptions(signing, &usage);
    if (!signingProblem.empty()) {
        if (usage) {
            return Usage(err, signingProblem);
        }
        err << "tessaro: " << signingProblem << "\n";
        return kExitErrors;
    }
    if (signing.sign) {
        options.sign = [signing](const std::string& path) { return SignFile(signing, path); };
    }
    if (options.rawSetup.empty()) {
        options.rawSetup = DefaultRawSetup();
    }
    CProject project;
    if (!LoadAnyProject(project, projectPath, overrides, err)) {
        return kExitUsage;
    }
    StreamOutput output(out, quiet);
    if (werror) {
        // The check alone first: a warning stops the build before anything is written.
        if (!CMediaBuild::Check(project, output, options.outputFolder)) {
            return kExitErrors;
        }
        if (output.Warnings() > 0) {
            return WarningsFail(err, output);
        }
    }
    CMediaBuild build;
    // A build stopped by a signal removes its files first, then ends as the signal would have ended it.
    platform::CatchInterrupts();
    const bool built = build.Build(project, output, options);
    if (platform::Interrupted()) {
        out.flush();
        err << "tessaro: the build was stopped by signal " << platform::InterruptSignal()
            << "; its files are removed\n";
        platform::EndForInterrupt();
    }
    if (!built) {
        return kExitErrors;
    }
    return werror && output.Warnings() > 0 ? WarningsFail(err, output) : kExitOk;
}
