// The compression side of CCabinet: linked into a program only through the compression constructor, which
// the setup program never calls.
#include <algorithm>

#include "cabinet/Cabinet.h"
#include "cabinet/CabinetFiles.h"
#include "platform/FileInfo.h"
#include "platform/Interrupt.h"

using cabfiles::CopyText;

namespace {

constexpr uint32_t kFolderThreshold = 100000;
constexpr uint16_t kSetID = 12345;
constexpr uint32_t kNoLimit = 0x7FFFFFFF;

// The engine's file callbacks for FCI, with errno captured.
cab::INT_PTR FciOpen(char* path, int oflag, int pmode, int* error, void*) {
    return cabfiles::Open(path, oflag, pmode, error);
}
cab::UINT FciRead(cab::INT_PTR file, void* data, cab::UINT size, int* error, void*) {
    return cabfiles::Read(file, data, size, error);
}
cab::UINT FciWrite(cab::INT_PTR file, void* data, cab::UINT size, int* error, void*) {
    return cabfiles::Write(file, data, size, error);
}
int FciClose(cab::INT_PTR file, int* error, void*) { return cabfiles::Close(file, error); }
cab::LONG FciSeek(cab::INT_PTR file, cab::LONG distance, int origin, int* error, void*) {
    return cabfiles::Seek(file, distance, origin, error);
}
int FciDelete(char* path, int* error, void*) { return cabfiles::Remove(path, error); }

// The compressor's work file lies in the folder of the cabinets it makes (where a build keeps everything it
// writes until the end) and goes with the compressor, whatever ends it.
cab::BOOL FciTempFile(char* name, int size, void* context) {
    const CCabinet* cabinet = static_cast<const CCabinet*>(context);
    std::string path = platform::MakeTempFileIn(cabinet->BaseFolder(), "~cabinet");
    return !path.empty() && CopyText(name, static_cast<size_t>(size), path) ? 1 : 0;
}

}  // namespace

CCabinet::CCabinet(const std::string& baseFolder, const std::string& diskPattern, const std::string& cabinetPattern,
                   int32_t diskSize, int32_t firstDiskReserve)
    : m_diskSize(diskSize),
      m_firstDiskReserve(firstDiskReserve),
      m_baseFolder(baseFolder),
      m_diskPattern(diskPattern),
      m_cabinetPattern(cabinetPattern) {
    m_openCompression = &CCabinet::OpenCompression;
    m_closeCompression = &CCabinet::CloseCompression;
    m_ccab.cbFolderThresh = kFolderThreshold;
    m_ccab.iCab = 1;
    m_ccab.iDisk = 1;
    m_ccab.setID = kSetID;
    NextCabinetStep(&m_ccab);
    m_lastCabinet = 1;
    m_currentDisk = 0;
}

void CCabinet::NextCabinetStep(cab::CCAB* ccab) {
    const std::string diskName = FormatNumberPattern(m_diskPattern, ccab->iCab);
    std::string folder;
    if (m_diskSize > 0) {
        ccab->cb = m_ccab.cb = static_cast<uint32_t>(m_diskSize);
        folder = m_baseFolder + "\\" + diskName + "\\";
        m_currentDisk = ccab->iCab;
    } else {
        m_ccab.cb = kNoLimit;
        folder = m_baseFolder + "\\";
        m_currentDisk = 1;
    }
    if (ccab->iCab == 1) {
        // A reserve as large as the disk leaves the first cabinet no room at all.
        ccab->cb = m_firstDiskReserve >= 0 && static_cast<uint32_t>(m_firstDiskReserve) >= ccab->cb
                       ? 0
                       : ccab->cb - static_cast<uint32_t>(std::max<int32_t>(m_firstDiskReserve, 0));
    }
    m_lastCabinet = ccab->iCab;
    CopyText(ccab->szDisk, sizeof ccab->szDisk, diskName);
    CopyText(ccab->szCab, sizeof ccab->szCab,
             m_diskSize > 0 ? FormatNumberPattern(m_cabinetPattern, ccab->iCab) : m_cabinetPattern);
    CopyText(ccab->szCabPath, sizeof ccab->szCabPath, folder);
    platform::CreateFolder(folder.substr(0, folder.size() - 1));
}

int CCabinet::FilePlaced(cab::PCCAB ccab, char*, cab::LONG, cab::BOOL, void* pv) {
    ccab->cb = static_cast<CCabinet*>(pv)->m_ccab.cb;
    return 0;
}

cab::BOOL CCabinet::GetNextCabinet(cab::PCCAB ccab, cab::ULONG, void* pv) {
    static_cast<CCabinet*>(pv)->NextCabinetStep(ccab);
    return 1;
}

// A program that was asked to stop ends the compression at the next block, as a failure.
cab::LONG CCabinet::Status(cab::UINT, cab::ULONG, cab::ULONG, void*) {
    return platform::Interrupted() ? -1 : 0;
}

cab::INT_PTR CCabinet::GetOpenInfo(char* name, cab::USHORT* date, cab::USHORT* time, cab::USHORT* attributes,
                                   int* error, void* pv) {
    cab::INT_PTR file = cabfiles::Open(name, cab::CAB_O_RDONLY | cab::CAB_O_BINARY, 0, error);
    if (file == -1) {
        return -1;
    }
    platform::FileInfo info;
    *date = *time = 0;
    if (platform::GetFileInfo(name, &info)) {
        const uint64_t latest = static_cast<CCabinet*>(pv)->m_latestTime;
        const uint64_t written = latest != 0 && info.lastWriteTime > latest ? latest : info.lastWriteTime;
        platform::FileTimeToLocalDosDateTime(platform::ToFileTime(written), date, time);
    }
    uint32_t bits = 0;
    *attributes = platform::GetFileAttributeBits(name, &bits) ? static_cast<cab::USHORT>(bits & platform::kKeptAttributes)
                                                              : 0;
    return file;
}

void CCabinet::OpenCompression() {
    m_hfci = cab::FCICreate(&m_erf, FilePlaced, cabfiles::Alloc, cabfiles::Free, FciOpen, FciRead, FciWrite, FciClose,
                            FciSeek, FciDelete, FciTempFile, &m_ccab, this);
    if (m_hfci == nullptr) {
        throw CCabinetException(ErrorMessage("Cannot Open FCI!(%s)"));
    }
    m_lastCabinet = 1;
}

void CCabinet::AddFile(const std::string& sourcePath, const char* nameInCabinet) {
    if (m_hfci == nullptr) {
        throw CCabinetException("The cabinet is not open!");
    }
    char source[kPathBuffer];
    if (!CopyText(source, sizeof source, sourcePath)) {
        throw CCabinetException("Cannot add file!(%s)", ErrorText(cab::FCIERR_OPEN_SRC));
    }
    std::string name = nameInCabinet != nullptr ? nameInCabinet : platform::FileTitle(sourcePath);
    if (!cab::FCIAddFile(m_hfci, source, name.data(), 0, GetNextCabinet, Status, GetOpenInfo, cab::tcompTYPE_MSZIP)) {
        throw CCabinetException(ErrorMessage("Cannot add file!(%s)"));
    }
}

void CCabinet::Flush() {
    if (m_hfci == nullptr) {
        throw CCabinetException("The cabinet is not open!");
    }
    if (!cab::FCIFlushCabinet(m_hfci, 0, GetNextCabinet, Status)) {
        throw CCabinetException(ErrorMessage("Cannot flush cabinet!(%s)"));
    }
}

void CCabinet::CloseCompression() {
    try {
        Flush();
    } catch (...) {
        // The context goes whatever happened to the last cabinet: a failed flush must not leak it.
        cab::FCIDestroy(m_hfci);
        m_hfci = nullptr;
        throw;
    }
    bool destroyed = cab::FCIDestroy(m_hfci) != 0;
    m_hfci = nullptr;
    if (!destroyed) {
        throw CCabinetException(ErrorMessage("Cannot close cabinet!(%s)"));
    }
}
