#pragma once

// FDI: the half of the cabinet engine that reads cabinets and cabinet sets. The operations, callbacks,
// notifications and error numbers are those of the Cabinet SDK; see Fci.h for writing.
#include "cabinet/CabTypes.h"

namespace cab {

enum FDIERROR {
    FDIERROR_NONE = 0,
    FDIERROR_CABINET_NOT_FOUND = 1,
    FDIERROR_NOT_A_CABINET = 2,
    FDIERROR_UNKNOWN_CABINET_VERSION = 3,
    FDIERROR_CORRUPT_CABINET = 4,
    FDIERROR_ALLOC_FAIL = 5,
    FDIERROR_BAD_COMPR_TYPE = 6,
    FDIERROR_MDI_FAIL = 7,
    FDIERROR_TARGET_FILE = 8,
    FDIERROR_RESERVE_MISMATCH = 9,
    FDIERROR_WRONG_CABINET = 10,
    FDIERROR_USER_ABORT = 11,
};

struct FDICABINETINFO {
    LONG cbCabinet;
    USHORT cFolders;
    USHORT cFiles;
    USHORT setID;
    USHORT iCabinet;
    BOOL fReserve;
    BOOL hasprev;
    BOOL hasnext;
};
using PFDICABINETINFO = FDICABINETINFO*;

enum FDINOTIFICATIONTYPE {
    fdintCABINET_INFO = 0,
    fdintPARTIAL_FILE = 1,
    fdintCOPY_FILE = 2,
    fdintCLOSE_FILE_INFO = 3,
    fdintNEXT_CABINET = 4,
    fdintENUMERATE = 5,
};

struct FDINOTIFICATION {
    LONG cb;
    char* psz1;
    char* psz2;
    char* psz3;
    void* pv;
    INT_PTR hf;
    USHORT date;
    USHORT time;
    USHORT attribs;
    USHORT setID;
    USHORT iCabinet;
    USHORT iFolder;
    FDIERROR fdie;
};
using PFDINOTIFICATION = FDINOTIFICATION*;

constexpr int cpuUNKNOWN = -1;
constexpr int cpu80286 = 0;
constexpr int cpu80386 = 1;

using HFDI = void*;

using PFNALLOC = void* (*)(ULONG cb);
using PFNFREE = void (*)(void* pv);
using PFNOPEN = INT_PTR (*)(char* pszFile, int oflag, int pmode);
using PFNREAD = UINT (*)(INT_PTR hf, void* pv, UINT cb);
using PFNWRITE = UINT (*)(INT_PTR hf, void* pv, UINT cb);
using PFNCLOSE = int (*)(INT_PTR hf);
using PFNSEEK = LONG (*)(INT_PTR hf, LONG dist, int seektype);
using PFNFDINOTIFY = INT_PTR (*)(FDINOTIFICATIONTYPE fdint, PFDINOTIFICATION pfdin);
using PFNFDIDECRYPT = int (*)(void* pfdid);

HFDI FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen, PFNREAD pfnread, PFNWRITE pfnwrite,
               PFNCLOSE pfnclose, PFNSEEK pfnseek, int cpuType, PERF perf);
BOOL FDIIsCabinet(HFDI hfdi, INT_PTR hf, PFDICABINETINFO pfdici);
// Extracts from the cabinet pszCabPath + pszCabinet: every file that begins in it is offered through
// fdintCOPY_FILE; files continued into later cabinets are finished by reading those cabinets
// (fdintNEXT_CABINET). Files continued from an earlier cabinet are only reported (fdintPARTIAL_FILE).
BOOL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int flags, PFNFDINOTIFY pfnfdin,
             PFNFDIDECRYPT pfnfdid, void* pvUser);
BOOL FDIDestroy(HFDI hfdi);

// Beyond the SDK: the number of threads that decode data blocks ahead of the files being written (0
// decodes every block on the caller's thread when it is needed); each decodes one folder at a time, so
// that as many folders decode at once. The callbacks are called on the caller's thread, in the same order
// and with the same data whatever the number; the default is the number of processors (at most 4).
BOOL FDISetDecompressionThreads(HFDI hfdi, int threads);

}  // namespace cab
