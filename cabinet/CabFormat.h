#pragma once

// The MS-CAB file format: record layouts, the data-block checksum, and bounded parsing and writing of a
// cabinet's header and tables. Shared by the writer (Fci.cpp), the reader (Fdi.cpp) and tools.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cab::format {

constexpr uint32_t kSignature = 0x4643534D;  // "MSCF"
constexpr size_t kHeaderFixedSize = 36;
constexpr size_t kReserveFieldsSize = 4;
constexpr size_t kFolderRecordSize = 8;
constexpr size_t kFileRecordSize = 16;
constexpr size_t kDataRecordSize = 8;

constexpr uint16_t kFlagPrevCabinet = 0x0001;
constexpr uint16_t kFlagNextCabinet = 0x0002;
constexpr uint16_t kFlagReservePresent = 0x0004;

constexpr uint16_t kFolderContinuedFromPrev = 0xFFFD;
constexpr uint16_t kFolderContinuedToNext = 0xFFFE;
constexpr uint16_t kFolderContinuedPrevAndNext = 0xFFFF;

constexpr uint8_t kVersionMajor = 1;
constexpr uint8_t kVersionMinor = 3;

constexpr uint32_t kBlockSize = 32768;                  // uncompressed bytes of every block but a folder's last
constexpr uint32_t kMaxBlockData = 32768 + 6144;        // compressed bytes a reader accepts for one block
constexpr uint32_t kMaxFolderBytes = 0x7FFF8000;        // 65535 blocks of 32768 bytes
constexpr uint32_t kMaxFolderBlocks = 65535;
constexpr uint32_t kMaxCabinetBytes = 0x7FFFFFFF;
constexpr size_t kMaxNameLength = 255;                  // bytes before the terminating NUL
constexpr uint32_t kMaxHeaderReserve = 60000;
constexpr uint32_t kMaxFolderReserve = 255;
constexpr uint32_t kMaxDataReserve = 255;

// The CFDATA checksum: the words of the data XORed together, then the sizes, seeded by the data's sum.
uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed);
uint32_t DataChecksum(const uint8_t* payload, uint16_t cbData, uint16_t cbUncomp);

struct Header {
    uint32_t cbCabinet = 0;
    uint32_t coffFiles = 0;
    uint8_t versionMinor = kVersionMinor;
    uint8_t versionMajor = kVersionMajor;
    uint16_t cFolders = 0;
    uint16_t cFiles = 0;
    uint16_t flags = 0;
    uint16_t setID = 0;
    uint16_t iCabinet = 0;
    uint16_t cbReserveHeader = 0;
    uint8_t cbReserveFolder = 0;
    uint8_t cbReserveData = 0;
    std::string prevCabinet, prevDisk, nextCabinet, nextDisk;
};

struct FolderRecord {
    uint32_t coffCabStart = 0;
    uint16_t cCFData = 0;
    uint16_t typeCompress = 0;
};

struct FileRecord {
    uint32_t cbFile = 0;
    uint32_t uoffFolderStart = 0;
    uint16_t iFolder = 0;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attribs = 0;
    std::string name;
};

// Bytes of the header with its reserve area and set names, of one folder record and of one file record.
size_t HeaderSize(const Header& header);
size_t FolderRecordSize(const Header& header);
size_t DataRecordSize(const Header& header);
size_t FileRecordSize(const std::string& name);

// The header, folder and file tables as written at the start of a cabinet.
std::vector<uint8_t> WriteTables(const Header& header, const std::vector<FolderRecord>& folders,
                                 const std::vector<FileRecord>& files);
void PutDataRecord(uint8_t* out, uint32_t checksum, uint16_t cbData, uint16_t cbUncomp);

// A name is safe to extract when it stays below the destination folder: not empty, no drive, no root,
// no ".." part, no ':' (streams, devices), no control characters.
bool IsSafeFileName(const std::string& name);
// A cabinet name in a set's chain: a plain file name.
bool IsPlainFileName(const std::string& name);

// Where the bytes of a cabinet come from while it is parsed.
class Source {
public:
    virtual ~Source() = default;
    // Reads exactly size bytes at pos; false when they are not all there or reading fails.
    virtual bool ReadAt(uint64_t pos, void* data, size_t size) = 0;
    virtual uint64_t Size() const = 0;
};

struct Cabinet {
    Header header;
    std::vector<FolderRecord> folders;
    std::vector<FileRecord> files;
    uint64_t fileSize = 0;

    // The folder that a file's data lies in, resolving the continuation markers.
    uint16_t FolderOf(const FileRecord& file) const;
    bool ContinuesFromPrevious(const FileRecord& file) const;
    bool ContinuesToNext(const FileRecord& file) const;
};

// Outcome of parsing, as FDI error numbers (0 when the cabinet is sound).
int ParseHeader(Source& source, Header* header);
// Parses and checks the header and every folder and file record: counts, offsets, sizes, names and the
// order of the files within their folders; nothing beyond the cabinet's own bytes is trusted.
int ParseCabinet(Source& source, Cabinet* cabinet);

}  // namespace cab::format
