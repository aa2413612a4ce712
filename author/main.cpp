// Tessaro: the authoring program.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "author/AuthorRules.h"
#include "author/Document.h"
#include "author/Help.h"
#include "author/MainFrame.h"
#include "author/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

    // F1 in any dialog opens the topic its number names.
    win::Dialog::SetHelpHandler(help::ShowResourceTopic);

    CDocument document;
    document.New();
    CMainFrame frame(document);
    HWND main = frame.Create(nullptr, IDD_MAINFRAME);
    if (main == nullptr) {
        MessageBoxA(nullptr, "The main window cannot be created!", "Tessaro", MB_OK | MB_ICONSTOP);
        return 1;
    }
    frame.Start(author_rules::ParseCommandLine(commandLine != nullptr ? commandLine : ""));
    ShowWindow(main, frame.RestorePlace(show));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (frame.PreTranslate(message) || TranslateAcceleratorA(main, accelerators, &message) ||
            IsDialogMessageA(main, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    OleUninitialize();
    return frame.ExitCode();
}
