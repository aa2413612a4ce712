#pragma once

#include <cstdint>
#include <string>

class CFileItem;
class CProject;
class CTreeArchive;

// When a custom action runs: before the wizard's first page or after one of its pages.
enum InvokePoint : int32_t {
    kBeforeWelcome = 1,
    kAfterWelcome = 2,
    kAfterLicense = 3,
    kAfterUserInformation = 4,
    kAfterDestination = 5,
    kAfterSetupType = 6,
    kAfterFeatures = 7,
    kAfterConfirmation = 8,
    kAfterProgress = 9,
    kAfterFinish = 10,
};
constexpr int kInvokePointCount = 10;
// The text of each invoke point, kBeforeWelcome first, in the order the authoring program lists them.
extern const char* const kInvokePointTexts[kInvokePointCount];

// The runs of the setup program during which an action runs (bits of RunDuring).
enum RunDuringBits : uint32_t {
    kRunDuringInstall = 1,
    kRunDuringUninstall = 2,
    kRunDuringModify = 4,
    kRunDuringRepair = 8,
};

// Whether a file name names a library (it ends in "DLL", in any case): the action then calls an exported
// function instead of starting a program.
bool IsLibraryName(const std::string& fileName);

// A program or library of the project that the setup program runs at a chosen point of the wizard.
class CCustomAction {
public:
    int position = -1;
    std::string name;
    CFileItem* target = nullptr;
    std::string description;
    std::string arguments;  // programs only
    std::string function;   // libraries only: the exported function to call
    int32_t invokeAfter = kAfterFinish;
    int32_t waitTime = 0;  // 0 do not wait, -1 wait without limit, else milliseconds
    uint32_t runDuring = kRunDuringInstall;
    bool ignoreReturnValue = false;
    bool runOnce = true;  // at most once per run of the setup program

    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);

    // The setup program calls a library function when the action names one, and starts a program otherwise.
    bool CallsFunction() const { return !function.empty(); }
};
