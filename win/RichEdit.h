#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

#include "win/Window.h"

namespace win {

// A rich-edit control (version 2, class RICHEDIT_CLASSA); grows only by what the programs use. The
// control's library must be loaded (LoadRichEditLibrary) before a dialog that holds one is created.
class RichEdit : public Window {
public:
    RichEdit() = default;
    explicit RichEdit(HWND hwnd) : Window(hwnd) {}

    static bool LoadRichEditLibrary();

    // A character format with the face, the height in twips, bold or not, and a colour (-1: automatic).
    static CHARFORMATA Format(const char* face, LONG twips, bool bold, COLORREF colour);

    void Clear() const { SetText(""); }
    // Moves the caret to the end, sets the format for the insertion point and inserts the text.
    void Append(const std::string& text, const CHARFORMATA& format) const;
    // The format of the whole text and of what is inserted afterwards.
    void SetAllFormat(const CHARFORMATA& format) const;
    void SetPlainParagraphs() const;
    void SetBackground(COLORREF colour) const { Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(colour)); }
    // Streams the file in as rich text (SF_RTF) or plain text (SF_TEXT); false when it cannot be opened.
    bool StreamInFile(const std::string& path, UINT format) const;
    void ScrollToTop() const { Send(WM_VSCROLL, SB_TOP); }
};

}  // namespace win
