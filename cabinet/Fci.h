#pragma once

// FCI: the half of the cabinet engine that writes cabinets and cabinet sets. The operations, callbacks,
// records and error numbers are those of the Cabinet SDK; see Fdi.h for reading.
#include "cabinet/CabTypes.h"

namespace cab {

// Parameters of the cabinet being written; the get-next-cabinet callback fills in a fresh one for each
// further cabinet of a set (FCI has already advanced iCab).
struct CCAB {
    ULONG cb;              // size limit of the cabinet in bytes
    ULONG cbFolderThresh;  // a folder is closed, at a file boundary, once it holds this many bytes
    UINT cbReserveCFHeader;
    UINT cbReserveCFFolder;
    UINT cbReserveCFData;
    int iCab;
    int iDisk;
    int fFailOnIncompressible;
    USHORT setID;
    char szDisk[CB_MAX_DISK_NAME];
    char szCab[CB_MAX_CABINET_NAME];
    char szCabPath[CB_MAX_CAB_PATH];
};
using PCCAB = CCAB*;

enum FCIERROR {
    FCIERR_NONE = 0,
    FCIERR_OPEN_SRC = 1,
    FCIERR_READ_SRC = 2,
    FCIERR_ALLOC_FAIL = 3,
    FCIERR_TEMP_FILE = 4,
    FCIERR_BAD_COMPR_TYPE = 5,
    FCIERR_CAB_FILE = 6,
    FCIERR_USER_ABORT = 7,
    FCIERR_MCI_FAIL = 8,
    FCIERR_CAB_FORMAT_LIMIT = 9,
};

constexpr UINT statusFile = 0;
constexpr UINT statusFolder = 1;
constexpr UINT statusCabinet = 2;

using HFCI = void*;

using PFNFCIFILEPLACED = int (*)(PCCAB pccab, char* pszFile, LONG cbFile, BOOL fContinuation, void* pv);
using PFNFCIALLOC = void* (*)(ULONG cb);
using PFNFCIFREE = void (*)(void* memory);
using PFNFCIOPEN = INT_PTR (*)(char* pszFile, int oflag, int pmode, int* err, void* pv);
using PFNFCIREAD = UINT (*)(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
using PFNFCIWRITE = UINT (*)(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
using PFNFCICLOSE = int (*)(INT_PTR hf, int* err, void* pv);
using PFNFCISEEK = LONG (*)(INT_PTR hf, LONG dist, int seektype, int* err, void* pv);
using PFNFCIDELETE = int (*)(char* pszFile, int* err, void* pv);
using PFNFCIGETTEMPFILE = BOOL (*)(char* pszTempName, int cbTempName, void* pv);
using PFNFCIGETNEXTCABINET = BOOL (*)(PCCAB pccab, ULONG cbPrevCab, void* pv);
using PFNFCISTATUS = LONG (*)(UINT typeStatus, ULONG cb1, ULONG cb2, void* pv);
using PFNFCIGETOPENINFO = INT_PTR (*)(char* pszName, USHORT* pdate, USHORT* ptime, USHORT* pattribs, int* err,
                                      void* pv);

HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv);
BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute,
                PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi,
                TCOMP typeCompress);
BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIDestroy(HFCI hfci);

// Beyond the SDK: the number of threads that compress data blocks (1 compresses on the caller's thread).
// The cabinets written are the same bytes whatever the number; the default is the number of processors.
BOOL FCISetCompressionThreads(HFCI hfci, int threads);

}  // namespace cab
