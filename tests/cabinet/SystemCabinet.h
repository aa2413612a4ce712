#pragma once

// The platform's own cabinet.dll (FCI and FDI of the Cabinet SDK) driven through plain functions, so that
// the tests can use it as an independent writer and reader beside our engine.
#include <string>
#include <vector>

namespace systemcab {

struct Source {
    std::string path;  // file to store
    std::string name;  // name in the cabinet
};

// Writes the files into folder as one cabinet named first (limit 0), or as a set "<stem>1.cab",
// "<stem>2.cab", ... with the given size limit. Returns the names of the cabinets written, empty on failure.
std::vector<std::string> Write(const std::string& folder, const std::string& stem, const std::vector<Source>& files,
                               unsigned limit);

// Extracts a cabinet and the cabinets that follow it (all in folder) into target, as an installer does:
// one FDICopy per cabinet. Returns false on failure.
bool Extract(const std::string& folder, const std::string& first, const std::string& target);

}  // namespace systemcab
