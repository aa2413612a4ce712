#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "win/Window.h"

namespace win {

// Base of every dialog: one dialog procedure binds the object on WM_INITDIALOG (pointer in DWLP_USER) and
// dispatches to the virtual handlers. The procedure is an exception barrier: an exception thrown by a
// handler of a modal dialog ends it and is thrown again from DoModal, in the caller; in a modeless one it
// is shown by ReportFailure. No exception ever reaches the system.
class Dialog : public Window {
public:
    virtual ~Dialog() = default;

    INT_PTR DoModal(HWND owner, int templateId, HINSTANCE instance = nullptr);
    // Creates the dialog modeless (a main window or a child page); nullptr when it cannot be created.
    HWND Create(HWND parent, int templateId, HINSTANCE instance = nullptr);

    // Context help: F1 in any dialog (WM_HELP) that does not answer it itself calls the program's handler
    // with the dialog's top-level window and its help number (HelpId). Without a handler the message takes
    // its default way, to the parent window.
    using HelpHandler = void (*)(HWND owner, int helpId);
    static void SetHelpHandler(HelpHandler handler);

protected:
    Dialog() = default;

    virtual BOOL OnInit() { return TRUE; }
    // Returns true when the command was handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    // Returns true when handled; *result is the value for DWLP_MSGRESULT.
    virtual bool OnNotify(NMHDR* header, LRESULT* result) { return false; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // A right click or the menu key on the dialog or one of its controls; screen is (-1, -1) from the
    // keyboard. Returns true when handled.
    virtual bool OnContextMenu(HWND control, POINT screen) { return false; }
    virtual void OnSize(int width, int height) {}
    virtual void OnDestroy() {}
    // Files dropped from the shell on a dialog that accepts them (DragAcceptFiles): their paths and the
    // drop point in the dialog's client coordinates. The drop is released after the call.
    virtual void OnDropFiles(const std::vector<std::string>& paths, POINT client) {}
    // Any message not dispatched above, first (before OnContextMenu ... OnDropFiles); true when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) { return false; }
    // The number that selects the dialog's help topic: its template's unless a dialog says otherwise.
    virtual int HelpId() const { return templateId_; }

    // Shows the text of an exception that a handler of a modeless dialog let out.
    virtual void ReportFailure(const std::string& text) { MessageBoxA(Handle(), text.c_str(), "Error", MB_OK | MB_ICONERROR); }

    void End(INT_PTR result) { EndDialog(Handle(), result); }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // The messages with handlers of their own, when OnMessage did not take them.
    INT_PTR DispatchCommon(UINT message, WPARAM wParam, LPARAM lParam);

    std::exception_ptr failure_;
    bool modal_ = false;
    int templateId_ = 0;
};

}  // namespace win
