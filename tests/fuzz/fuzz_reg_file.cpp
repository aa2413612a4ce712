// libFuzzer target for the .reg importer: every input is read without crashing or reading outside it, and
// what it imports is a well-formed tree: every item's parent is the item that holds it, keys have type 0,
// values another type, and a second import of the same bytes adds no item.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/RegFileImport.h"
#include "model/RegItem.h"

namespace {

size_t CountAndCheck(const CRegItem& item) {
    size_t count = 1;
    for (const CRegItem* child : item.children) {
        if (child->parent != &item || !item.IsKey()) {
            std::abort();
        }
        count += CountAndCheck(*child);
    }
    return count;
}

size_t Count(const CItemArray<CRegItem>& roots) {
    size_t count = 0;
    for (const CRegItem* root : roots) {
        count += CountAndCheck(*root);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CItemArray<CRegItem> roots{CRegItem::kMaxChildren};
    for (const char* name : kRootRegistryNames) {
        roots.Add(std::make_unique<CRegItem>(name, 0));
    }
    const std::vector<uint8_t> bytes(data, data + size);
    const regfile::ImportResult first = regfile::ImportRegFile(roots, bytes);
    const size_t items = Count(roots);
    const regfile::ImportResult second = regfile::ImportRegFile(roots, bytes);
    if (Count(roots) != items || second.skipped.size() != first.skipped.size()) {
        std::abort();
    }
    regfile::SkippedMessage(second);
    return 0;
}
