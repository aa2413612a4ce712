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
#include "platform/Paths.h"
#include "platform/TSException.h"

const char kBuildUsage[] =
    "  check PROJECT.tsp|PROJECT.toml [--out DIR] [--set KEY=VALUE]...\n"
    "                check a project as a build into DIR (default: the project's Destination) would and "
    "print\n"
    "                the findings\n"
    "  build PROJECT.tsp|PROJECT.toml [--out DIR] [--raw-setup FILE] [--set KEY=VALUE]...\n"
    "                check a project and build its setup media into DIR (default: the project's "
    "Destination)\n"
    "                with FILE as the setup program's image (default: TSS.dat beside tessaro)\n"
    "                --set overrides a product or media field for this run (--set product.version=1.4.2)\n"
    "                [--sign (--sign-cert FILE --sign-key FILE | --sign-pkcs12 FILE) [--sign-pass-file FILE]\n"
    "                [--timestamp-url URL]] signs Setup.exe through osslsigncode\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

// Prints every line as it is reported, so that a long build shows its progress.
class StreamOutput : public BuildOutput {
public:
    explicit StreamOutput(std::ostream& out) : out_(out) {}

protected:
    void ShowLine(Kind kind, const std::string& text) override {
        out_ << CommandLineText(kind, text) << std::endl;
    }

private:
    std::ostream& out_;
};

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
    for (int i = 2; i < argc; ++i) {
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
    StreamOutput output(out);
    return CMediaBuild::Check(project, output, outputFolder) ? kExitOk : kExitErrors;
}

int RunBuildCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string projectPath;
    BuildOptions options;
    std::vector<std::string> overrides;
    SignOptions signing;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (TakeSignOption(argc, argv, &i, &signing)) {
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
    StreamOutput output(out);
    CMediaBuild build;
    return build.Build(project, output, options) ? kExitOk : kExitErrors;
}
