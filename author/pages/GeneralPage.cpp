#include "author/pages/GeneralPage.h"

#include "author/PageRules.h"
#include "author/SpecialFolderDialog.h"
#include "author/resource.h"
#include "platform/Guid.h"

namespace {

const win::ToolTips::Tip kTips[] = {{IDC_GEN_NAME, "Product Name"},
                     {IDC_GEN_GUID, "Product Identification number"},
                     {IDC_GEN_NEW_GUID, "Make new Product GUID number"},
                     {IDC_GEN_VERSION, "Version of the product being installed"},
                     {IDC_GEN_MANUFACTURER, "Manufacturer of the product being installed"},
                     {IDC_GEN_AUTHOR, "Name of person authoring this setup file"},
                     {IDC_GEN_COMMENTS, "Comments about this setup file"},
                     {IDC_GEN_LOCATION, "The installation folder on the target machine"},
                     {IDC_GEN_BROWSE, "Select a target folder"},
                     {IDC_GEN_SUBFOLDER, "The subfolder in the target folder specified above"},
                     {IDC_GEN_MIN95, "Select Win 9X/ME OS requirements."},
                     {IDC_GEN_MINNT, "Select Win NT/2000/XP OS requirements."},
                     {IDC_GEN_SERVICE_PACK, "Select the Service Pack required for the NT/2000/XP OS."}};

const char kGuidWarning[] =
    "If you change the Product GUID, a completely new and different setup project will be created.\n"
    "Are you sure you want to change the Product GUID?";

void FillChoices(win::Window combo, const std::vector<std::string>& choices) {
    for (const std::string& choice : choices) {
        combo.Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
}

}  // namespace

CGeneralPage::CGeneralPage(CDocument& document) : CPage(document, IDD_PAGE_GENERAL, "General") {}

BOOL CGeneralPage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_GEN_NAME, editor_rules::kGrowWidth},
                                {IDC_GEN_GUID, editor_rules::kGrowWidth},
                                {IDC_GEN_NEW_GUID, editor_rules::kFollowRight},
                                {IDC_GEN_VERSION, editor_rules::kGrowWidth},
                                {IDC_GEN_MANUFACTURER, editor_rules::kGrowWidth},
                                {IDC_GEN_AUTHOR, editor_rules::kGrowWidth},
                                {IDC_GEN_COMMENTS, editor_rules::kGrowWidth},
                                {IDC_GEN_LOCATION, editor_rules::kGrowWidth},
                                {IDC_GEN_BROWSE, editor_rules::kFollowRight},
                                {IDC_GEN_SUBFOLDER, editor_rules::kGrowWidth}});
    FillChoices(Item(IDC_GEN_MIN95), page_rules::Min95Choices());
    FillChoices(Item(IDC_GEN_MINNT), page_rules::MinNTChoices());
    Item(IDC_GEN_SERVICE_PACK).Send(EM_LIMITTEXT, 3);
    tips_.CreateFor(Handle(), kTips);
    return FALSE;
}

void CGeneralPage::Reload(int reason) {
    const CProject& p = document_.project;
    loading_ = true;
    Item(IDC_GEN_NAME).SetText(p.productName);
    Item(IDC_GEN_GUID).SetText(platform::GuidText(p.productID));
    Item(IDC_GEN_VERSION).SetText(p.productVersion);
    Item(IDC_GEN_MANUFACTURER).SetText(p.manufacturer);
    Item(IDC_GEN_AUTHOR).SetText(p.author);
    Item(IDC_GEN_COMMENTS).SetText(p.comments);
    page_rules::TargetParts target = page_rules::SplitTarget(p.target);
    Item(IDC_GEN_LOCATION).SetText(target.location);
    Item(IDC_GEN_SUBFOLDER).SetText(target.subFolder);
    Item(IDC_GEN_MIN95).Send(CB_SETCURSEL, static_cast<WPARAM>(page_rules::Min95Choice(p.min95)));
    Item(IDC_GEN_MINNT).Send(CB_SETCURSEL, static_cast<WPARAM>(page_rules::MinNTChoice(p.minNT)));
    Item(IDC_GEN_SERVICE_PACK).SetText(std::to_string(page_rules::ServicePack(p.minNT)));
    loading_ = false;
}

bool CGeneralPage::Validate() {
    long servicePack = 0;
    if (!page_rules::ParseNumber(Item(IDC_GEN_SERVICE_PACK).Text(), 0, 255, &servicePack)) {
        MessageBoxA(Handle(), "Please enter a Service Pack number from 0 to 255.", "Tessaro", MB_OK | MB_ICONSTOP);
        Item(IDC_GEN_SERVICE_PACK).Focus();
        return false;
    }
    return true;
}

void CGeneralPage::Store() {
    CProject& p = document_.project;
    p.productName = Item(IDC_GEN_NAME).Text();
    p.productVersion = Item(IDC_GEN_VERSION).Text();
    p.manufacturer = Item(IDC_GEN_MANUFACTURER).Text();
    p.author = Item(IDC_GEN_AUTHOR).Text();
    p.comments = Item(IDC_GEN_COMMENTS).Text();
    p.target = page_rules::JoinTarget(Item(IDC_GEN_LOCATION).Text(), Item(IDC_GEN_SUBFOLDER).Text());
    p.min95 = page_rules::Min95Code(static_cast<int>(Item(IDC_GEN_MIN95).Send(CB_GETCURSEL)));
    long servicePack = 0;
    if (!page_rules::ParseNumber(Item(IDC_GEN_SERVICE_PACK).Text(), 0, 255, &servicePack)) {
        servicePack = page_rules::ServicePack(p.minNT);  // a bad number keeps the stored one until it is mended
    }
    p.minNT = page_rules::MinNTCode(static_cast<int>(Item(IDC_GEN_MINNT).Send(CB_GETCURSEL)),
                                    static_cast<int>(servicePack));
}

void CGeneralPage::Changed() {
    if (loading_) {
        return;
    }
    Store();
    document_.Changed(UpdateHint::kSettingsChanged);
}

void CGeneralPage::NewGuid() {
    if (!document_.untitled &&
        MessageBoxA(Handle(), kGuidWarning, "Warning!", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        return;
    }
    document_.project.productID = platform::NewGuid();
    Item(IDC_GEN_GUID).SetText(platform::GuidText(document_.project.productID));
    document_.Changed(UpdateHint::kSettingsChanged);
}

void CGeneralPage::ChooseLocation() {
    CSpecialFolderDialog dialog(page_rules::OfferedSpecialFolders({}, false), false);
    std::vector<std::string> chosen = dialog.Choose(Handle());
    if (!chosen.empty()) {
        Item(IDC_GEN_LOCATION).SetText(page_rules::LocationOf(chosen.front()));
    }
}

bool CGeneralPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_GEN_NEW_GUID:
            NewGuid();
            return true;
        case IDC_GEN_BROWSE:
            ChooseLocation();
            return true;
        default:
            break;
    }
    if (code == EN_CHANGE || code == CBN_SELCHANGE) {
        Changed();
        return true;
    }
    return false;
}
