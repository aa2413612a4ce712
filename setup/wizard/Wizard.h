#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "setup/engine/CustomActions.h"
#include "setup/engine/SetupEngine.h"
#include "setup/wizard/WizardRules.h"
#include "win/Dialog.h"
#include "win/RichEdit.h"

// Messages that DLL custom actions send to the wizard window they are given.
constexpr UINT WM_SETUP_EXPAND = WM_USER + 183;    // wParam: text, lParam: buffer for its expansion
constexpr UINT WM_SETUP_SETVALUE = WM_USER + 184;  // wParam: name, lParam: value

// What the wizard needs from the program that runs it.
struct WizardServices {
    // A launcher of custom actions whose library functions receive the given window.
    std::function<std::unique_ptr<ActionLauncher>(HWND window)> makeLauncher;
    // Starts a program without waiting; false when it could not be started.
    std::function<bool(const std::string& program)> runProgram;
};

class CWizard;

// One page of the wizard: a child dialog placed on the wizard's page area.
class CWizardPage : public win::Dialog {
public:
    CWizardPage(CWizard& wizard, int index, int templateId)
        : wizard_(wizard), index_(index), templateId_(templateId) {}

    bool CreateOn(HWND parent, const RECT& area);
    int Index() const { return index_; }

    // Shows the page and sets the window title; each page first fills itself in.
    virtual void Activate();
    virtual void Deactivate() { Show(false); }
    virtual int NextIndex() { return -1; }
    virtual int BackIndex() { return -1; }
    virtual bool IsShown() const;
    // The field a person types in first on this page; nullptr when the page has none (the keyboard focus
    // then goes to the forward button).
    virtual HWND FirstField() const { return nullptr; }

protected:
    SetupEngine& Engine() const;
    CWizard& Wizard() const { return wizard_; }
    void OnOK() override;
    void OnCancel() override;
    void ReportFailure(const std::string& text) override;

    // Fills a rich-text control with the runs in the page's formats.
    void ShowRichText(int controlId, const wizard_rules::RichText& text, bool clear = true) const;
    CHARFORMATA normal_ = win::RichEdit::Format("Arial", 200, false, -1);
    CHARFORMATA bold_ = win::RichEdit::Format("Arial", 200, true, -1);
    CHARFORMATA small_ = win::RichEdit::Format("Arial", 170, false, -1);

private:
    CWizard& wizard_;
    int index_;
    int templateId_;
};

// The setup program's wizard: nine pages, the buttons that move between them, the banner and the custom
// actions that run at each page change.
class CWizard : public win::Dialog {
public:
    CWizard(SetupEngine& engine, WizardServices services);
    ~CWizard() override;

    // Runs the wizard modally; IDOK after Finish, IDCANCEL when the user quit.
    INT_PTR Run(HWND owner);

    SetupEngine& Engine() const { return engine_; }
    const WizardServices& Services() const { return services_; }
    void GoToPage(int index);
    void SetButtons(unsigned mask);
    void SetTitle(int page);
    void Next();
    void Back();
    void Finish();
    void AskToQuit();
    // While the install sequence runs, the wizard cannot be left.
    void SetBusy(bool busy) { busy_ = busy; }

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override { AskToQuit(); }
    // Enter presses the forward button that is shown.
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    class Flow;
    bool RunActions(int first, int last);
    void BuildBanners();
    HBITMAP BuildBanner(int page);
    void DrawHeader(int page);
    void ShowAbout();
    // Puts the keyboard focus where a person goes on with the current page.
    void FocusPage();
    unsigned ButtonsShown() const;

    SetupEngine& engine_;
    WizardServices services_;
    std::unique_ptr<ActionLauncher> launcher_;
    std::array<std::unique_ptr<CWizardPage>, wizard_rules::kPageCount> pages_;
    int current_ = -1;
    bool busy_ = false;
    SIZE bannerSize_{};
    std::array<HBITMAP, 20> backgrounds_{};  // each page's banner without its header
    std::array<HBITMAP, 20> banners_{};      // the same with the header drawn on it
    HDC memoryDC_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// The splash picture shown beside the wizard for three seconds (or until double-clicked).
class CSplash : public win::Dialog {
public:
    explicit CSplash(std::string picturePath) : picturePath_(std::move(picturePath)) {}
    ~CSplash() override;
    void Open();
    void Close();

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    std::string picturePath_;
    HBITMAP picture_ = nullptr;
};

// Loads a picture file through the system's picture loader into a bitmap of its own size in pixels;
// nullptr when the file is missing or not a picture.
HBITMAP LoadPictureBitmap(const std::string& path, SIZE* size);

// The full user interface: the splash when asked for, then the wizard. Returns the wizard's result.
INT_PTR RunWizard(SetupEngine& engine, WizardServices services);
