#pragma once
// The identifiers of the COM classes and interfaces that the setup program asks the system for. They are
// spelled out here (the interfaces through the headers' own __uuidof) so that the program links no
// identifier library, whose objects each carry hundreds of identifiers.
#include <windows.h>
#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <shlobj.h>

namespace com_ids {

// The shell's link object (CLSID_ShellLink).
constexpr CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline const IID& kShellLinkA = __uuidof(IShellLinkA);
inline const IID& kPersistFile = __uuidof(IPersistFile);
inline const IID& kPicture = __uuidof(IPicture);

}  // namespace com_ids
