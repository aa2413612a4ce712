// libFuzzer target for the cabinet reader: the input is one cabinet, or two (a two-byte length of the
// first, then the first, then the second, which every next-cabinet name leads to). Parsing, FDIIsCabinet
// and a full FDICopy must refuse or extract without reading outside the input, looping or crashing, and
// no file name that could leave the destination may reach the caller.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cabinet/CabFormat.h"
#include "cabinet/Fdi.h"

namespace {

struct Memory {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool open = false;
};

Memory g_cabinets[2];
constexpr cab::INT_PTR kTarget = 100;

cab::INT_PTR Open(char* path, int, int) {
    size_t length = std::strlen(path);
    int which = length >= 5 && std::strcmp(path + length - 5, "a.cab") == 0 ? 0 : 1;
    if (g_cabinets[which].open) {
        return -1;
    }
    g_cabinets[which].open = true;
    g_cabinets[which].pos = 0;
    return which + 1;
}

Memory* Of(cab::INT_PTR handle) { return handle == 1 || handle == 2 ? &g_cabinets[handle - 1] : nullptr; }

cab::UINT Read(cab::INT_PTR handle, void* data, cab::UINT size) {
    Memory* m = Of(handle);
    if (m == nullptr) {
        std::abort();  // the engine read from something that is not a cabinet
    }
    size_t n = std::min<size_t>(size, m->size - std::min(m->pos, m->size));
    std::memcpy(data, m->data + m->pos, n);
    m->pos += n;
    return static_cast<cab::UINT>(n);
}

cab::UINT Write(cab::INT_PTR handle, void*, cab::UINT size) {
    if (handle != kTarget) {
        std::abort();  // the engine wrote to a cabinet
    }
    return size;
}

int Close(cab::INT_PTR handle) {
    if (Memory* m = Of(handle)) {
        m->open = false;
    }
    return 0;
}

cab::LONG Seek(cab::INT_PTR handle, cab::LONG distance, int origin) {
    Memory* m = Of(handle);
    int64_t base = origin == cab::CAB_SEEK_SET ? 0 : origin == cab::CAB_SEEK_CUR ? static_cast<int64_t>(m->pos)
                                                                                  : static_cast<int64_t>(m->size);
    int64_t target = base + distance;
    if (target < 0) {
        return -1;
    }
    m->pos = static_cast<size_t>(target);
    return static_cast<cab::LONG>(target);
}

void* Alloc(cab::ULONG size) { return std::malloc(size); }
void Free(void* p) { std::free(p); }

cab::INT_PTR Notify(cab::FDINOTIFICATIONTYPE type, cab::PFDINOTIFICATION n) {
    switch (type) {
        case cab::fdintCOPY_FILE:
            if (!cab::format::IsSafeFileName(n->psz1)) {
                std::abort();
            }
            return kTarget;
        case cab::fdintCLOSE_FILE_INFO: return 1;
        case cab::fdintNEXT_CABINET: return n->fdie == cab::FDIERROR_NONE ? 0 : -1;
        default: return 0;
    }
}

class MemorySource : public cab::format::Source {
public:
    explicit MemorySource(const Memory& m) : m_(m) {}
    bool ReadAt(uint64_t pos, void* data, size_t size) override {
        if (pos > m_.size || size > m_.size - pos) return false;
        std::memcpy(data, m_.data + pos, size);
        return true;
    }
    uint64_t Size() const override { return m_.size; }

private:
    const Memory& m_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t first = size;
    size_t skip = 0;
    if (size >= 2) {
        first = std::min<size_t>(size - 2, static_cast<size_t>(data[0] | (data[1] << 8)));
        skip = 2;
    }
    g_cabinets[0] = Memory{data + skip, first, 0, false};
    g_cabinets[1] = Memory{data + skip + first, size - skip - first, 0, false};

    MemorySource source(g_cabinets[0]);
    cab::format::Cabinet parsed;
    cab::format::ParseCabinet(source, &parsed);

    cab::ERF erf{};
    cab::HFDI fdi = cab::FDICreate(Alloc, Free, Open, Read, Write, Close, Seek, cab::cpu80386, &erf);
    cab::FDICABINETINFO info{};
    cab::INT_PTR handle = Open(const_cast<char*>("a.cab"), 0, 0);
    cab::FDIIsCabinet(fdi, handle, &info);
    Close(handle);
    char name[] = "a.cab";
    char path[] = "";
    cab::FDICopy(fdi, name, path, 0, Notify, nullptr, nullptr);
    cab::FDIDestroy(fdi);
    if (g_cabinets[0].open || g_cabinets[1].open) {
        std::abort();  // a cabinet left open
    }
    return 0;
}
