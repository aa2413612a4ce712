#pragma once

#include <windows.h>

#include <commctrl.h>

#include "win/ListView.h"
#include "win/TreeView.h"

// Items of the shared views carry their model object in lParam and are found by it, never by their text.
namespace tree_items {

// The item whose data is the object, searched depth first from the root; nullptr when none is.
HTREEITEM Find(const win::TreeView& tree, const void* object);
// The row whose data is the object, or -1.
int FindRow(const win::ListView& list, const void* object);

}  // namespace tree_items
