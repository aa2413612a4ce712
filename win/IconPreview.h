#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"
#include "win/Window.h"

namespace win {

// An icon control that shows icon N of an .ico, .exe or .dll file beside the spin control that chooses N.
// A file that holds no icon, or fewer than N + 1, shows nothing and says nothing.
class IconPreview {
public:
    IconPreview() = default;
    // The static icon control and its spin control (with its buddy field); the spin's range is set here.
    void Attach(Window picture, Window spin, int maxIndex = 9999);

    // Shows icon index of file (an empty path clears the picture).
    void Show(const std::string& file, int index);
    // Shows the spin's current index of file.
    void Show(const std::string& file) { Show(file, Index()); }
    int Index() const;
    void SetIndex(int index) const;
    // The number of icons the file holds (0 for none or an unreadable file).
    static int IconCount(const std::string& file);

private:
    Window picture_;
    Window spin_;
    OwnedIcon icon_;
};

}  // namespace win
