#include "cli/Signing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Paths.h"

extern char** environ;

namespace {

constexpr const char kTool[] = "osslsigncode";

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

bool Readable(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

std::string LastLines(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::string text;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            text = text.empty() ? line : text + "; " + line;
        }
    }
    return text.size() > 400 ? text.substr(text.size() - 400) : text;
}

}  // namespace

bool TakeSignOption(int argc, char** argv, int* i, SignOptions* options) {
    const std::string name = argv[*i];
    if (name == "--sign") {
        options->sign = true;
        return true;
    }
    std::string* value = name == "--sign-cert"        ? &options->certificate
                         : name == "--sign-key"       ? &options->key
                         : name == "--sign-pkcs12"    ? &options->pkcs12
                         : name == "--sign-pass-file" ? &options->passwordFile
                         : name == "--timestamp-url"  ? &options->timestampUrl
                                                      : nullptr;
    if (value == nullptr || *i + 1 >= argc) {
        return false;
    }
    *value = argv[++*i];
    return true;
}

std::string CheckSignOptions(const SignOptions& options, bool* usage) {
    *usage = true;
    const bool given = !options.certificate.empty() || !options.key.empty() || !options.pkcs12.empty() ||
                       !options.passwordFile.empty() || !options.timestampUrl.empty();
    if (!options.sign) {
        return given ? "the signing options need --sign" : "";
    }
    if (!options.pkcs12.empty() && (!options.certificate.empty() || !options.key.empty())) {
        return "--sign takes either --sign-pkcs12 or --sign-cert with --sign-key";
    }
    if (options.pkcs12.empty() && (options.certificate.empty() || options.key.empty())) {
        return "--sign needs --sign-cert FILE and --sign-key FILE, or --sign-pkcs12 FILE";
    }
    *usage = false;
    for (const std::string* file :
         {&options.certificate, &options.key, &options.pkcs12, &options.passwordFile}) {
        if (!file->empty() && !Readable(*file)) {
            return "cannot read the file \"" + *file + "\"";
        }
    }
    if (!OnPath(kTool)) {
        return "signing needs osslsigncode, which is not installed (Debian package osslsigncode)";
    }
    return "";
}

std::string SignFile(const SignOptions& options, const std::string& modelPath) {
    const std::string target = platform::ToNativePath(modelPath);
    const std::string signedCopy = target + ".signed";
    const std::string log = target + ".sign.log";
    std::vector<std::string> arguments = {kTool, "sign"};
    if (!options.pkcs12.empty()) {
        arguments.insert(arguments.end(), {"-pkcs12", options.pkcs12});
    } else {
        arguments.insert(arguments.end(), {"-certs", options.certificate, "-key", options.key});
    }
    if (!options.passwordFile.empty()) {
        arguments.insert(arguments.end(), {"-readpass", options.passwordFile});
    }
    if (!options.timestampUrl.empty()) {
        arguments.insert(arguments.end(), {"-t", options.timestampUrl});
    }
    arguments.insert(arguments.end(), {"-in", target, "-out", signedCopy});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, kTool, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::remove(log.c_str());
        return spawned == ENOENT
                   ? "signing needs osslsigncode, which is not installed (Debian package osslsigncode)"
                   : std::string("cannot start osslsigncode: ") + std::strerror(spawned);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string said = LastLines(log);
    std::remove(log.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::remove(signedCopy.c_str());
        return "osslsigncode could not sign \"" + target + "\"" + (said.empty() ? "" : ": " + said);
    }
    if (std::rename(signedCopy.c_str(), target.c_str()) != 0) {
        std::remove(signedCopy.c_str());
        return "cannot replace \"" + target + "\" by its signed copy";
    }
    return "";
}
