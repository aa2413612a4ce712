#include "win/Dialog.h"

#include <shellapi.h>
#include <windowsx.h>

#include "platform/TSException.h"

namespace win {

namespace {
constexpr INT_PTR kEndedByFailure = -2;
Dialog::HelpHandler helpHandler = nullptr;

std::vector<std::string> DroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::vector<char> path(DragQueryFileA(drop, i, nullptr, 0) + 1);
        DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size()));
        paths.emplace_back(path.data());
    }
    return paths;
}
}  // namespace

void Dialog::SetHelpHandler(HelpHandler handler) {
    helpHandler = handler;
}

INT_PTR Dialog::DoModal(HWND owner, int templateId, HINSTANCE instance) {
    failure_ = nullptr;
    modal_ = true;
    templateId_ = templateId;
    if (instance == nullptr) {
        instance = GetModuleHandleA(nullptr);
    }
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::Procedure,
                                     reinterpret_cast<LPARAM>(this));
    *static_cast<Window*>(this) = Window();
    if (failure_) {
        std::exception_ptr failure = failure_;
        failure_ = nullptr;
        std::rethrow_exception(failure);
    }
    return result;
}

HWND Dialog::Create(HWND parent, int templateId, HINSTANCE instance) {
    modal_ = false;
    templateId_ = templateId;
    if (instance == nullptr) {
        instance = GetModuleHandleA(nullptr);
    }
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &Dialog::Procedure,
                              reinterpret_cast<LPARAM>(this));
}

namespace {

std::string TextOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const CTSException& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "An unexpected error occurred!";
    }
}

}  // namespace

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        *static_cast<Window*>(self) = Window(hwnd);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr || self->failure_) {
        return FALSE;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        if (!self->modal_) {
            self->ReportFailure(TextOf(std::current_exception()));
            return TRUE;
        }
        self->failure_ = std::current_exception();
        EndDialog(hwnd, kEndedByFailure);
        return TRUE;
    }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInit();
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            int code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            if (OnCommand(id, code, control)) {
                return TRUE;
            }
            if (id == IDOK) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
                SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        default: {
            INT_PTR result = FALSE;
            return OnMessage(message, wParam, lParam, &result) ? result
                                                               : DispatchCommon(message, wParam, lParam);
        }
    }
}

INT_PTR Dialog::DispatchCommon(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CONTEXTMENU:
            return OnContextMenu(reinterpret_cast<HWND>(wParam),
                                 {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_DROPFILES: {
            HDROP drop = reinterpret_cast<HDROP>(wParam);
            std::vector<std::string> paths = DroppedFiles(drop);
            POINT client{};
            DragQueryPoint(drop, &client);
            DragFinish(drop);
            OnDropFiles(paths, client);
            return TRUE;
        }
        case WM_HELP:
            if (helpHandler == nullptr) {
                return FALSE;
            }
            // The help window belongs to the top-level window: the main window for a page.
            helpHandler(GetAncestor(Handle(), GA_ROOT), HelpId());
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace win
