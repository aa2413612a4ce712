#include "win/RichEdit.h"

#include <cstring>

namespace win {

namespace {

DWORD CALLBACK ReadFilePiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &read, nullptr)) {
        *got = 0;
        return 1;
    }
    *got = static_cast<LONG>(read);
    return 0;
}

}  // namespace

bool RichEdit::LoadRichEditLibrary() {
    return LoadLibraryA("riched20.dll") != nullptr;
}

CHARFORMATA RichEdit::Format(const char* face, LONG twips, bool bold, COLORREF colour) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR;
    format.yHeight = twips;
    format.dwEffects = (bold ? CFE_BOLD : 0) | (colour == static_cast<COLORREF>(-1) ? CFE_AUTOCOLOR : 0);
    format.crTextColor = colour == static_cast<COLORREF>(-1) ? 0 : colour;
    std::strncpy(format.szFaceName, face, LF_FACESIZE - 1);
    return format;
}

void RichEdit::Append(const std::string& text, const CHARFORMATA& format) const {
    const LRESULT end = Send(WM_GETTEXTLENGTH);
    Send(EM_SETSEL, static_cast<WPARAM>(end), end);
    CHARFORMATA copy = format;
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&copy));
    Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void RichEdit::SetAllFormat(const CHARFORMATA& format) const {
    CHARFORMATA copy = format;
    Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&copy));
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&copy));
}

void RichEdit::SetPlainParagraphs() const {
    PARAFORMAT paragraph{};
    paragraph.cbSize = sizeof paragraph;
    paragraph.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS;
    paragraph.wAlignment = PFA_LEFT;
    paragraph.cTabCount = 0;
    Send(EM_SETSEL, 0, -1);
    Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    Send(EM_SETSEL, 0, 0);
}

bool RichEdit::StreamInFile(const std::string& path, UINT format) const {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = ReadFilePiece;
    Send(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return true;
}

}  // namespace win
