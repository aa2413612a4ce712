// Writes the test project that uses every record type into a folder: its source files, the project file
// full.tsp and the setup database tsdb.dat. For reading a round trip through tessaro dump, and as seeds
// of the archive fuzzer.
#include <cstdio>
#include <string>

#include "model/ProjectFile.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "tests/model/FullProject.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_full_project FOLDER\n");
        return 2;
    }
    try {
        const std::string folder = platform::ToModelPath(argv[1]);
        CProject project;
        testing_support::BuildFullProject(project, folder);
        SaveProjectFile(project, folder + "\\full.tsp");
        CTreeArchive ar(kMainClass, kBuildDatabase);
        ar.OpenForSave(folder + "\\tsdb.dat");
        project.Serialize(kProjectKey, ar);
        ar.CloseAfterSave();
    } catch (const CTSException& e) {
        std::fprintf(stderr, "write_full_project: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
