#pragma once

// CCabinet: the cabinet layer of both programs, over the cabinet engine's FCI (compression, in the
// authoring program) and FDI (decompression, in the setup program). A compression object lays a set out
// as one cabinet per disk folder below a base folder; a decompression object extracts a cabinet and the
// cabinets that follow it. Every failure throws the program's exception with a message.
#include <cstdint>
#include <functional>
#include <string>

#include "cabinet/Fci.h"
#include "cabinet/Fdi.h"
#include "platform/Paths.h"

#ifdef TESSARO_SETUP_PROGRAM
#include "platform/TSSException.h"
using CCabinetException = CTSSException;
#else
#include "platform/TSException.h"
using CCabinetException = CTSException;
#endif

// A printf-style pattern with one integer argument ("Disk%02d", "TSData%d.cab") formatted with number.
// Only integer conversions take the number; any other conversion is kept as text, so a pattern from a
// file can never make the formatting read what is not there.
std::string FormatNumberPattern(const std::string& pattern, int number);

class CCabinet {
public:
    // Copy-file hook: (index of the file in the run, base folder, 260-byte buffer holding the name in the
    // cabinet, to be overwritten with the full destination path) -> 0 to skip the file, a negative value to
    // stop the extraction (Extract throws), else extract it. ExtractingSize() is the file's size meanwhile.
    using CopyFileHook = std::function<int(int index, const std::string& baseFolder, char* path)>;
    // Close-file hook, once the file is in place with its stored time: (index, attributes masked with
    // 0x27, UTC time or null) -> 0 fail, 1 done, other values: the wrapper sets the attributes itself.
    using CloseFileHook = std::function<int(int index, int attributes, const platform::FileTime* time)>;
    // Next-cabinet hook: (cabinet name, disk name, 260-byte buffer with the folder to look in, which the
    // hook may change, engine error number) -> 0 continue, kFailWithEngineError to fail for the engine's
    // error (the cabinet not found when there was none), other values: the person aborted.
    using NextCabinetHook =
        std::function<int(const char* cabinetName, const char* diskName, char* folder, int error)>;

    static constexpr int kPathBuffer = 260;
    static constexpr int kFailWithEngineError = -1;

    // Compression: the first disk folder exists as soon as the object does. Its code (CabinetCompression.cpp)
    // and the compressor come into a program only with this constructor, so the setup program, which only
    // extracts, carries none of it.
    CCabinet(const std::string& baseFolder, const std::string& diskPattern, const std::string& cabinetPattern,
             int32_t diskSize, int32_t firstDiskReserve);
    // Decompression of the cabinet at cabinetPath (and of the cabinets that follow it).
    explicit CCabinet(const std::string& cabinetPath);
    virtual ~CCabinet();
    CCabinet(const CCabinet&) = delete;
    CCabinet& operator=(const CCabinet&) = delete;

    void Open();
    void AddFile(const std::string& sourcePath, const char* nameInCabinet = nullptr);
    void Flush();
    void Close();
    void Extract(CopyFileHook copyFile, CloseFileHook closeFile, NextCabinetHook nextCabinet);
    const char* ErrorText(int code) const;

    bool IsDecompression() const { return m_decompress; }
    const std::string& BaseFolder() const { return m_baseFolder; }
    int32_t CurrentDisk() const { return m_currentDisk; }
    int32_t LastCabinet() const { return m_lastCabinet; }
    uint32_t SizeLimit() const { return m_ccab.cb; }
    // Files written later than this time (a FILETIME; 0: no limit) are entered with this time instead, so
    // that a build from the same sources gives the same cabinet whenever they were checked out.
    void SetLatestTime(uint64_t fileTime) { m_latestTime = fileTime; }
    const char* CabinetFolder() const { return m_ccab.szCabPath; }
    const char* CabinetName() const { return m_ccab.szCab; }
    const char* DiskName() const { return m_ccab.szDisk; }
    // The threads that decode a cabinet's data ahead of the files being written (0: none, every block is
    // decoded when it is needed); set before Open. The engine's default otherwise.
    void SetDecodeThreads(int threads) { m_decodeThreads = threads; }
    // The uncompressed size that the cabinet records for the file the copy-file hook is asked about.
    uint32_t ExtractingSize() const { return m_extractingSize; }

private:
    std::string ErrorMessage(const char* format) const;

    void OpenCompression();
    void CloseCompression();
    // The next-cabinet step: fills in a cabinet's folder, names and size limit and makes its folder.
    void NextCabinetStep(cab::CCAB* ccab);
    static int FilePlaced(cab::PCCAB ccab, char* file, cab::LONG size, cab::BOOL continuation, void* pv);
    static cab::BOOL GetNextCabinet(cab::PCCAB ccab, cab::ULONG previousSize, void* pv);
    static cab::LONG Status(cab::UINT type, cab::ULONG cb1, cab::ULONG cb2, void* pv);
    static cab::INT_PTR GetOpenInfo(char* name, cab::USHORT* date, cab::USHORT* time, cab::USHORT* attributes,
                                    int* error, void* pv);
    static cab::INT_PTR Notify(cab::FDINOTIFICATIONTYPE type, cab::PFDINOTIFICATION notification);
    cab::INT_PTR CopyFileNotification(cab::PFDINOTIFICATION n);
    cab::INT_PTR CloseFileNotification(cab::PFDINOTIFICATION n);
    int NextCabinetNotification(const char* cabinetName, const char* diskName, char* engineFolder, int error);

    cab::ERF m_erf{};
    bool m_decompress = false;
    // Set by the compression constructor: Open and Close reach the compression side only through them.
    void (CCabinet::*m_openCompression)() = nullptr;
    void (CCabinet::*m_closeCompression)() = nullptr;
    cab::HFCI m_hfci = nullptr;
    cab::CCAB m_ccab{};
    uint64_t m_latestTime = 0;
    int32_t m_diskSize = 0;
    int32_t m_firstDiskReserve = 0;
    std::string m_baseFolder;
    int32_t m_currentDisk = 0;
    int32_t m_lastCabinet = 1;
    std::string m_diskPattern;
    std::string m_cabinetPattern;
    cab::HFDI m_hfdi = nullptr;
    int m_decodeThreads = -1;  // -1: the engine's default
    std::string m_cabinetPath;

    char m_nextCabinet[kPathBuffer] = {};
    char m_nextDisk[kPathBuffer] = {};
    char m_folder[kPathBuffer] = {};
    bool m_firstCabinetPending = false;
    int32_t m_fileIndex = -1;
    CopyFileHook m_copyFile;
    CloseFileHook m_closeFile;
    NextCabinetHook m_nextCabinetHook;

    // Beyond the bookkeeping above: the file being written, why an extraction failed (the target, or the
    // next-cabinet hook declining, which is the user cancelling), and the cabinets already read in this
    // run, so that a chain of cabinets that loops is refused.
    std::string m_target;
    std::string m_madeFolder;  // the folder of the last file written, which exists
    bool m_targetFailed = false;
    bool m_hookDeclined = false;
    bool m_copyRefused = false;  // the copy-file hook stopped the extraction
    int m_hookError = 0;         // the failure the next-cabinet hook declined for (kFailWithEngineError)
    uint32_t m_extractingSize = 0;
    bool m_chainBroken = false;
    bool m_chainStarted = false;
    uint16_t m_chainSetID = 0;
    uint16_t m_chainCabinet = 0;
};
