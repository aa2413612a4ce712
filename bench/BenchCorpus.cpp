#include "bench/BenchCorpus.h"

#include <sys/stat.h>

#include <cstdio>
#include <functional>

#include "platform/File.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"

namespace bench {

namespace {

constexpr uint64_t kDllBytes = 150'000'000;
constexpr uint64_t kTextBytes = 50'000'000;

}  // namespace

uint64_t FileSize(const std::string& native) {
    struct stat info;
    return stat(native.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool Copy(const std::string& from, const std::string& to) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(from, &bytes)) {
        return false;
    }
    platform::File out;
    if (!out.Open(to, platform::File::Mode::Replace)) {
        return false;
    }
    if (!bytes.empty()) {
        out.Write(bytes.data(), bytes.size());
    }
    out.Close();
    return true;
}

// Copies files from a folder tree into corpus\<kind> until the budget is spent (file names flattened).
void Gather(const std::string& from, const std::string& to, const std::string& prefix, uint64_t* budget,
            const std::function<bool(const std::string&)>& wanted) {
    for (const platform::FoundEntry& entry : platform::FindFiles(from + "\\*")) {
        if (*budget == 0) {
            return;
        }
        std::string path = from + "\\" + entry.name;
        if (entry.isFolder) {
            Gather(path, to, prefix + entry.name + "_", budget, wanted);
            continue;
        }
        uint64_t size = FileSize(platform::ToNativePath(path));
        if (size == 0 || size > *budget || !wanted(entry.name)) {
            continue;
        }
        if (Copy(path, to + "\\" + prefix + entry.name)) {
            *budget -= size;
        }
    }
}

std::string MakeCorpus(const std::string& root) {
    std::string corpus = root + "\\corpus";
    if (platform::FileExists(corpus + "\\complete")) {
        return corpus;
    }
    std::printf("building the corpus in %s (once)\n", platform::ToNativePath(corpus).c_str());
    platform::RemoveTree(corpus);
    platform::CreateFolderPath(corpus + "\\dll");
    platform::CreateFolderPath(corpus + "\\text");
    uint64_t dllBudget = kDllBytes, textBudget = kTextBytes;
    auto isDll = [](const std::string& n) { return n.size() > 4 && (n.substr(n.size() - 4) == ".dll" || n.substr(n.size() - 4) == ".exe"); };
    auto any = [](const std::string&) { return true; };
    Gather("Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows", corpus + "\\dll", "", &dllBudget, isDll);
    Gather("Z:\\usr\\include", corpus + "\\text", "", &textBudget, any);
    Gather("Z:\\usr\\share\\doc", corpus + "\\text", "doc_", &textBudget, any);
    platform::File marker;
    marker.Open(corpus + "\\complete", platform::File::Mode::Replace);
    marker.Close();
    return corpus;
}

std::vector<Input> CorpusFiles(const std::string& corpus) {
    std::vector<Input> inputs;
    for (const platform::FileBelow& file : platform::FilesBelow(corpus)) {
        if (file.relativeName != "complete") {
            inputs.push_back({file.path, file.relativeName, FileSize(platform::ToNativePath(file.path))});
        }
    }
    return inputs;
}

std::string LoadAverage() {
    char text[64] = "unknown";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%63s", text) != 1) {
            std::snprintf(text, sizeof text, "unknown");
        }
        std::fclose(f);
    }
    return text;
}

}  // namespace bench
