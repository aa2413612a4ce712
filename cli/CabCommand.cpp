#include "cli/CabCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cabinet/CabFormat.h"
#include "cabinet/Cabinet.h"
#include "platform/File.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"

const char kCabUsage[] =
    "  cab create [OPTIONS] FOLDER INPUT...\n"
    "                make a cabinet, or a set of cabinets one per disk folder, below FOLDER from the\n"
    "                files INPUT (stored by name) and the folders INPUT (their files, stored with paths)\n"
    "      --disk-size BYTES     size of one disk; 0 (the default) makes one cabinet without limit\n"
    "      --reserve BYTES       room left free on the first disk\n"
    "      --disk-pattern TEXT   disk folder and disk name, e.g. Disk%02d (default Disk%d)\n"
    "      --cab-pattern TEXT    cabinet name, e.g. TSData%d.cab (default TSData%d.cab, or\n"
    "                            TSData.cab without a disk size)\n"
    "  cab list CABINET...       list the files of cabinets\n"
    "  cab extract [-C FOLDER] CABINET\n"
    "                extract a cabinet and the cabinets that follow it in its set (looked for beside it\n"
    "                and in sibling disk folders) into FOLDER (default: the current folder)\n";

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

class UsageError {
public:
    explicit UsageError(std::string text) : text_(std::move(text)) {}
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

int32_t ParseSize(const std::string& option, const char* text) {
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0 || value > 0x7FFFFFFF) {
        throw UsageError(option + " takes a number of bytes from 0 to 2147483647");
    }
    return static_cast<int32_t>(value);
}

int Create(int argc, char** argv, std::ostream& out) {
    int32_t diskSize = 0, reserve = 0;
    std::string diskPattern = "Disk%d";
    std::string cabPattern;
    int i = 3;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) {
            throw UsageError(option + " needs a value");
        }
        const char* value = argv[++i];
        if (option == "--disk-size") {
            diskSize = ParseSize(option, value);
        } else if (option == "--reserve") {
            reserve = ParseSize(option, value);
        } else if (option == "--disk-pattern") {
            diskPattern = value;
        } else if (option == "--cab-pattern") {
            cabPattern = value;
        } else {
            throw UsageError("unknown option " + option);
        }
    }
    if (argc - i < 2) {
        throw UsageError("cab create takes a FOLDER and at least one INPUT");
    }
    if (cabPattern.empty()) {
        cabPattern = diskSize > 0 ? "TSData%d.cab" : "TSData.cab";
    }
    const std::string base = platform::ToModelPath(argv[i++]);
    std::vector<std::pair<std::string, std::string>> files;
    for (; i < argc; ++i) {
        std::string input = platform::ToModelPath(argv[i]);
        if (platform::FolderExists(input)) {
            for (const platform::FileBelow& file : platform::FilesBelow(input)) {
                files.emplace_back(file.path, file.relativeName);
            }
        } else {
            files.emplace_back(input, platform::FileTitle(input));
        }
    }
    if (!platform::CreateFolderPath(base)) {
        throw CTSException("Cannot create the folder \"%s\"!", base);
    }
    CCabinet cabinet(base, diskPattern, cabPattern, diskSize, reserve);
    cabinet.Open();
    for (const auto& file : files) {
        cabinet.AddFile(file.first, file.second.c_str());
    }
    cabinet.Close();
    for (int n = 1; n <= cabinet.LastCabinet(); ++n) {
        std::string folder = diskSize > 0 ? base + "\\" + FormatNumberPattern(diskPattern, n) : base;
        std::string name = diskSize > 0 ? FormatNumberPattern(cabPattern, n) : cabPattern;
        out << platform::ToNativePath(folder + "\\" + name) << "\n";
    }
    return kOk;
}

class FileSource : public cab::format::Source {
public:
    explicit FileSource(platform::File& file) : file_(file) {}
    bool ReadAt(uint64_t pos, void* data, size_t size) override {
        if (pos > file_.Size() || size > file_.Size() - pos) {
            return false;
        }
        file_.Seek(pos);
        file_.Read(data, size);
        return true;
    }
    uint64_t Size() const override { return file_.Size(); }

private:
    platform::File& file_;
};

std::string DosDateTime(uint16_t date, uint16_t time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", 1980 + (date >> 9), (date >> 5) & 15, date & 31,
                  time >> 11, (time >> 5) & 63, (time & 31) * 2);
    return text;
}

std::string AttributeLetters(uint16_t attribs) {
    std::string letters;
    letters += (attribs & cab::kCabAttributeReadOnly) ? 'R' : '-';
    letters += (attribs & cab::kCabAttributeHidden) ? 'H' : '-';
    letters += (attribs & cab::kCabAttributeSystem) ? 'S' : '-';
    letters += (attribs & cab::kCabAttributeArchive) ? 'A' : '-';
    letters += (attribs & cab::kCabAttributeExecute) ? 'X' : '-';
    return letters;
}

const char* ParseErrorText(int error) {
    switch (error) {
        case cab::FDIERROR_NOT_A_CABINET: return "it is not a cabinet";
        case cab::FDIERROR_UNKNOWN_CABINET_VERSION: return "unknown cabinet version";
        default: return "the cabinet is damaged";
    }
}

int List(int argc, char** argv, std::ostream& out, std::ostream& err) {
    if (argc < 4) {
        throw UsageError("cab list takes at least one CABINET");
    }
    int status = kOk;
    for (int i = 3; i < argc; ++i) {
        std::string path = platform::ToModelPath(argv[i]);
        platform::File file;
        if (!file.Open(path, platform::File::Mode::Read)) {
            err << "tessaro: cannot open " << argv[i] << ": " << file.OpenError() << "\n";
            status = kFailed;
            continue;
        }
        FileSource source(file);
        cab::format::Cabinet cabinet;
        int error = cab::format::ParseCabinet(source, &cabinet);
        if (error != cab::FDIERROR_NONE) {
            err << "tessaro: " << argv[i] << ": " << ParseErrorText(error) << "\n";
            status = kFailed;
            continue;
        }
        const cab::format::Header& h = cabinet.header;
        out << argv[i] << ": set " << h.setID << ", cabinet " << h.iCabinet << ", " << h.cFolders << " folders, "
            << h.cFiles << " files, " << h.cbCabinet << " bytes\n";
        if (h.flags & cab::format::kFlagPrevCabinet) {
            out << "  previous: " << h.prevCabinet << " (disk " << h.prevDisk << ")\n";
        }
        if (h.flags & cab::format::kFlagNextCabinet) {
            out << "  next: " << h.nextCabinet << " (disk " << h.nextDisk << ")\n";
        }
        for (const cab::format::FileRecord& f : cabinet.files) {
            char size[16];
            std::snprintf(size, sizeof size, "%10u", f.cbFile);
            out << "  " << size << "  " << DosDateTime(f.date, f.time) << "  " << AttributeLetters(f.attribs) << "  "
                << f.name;
            if (cabinet.ContinuesFromPrevious(f)) {
                out << "  (continued from the previous cabinet)";
            }
            if (cabinet.ContinuesToNext(f)) {
                out << "  (continued in the next cabinet)";
            }
            out << "\n";
        }
    }
    return status;
}

// Looks for the next cabinet of a set beside the current one, in the sibling folder named after its
// disk, and beside the first cabinet. A place where the engine found the cabinet missing or wrong is
// not offered again for that cabinet, so the search ends.
class CabinetSearch {
public:
    explicit CabinetSearch(std::string firstFolder) : firstFolder_(std::move(firstFolder)) {}

    int Next(const char* cabinet, const char* disk, char* folder, int error) {
        std::set<std::string>& rejected = rejected_[cabinet];
        if (error != 0) {
            rejected.insert(folder);
        }
        std::string current = folder;
        std::vector<std::string> places{current};
        if (!current.empty() && current.back() == '\\') {
            current.pop_back();
        }
        size_t slash = current.find_last_of('\\');
        if (cab::format::IsPlainFileName(disk) && slash != std::string::npos) {
            places.push_back(current.substr(0, slash + 1) + disk + "\\");
        }
        places.push_back(firstFolder_);
        for (const std::string& place : places) {
            if (rejected.count(place) == 0 && place.size() < CCabinet::kPathBuffer &&
                platform::FileExists(place + cabinet)) {
                std::snprintf(folder, CCabinet::kPathBuffer, "%s", place.c_str());
                return 0;
            }
        }
        missing_ = std::string(cabinet) + " (disk " + disk + ")";
        return -1;
    }

    const std::string& Missing() const { return missing_; }

private:
    std::string firstFolder_;
    std::map<std::string, std::set<std::string>> rejected_;
    std::string missing_;
};

int Extract(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::string destination = ".";
    int i = 3;
    if (i < argc && std::strcmp(argv[i], "-C") == 0) {
        if (i + 1 >= argc) {
            throw UsageError("-C needs a FOLDER");
        }
        destination = argv[i + 1];
        i += 2;
    }
    if (argc - i != 1) {
        throw UsageError("cab extract takes exactly one CABINET");
    }
    const std::string target = platform::ToModelPath(destination);
    const std::string path = platform::ToModelPath(argv[i]);
    if (!platform::CreateFolderPath(target)) {
        throw CTSException("Cannot create the folder \"%s\"!", target);
    }
    CabinetSearch search(path.substr(0, path.find_last_of('\\') + 1));
    bool skipped = false;
    CCabinet cabinet(path);
    cabinet.Open();
    try {
        cabinet.Extract(
            [&](int, const std::string&, char* buffer) {
                std::string name = buffer;
                std::string full = target + "\\" + name;
                if (full.size() >= CCabinet::kPathBuffer) {
                    err << "tessaro: " << name << ": the destination path is too long, not extracted\n";
                    skipped = true;
                    return 0;
                }
                out << name << "\n";
                std::snprintf(buffer, CCabinet::kPathBuffer, "%s", full.c_str());
                return 1;
            },
            nullptr,
            [&](const char* cabinetName, const char* disk, char* folder, int error) {
                return search.Next(cabinetName, disk, folder, error);
            });
    } catch (const CTSException& e) {
        // A next cabinet that the search could not find is named, rather than the engine's general reason.
        if (!e.Message().empty() && search.Missing().empty()) {
            throw;
        }
        throw CTSException("Cannot find the next cabinet %s!", search.Missing().c_str());
    }
    cabinet.Close();
    return skipped ? kFailed : kOk;
}

}  // namespace

int RunCabCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    try {
        if (argc < 3) {
            throw UsageError("cab needs create, list or extract");
        }
        std::string what = argv[2];
        if (what == "create") {
            return Create(argc, argv, out);
        }
        if (what == "list") {
            return List(argc, argv, out, err);
        }
        if (what == "extract") {
            return Extract(argc, argv, out, err);
        }
        throw UsageError("unknown cab command \"" + what + "\"");
    } catch (const UsageError& e) {
        err << "tessaro: " << e.Text() << "\n\nusage:\n" << kCabUsage;
        return kUsage;
    }
}
