// The whole project through every kind of file: a project file, the setup database, and the setup
// program's own copy of it.
#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "platform/TSException.h"
#include "tests/TestSupport.h"
#include "tests/model/FullProject.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

TEST(RoundTripTest, AProjectFileSavedLoadedAndSavedAgainIsTheSameFile) {
    TempFolder folder;
    CProject built;
    BuildFullProject(built, folder.Path());
    SaveProjectFile(built, folder / "full.tsp");

    CProject loaded;
    loaded.Reset();  // the authoring program loads into a project in the new-project state
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "full.tsp"));
    EXPECT_EQ(DescribeProject(loaded, true), DescribeProject(built, true));
    EXPECT_EQ(loaded.rootFeature.children[0]->children[0]->children[0]->parent,
              loaded.rootFeature.children[0]->children[0]);
    EXPECT_EQ(loaded.shortcuts[1]->showCmd, 11) << "a show command the dialog does not offer";

    SaveProjectFile(loaded, folder / "again.tsp");
    const std::vector<uint8_t> first = ReadBytes(folder / "full.tsp");
    EXPECT_EQ(ReadBytes(folder / "again.tsp"), first);
    EXPECT_GT(first.size(), 3000u);
}

TEST(RoundTripTest, TheSetupDatabaseCarriesEverythingTheSetupProgramNeeds) {
    TempFolder folder;
    CProject built;
    BuildFullProject(built, folder.Path());
    SaveWithKind(built, folder / "tsdb.dat", kBuildDatabase);

    CProject setup;
    LoadWithKind(setup, folder / "tsdb.dat", kSetupProgram);
    // Writing the database computed what it carries (data bytes, compression, licence count, banners),
    // so the authored project describes the same content now.
    EXPECT_EQ(DescribeProject(setup, false), DescribeProject(built, false));
    EXPECT_EQ(setup.ui.noOfLicenseFiles, 2) << "licence files 1 and 3";
    const uint8_t banners[CUISettings::kPageSlots] = {1, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(std::vector<uint8_t>(setup.ui.showBanner, setup.ui.showBanner + 20),
              std::vector<uint8_t>(banners, banners + 20))
        << "welcome and finish; the user-information banner belongs to a hidden page";
    EXPECT_FALSE(setup.files[5]->compressed) << "the manual lies in the Source Folder";
    EXPECT_EQ(setup.rootRegs[2]->children[0]->children[0]->children[1]->data,
              (std::vector<uint8_t>{31, 0, 0, 0}));
    EXPECT_EQ(setup.ui.runApplication, setup.files[0]);
    EXPECT_EQ(setup.shortcuts[0]->workingFolder->TargetPath(), "<Target Folder>\\Data");
    EXPECT_EQ(setup.actions[0]->function, "RegisterAll");
    EXPECT_EQ(setup.productName, "Acme Writer");

    const std::vector<std::string> keys = KeysAt(folder / "tsdb.dat", {"TSDatabase", "UserInterface"});
    EXPECT_FALSE(Contains(keys, "SplashFile") || Contains(keys, "PageBanner") ||
                 Contains(keys, "LicenseFiles[0]"));
}

TEST(RoundTripTest, TheSetupProgramsCopyLoadsAndStoresAgainUnchanged) {
    TempFolder folder;
    CProject built;
    BuildFullProject(built, folder.Path());
    SaveWithKind(built, folder / "tsdb.dat", kBuildDatabase);
    CProject setup;
    LoadWithKind(setup, folder / "tsdb.dat", kSetupProgram);
    setup.target = "C:\\Program Files\\Acme";
    setup.files[3]->wasThere = true;
    setup.rootFeature.children[0]->children[0]->selected = true;
    SaveWithKind(setup, folder / "TSdb.dat", kSetupProgram);

    CProject later;
    LoadWithKind(later, folder / "TSdb.dat", kSetupProgram);
    EXPECT_EQ(later.target, "C:\\Program Files\\Acme");
    EXPECT_TRUE(later.files[3]->wasThere);
    EXPECT_TRUE(later.rootFeature.children[0]->children[0]->selected);
    // The copy leaves out the questions and the finish page's offers: they take their defaults.
    EXPECT_EQ(later.ui.runApplication, nullptr);
    EXPECT_TRUE(later.ui.askOrganization);
    EXPECT_EQ(later.ui.noOfLicenseFiles, 0);
    EXPECT_EQ(std::vector<uint8_t>(later.ui.showBanner, later.ui.showBanner + 20),
              std::vector<uint8_t>(setup.ui.showBanner, setup.ui.showBanner + 20));
    SaveWithKind(later, folder / "TSdb2.dat", kSetupProgram);
    EXPECT_EQ(ReadBytes(folder / "TSdb2.dat"), ReadBytes(folder / "TSdb.dat"));
}

// Every prefix of a project file, and the file with single bytes changed, loads or is refused with a
// message; nothing else happens.
TEST(RoundTripTest, DamagedProjectFilesLoadCleanlyOrAreRefused) {
    TempFolder folder;
    CProject built;
    BuildFullProject(built, folder.Path());
    SaveWithKind(built, folder / "tsdb.dat", kBuildDatabase);
    const std::vector<uint8_t> whole = ReadBytes(folder / "tsdb.dat");
    int refused = 0;
    int loaded = 0;
    auto attempt = [&](const std::vector<uint8_t>& bytes) {
        WriteBytes(folder / "bad.dat", bytes);
        CProject project;
        try {
            CTreeArchive ar(kMainClass, kSetupProgram);
            if (ar.OpenForLoad(folder / "bad.dat")) {
                project.Serialize(kProjectKey, ar);
                ++loaded;
                // What loaded must store again.
                SaveWithKind(project, folder / "resaved.dat", kSetupProgram);
            }
        } catch (const CTSException&) {
            ++refused;
        }
    };
    for (size_t length = 0; length < whole.size(); length += 59) {
        attempt(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
    }
    for (size_t at = 20; at < whole.size(); at += 71) {
        std::vector<uint8_t> changed = whole;
        changed[at] ^= 0xA5;
        attempt(changed);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(loaded, 0);
}

}  // namespace
