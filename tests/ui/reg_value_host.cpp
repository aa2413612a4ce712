// Opens the registry value dialog of the authoring program for a UI test and prints what it answered.
//   reg_value_host TYPE NAME TEXT PERMANENT    prints "ok TEXT PERMANENT" or "cancel"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "author/dialogs/RegValueDialog.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: reg_value_host TYPE NAME TEXT PERMANENT\n");
        return 2;
    }
    CRegValueDialog::Fields fields;
    fields.type = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    fields.name = argv[2];
    fields.text = argv[3];
    fields.permanent = std::string(argv[4]) == "1";
    CRegValueDialog dialog(fields);
    if (dialog.Ask(nullptr)) {
        std::printf("ok %s %d\n", dialog.Result().text.c_str(), dialog.Result().permanent ? 1 : 0);
    } else {
        std::printf("cancel\n");
    }
    return 0;
}
