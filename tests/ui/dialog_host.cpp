// Opens one of the shared dialogs for a UI test and prints what it answered.
//   dialog_host question STYLE MESSAGE     prints "result N"
//   dialog_host folder START               prints "ok PATH" or "cancel"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "setup/wizard/FolderChooser.h"
#include "setup/wizard/QuestionBox.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "question") {
        unsigned style = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0));
        std::printf("result %d\n", CQuestionBox::Ask(nullptr, argv[3], style));
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "folder") {
        std::string path = argv[2];
        if (CFolderChooser::Choose(nullptr, &path)) {
            std::printf("ok %s\n", path.c_str());
        } else {
            std::printf("cancel\n");
        }
        return 0;
    }
    std::fprintf(stderr, "usage: dialog_host question STYLE MESSAGE | folder START\n");
    return 2;
}
