// The setup program's build of CCabinet throws CTSSException with the same texts.
#include <gtest/gtest.h>

#include "cabinet/Cabinet.h"
#include "tests/TestSupport.h"

using testing_support::TempFolder;

static_assert(std::is_same<CCabinetException, CTSSException>::value, "the setup program throws CTSSException");

TEST(SetupCabinet, ThrowsTheSetupProgramsException) {
    TempFolder temp;
    CCabinet missing(temp / "TSData1.cab");
    try {
        missing.Open();
        FAIL() << "opened a missing cabinet";
    } catch (const CTSSException& e) {
        EXPECT_EQ(e.Message(), "Unable to open \"" + temp / "TSData1.cab" + "\" for input!\n");
    }
    CCabinet notOpen(temp / "TSData1.cab");
    try {
        notOpen.Extract(nullptr, nullptr, nullptr);
        FAIL() << "extracted from a cabinet that is not open";
    } catch (const CTSSException& e) {
        EXPECT_EQ(e.Message(), "The cabinet is not open!");
    }
}
