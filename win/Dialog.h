#pragma once

#include <windows.h>

#include <exception>
#include <string>

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

protected:
    Dialog() = default;

    virtual BOOL OnInit() { return TRUE; }
    // Returns true when the command was handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    // Returns true when handled; *result is the value for DWLP_MSGRESULT.
    virtual bool OnNotify(NMHDR* header, LRESULT* result) { return false; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // Any other message; returns true when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) { return false; }

    // Shows the text of an exception that a handler of a modeless dialog let out.
    virtual void ReportFailure(const std::string& text) { MessageBoxA(Handle(), text.c_str(), "Error", MB_OK | MB_ICONERROR); }

    void End(INT_PTR result) { EndDialog(Handle(), result); }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    std::exception_ptr failure_;
    bool modal_ = false;
};

}  // namespace win
