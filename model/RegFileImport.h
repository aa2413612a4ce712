#pragma once

// Reading a file written by the registry editor (.reg) into the project's registry items.
#include <cstdint>
#include <string>
#include <vector>

#include "model/ItemArray.h"

class CRegItem;

namespace regfile {

// A line that could not be imported (or was imported only in part), with the reason.
struct Skipped {
    int line;  // the line's number in the file, from 1
    std::string reason;
};

struct ImportResult {
    bool recognized = false;  // the file begins with a header of the registry editor
    int keys = 0;             // key headers imported
    int values = 0;           // values set
    std::vector<Skipped> skipped;
};

// Imports the bytes of a .reg file: "REGEDIT4" (ANSI) or "Windows Registry Editor Version 5.00" (UTF-16 LE
// with a byte-order mark, as the registry editor writes it, or ANSI / UTF-8 with a byte-order mark).
// Keys ("[HKEY_LOCAL_MACHINE\Software\Product]", the hives also as HKLM, HKCU, HKCR, HKU) are found by
// name below the project's root items (the four hives in their order) or created on the way; a value
// (string, dword:, hex:, hex(2): and hex(7): as strings when they hold one string, hex(1):, hex(3):,
// hex(4):) replaces a value of the same name. Deletions ("[-KEY]", "name"=-), lines that cannot be read,
// characters the ANSI code page cannot hold and a file that ends inside a continued line are reported
// and skipped; everything else is imported.
ImportResult ImportRegFile(CItemArray<CRegItem>& rootRegs, const std::vector<uint8_t>& bytes);

// The message that lists what could not be imported, one line each; empty when nothing was skipped.
std::string SkippedMessage(const ImportResult& result, size_t maxLines = 20);

}  // namespace regfile
