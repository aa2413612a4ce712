#include "model/CustomAction.h"

#include "model/Project.h"
#include "model/Text.h"

const char* const kInvokePointTexts[kInvokePointCount] = {
    "Before the Welcome dialog box",          "After the Welcome dialog box",
    "After the License agreement dialog box", "After the User information dialog box",
    "After the Destination dialog box",       "After the Setup type dialog box",
    "After the Features dialog box",          "After the Confirmation dialog box",
    "After the Progress dialog box",          "After the Finish dialog box",
};

bool IsLibraryName(const std::string& fileName) {
    return fileName.size() >= 3 && text::EqualNoCase(fileName.substr(fileName.size() - 3), "DLL");
}

void CCustomAction::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Name", &name, std::string());
    project.ExchangeFileRef(ar, "Target", &target);
    ar.ExchangeString("Description", &description, std::string());
    ar.ExchangeString("Arguments", &arguments, std::string());
    ar.ExchangeString("Function", &function, std::string());
    ar.ExchangeInt("InvokeAfter", &invokeAfter, kAfterFinish);
    ar.ExchangeInt("WaitTime", &waitTime, 0);
    ar.ExchangeInt("RunDuring", &runDuring, kRunDuringInstall);
    ar.ExchangeBool("IgnoreReturnValue", &ignoreReturnValue, false);
    ar.ExchangeBool("RunOnce", &runOnce, true);
    ar.EndObject();
}
