#include "cabinet/Cabinet.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "cabinet/CabinetFiles.h"
#include "platform/Format.h"
#include "platform/Paths.h"

using cabfiles::Alloc;
using cabfiles::CopyText;
using cabfiles::Free;

namespace {

const char* const kCompressionErrors[] = {
    "No error",
    "Failure opening file to be stored in cabinet",
    "Failure reading file to be stored in cabinet",
    "Insufficient memory in FCI",
    "Could not create a temporary file",
    "Unknown compression type",
    "Could not create cabinet file",
    "Client requested abort",
    "Failure compressing data",
};

const char* const kDecompressionErrors[] = {
    "No error",
    "Cabinet not found",
    "Not a cabinet",
    "Unknown cabinet version",
    "Corrupt cabinet",
    "Memory allocation failed",
    "Unknown compression type",
    "Failure decompressing data",
    "Failure writing to target file",
    "Cabinets in set have different RESERVE sizes",
    "Cabinet returned on fdintNEXT_CABINET is incorrect",
    "User aborted",
};

cab::INT_PTR FdiOpen(char* path, int oflag, int pmode) {
    int ignored = 0;
    return cabfiles::Open(path, oflag, pmode, &ignored);
}
cab::UINT FdiRead(cab::INT_PTR file, void* data, cab::UINT size) {
    int ignored = 0;
    return cabfiles::Read(file, data, size, &ignored);
}
cab::UINT FdiWrite(cab::INT_PTR file, void* data, cab::UINT size) {
    int ignored = 0;
    return cabfiles::Write(file, data, size, &ignored);
}
int FdiClose(cab::INT_PTR file) {
    int ignored = 0;
    return cabfiles::Close(file, &ignored);
}
cab::LONG FdiSeek(cab::INT_PTR file, cab::LONG distance, int origin) {
    int ignored = 0;
    return cabfiles::Seek(file, distance, origin, &ignored);
}

}  // namespace

std::string FormatNumberPattern(const std::string& pattern, int number) {
    std::string result;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            result += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            result += '%';
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < pattern.size() && std::strchr("-+ 0#", pattern[end]) != nullptr) {
            ++end;
        }
        while (end < pattern.size() && (std::isdigit(static_cast<unsigned char>(pattern[end])) || pattern[end] == '.')) {
            ++end;
        }
        if (end < pattern.size() && end - i <= 8 && std::strchr("diuxX", pattern[end]) != nullptr) {
            std::string conversion = pattern.substr(i, end - i + 1);
            char text[64];
            platform::FormatTo(text, sizeof text, conversion.c_str(), number);
            result += text;
            i = end;
        } else {
            result += '%';
        }
    }
    return result;
}

CCabinet::CCabinet(const std::string& cabinetPath)
    : m_decompress(true), m_baseFolder(platform::FolderPart(cabinetPath)), m_cabinetPath(cabinetPath) {}

CCabinet::~CCabinet() {
    try {
        Close();
    } catch (...) {
    }
}

const char* CCabinet::ErrorText(int code) const {
    if (m_decompress) {
        return code >= 0 && code < static_cast<int>(std::size(kDecompressionErrors)) ? kDecompressionErrors[code]
                                                                                     : "Unknown error";
    }
    return code >= 0 && code < static_cast<int>(std::size(kCompressionErrors)) ? kCompressionErrors[code]
                                                                               : "Unknown error";
}

std::string CCabinet::ErrorMessage(const char* format) const {
    // A failure of the file system (a full disk, a file-size limit) says so in the system's words.
    if (!m_decompress && m_erf.erfType != 0 &&
        (m_erf.erfOper == cab::FCIERR_CAB_FILE || m_erf.erfOper == cab::FCIERR_TEMP_FILE)) {
        const std::string cause =
            std::string(ErrorText(m_erf.erfOper)) + ": " + platform::ErrorCodeText(m_erf.erfType);
        return CCabinetException(format, cause.c_str()).Message();
    }
    return CCabinetException(format, ErrorText(m_erf.erfOper)).Message();
}

void CCabinet::Open() {
    if (m_hfci != nullptr) {
        throw CCabinetException("The Cabinet is already open for compression!");
    }
    if (m_hfdi != nullptr) {
        throw CCabinetException("The Cabinet is already open for decompression!");
    }
    m_erf = cab::ERF{};
    if (!m_decompress) {
        (this->*m_openCompression)();
        return;
    }
    m_hfdi = cab::FDICreate(Alloc, Free, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek, cab::cpu80386, &m_erf);
    if (m_hfdi == nullptr) {
        throw CCabinetException(ErrorMessage("Cannot Open FDI!(%s)"));
    }
    if (m_decodeThreads >= 0) {
        cab::FDISetDecompressionThreads(m_hfdi, m_decodeThreads);
    }
    cab::INT_PTR file = FdiOpen(m_cabinetPath.data(), cab::CAB_O_RDONLY | cab::CAB_O_BINARY | cab::CAB_O_SEQUENTIAL, 0);
    if (file == -1) {
        cab::FDIDestroy(m_hfdi);
        m_hfdi = nullptr;
        throw CCabinetException("Unable to open \"%s\" for input!\n", m_cabinetPath);
    }
    cab::FDICABINETINFO info{};
    bool isCabinet = cab::FDIIsCabinet(m_hfdi, file, &info) != 0;
    FdiClose(file);
    if (!isCabinet) {
        cab::FDIDestroy(m_hfdi);
        m_hfdi = nullptr;
        throw CCabinetException("\"%s\" is not a cabinet file", m_cabinetPath);
    }
    m_lastCabinet = 1;
}

void CCabinet::Close() {
    if (m_hfci != nullptr) {
        (this->*m_closeCompression)();
        return;
    }
    if (m_hfdi != nullptr) {
        bool destroyed = cab::FDIDestroy(m_hfdi) != 0;
        m_hfdi = nullptr;
        if (!destroyed) {
            throw CCabinetException(ErrorMessage("Cannot close cabinet!(%s)"));
        }
    }
}

void CCabinet::Extract(CopyFileHook copyFile, CloseFileHook closeFile, NextCabinetHook nextCabinet) {
    if (m_hfdi == nullptr) {
        throw CCabinetException("The cabinet is not open!");
    }
    m_copyFile = std::move(copyFile);
    m_closeFile = std::move(closeFile);
    m_nextCabinetHook = std::move(nextCabinet);
    m_fileIndex = -1;
    m_chainStarted = false;
    m_madeFolder.clear();
    size_t slash = m_cabinetPath.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string() : m_cabinetPath.substr(0, slash + 1);
    if (!CopyText(m_folder, sizeof m_folder, folder) ||
        !CopyText(m_nextCabinet, sizeof m_nextCabinet, m_cabinetPath.substr(folder.size()))) {
        throw CCabinetException("Unable to open \"%s\" for input!\n", m_cabinetPath);
    }
    for (;;) {
        m_firstCabinetPending = true;
        m_targetFailed = false;
        m_hookDeclined = false;
        m_hookError = 0;
        m_copyRefused = false;
        m_chainBroken = false;
        std::string cabinet = m_nextCabinet;
        std::string path = m_folder;
        if (!cab::FDICopy(m_hfdi, cabinet.data(), path.data(), 0, Notify, nullptr, this)) {
            // A next-cabinet hook that declined (the person cancelled, or it met an error it reported)
            // stopped the engine in the middle of a continued file: a user abort.
            if (m_copyRefused) {
                throw CCabinetException("");  // the hook's owner says why
            }
            int code = m_hookError != 0 ? m_hookError
                       : m_hookDeclined ? cab::FDIERROR_USER_ABORT
                       : m_targetFailed ? cab::FDIERROR_TARGET_FILE
                       : m_chainBroken  ? cab::FDIERROR_WRONG_CABINET
                                        : m_erf.erfOper;
            throw CCabinetException("Cannot Extract files!(%s)", ErrorText(code));
        }
        if (m_nextCabinet[0] == '\0') {
            return;
        }
        if (!platform::FileExists(std::string(m_folder) + m_nextCabinet)) {
            char engineFolder[cab::CB_MAX_CAB_PATH];
            CopyText(engineFolder, sizeof engineFolder, m_folder);
            if (NextCabinetNotification(m_nextCabinet, m_nextDisk, engineFolder, cab::FDIERROR_CABINET_NOT_FOUND) != 0) {
                throw CCabinetException(m_hookError != 0 ? "Cannot Extract files!(%s)" : "",
                                        ErrorText(m_hookError));
            }
        }
    }
}

cab::INT_PTR CCabinet::Notify(cab::FDINOTIFICATIONTYPE type, cab::PFDINOTIFICATION n) {
    CCabinet* self = static_cast<CCabinet*>(n->pv);
    switch (type) {
        case cab::fdintCABINET_INFO:
            if (self->m_firstCabinetPending) {
                // Each cabinet of a run must come after the one before it in the same set; anything else
                // would be a chain that loops.
                if (self->m_chainStarted && (n->setID != self->m_chainSetID || n->iCabinet <= self->m_chainCabinet)) {
                    self->m_chainBroken = true;
                    return -1;
                }
                self->m_chainStarted = true;
                self->m_chainSetID = n->setID;
                self->m_chainCabinet = n->iCabinet;
                CopyText(self->m_nextCabinet, sizeof self->m_nextCabinet, n->psz1);
                CopyText(self->m_nextDisk, sizeof self->m_nextDisk, n->psz2);
                self->m_firstCabinetPending = false;
            }
            return 0;
        case cab::fdintPARTIAL_FILE: return 0;
        case cab::fdintCOPY_FILE: return self->CopyFileNotification(n);
        case cab::fdintCLOSE_FILE_INFO: return self->CloseFileNotification(n);
        case cab::fdintNEXT_CABINET: return self->NextCabinetNotification(n->psz1, n->psz2, n->psz3, n->fdie);
        default: return 0;
    }
}

cab::INT_PTR CCabinet::CopyFileNotification(cab::PFDINOTIFICATION n) {
    m_fileIndex++;
    char path[kPathBuffer + 4] = {};
    platform::FormatTo(path, sizeof path, "%s", n->psz1);
    if (m_copyFile) {
        m_extractingSize = static_cast<uint32_t>(n->cb);
        const int answer = m_copyFile(m_fileIndex, m_baseFolder, path);
        if (answer < 0) {
            m_copyRefused = true;
            return -1;
        }
        if (answer == 0) {
            return 0;
        }
        path[kPathBuffer - 1] = '\0';
    } else if (!CopyText(path, kPathBuffer, m_baseFolder + "\\" + n->psz1)) {
        m_targetFailed = true;
        return -1;
    }
    m_target = path;
    // The files of a folder follow each other: its folder is looked at (and made) once for the run of them.
    std::string parent = platform::FolderPart(m_target);
    if (!parent.empty() && parent != m_madeFolder) {
        platform::CreateFolderPath(parent);
        m_madeFolder = parent;
    }
    int error = 0;
    cab::INT_PTR file = cabfiles::OpenReplacing(m_target, &error);
    if (file == -1) {
        m_targetFailed = true;
    }
    return file;
}

cab::INT_PTR CCabinet::CloseFileNotification(cab::PFDINOTIFICATION n) {
    platform::FileTime time;
    const bool haveTime = platform::LocalDosDateTimeToFileTime(n->date, n->time, &time);
    int error = 0;
    if (!cabfiles::CommitAndClose(n->hf, haveTime ? &time : nullptr, &error)) {
        m_targetFailed = true;
        return 0;
    }
    const int attributes = n->attribs & platform::kKeptAttributes;
    if (m_closeFile) {
        int answer = m_closeFile(m_fileIndex, attributes, haveTime ? &time : nullptr);
        if (answer == 0 || answer == 1) {
            return answer;
        }
    }
    // A new file is made with the archive attribute alone; any other set is applied.
    if (static_cast<uint32_t>(attributes) != platform::kAttributeArchive) {
        platform::SetFileAttributeBits(m_target, static_cast<uint32_t>(attributes));
    }
    return 1;
}

int CCabinet::NextCabinetNotification(const char* cabinetName, const char* diskName, char* engineFolder, int error) {
    if (!m_nextCabinetHook) {
        return error == 0 ? 0 : -1;
    }
    char folder[kPathBuffer];
    platform::FormatTo(folder, sizeof folder, "%s", engineFolder);
    int answer = m_nextCabinetHook(cabinetName, diskName, folder, error);
    m_hookDeclined = answer != 0;
    if (answer == kFailWithEngineError) {
        m_hookError = error != 0 ? error : cab::FDIERROR_CABINET_NOT_FOUND;
    }
    folder[kPathBuffer - 1] = '\0';
    if (!CopyText(engineFolder, cab::CB_MAX_CAB_PATH, folder)) {
        return -1;
    }
    CopyText(m_folder, sizeof m_folder, folder);
    return answer;
}
