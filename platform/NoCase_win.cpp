#include <windows.h>

#include "platform/NoCase.h"

namespace nocase {

namespace {

unsigned char Mapped(int b, bool upper) {
    char c[2] = {static_cast<char>(b), '\0'};
    if (upper) {
        CharUpperBuffA(c, 1);
    } else {
        CharLowerBuffA(c, 1);
    }
    return static_cast<unsigned char>(c[0]);
}

// The system's rules for the ANSI code page. A case pair is taken only when it maps both ways, so that a
// letter whose other case the code page cannot hold stays itself, and a single byte never becomes a lead.
CodePage FromSystem() {
    CodePage page{};
    for (int b = 0; b < 256; ++b) {
        page.lead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
        page.upper[b] = page.lower[b] = static_cast<unsigned char>(b);
    }
    for (int b = 0; b < 256; ++b) {
        if (page.lead[b]) {
            continue;
        }
        const unsigned char up = Mapped(b, true);
        if (up != b && !page.lead[up] && Mapped(up, false) == b) {
            page.upper[b] = up;
            page.lower[up] = static_cast<unsigned char>(b);
        }
    }
    return page;
}

}  // namespace

const CodePage& System() {
    static const CodePage page = FromSystem();
    return page;
}

}  // namespace nocase
