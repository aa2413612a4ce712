#include "tests/cabinet/SystemCabinet.h"

#include <windows.h>
#include <fci.h>
#include <fdi.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace systemcab {

namespace {

void* DIAMONDAPI Alloc(ULONG size) { return std::malloc(size); }
void DIAMONDAPI Free(void* p) { std::free(p); }

INT_PTR DIAMONDAPI FciOpen(LPSTR path, int oflag, int pmode, int* err, void*) {
    int fd = _open(path, oflag, pmode);
    if (fd == -1) *err = errno;
    return fd;
}
UINT DIAMONDAPI FciRead(INT_PTR f, void* data, UINT size, int* err, void*) {
    int n = _read(static_cast<int>(f), data, size);
    if (n < 0) *err = errno;
    return static_cast<UINT>(n);
}
UINT DIAMONDAPI FciWrite(INT_PTR f, void* data, UINT size, int* err, void*) {
    int n = _write(static_cast<int>(f), data, size);
    if (n < 0) *err = errno;
    return static_cast<UINT>(n);
}
int DIAMONDAPI FciClose(INT_PTR f, int*, void*) { return _close(static_cast<int>(f)); }
LONG DIAMONDAPI FciSeek(INT_PTR f, LONG distance, int origin, int*, void*) {
    return _lseek(static_cast<int>(f), distance, origin);
}
int DIAMONDAPI FciDelete(LPSTR path, int*, void*) { return std::remove(path); }
BOOL DIAMONDAPI FciTemp(char* name, int size, void*) {
    char folder[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "sc", 0, name) == 0) {
        return FALSE;
    }
    DeleteFileA(name);
    return static_cast<int>(std::strlen(name)) < size;
}
int DIAMONDAPI FilePlaced(PCCAB, char*, LONG, BOOL, void*) { return 0; }
LONG DIAMONDAPI Status(UINT, ULONG, ULONG, void*) { return 0; }

struct WriteContext {
    std::string stem;
    std::vector<std::string> written;
};

BOOL DIAMONDAPI NextCabinet(PCCAB ccab, ULONG, void* pv) {
    auto* context = static_cast<WriteContext*>(pv);
    std::snprintf(ccab->szCab, sizeof ccab->szCab, "%s%d.cab", context->stem.c_str(), ccab->iCab);
    std::snprintf(ccab->szDisk, sizeof ccab->szDisk, "DISK%d", ccab->iCab);
    context->written.push_back(ccab->szCab);
    return TRUE;
}

INT_PTR DIAMONDAPI OpenInfo(char* name, USHORT* date, USHORT* time, USHORT* attributes, int* err, void*) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *err = ENOENT;
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info;
    FILETIME local;
    GetFileInformationByHandle(file, &info);
    FileTimeToLocalFileTime(&info.ftLastWriteTime, &local);
    FileTimeToDosDateTime(&local, date, time);
    CloseHandle(file);
    DWORD bits = GetFileAttributesA(name);
    *attributes = bits == INVALID_FILE_ATTRIBUTES ? 0 : static_cast<USHORT>(bits & 0x27);
    return _open(name, _O_RDONLY | _O_BINARY);
}

INT_PTR DIAMONDAPI FdiOpen(char* path, int oflag, int pmode) { return _open(path, oflag, pmode); }
UINT DIAMONDAPI FdiRead(INT_PTR f, void* data, UINT size) { return static_cast<UINT>(_read(static_cast<int>(f), data, size)); }
UINT DIAMONDAPI FdiWrite(INT_PTR f, void* data, UINT size) { return static_cast<UINT>(_write(static_cast<int>(f), data, size)); }
int DIAMONDAPI FdiClose(INT_PTR f) { return _close(static_cast<int>(f)); }
LONG DIAMONDAPI FdiSeek(INT_PTR f, LONG distance, int origin) { return _lseek(static_cast<int>(f), distance, origin); }

struct ExtractContext {
    std::string target;
    std::string current;
    std::string next;
    bool firstInfo = true;
};

INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n) {
    auto* context = static_cast<ExtractContext*>(n->pv);
    switch (type) {
        case fdintCABINET_INFO:
            if (context->firstInfo) {
                context->next = n->psz1;
                context->firstInfo = false;
            }
            return 0;
        case fdintCOPY_FILE: {
            std::string path = context->target + "\\" + n->psz1;
            for (size_t slash = path.find('\\', context->target.size() + 1); slash != std::string::npos;
                 slash = path.find('\\', slash + 1)) {
                CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
            }
            context->current = path;
            return _open(path.c_str(), _O_BINARY | _O_CREAT | _O_WRONLY | _O_TRUNC, _S_IREAD | _S_IWRITE);
        }
        case fdintCLOSE_FILE_INFO: {
            _close(static_cast<int>(n->hf));
            FILETIME local, utc;
            DosDateTimeToFileTime(n->date, n->time, &local);
            LocalFileTimeToFileTime(&local, &utc);
            HANDLE file = CreateFileA(context->current.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            SetFileTime(file, &utc, nullptr, &utc);
            CloseHandle(file);
            SetFileAttributesA(context->current.c_str(), n->attribs & 0x27);
            return TRUE;
        }
        case fdintNEXT_CABINET: return n->fdie == FDIERROR_NONE ? 0 : -1;
        default: return 0;
    }
}

}  // namespace

std::vector<std::string> Write(const std::string& folder, const std::string& stem, const std::vector<Source>& files,
                               unsigned limit) {
    WriteContext context{stem, {}};
    CCAB ccab = {};
    ccab.cb = limit == 0 ? 0x7FFFFFFF : limit;
    ccab.cbFolderThresh = 100000;
    ccab.iCab = 1;
    ccab.setID = 4242;
    std::snprintf(ccab.szCabPath, sizeof ccab.szCabPath, "%s\\", folder.c_str());
    NextCabinet(&ccab, 0, &context);
    ERF erf = {};
    HFCI fci = FCICreate(&erf, FilePlaced, Alloc, Free, FciOpen, FciRead, FciWrite, FciClose, FciSeek, FciDelete,
                         FciTemp, &ccab, &context);
    if (fci == nullptr) {
        return {};
    }
    bool ok = true;
    for (const Source& file : files) {
        std::string path = file.path, name = file.name;
        ok = ok && FCIAddFile(fci, &path[0], &name[0], FALSE, NextCabinet, Status, OpenInfo, tcompTYPE_MSZIP);
    }
    ok = ok && FCIFlushCabinet(fci, FALSE, NextCabinet, Status);
    FCIDestroy(fci);
    if (!ok) {
        return {};
    }
    std::vector<std::string> present;
    for (const std::string& name : context.written) {
        if (GetFileAttributesA((folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES) {
            present.push_back(name);
        }
    }
    return present;
}

bool Extract(const std::string& folder, const std::string& first, const std::string& target) {
    ERF erf = {};
    HFDI fdi = FDICreate(Alloc, Free, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, cpu80386, &erf);
    if (fdi == nullptr) {
        return false;
    }
    std::string cabinet = first;
    bool ok = true;
    while (ok && !cabinet.empty()) {
        ExtractContext context;
        context.target = target;
        std::string path = folder + "\\";
        ok = FDICopy(fdi, &cabinet[0], &path[0], 0, Notify, nullptr, &context) != FALSE;
        cabinet = context.next;
    }
    FDIDestroy(fdi);
    return ok;
}

}  // namespace systemcab
