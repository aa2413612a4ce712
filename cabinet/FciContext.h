#pragma once

// Inside FCI. Files are appended to the current folder and cut into 32 KiB blocks, which the block
// compressor compresses (possibly on other threads). The compressed blocks are then placed, in order,
// into the cabinet being assembled; when one does not fit, the cabinet is written and the next one of
// the set begun. A folder that a cabinet boundary has cut ends at the next file, so that every file not
// continued from an earlier cabinet can be extracted from its own cabinet alone.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "cabinet/BlockCompressor.h"
#include "cabinet/CabFormat.h"
#include "cabinet/Fci.h"

namespace cab::fci {

struct SourceFile {
    std::string name;
    uint32_t size = 0;
    uint32_t offset = 0;  // in the folder's uncompressed data
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attribs = 0;
    uint32_t startBlock = 0;  // the block that holds its first byte (for an empty file: the block being filled)
    uint32_t EndBlock() const { return size == 0 ? startBlock : (offset + size - 1) / format::kBlockSize; }
};

struct Folder {
    TCOMP type = tcompTYPE_MSZIP;
    std::vector<SourceFile> files;
    uint32_t size = 0;          // bytes fed so far
    uint32_t blocksFormed = 0;  // blocks handed to the compressor
    bool closed = false;
    bool boundaryHit = false;   // a cabinet boundary fell inside it: it ends before the next file
    bool placed = false;        // its end has been placed
    size_t nextFileToList = 0;  // files before this one are listed in a cabinet already
};

// One step of the placement sequence: a compressed block, or the end of a folder.
struct Event {
    Folder* folder = nullptr;
    bool folderEnd = false;
    uint32_t block = 0;
    uint32_t uncompressed = 0;
    std::shared_ptr<BlockJob> job;
};

// A folder's part of the cabinet being assembled; its CFDATA records lie in the temporary data file.
struct CabFolder {
    Folder* folder = nullptr;
    uint64_t dataStart = 0;
    uint32_t records = 0;
    bool startsWithPiece = false;  // its first record is the rest of a block split at the previous cabinet
    uint64_t lastRecordPos = 0;    // the last record, which may still be split afterwards
    uint16_t lastRecordData = 0;
    uint16_t lastRecordUncompressed = 0;
};

struct CabFile {
    Folder* folder = nullptr;
    size_t index = 0;
    size_t cabFolder = 0;
    bool fromPrev = false;
    bool toNext = false;
    const SourceFile& File() const { return folder->files[index]; }
};

struct Cabinet {
    CCAB ccab{};
    uint32_t limit = 0;
    bool hasPrev = false;
    std::string prevCabinet, prevDisk;
    std::vector<CabFolder> folders;
    std::vector<CabFile> files;
    uint64_t dataSize = 0;
    uint64_t tablesSize = 0;  // header without the next cabinet's names, folder and file records
    uint64_t Size() const { return tablesSize + dataSize; }
    bool Empty() const { return files.empty() && folders.empty(); }
};

class Context {
public:
    Context(PERF erf, PFNFCIFILEPLACED filePlaced, PFNFCIOPEN open, PFNFCIREAD read, PFNFCIWRITE write,
            PFNFCICLOSE close, PFNFCISEEK seek, PFNFCIDELETE remove, PFNFCIGETTEMPFILE tempFile, const CCAB& ccab,
            void* pv);
    ~Context();

    bool Init();
    bool AddFile(const char* source, const char* name, bool execute, PFNFCIGETNEXTCABINET getNext,
                 PFNFCISTATUS status, PFNFCIGETOPENINFO openInfo, TCOMP type);
    bool FlushFolder(PFNFCIGETNEXTCABINET getNext, PFNFCISTATUS status);
    bool FlushCabinet(bool getNextCabinet, PFNFCIGETNEXTCABINET getNext, PFNFCISTATUS status);
    void SetThreads(int threads);

private:
    bool Fail(int oper, int type = 0);
    bool Break(int oper, int type = 0);

    // Feeding (Fci.cpp).
    bool PrepareFolder(uint32_t fileSize, TCOMP type);
    bool CloseFolder();
    bool FormBlock();
    bool BoundaryCertainlyAbsent() const;

    // Placement and cabinet writing (FciCabinet.cpp).
    bool PlacePending(size_t keep, bool flushing);
    bool PlaceEvent(const Event& event, bool final);
    bool PlaceBlock(Folder& folder, uint32_t block, uint32_t uncompressed, const std::vector<uint8_t>& data,
                    bool final);
    bool PlaceEmptyFolder(Folder& folder, bool final);
    bool SplitAt(Folder& folder, uint32_t block, uint32_t uncompressed, const std::vector<uint8_t>& data,
                 size_t newFiles, bool final);
    bool EnsureCabinet();
    bool NextCabinet(CCAB* next);
    bool FinishCabinet(const CCAB* next);
    void StartCabinet(const CCAB& ccab, const Cabinet* previous, Folder* continued = nullptr);
    size_t NewFilesAt(const Folder& folder, uint32_t block, uint64_t* bytes) const;
    void AddFolder(Folder& folder, bool startsWithPiece);
    bool ListFiles(Folder& folder, size_t count);
    bool AppendRecord(CabFolder& cabFolder, const uint8_t* data, uint16_t cbData, uint16_t cbUncomp);
    bool WriteTemp(uint64_t pos, const void* data, size_t size);
    bool ReadTemp(uint64_t pos, void* data, size_t size);
    bool WriteCabinetFile(const std::vector<uint8_t>& tables);
    bool Status(UINT type, ULONG cb1, ULONG cb2);
    void PruneFolders();

    PERF erf_;
    PFNFCIFILEPLACED filePlaced_;
    PFNFCIOPEN open_;
    PFNFCIREAD read_;
    PFNFCIWRITE write_;
    PFNFCICLOSE close_;
    PFNFCISEEK seek_;
    PFNFCIDELETE delete_;
    PFNFCIGETTEMPFILE tempFile_;
    PFNFCIGETNEXTCABINET getNext_ = nullptr;
    PFNFCISTATUS status_ = nullptr;
    void* pv_;

    int brokenOper_ = FCIERR_NONE;  // after a failure that left the state inconsistent, every call fails
    char tempName_[CB_MAX_FILENAME] = {};
    INT_PTR temp_ = -1;

    std::unique_ptr<BlockCompressor> compressor_;
    int threads_;
    std::deque<std::unique_ptr<Folder>> folders_;  // folders not yet wholly placed, the one being fed last
    Folder* feeding_ = nullptr;
    std::shared_ptr<std::vector<uint8_t>> current_;  // the block being filled
    BlockData previous_;                             // the folder's previous block, history for this one
    std::deque<Event> events_;
    uint64_t unlistedFileBytes_ = 0;  // records of files not yet listed in any cabinet

    Cabinet cabinet_;
    bool needNewCabinet_ = false;  // the last cabinet was finished as the end of its set
    std::string lastCabinetPath_;
};

}  // namespace cab::fci
