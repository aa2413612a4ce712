#include "author/SelectFileDialog.h"

CSelectFileDialog::Outcome CSelectFileDialog::Choose(HWND owner) {
    switch (chooser_.Choose(owner)) {
        case CItemChooser::kChosen:
            return kChosen;
        case CItemChooser::kNoSelection:
            return kNoSelection;
        default:
            return kCancelled;
    }
}
