#pragma once

#include <windows.h>

#include <commctrl.h>

#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardRes.h"
#include "win/TreeView.h"

class CWelcomePage : public CWizardPage {
public:
    explicit CWelcomePage(CWizard& wizard) : CWizardPage(wizard, wizard_rules::kWelcome, IDD_WELCOME_PAGE) {}
    void Activate() override;
    int NextIndex() override;

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
};

class CLicensePage : public CWizardPage {
public:
    explicit CLicensePage(CWizard& wizard) : CWizardPage(wizard, wizard_rules::kLicense, IDD_LICENSE_PAGE) {}
    void Activate() override;
    int NextIndex() override;
    int BackIndex() override;

protected:
    BOOL OnInit() override;

private:
    void LoadLicense();
    int shown_ = 0;  // the licence file on the page, from 0
};

class CUserInfoPage : public CWizardPage {
public:
    explicit CUserInfoPage(CWizard& wizard)
        : CWizardPage(wizard, wizard_rules::kUserInformation, IDD_USER_PAGE) {}
    void Activate() override;
    int NextIndex() override;
    int BackIndex() override { return wizard_rules::kLicense; }
    HWND FirstField() const override;

protected:
    BOOL OnInit() override;

private:
    void Fill();
    bool Refuse(const char* message);
};

class CDestinationPage : public CWizardPage {
public:
    explicit CDestinationPage(CWizard& wizard)
        : CWizardPage(wizard, wizard_rules::kDestination, IDD_DESTINATION_PAGE) {}
    void Activate() override;
    int NextIndex() override;
    int BackIndex() override { return wizard_rules::kUserInformation; }
    HWND FirstField() const override { return Item(IDC_DEST_FOLDER).Handle(); }

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Fill();
    void Browse();
};

class CSetupTypePage : public CWizardPage {
public:
    explicit CSetupTypePage(CWizard& wizard)
        : CWizardPage(wizard, wizard_rules::kSetupType, IDD_SETUP_TYPE_PAGE) {}
    void Activate() override;
    int NextIndex() override;
    int BackIndex() override { return wizard_rules::kDestination; }
    bool TypicalChosen() const;

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
};

class CFeaturesPage : public CWizardPage {
public:
    explicit CFeaturesPage(CWizard& wizard)
        : CWizardPage(wizard, wizard_rules::kFeatures, IDD_FEATURES_PAGE) {}
    ~CFeaturesPage() override;
    void Activate() override;
    int NextIndex() override { return wizard_rules::kConfirmation; }
    int BackIndex() override;

protected:
    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    // The menu key (or Shift+F10) in the tree opens the selected item's menu.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    void Rebuild();
    void Insert(HTREEITEM parent, CFeature& feature);
    void ShowRequiredSpace();
    void ShowAvailableSpace();
    void OpenMenu(HTREEITEM item);
    HTREEITEM ItemAt(DWORD screenPoint, UINT* where) const;
    CFeature* FeatureOf(HTREEITEM item) const;

    win::TreeView tree_;
    HIMAGELIST images_ = nullptr;
    bool rebuilding_ = false;
};

class CConfirmationPage : public CWizardPage {
public:
    CConfirmationPage(CWizard& wizard, CSetupTypePage& setupType)
        : CWizardPage(wizard, wizard_rules::kConfirmation, IDD_CONFIRMATION_PAGE), setupType_(setupType) {}
    void Activate() override;
    int NextIndex() override { return wizard_rules::kWorking; }
    int BackIndex() override;

private:
    CSetupTypePage& setupType_;
};

class CProgressPage : public CWizardPage {
public:
    explicit CProgressPage(CWizard& wizard)
        : CWizardPage(wizard, wizard_rules::kWorking, IDD_PROGRESS_PAGE) {}
    void Activate() override;
    int NextIndex() override { return wizard_rules::kFinish; }

private:
    bool ran_ = false;
};

class CFinishPage : public CWizardPage {
public:
    explicit CFinishPage(CWizard& wizard) : CWizardPage(wizard, wizard_rules::kFinish, IDD_FINISH_PAGE) {}
    void Activate() override;
    // The user's choices: restart, open the readme, run the application.
    void ApplyChoices();

private:
    void ShowBox(int id, const wizard_rules::FinishBoxState& box);
    void Restart();
    wizard_rules::FinishContent content_;
};
