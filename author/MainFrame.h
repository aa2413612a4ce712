#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "author/AuthorRules.h"
#include "author/Document.h"
#include "author/Page.h"
#include "builder/MediaBuild.h"
#include "win/Dialog.h"

// The main window: toolbar, page list, the current page, the menus, and the life of the document.
class CMainFrame : public win::Dialog {
public:
    static constexpr int kSetupMediaPage = 8;

    explicit CMainFrame(CDocument& document);

    // Opens a project named on the command line (its failures leave what was read) or tells the pages
    // that the program started without one.
    void Start(const author_rules::CommandLine& commandLine);
    // Puts the window where it was at the last exit and returns how to show it first (maximised when it
    // was, otherwise as the program was asked to show it).
    int RestorePlace(int show);
    // A message of the program's loop before accelerators and the dialog manager; true when it was taken.
    bool PreTranslate(MSG& message);
    // The program's exit code: 1 when the command line asked for a build that did not make the media, so
    // that a script calling the program sees the failure; 0 otherwise.
    int ExitCode() const { return buildAndExit_ && !document_.mediaBuilt ? 1 : 0; }

protected:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void ReportFailure(const std::string& text) override;

private:
    void CreateToolbar();
    void CreatePages();
    // Lays the toolbar, the page list and the pages out over the window's client area.
    void Layout();
    void SavePlace();
    void ShowPage(int index);
    void ReloadPages(int reason);
    bool ValidatePages();
    void UpdateTitle();
    void RebuildRecentMenu();
    void ShowError(const std::string& text);

    // The document commands; each returns false when it was abandoned.
    bool SavePrompt();
    void NewDocument();
    void OpenDocument();
    void OpenRecent(size_t index);
    void OpenDropped(HDROP drop);
    bool LoadDocument(const std::string& path, bool resetOnFailure);
    bool Save();
    bool SaveAs();
    bool Store(const std::string& path);
    void Close();
    void MediaCommand(int id);
    bool BuildMedia();
    void StartSetup(const std::string& arguments);
    void ContextHelp(const HELPINFO& info);

    CDocument& document_;
    std::vector<std::unique_ptr<CPage>> pages_;
    int current_ = -1;
    HWND toolbar_ = nullptr;
    HIMAGELIST pageImages_ = nullptr;
    HIMAGELIST toolImages_ = nullptr;
    // The designed layout that Layout stretches: client size, page list and page area, smallest window.
    author_rules::Rect designedList_, designedArea_;
    SIZE designedClient_{}, minWindow_{};
    author_rules::RecentFiles recent_;
    CMediaBuild build_;
    bool buildAndExit_ = false;
};
