#pragma once

#include <windows.h>

#include "author/dialogs/ItemChooser.h"
#include "model/Project.h"

// "Select File": one file of the project, chosen in the folder tree and the list of the folder's files.
// Choose gives kChosen with the file in Chosen(), kNoSelection with none, kCancelled with the file it
// was given.
class CSelectFileDialog {
public:
    enum Outcome { kCancelled, kNoSelection, kChosen };

    CSelectFileDialog(const CProject& project, CFileItem* current) : chooser_(project, CItemChooser::kFile) {
        chooser_.SetCurrent(current);
    }

    Outcome Choose(HWND owner);
    CFileItem* Chosen() const { return chooser_.ChosenFile(); }

private:
    CItemChooser chooser_;
};
