#include "author/MainFrame.h"

#include "author/Help.h"
#include "author/Settings.h"
#include "author/pages/ActionsPage.h"
#include "author/pages/DocTypesPage.h"
#include "author/pages/FeaturesPage.h"
#include "author/pages/FoldersPage.h"
#include "author/pages/GeneralPage.h"
#include "author/pages/MaintenancePage.h"
#include "author/pages/RegistryPage.h"
#include "author/pages/SetupMediaPage.h"
#include "author/pages/UserInterfacePage.h"
#include "author/resource.h"
#include "builder/BuildOutput.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "win/FileDialog.h"
#include "win/LabelEditor.h"
#include "win/ListView.h"
#include "win/PictureStrip.h"

namespace {

const char kCaption[] = "Tessaro";
// Open takes either form of a project; Save As writes the form of the file type chosen (AuthorRules.h
// counts the types in this order).
const char kOpenFilter[] =
    "Tessaro Projects (*.tsp;*.toml)|*.tsp;*.toml|Tessaro Files (*.tsp)|*.tsp|"
    "Tessaro Text Files (*.toml)|*.toml|All Files (*.*)|*.*||";
const char kSaveFilter[] = "Tessaro Files (*.tsp)|*.tsp|Tessaro Text Files (*.toml)|*.toml||";

struct PageInfo {
    int templateId;
    const char* name;
    int iconId;
};

const PageInfo kPages[] = {{IDD_PAGE_GENERAL, "General", IDI_PAGE_GENERAL},
                           {IDD_PAGE_FOLDERS, "Folders", IDI_PAGE_FOLDERS},
                           {IDD_PAGE_REGISTRY, "Registry", IDI_PAGE_REGISTRY},
                           {IDD_PAGE_FEATURES, "Features", IDI_PAGE_FEATURES},
                           {IDD_PAGE_DOCTYPES, "Doc Types", IDI_PAGE_DOCTYPES},
                           {IDD_PAGE_ACTIONS, "Custom Actions", IDI_PAGE_ACTIONS},
                           {IDD_PAGE_USERINTERFACE, "User Interface", IDI_PAGE_USERINTERFACE},
                           {IDD_PAGE_MAINTENANCE, "Maintenance", IDI_PAGE_MAINTENANCE},
                           {IDD_PAGE_SETUPMEDIA, "Setup Media", IDI_PAGE_SETUPMEDIA}};

struct ToolButton {
    int command;
    const char* tip;
};

// In the order of their pictures in the toolbar's bitmap.
const ToolButton kToolButtons[] = {{ID_FILE_NEW, "New (Ctrl+N)"},
                                   {ID_FILE_OPEN, "Open (Ctrl+O)"},
                                   {ID_FILE_SAVE, "Save (Ctrl+S)"},
                                   {ID_BUILD_BUILD, "Build Setup (F7)"},
                                   {ID_BUILD_OPEN_TARGET, "Open Target Folder"},
                                   {ID_BUILD_RUN, "Run Setup (F5)"},
                                   {ID_BUILD_TEST, "Test User Interface of Setup"},
                                   {ID_HELP_ABOUT, "About Tessaro"}};

constexpr int kToolPictureSize = 16;
const COLORREF kToolTransparent = RGB(255, 0, 255);

HICON ProgramIcon(int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TESSARO), IMAGE_ICON, size, size, 0));
}

// The wait cursor for the lifetime of a long command.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }

private:
    HCURSOR previous_;
};

// The program, its version (the same as the command line's) and its licence terms.
class AboutBox : public win::Dialog {
protected:
    BOOL OnInit() override {
        Item(IDC_ABOUT_TEXT)
            .SetText("Tessaro - setup authoring for Windows\nVersion " TESSARO_VERSION
                     "\n" TESSARO_LICENCE);
        return TRUE;
    }
};

// The work area of the screen nearest to a place. The screens' own calls are looked up at run time, as
// Windows 95 and NT 4 have only the one screen's work area.
RECT WorkAreaNear(const RECT& place) {
    using MonitorFromRectCall = HMONITOR(WINAPI*)(LPCRECT, DWORD);
    using GetMonitorInfoCall = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto monitorFromRect =
        reinterpret_cast<MonitorFromRectCall>(reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromRect")));
    auto getMonitorInfo =
        reinterpret_cast<GetMonitorInfoCall>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (monitorFromRect != nullptr && getMonitorInfo != nullptr &&
        getMonitorInfo(monitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return monitor.rcWork;
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool AskOpenName(HWND owner, std::string* chosen) {
    win::FileDialog dialog(owner, kOpenFilter);
    dialog.SetDefaultExtension("tsp");
    return dialog.Open(chosen);
}

// The name and the form of Save As, proposed in the form the document has. A name given another
// extension by its type is asked about again when that file exists.
bool AskSaveName(HWND owner, const std::string& proposed, author_rules::ProjectForm form,
                 author_rules::SaveChoice* choice) {
    win::FileDialog dialog(owner, kSaveFilter);
    dialog.SetFilterIndex(author_rules::SaveTypeOf(form));
    dialog.SetDefaultExtension(form == author_rules::ProjectForm::kText ? "toml" : "tsp");
    std::string chosen = proposed;
    if (!dialog.Save(&chosen)) {
        return false;
    }
    *choice = author_rules::ChooseSaveForm(dialog.FilterIndex(), chosen);
    if (choice->path != chosen && platform::FileExists(choice->path)) {
        const std::string question = choice->path + " already exists.\nDo you want to replace it?";
        return MessageBoxA(owner, question.c_str(), "Save As", MB_YESNO | MB_ICONWARNING) == IDYES;
    }
    return true;
}

}  // namespace

CMainFrame::CMainFrame(CDocument& document) : document_(document) {
    document_.SetListener([this](UpdateHint hint, const void* object) {
        for (auto& page : pages_) {
            page->OnUpdate(hint, object);
        }
    });
    // The editors not yet in the program stand in the list as empty pages.
    for (const PageInfo& page : kPages) {
        switch (page.templateId) {
            case IDD_PAGE_GENERAL: pages_.push_back(std::make_unique<CGeneralPage>(document_)); break;
            case IDD_PAGE_MAINTENANCE: pages_.push_back(std::make_unique<CMaintenancePage>(document_)); break;
            case IDD_PAGE_SETUPMEDIA: pages_.push_back(std::make_unique<CSetupMediaPage>(document_)); break;
            case IDD_PAGE_USERINTERFACE: pages_.push_back(std::make_unique<CUserInterfacePage>(document_)); break;
            case IDD_PAGE_ACTIONS: pages_.push_back(std::make_unique<CActionsPage>(document_)); break;
            case IDD_PAGE_DOCTYPES: pages_.push_back(std::make_unique<CDocTypesPage>(document_)); break;
            case IDD_PAGE_REGISTRY: pages_.push_back(std::make_unique<CRegistryPage>(document_)); break;
            case IDD_PAGE_FEATURES: pages_.push_back(std::make_unique<CFeaturesPage>(document_)); break;
            case IDD_PAGE_FOLDERS: pages_.push_back(std::make_unique<CFoldersPage>(document_)); break;
            default: pages_.push_back(std::make_unique<CPage>(document_, page.templateId, page.name));
        }
    }
}

BOOL CMainFrame::OnInit() {
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetrics(SM_CXICON))));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetrics(SM_CXSMICON))));
    recent_.Assign(settings::LoadRecentFiles());
    RebuildRecentMenu();
    CreateToolbar();
    CreatePages();
    auto rectOf = [](const RECT& r) { return author_rules::Rect{r.left, r.top, r.right, r.bottom}; };
    designedList_ = rectOf(Item(IDC_PAGE_LIST).RectInParent());
    designedArea_ = rectOf(Item(IDC_PAGE_AREA).RectInParent());
    const RECT client = ClientRect();
    designedClient_ = {client.right, client.bottom};
    RECT window{};
    GetWindowRect(Handle(), &window);
    minWindow_ = {window.right - window.left, window.bottom - window.top};
    DragAcceptFiles(Handle(), TRUE);
    return TRUE;
}

void CMainFrame::Layout() {
    if (toolbar_ == nullptr || designedClient_.cx == 0) {
        return;
    }
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    const RECT client = ClientRect();
    const author_rules::FrameBoxes boxes =
        author_rules::FrameLayout(client.right, client.bottom, win::Window(toolbar_).RectInParent().bottom,
                                  designedList_, designedArea_, designedClient_.cx, designedClient_.cy);
    auto move = [](HWND window, const author_rules::Rect& r) {
        SetWindowPos(window, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    move(Item(IDC_PAGE_LIST).Handle(), boxes.list);
    move(Item(IDC_PAGE_AREA).Handle(), boxes.area);
    for (auto& page : pages_) {
        move(page->Handle(), boxes.area);
    }
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CMainFrame::RestorePlace(int show) {
    settings::WindowPlace saved;
    if (!settings::LoadWindowPlace(&saved)) {
        return show;
    }
    const RECT work = WorkAreaNear({saved.left, saved.top, saved.right, saved.bottom});
    author_rules::Rect placed;
    if (author_rules::PlaceOnScreen({saved.left, saved.top, saved.right, saved.bottom},
                                    {work.left, work.top, work.right, work.bottom}, minWindow_.cx,
                                    minWindow_.cy, &placed)) {
        SetWindowPos(Handle(), nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!saved.maximised) {
        return show;
    }
    return show == SW_HIDE || show == SW_MINIMIZE || show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE
               ? show
               : SW_SHOWMAXIMIZED;
}

void CMainFrame::SavePlace() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Handle(), &placement)) {
        return;
    }
    // The place in workspace coordinates equals the screen's while the taskbar sits at the bottom, as it
    // does by default; a window that lands a little off is moved back onto the screen at the next start.
    const RECT& normal = placement.rcNormalPosition;
    settings::SaveWindowPlace(
        {normal.left, normal.top, normal.right, normal.bottom, placement.showCmd == SW_SHOWMAXIMIZED});
}

void CMainFrame::CreateToolbar() {
    toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0,
                               Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    toolImages_ = win::LoadPictureStrip(IDB_TOOLBAR, kToolPictureSize, kToolTransparent);
    SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages_));
    std::vector<TBBUTTON> buttons;
    for (const ToolButton& tool : kToolButtons) {
        TBBUTTON button{};
        button.iBitmap = static_cast<int>(buttons.size());
        button.idCommand = tool.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        buttons.push_back(button);
    }
    SendMessageA(toolbar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
}

void CMainFrame::CreatePages() {
    win::ListView list(Item(IDC_PAGE_LIST).Handle());
    pageImages_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 9, 0);
    for (const PageInfo& page : kPages) {
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(page.iconId), IMAGE_ICON, 32, 32, 0));
        ImageList_AddIcon(pageImages_, icon != nullptr ? icon : LoadIconA(nullptr, IDI_APPLICATION));
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    ListView_SetImageList(list.Handle(), pageImages_, LVSIL_NORMAL);
    RECT listBox = list.ClientRect();
    ListView_SetIconSpacing(list.Handle(), listBox.right, listBox.bottom / static_cast<int>(pages_.size()));
    RECT area = Item(IDC_PAGE_AREA).RectInParent();
    for (size_t i = 0; i < pages_.size(); ++i) {
        list.Append(pages_[i]->Name(), 0, static_cast<int>(i));
        HWND page = pages_[i]->Create(Handle(), pages_[i]->TemplateId());
        SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_HIDEWINDOW);
    }
}

void CMainFrame::Start(const author_rules::CommandLine& commandLine) {
    // A project that fails to open leaves the pages to show what the document holds.
    if (commandLine.projectPath.empty() || !LoadDocument(platform::ToModelPath(commandLine.projectPath), false)) {
        ReloadPages(CPage::kStartedEmpty);
    }
    if (commandLine.BuildAndExit()) {
        buildAndExit_ = true;
        PostMessageA(Handle(), WM_COMMAND, ID_BUILD_BUILD, 0);
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
    }
    UpdateTitle();
    ShowPage(0);
    document_.modified = false;
}

bool CMainFrame::PreTranslate(MSG& message) {
    // Enter and Escape end an open label edit of a tree or list instead of pressing the dialog's buttons.
    if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
        win::LabelEditor::IsLabelEdit(message.hwnd)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        return true;
    }
    return current_ >= 0 && pages_[static_cast<size_t>(current_)]->PreTranslate(message);
}

void CMainFrame::ShowPage(int index) {
    if (index < 0 || static_cast<size_t>(index) >= pages_.size()) {
        return;
    }
    if (current_ >= 0 && current_ != index) {
        pages_[static_cast<size_t>(current_)]->Hidden();
        pages_[static_cast<size_t>(current_)]->Show(false);
    }
    current_ = index;
    CPage& page = *pages_[static_cast<size_t>(index)];
    page.Shown();
    page.Show(true);
    win::ListView(Item(IDC_PAGE_LIST).Handle()).Select(index);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainFrame::ReloadPages(int reason) {
    for (auto& page : pages_) {
        page->Reload(reason);
    }
}

bool CMainFrame::ValidatePages() {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i]->Validate()) {
            ShowPage(static_cast<int>(i));
            return false;
        }
    }
    return true;
}

void CMainFrame::UpdateTitle() {
    SetText(std::string(kCaption) + " - " + document_.Title());
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainFrame::RebuildRecentMenu() {
    HMENU file = GetSubMenu(GetMenu(Handle()), 0);
    // The recent entries (or the grayed placeholder) stand where the placeholder stood.
    int at = -1;
    for (int i = GetMenuItemCount(file) - 1; i >= 0; --i) {
        UINT id = GetMenuItemID(file, i);
        if (id == ID_FILE_RECENT || (id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + 8)) {
            DeleteMenu(file, static_cast<UINT>(i), MF_BYPOSITION);
            at = i;
        }
    }
    if (at < 0) {
        return;
    }
    const auto& entries = recent_.Entries();
    if (entries.empty()) {
        InsertMenuA(file, static_cast<UINT>(at), MF_BYPOSITION | MF_STRING | MF_GRAYED, ID_FILE_RECENT,
                    "Recent Files");
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string text = "&" + std::to_string(i + 1) + " " + author_rules::ShortenPath(entries[i]);
        InsertMenuA(file, static_cast<UINT>(at) + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                    ID_RECENT_FIRST + i, text.c_str());
    }
    DrawMenuBar(Handle());
}

void CMainFrame::ShowError(const std::string& text) { MessageBoxA(Handle(), text.c_str(), kCaption, MB_OK | MB_ICONSTOP); }

void CMainFrame::ReportFailure(const std::string& text) { ShowError(text); }

bool CMainFrame::SavePrompt() {
    if (!document_.modified) {
        return true;
    }
    const std::string question = "Save changes to \"" + document_.Title() + "\"?";
    switch (MessageBoxA(Handle(), question.c_str(), kCaption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            return ValidatePages() && Save();
        case IDNO:
            return true;
        default:
            return false;
    }
}

void CMainFrame::NewDocument() {
    if (!SavePrompt()) {
        return;
    }
    WaitCursor wait;
    document_.New();
    ReloadPages(CPage::kProjectChanged);
    UpdateTitle();
}

void CMainFrame::OpenDocument() {
    std::string path;
    if (SavePrompt() && AskOpenName(Handle(), &path)) {
        LoadDocument(path, true);
    }
}

void CMainFrame::OpenRecent(size_t index) {
    if (index >= recent_.Entries().size()) {
        return;
    }
    const std::string path = recent_.Entries()[index];
    if (!platform::FileExists(path)) {
        recent_.Remove(path);
        RebuildRecentMenu();
        ShowError("Cannot open the file \"" + path + "\"!");
        return;
    }
    if (SavePrompt() && !LoadDocument(path, true)) {
        recent_.Remove(path);
        RebuildRecentMenu();
    }
}

void CMainFrame::OpenDropped(HDROP drop) {
    char path[MAX_PATH] = "";
    UINT files = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (files > 0) {
        DragQueryFileA(drop, 0, path, sizeof path);  // only the first of several files
    }
    DragFinish(drop);
    if (files > 0 && SavePrompt()) {
        LoadDocument(path, true);
    }
}

bool CMainFrame::LoadDocument(const std::string& path, bool resetOnFailure) {
    bool loaded = true;
    try {
        WaitCursor wait;
        document_.Load(path);
        recent_.Add(path);
        RebuildRecentMenu();
    } catch (const COpenRefused& e) {
        ShowError(e.Message());  // the open project stays as it was
        return false;
    } catch (const CTSException& e) {
        ShowError(e.Message());
        loaded = false;
        if (resetOnFailure) {
            document_.New();
        }
    }
    ReloadPages(CPage::kProjectChanged);
    document_.modified = false;
    UpdateTitle();
    return loaded;
}

bool CMainFrame::Save() {
    if (document_.untitled) {
        return SaveAs();
    }
    return ValidatePages() && Store(document_.Path());
}

bool CMainFrame::SaveAs() {
    author_rules::SaveChoice choice;
    if (!ValidatePages() ||
        !AskSaveName(Handle(), document_.Title(), author_rules::FormOfPath(document_.Path()), &choice)) {
        return false;
    }
    if (!Store(choice.path)) {
        return false;
    }
    recent_.Add(choice.path);
    RebuildRecentMenu();
    return true;
}

bool CMainFrame::Store(const std::string& path) {
    for (auto& page : pages_) {
        page->Store();
    }
    try {
        WaitCursor wait;
        document_.Store(path);
    } catch (const CTSException& e) {
        ShowError(e.Message());
        return false;
    }
    UpdateTitle();
    return true;
}

void CMainFrame::Close() {
    if (!SavePrompt()) {
        return;
    }
    settings::SaveRecentFiles(recent_.Entries());
    SavePlace();
    DestroyWindow(Handle());
}

namespace {

// The build output list of the Setup Media page.
class PageOutput : public BuildOutput {
public:
    explicit PageOutput(CSetupMediaPage& page) : page_(page) {}

protected:
    void ShowLine(Kind kind, const std::string& text) override {
        page_.AddOutput(kind == Kind::kError     ? CSetupMediaPage::kErrorLine
                        : kind == Kind::kWarning ? CSetupMediaPage::kWarningLine
                                                 : CSetupMediaPage::kInformationLine,
                        text);
    }
    void ClearLines() override { page_.ClearOutput(); }

private:
    CSetupMediaPage& page_;
};

}  // namespace

bool CMainFrame::BuildMedia() {
    // As Save does: a page that refuses its controls keeps the user there, and nothing is built.
    if (!ValidatePages()) {
        return false;
    }
    for (auto& page : pages_) {
        page->Store();
    }
    auto& mediaPage = static_cast<CSetupMediaPage&>(*pages_[kSetupMediaPage]);
    PageOutput output(mediaPage);
    WaitCursor wait;
    BuildOptions options;
    options.rawSetup = settings::RawSetupPath();
    document_.mediaBuilt = build_.Build(document_.project, output, options);
    mediaPage.FitOutputColumn();
    return document_.mediaBuilt;
}

void CMainFrame::StartSetup(const std::string& arguments) {
    if (!document_.mediaBuilt && !BuildMedia()) {
        return;
    }
    const std::string command = "\"" + build_.SetupPath() + "\"" + arguments;
    WinExec(command.c_str(), SW_SHOWNORMAL);
}

void CMainFrame::MediaCommand(int id) {
    ShowPage(kSetupMediaPage);
    UpdateWindow(Handle());
    switch (id) {
        case ID_BUILD_BUILD:
            BuildMedia();
            break;
        case ID_BUILD_RUN:
            StartSetup(std::string());
            break;
        case ID_BUILD_TEST:
            StartSetup(" -T");
            break;
        default: {
            std::string output = document_.project.destination;
            ShellExecuteA(Handle(), "open", CMediaBuild::MediaRoot(document_.project, output).c_str(), nullptr,
                          nullptr, SW_SHOWNORMAL);
            break;
        }
    }
}

void CMainFrame::ContextHelp(const HELPINFO& info) {
    int resource = IDD_MAINFRAME;
    if (info.iContextType == HELPINFO_WINDOW && current_ >= 0) {
        resource = pages_[static_cast<size_t>(current_)]->TemplateId();
    }
    help::ShowResourceTopic(Handle(), resource);
}

bool CMainFrame::OnCommand(int id, int code, HWND control) {
    if (id >= ID_PAGE_FIRST && id < ID_PAGE_FIRST + static_cast<int>(pages_.size())) {
        ShowPage(id - ID_PAGE_FIRST);
        return true;
    }
    if (id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + static_cast<int>(author_rules::RecentFiles::kMaxEntries)) {
        OpenRecent(static_cast<size_t>(id - ID_RECENT_FIRST));
        return true;
    }
    switch (id) {
        case ID_FILE_NEW: NewDocument(); return true;
        case ID_FILE_OPEN: OpenDocument(); return true;
        case ID_FILE_SAVE: Save(); return true;
        case ID_FILE_SAVE_AS: SaveAs(); return true;
        case ID_FILE_EXIT: Close(); return true;
        case ID_BUILD_BUILD:
        case ID_BUILD_OPEN_TARGET:
        case ID_BUILD_RUN:
        case ID_BUILD_TEST: MediaCommand(id); return true;
        case ID_HELP_CONTENTS: help::ShowContents(Handle()); return true;
        case ID_HELP_INDEX: help::ShowIndex(Handle()); return true;
        case ID_HELP_HOWTO: help::ShowTopic(Handle(), "How2UseHelp.htm"); return true;
        case ID_HELP_ABOUT: {
            AboutBox about;
            about.DoModal(Handle(), IDD_ABOUT);
            return true;
        }
        default: return false;
    }
}

bool CMainFrame::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        for (const ToolButton& tool : kToolButtons) {
            if (static_cast<UINT_PTR>(tool.command) == header->idFrom) {
                info->lpszText = const_cast<char*>(tool.tip);
            }
        }
        return true;
    }
    if (header->idFrom == IDC_PAGE_LIST && header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED) && change->iItem != current_) {
            ShowPage(change->iItem);
        }
        return true;
    }
    return false;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_CLOSE:
            Close();
            return true;
        case WM_SIZE:
            Layout();
            return true;
        case WM_GETMINMAXINFO:
            if (minWindow_.cx > 0) {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize.x = minWindow_.cx;
                info->ptMinTrackSize.y = minWindow_.cy;
            }
            return true;
        case WM_DROPFILES:
            OpenDropped(reinterpret_cast<HDROP>(wParam));
            return true;
        case WM_HELP:
            ContextHelp(*reinterpret_cast<HELPINFO*>(lParam));
            *result = TRUE;
            return true;
        case WM_DESTROY:
            // The page list shares its image list (LVS_SHAREIMAGELISTS): the frame owns and frees it.
            if (pageImages_ != nullptr) {
                ImageList_Destroy(pageImages_);
            }
            if (toolImages_ != nullptr) {
                ImageList_Destroy(toolImages_);
            }
            PostQuitMessage(0);
            return true;
        default:
            return false;
    }
}
