#include "cli/TextCommands.h"

#include <cstring>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "text/ProjectText.h"

const char kTextUsage[] =
    "  export PROJECT.tsp [-o FILE.toml]\n"
    "                write a project as text (default: beside it, with the extension .toml)\n"
    "  import FILE.toml [-o PROJECT.tsp]\n"
    "                write a project file from its text (default: beside it, with the extension .tsp)\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage(std::ostream& err, const std::string& problem) {
    err << "tessaro: " << problem << "\n\nusage:\n" << kTextUsage;
    return kExitUsage;
}

// The input and the -o output of a command; false for a usage error.
bool ParseArguments(int argc, char** argv, std::string* input, std::string* output) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc && output->empty()) {
            *output = argv[++i];
        } else if (argv[i][0] == '-' || !input->empty()) {
            return false;
        } else {
            *input = argv[i];
        }
    }
    return !input->empty();
}

std::string WithExtension(const std::string& path, const char* extension) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

}  // namespace

bool IsTextProjectPath(const std::string& path) {
    return path.size() >= 5 && nocase::Upper(path.substr(path.size() - 5)) == ".TOML";
}

namespace {

bool ReadText(CProject& project, const std::string& content, const std::string& textPath,
              const std::string& displayPath, const std::string& projectPath,
              const std::vector<std::string>& overrides, std::ostream& err) {
    try {
        project_text::ReadProjectText(project, content, textPath, displayPath, projectPath, overrides);
    } catch (const project_text::TextError& e) {
        err << e.Report() << "\n";
        return false;
    }
    return true;
}

}  // namespace

bool LoadAnyProject(CProject& project, const std::string& nativePath,
                    const std::vector<std::string>& overrides, std::ostream& err) {
    const std::string modelPath = platform::ToModelPath(nativePath);
    if (IsTextProjectPath(nativePath)) {
        std::vector<uint8_t> content;
        if (!platform::File::ReadAll(modelPath, &content)) {
            err << nativePath << ": error: cannot read the file\n";
            return false;
        }
        return ReadText(project, std::string(content.begin(), content.end()), modelPath, nativePath,
                        modelPath, overrides, err);
    }
    try {
        if (!LoadProjectFile(project, modelPath)) {
            err << "tessaro: cannot open \"" << nativePath << "\" as a project file\n";
            return false;
        }
    } catch (const CTSException& e) {
        err << "tessaro: " << e.Message() << "\n";
        return false;
    }
    if (overrides.empty()) {
        return true;
    }
    // The overrides work on the text form, which holds the project without loss.
    const std::string textPath = WithExtension(modelPath, ".toml");
    try {
        const std::string text = project_text::WriteProjectText(project, textPath);
        return ReadText(project, text, textPath, nativePath, modelPath, overrides, err);
    } catch (const project_text::TextError& e) {
        err << nativePath << ": error: " << e.what() << "\n";
        return false;
    }
}

bool LoadTextProject(CProject& project, const std::string& nativePath, const std::string& projectPath,
                     std::ostream& err) {
    const std::string textPath = platform::ToModelPath(nativePath);
    std::vector<uint8_t> content;
    if (!platform::File::ReadAll(textPath, &content)) {
        err << nativePath << ": error: cannot read the file\n";
        return false;
    }
    return ReadText(project, std::string(content.begin(), content.end()), textPath, nativePath, projectPath,
                    {}, err);
}

int RunExportCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string input;
    std::string output;
    if (!ParseArguments(argc, argv, &input, &output)) {
        return Usage(err, "export takes one PROJECT.tsp and an optional -o FILE.toml");
    }
    if (output.empty()) {
        output = WithExtension(input, ".toml");
    }
    CProject project;
    const std::string projectPath = platform::ToModelPath(input);
    if (!LoadProjectFile(project, projectPath)) {
        err << input << ": error: not a project file\n";
        return kExitFailure;
    }
    const std::string textPath = platform::ToModelPath(output);
    std::string text;
    try {
        text = project_text::WriteProjectText(project, textPath);
    } catch (const project_text::TextError& e) {
        err << input << ": error: " << e.what() << "\n";
        return kExitFailure;
    }
    platform::File file;
    if (!file.Open(textPath, platform::File::Mode::Replace)) {
        err << output << ": error: cannot write the file: " << file.OpenError() << "\n";
        return kExitFailure;
    }
    file.Write(text.data(), text.size());
    file.Close();
    out << "wrote " << output << "\n";
    return kExitOk;
}

int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string input;
    std::string output;
    if (!ParseArguments(argc, argv, &input, &output)) {
        return Usage(err, "import takes one FILE.toml and an optional -o PROJECT.tsp");
    }
    if (output.empty()) {
        output = WithExtension(input, ".tsp");
    }
    CProject project;
    const std::string projectPath = platform::ToModelPath(output);
    if (!LoadTextProject(project, input, projectPath, err)) {
        return kExitFailure;
    }
    SaveProjectFile(project, projectPath);
    out << "wrote " << output << "\n";
    return kExitOk;
}
