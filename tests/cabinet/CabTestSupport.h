#pragma once

// Helpers for the cabinet tests: file contents, and the engine driven directly through FCI and FDI with
// every cabinet of a set in one folder ("set1.cab", "set2.cab", ...).
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cabinet/Fci.h"
#include "cabinet/Fdi.h"
#include "platform/Paths.h"

namespace cabtest {

// Incompressible bytes, and text that compresses well; the same seed gives the same bytes.
std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed);
std::vector<uint8_t> TextBytes(size_t size, uint32_t seed);

struct InputFile {
    std::string name;  // name in the cabinet
    std::vector<uint8_t> content;
};

struct WriteOptions {
    uint32_t limit = 0;  // 0: no limit
    int threads = 1;
    uint32_t folderThreshold = 100000;
    cab::TCOMP type = cab::tcompTYPE_MSZIP;
};

// Writes the files (staged in folder\src\) as a set in folder; returns the paths of the cabinets written.
std::vector<std::string> WriteSet(const std::string& folder, const std::vector<InputFile>& files,
                                  const WriteOptions& options);

struct Notification {
    cab::FDINOTIFICATIONTYPE type;
    std::string name;
    int error;
};

struct ExtractResult {
    bool ok = false;
    int error = 0;
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<Notification> notifications;
    std::vector<uint8_t> unfinished;  // what was written to a file that the failure left open
};

struct ExtractOptions {
    std::string nextFolder;       // where next cabinets are looked for (empty: the cabinet's folder)
    int threads = -1;             // FDISetDecompressionThreads (-1: the engine's default)
    std::set<std::string> skip;   // files declined on fdintCOPY_FILE
};

// Runs FDICopy on one cabinet, keeping the extracted files in memory. Next cabinets are looked for in
// the folder given, or in nextFolder when it is not empty.
ExtractResult Extract(const std::string& folder, const std::string& cabinet, const std::string& nextFolder = "");
ExtractResult Extract(const std::string& folder, const std::string& cabinet, const ExtractOptions& options);
// FDICopy on each cabinet in turn with one engine object.
std::vector<ExtractResult> ExtractSeveral(const std::string& folder, const std::vector<std::string>& cabinets,
                                          const ExtractOptions& options);

// Every file of a set, reading each cabinet in turn as an installer does (from the first).
std::map<std::string, std::vector<uint8_t>> ExtractSet(const std::string& folder, size_t cabinets);

std::vector<uint8_t> ReadFile(const std::string& path);
// The last-write time of a file (all bits zero when it cannot be read).
platform::FileTime LastWriteTime(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace cabtest
