#include "tests/cabinet/CabTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cabinet/CabinetFiles.h"
#include "platform/File.h"
#include "platform/FileInfo.h"
#include "platform/Paths.h"

namespace cabtest {

namespace {

uint32_t Next(uint32_t* state) {
    uint32_t x = *state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return *state = x;
}

struct WriteContext {
    std::string folder;
    std::vector<std::string> written;
};

cab::INT_PTR FciOpen(char* path, int oflag, int pmode, int* error, void*) {
    return cabfiles::Open(path, oflag, pmode, error);
}
cab::UINT FciRead(cab::INT_PTR f, void* data, cab::UINT size, int* error, void*) {
    return cabfiles::Read(f, data, size, error);
}
cab::UINT FciWrite(cab::INT_PTR f, void* data, cab::UINT size, int* error, void*) {
    return cabfiles::Write(f, data, size, error);
}
int FciClose(cab::INT_PTR f, int* error, void*) { return cabfiles::Close(f, error); }
cab::LONG FciSeek(cab::INT_PTR f, cab::LONG distance, int origin, int* error, void*) {
    return cabfiles::Seek(f, distance, origin, error);
}
int FciDelete(char* path, int* error, void*) { return cabfiles::Remove(path, error); }
cab::BOOL FciTemp(char* name, int size, void*) {
    std::string path = platform::MakeTempFile("tt");
    if (path.empty() || static_cast<int>(path.size()) >= size) {
        return 0;
    }
    std::strcpy(name, path.c_str());
    return 1;
}
int FilePlaced(cab::PCCAB ccab, char*, cab::LONG, cab::BOOL, void* pv) {
    auto* context = static_cast<WriteContext*>(pv);
    std::string path = std::string(ccab->szCabPath) + ccab->szCab;
    if (context->written.empty() || context->written.back() != path) {
        context->written.push_back(path);
    }
    return 0;
}
cab::BOOL NextCabinet(cab::PCCAB ccab, cab::ULONG, void*) {
    std::snprintf(ccab->szCab, sizeof ccab->szCab, "set%d.cab", ccab->iCab);
    std::snprintf(ccab->szDisk, sizeof ccab->szDisk, "DISK%d", ccab->iCab);
    return 1;
}
cab::LONG Status(cab::UINT, cab::ULONG, cab::ULONG, void*) { return 0; }
cab::INT_PTR OpenInfo(char* name, cab::USHORT* date, cab::USHORT* time, cab::USHORT* attribs, int* error, void*) {
    *date = 0x5A21;  // 2025-01-01
    *time = 0x6000;  // 12:00:00
    *attribs = cab::kCabAttributeArchive;
    return cabfiles::Open(name, cab::CAB_O_RDONLY | cab::CAB_O_BINARY, 0, error);
}

void* Alloc(cab::ULONG size) { return std::malloc(size); }
void Free(void* p) { std::free(p); }

cab::INT_PTR FdiOpen(char* path, int oflag, int pmode) {
    int ignored = 0;
    return cabfiles::Open(path, oflag, pmode, &ignored);
}
cab::UINT FdiRead(cab::INT_PTR f, void* data, cab::UINT size) {
    int ignored = 0;
    return cabfiles::Read(f, data, size, &ignored);
}
int FdiClose(cab::INT_PTR f) {
    int ignored = 0;
    return cabfiles::Close(f, &ignored);
}
cab::LONG FdiSeek(cab::INT_PTR f, cab::LONG distance, int origin) {
    int ignored = 0;
    return cabfiles::Seek(f, distance, origin, &ignored);
}

// Extracted files are kept in memory: the "handle" is a pointer to the buffer being filled.
struct ExtractContext {
    ExtractResult* result;
    const ExtractOptions* options;
    std::vector<uint8_t> buffer;
    std::string current;
};
ExtractContext* g_extract = nullptr;

cab::UINT MemoryWrite(cab::INT_PTR f, void* data, cab::UINT size) {
    if (f == 1) {
        auto* bytes = static_cast<uint8_t*>(data);
        g_extract->buffer.insert(g_extract->buffer.end(), bytes, bytes + size);
        return size;
    }
    return static_cast<cab::UINT>(-1);
}

int AnyClose(cab::INT_PTR f) { return f == 1 ? 0 : FdiClose(f); }

cab::INT_PTR Notify(cab::FDINOTIFICATIONTYPE type, cab::PFDINOTIFICATION n) {
    ExtractContext* c = g_extract;
    c->result->notifications.push_back({type, n->psz1 != nullptr ? n->psz1 : "", static_cast<int>(n->fdie)});
    switch (type) {
        case cab::fdintCOPY_FILE:
            if (c->options->skip.count(n->psz1) != 0) {
                return 0;
            }
            c->current = n->psz1;
            c->buffer.clear();
            return 1;
        case cab::fdintCLOSE_FILE_INFO:
            c->result->files[c->current] = c->buffer;
            c->buffer.clear();
            return 1;
        case cab::fdintNEXT_CABINET:
            if (n->fdie != cab::FDIERROR_NONE) {
                return -1;
            }
            if (!c->options->nextFolder.empty()) {
                std::snprintf(n->psz3, cab::CB_MAX_CAB_PATH, "%s", c->options->nextFolder.c_str());
            }
            return 0;
        default: return 0;
    }
}

}  // namespace

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(Next(&state) >> 24);
    }
    return bytes;
}

std::vector<uint8_t> TextBytes(size_t size, uint32_t seed) {
    static const char* const words[] = {"setup ", "cabinet ", "folder ", "file ", "disk ", "the ", "of ", "data\n"};
    std::vector<uint8_t> bytes;
    uint32_t state = seed * 2654435761u + 7;
    while (bytes.size() < size) {
        const char* word = words[Next(&state) % 8];
        bytes.insert(bytes.end(), word, word + std::strlen(word));
    }
    bytes.resize(size);
    return bytes;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(platform::File::ReadAll(path, &bytes)) << path;
    return bytes;
}

platform::FileTime LastWriteTime(const std::string& path) {
    platform::FileInfo info;
    EXPECT_TRUE(platform::GetFileInfo(path, &info)) << path;
    return platform::ToFileTime(info.lastWriteTime);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    platform::File file;
    ASSERT_TRUE(file.Open(path, platform::File::Mode::Replace)) << path;
    if (!bytes.empty()) {
        file.Write(bytes.data(), bytes.size());
    }
    file.Close();
}

std::vector<std::string> WriteSet(const std::string& folder, const std::vector<InputFile>& files,
                                  const WriteOptions& options) {
    std::string sources = folder + "\\src";
    platform::CreateFolder(sources);
    WriteContext context{folder, {}};
    cab::CCAB ccab{};
    ccab.cb = options.limit == 0 ? cab::CB_MAX_DISK : options.limit;
    ccab.cbFolderThresh = options.folderThreshold;
    ccab.iCab = 1;
    ccab.setID = 77;
    NextCabinet(&ccab, 0, nullptr);
    std::snprintf(ccab.szCabPath, sizeof ccab.szCabPath, "%s\\", folder.c_str());
    cab::ERF erf{};
    cab::HFCI fci = cab::FCICreate(&erf, FilePlaced, Alloc, Free, FciOpen, FciRead, FciWrite, FciClose, FciSeek,
                                   FciDelete, FciTemp, &ccab, &context);
    EXPECT_NE(fci, nullptr) << erf.erfOper;
    if (fci == nullptr) {
        return {};
    }
    cab::FCISetCompressionThreads(fci, options.threads);
    int index = 0;
    for (const InputFile& file : files) {
        std::string source = sources + "\\" + std::to_string(index++);
        WriteFile(source, file.content);
        std::string name = file.name;
        EXPECT_TRUE(cab::FCIAddFile(fci, source.data(), name.data(), 0, NextCabinet, Status, OpenInfo, options.type))
            << name << ": error " << erf.erfOper;
    }
    EXPECT_TRUE(cab::FCIFlushCabinet(fci, 0, NextCabinet, Status)) << erf.erfOper;
    cab::FCIDestroy(fci);
    platform::RemoveTree(sources);
    return context.written;
}

ExtractResult Extract(const std::string& folder, const std::string& cabinet, const std::string& nextFolder) {
    ExtractOptions options;
    options.nextFolder = nextFolder;
    return Extract(folder, cabinet, options);
}

ExtractResult Extract(const std::string& folder, const std::string& cabinet, const ExtractOptions& options) {
    return ExtractSeveral(folder, {cabinet}, options).front();
}

std::vector<ExtractResult> ExtractSeveral(const std::string& folder, const std::vector<std::string>& cabinets,
                                          const ExtractOptions& options) {
    std::vector<ExtractResult> results;
    cab::ERF erf{};
    cab::HFDI fdi = cab::FDICreate(Alloc, Free, FdiOpen, FdiRead, MemoryWrite, AnyClose, FdiSeek, cab::cpu80386, &erf);
    if (options.threads >= 0) {
        cab::FDISetDecompressionThreads(fdi, options.threads);
    }
    for (const std::string& cabinet : cabinets) {
        ExtractResult result;
        ExtractContext context{&result, &options, {}, {}};
        g_extract = &context;
        erf = cab::ERF{};
        std::string name = cabinet;
        std::string path = folder + "\\";
        result.ok = cab::FDICopy(fdi, name.data(), path.data(), 0, Notify, nullptr, nullptr) != 0;
        result.error = erf.erfOper;
        result.unfinished = context.buffer;
        g_extract = nullptr;
        results.push_back(std::move(result));
    }
    cab::FDIDestroy(fdi);
    return results;
}

std::map<std::string, std::vector<uint8_t>> ExtractSet(const std::string& folder, size_t cabinets) {
    std::map<std::string, std::vector<uint8_t>> all;
    for (size_t i = 1; i <= cabinets; ++i) {
        ExtractResult r = Extract(folder, "set" + std::to_string(i) + ".cab");
        EXPECT_TRUE(r.ok) << "set" << i << ".cab: error " << r.error;
        for (auto& file : r.files) {
            EXPECT_EQ(all.count(file.first), 0u) << file.first << " extracted twice";
            all[file.first] = file.second;
        }
    }
    return all;
}

}  // namespace cabtest
