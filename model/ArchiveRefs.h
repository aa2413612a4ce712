#pragma once

// The three ways the model stores references between its objects and to files on the authoring machine.
#include <string>
#include <vector>

#include "model/TreeArchive.h"

namespace archive_refs {

// File reference: the referenced file's position in the project's file list, -1 for none. On load any
// value outside 0..fileCount-1 resolves to none (-1).
void ExchangeFileRef(CTreeArchive& ar, const char* name, int* position, int fileCount);

// Index path: the positions from the root list down to an item, each followed by a comma ("0,2,").
std::string EncodeIndexPath(const std::vector<int>& positionsFromRoot);
// False for the empty text (none) and for any text that is not a run of "number," groups with
// non-negative numbers; range checks against the lists are the resolver's.
bool ParseIndexPath(const std::string& text, std::vector<int>* positionsFromRoot);

// Resolves an index path over a tree: roots is the root list, ChildrenOf(item) the children of an item
// (both indexable with size()). Returns nullptr when any position falls outside its list.
template <typename Item, typename List, typename ChildrenOf>
Item* ResolveIndexPath(const std::string& text, const List& roots, ChildrenOf childrenOf) {
    std::vector<int> positions;
    if (!ParseIndexPath(text, &positions)) {
        return nullptr;
    }
    const List* list = &roots;
    Item* item = nullptr;
    for (int position : positions) {
        if (position < 0 || static_cast<size_t>(position) >= list->size()) {
            return nullptr;
        }
        item = (*list)[static_cast<size_t>(position)];
        list = &childrenOf(item);
    }
    return item;
}

// Relative path: a path on the authoring machine stored against the project file's own path (the base).
std::string EncodeRelativePath(const std::string& path, const std::string& base);
std::string DecodeRelativePath(const std::string& stored, const std::string& base);
void ExchangeRelativePath(CTreeArchive& ar, const char* name, std::string* path, const std::string& base);

}  // namespace archive_refs
