#pragma once

// A small valid project for the check and build tests: files of its own in a private folder, a Target
// Folder with a Bin subfolder taken by the feature "Main", a licence text, a raw setup image.
#include <memory>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "builder/BuildOutput.h"
#include "model/Project.h"

namespace testing_support {

inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    return bytes;
}

class BuilderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        project.Reset();
        project.productName = "Widget";
        project.productVersion = "1.0";
        project.ui.readmeOption = kDoNotOffer;
        project.ui.licenseFiles[0] = Source("license.txt", {'O', 'K'});
        bin = project.rootFolders[0]->AddChild(std::make_unique<CFolder>("Bin"));
        main = project.rootFeature.children[0];
        main->folders.Add(project.rootFolders[0]);
        rawSetup = Source("TSS.dat", Pattern(5000, 99));
        output = folder / "out";
        project.destination = output;
    }

    // Writes a source file into the test's folder and returns its path.
    std::string Source(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder / name;
        WriteBytes(path, bytes);
        return path;
    }

    CFileItem* AddFile(const std::string& name, const std::vector<uint8_t>& bytes, CFolder* into) {
        return project.AddFile(Source(name, bytes), into);
    }

    CFolder* AddRootFolder(const std::string& name) {
        return project.rootFolders.Add(std::make_unique<CFolder>(name));
    }

    TempFolder folder;
    CProject project;
    CFolder* bin = nullptr;
    CFeature* main = nullptr;
    std::string rawSetup;
    std::string output;
    BuildOutputLines lines;
};

}  // namespace testing_support
