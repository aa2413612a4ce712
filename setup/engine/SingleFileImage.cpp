#include "setup/engine/SingleFileImage.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "setup/engine/Crc32.h"

namespace {

uint32_t ReadU32(platform::File& file, uint64_t offset) {
    uint8_t bytes[4];
    file.Seek(offset);
    file.Read(bytes, 4);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t ReadU16(platform::File& file, uint64_t offset) {
    uint8_t bytes[2];
    file.Seek(offset);
    file.Read(bytes, 2);
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

// Where a PE file keeps its checksum and its security directory entry; false when it is no PE file.
bool FindPeFields(platform::File& file, uint64_t length, uint64_t* checksumAt, uint64_t* securityAt) {
    constexpr uint64_t kSecurityEntry = 4;
    if (length < 0x40 || ReadU16(file, 0) != 0x5A4D) {
        return false;
    }
    const uint64_t pe = ReadU32(file, 0x3C);
    if (pe + 24 + 2 > length || ReadU32(file, pe) != 0x00004550) {
        return false;
    }
    const uint64_t optional = pe + 24;
    const uint16_t magic = ReadU16(file, optional);
    const uint64_t countAt = magic == 0x20B ? optional + 108 : magic == 0x10B ? optional + 92 : 0;
    if (countAt == 0 || countAt + 4 + (kSecurityEntry + 1) * 8 > length ||
        ReadU32(file, countAt) <= kSecurityEntry) {
        return false;
    }
    *checksumAt = optional + 64;
    *securityAt = countAt + 4 + kSecurityEntry * 8;
    return true;
}

// Where the certificate table of a signed PE file begins; length when the file names none that ends it.
uint64_t EndBeforeSignature(platform::File& file, uint64_t length) {
    uint64_t checksumAt = 0;
    uint64_t entry = 0;
    if (!FindPeFields(file, length, &checksumAt, &entry)) {
        return length;
    }
    const uint64_t offset = ReadU32(file, entry);
    const uint64_t size = ReadU32(file, entry + 4);
    if (offset == 0 || size == 0 || offset + size != length) {
        return length;
    }
    return offset;
}

enum class TrailerKind { kPlain, kChecked, kSignedProgram };

// The image's trailer: its tag, the program length N, and where the trailer begins.
struct Trailer {
    TrailerKind kind = TrailerKind::kPlain;
    uint64_t programLength = 0;
    uint64_t start = 0;  // the trailer's first byte; the checksum lies just before it unless plain
};

bool TagAt(platform::File& file, uint64_t offset, TrailerKind* kind) {
    char tag[4];
    file.Seek(offset);
    file.Read(tag, 4);
    if (std::memcmp(tag, kImageTag, 3) != 0 || static_cast<uint8_t>(tag[3]) > 2) {
        return false;
    }
    *kind = static_cast<TrailerKind>(tag[3]);
    return true;
}

// False when the file ends with no trailer (before a signature, the zero bytes that align it skipped).
bool ReadTrailer(platform::File& file, uint64_t length, Trailer* trailer) {
    const uint64_t end = EndBeforeSignature(file, length);
    const uint64_t padding = end == length ? 0 : 7;
    for (uint64_t skipped = 0; skipped <= padding && end >= skipped + 8; ++skipped) {
        const uint64_t at = end - skipped;
        if (skipped > 0) {
            uint8_t byte = 0;
            file.Seek(at);
            file.Read(&byte, 1);
            if (byte != 0) {
                return false;
            }
        }
        if (TagAt(file, at - 8, &trailer->kind)) {
            trailer->programLength = ReadU32(file, at - 4);
            trailer->start = at - 8;
            return true;
        }
    }
    return false;
}

uint32_t Checksum(platform::File& file, uint64_t offset, uint64_t size) {
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(size, 1 << 20)));
    uint32_t crc = 0;
    file.Seek(offset);
    for (uint64_t left = size; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        file.Read(chunk.data(), piece);
        crc = Crc32(crc, chunk.data(), piece);
        left -= piece;
    }
    return crc;
}

void CopyRange(platform::File& in, uint64_t offset, uint64_t size, platform::File& out) {
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(size, 1 << 20)));
    in.Seek(offset);
    for (uint64_t left = size; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        in.Read(chunk.data(), piece);
        out.Write(chunk.data(), piece);
        left -= piece;
    }
}

void WriteRange(platform::File& in, uint64_t offset, uint64_t size, const std::string& path) {
    platform::File out;
    if (!out.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"" + path + "\"!");
    }
    CopyRange(in, offset, size, out);
    out.Close();
}

// Where the database and the cabinet lie inside an image with a payload.
struct Payload {
    TrailerKind kind = TrailerKind::kPlain;
    uint64_t programLength = 0;
    uint64_t databaseLength = 0;
    uint64_t cabinetOffset = 0;
    uint64_t cabinetLength = 0;
    uint64_t restoreOffset = 0;  // a signed program's own checksum and security entry (12 bytes)
};

enum class Found { kNone, kProgramAlone, kPayload, kDamaged };

// A payload of media without data files ends with the database: its cabinet is empty. A payload whose
// lengths do not fit is damaged when its trailer promised a checksum, and no image otherwise (older media
// cannot tell a damaged payload from a file that merely ends like a trailer).
Found FindPayload(platform::File& file, uint64_t length, Payload* payload) {
    Trailer trailer;
    if (!ReadTrailer(file, length, &trailer)) {
        return Found::kNone;
    }
    const uint64_t n = trailer.programLength;
    const bool plain = trailer.kind == TrailerKind::kPlain;
    if (plain && trailer.start == n) {
        return Found::kProgramAlone;
    }
    const Found unsound = plain ? Found::kNone : Found::kDamaged;
    const uint64_t checksumBytes = plain ? 0 : 4;
    const uint64_t restoreBytes = trailer.kind == TrailerKind::kSignedProgram ? 12 : 0;
    if (n + 4 + restoreBytes + checksumBytes > trailer.start) {
        return unsound;
    }
    const uint64_t checked = trailer.start - checksumBytes;  // the end of what the checksum covers
    const uint64_t end = checked - restoreBytes;
    const uint64_t m = ReadU32(file, n);
    if (n + 4 + m > end) {
        return unsound;
    }
    if (!plain && Checksum(file, n, checked - n) != ReadU32(file, checked)) {
        return Found::kDamaged;
    }
    payload->kind = trailer.kind;
    payload->programLength = n;
    payload->databaseLength = m;
    payload->cabinetOffset = n + 4 + m;
    payload->cabinetLength = end - payload->cabinetOffset;
    payload->restoreOffset = end;
    return Found::kPayload;
}

void PutU32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Overwrites 4 bytes of a file being written (the program copy is at most a few megabytes: it is
// rewritten through its buffer).
void PatchU32(std::vector<uint8_t>& bytes, uint64_t at, uint32_t value) {
    if (at + 4 <= bytes.size()) {
        PutU32(&bytes[static_cast<size_t>(at)], value);
    }
}

// The program inside a payload, as the copy that maintains the product: a program signed on its own gets
// its checksum and security entry back, which signing the whole image replaced, and is whole as it is; an
// image signed as a whole leaves its program without a signature (its entry cleared) and with a trailer.
void WriteProgram(platform::File& image, const Payload& payload, const std::string& path) {
    std::vector<uint8_t> program(static_cast<size_t>(payload.programLength));
    image.Seek(0);
    image.Read(program.data(), program.size());
    uint64_t checksumAt = 0;
    uint64_t securityAt = 0;
    const bool isPe = FindPeFields(image, payload.programLength, &checksumAt, &securityAt);
    if (payload.kind == TrailerKind::kSignedProgram && isPe) {
        PatchU32(program, checksumAt, ReadU32(image, payload.restoreOffset));
        PatchU32(program, securityAt, ReadU32(image, payload.restoreOffset + 4));
        PatchU32(program, securityAt + 4, ReadU32(image, payload.restoreOffset + 8));
    } else {
        if (isPe) {
            PatchU32(program, securityAt, 0);
            PatchU32(program, securityAt + 4, 0);
        }
        program.insert(program.end(), std::begin(kImageTag), std::end(kImageTag));
        program.resize(program.size() + 4);
        PutU32(&program[program.size() - 4], static_cast<uint32_t>(payload.programLength));
    }
    platform::File out;
    if (!out.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"" + path + "\"!");
    }
    out.Write(program.data(), program.size());
    out.Close();
}

}  // namespace

bool ReadSignatureFields(const std::string& path, SignatureFields* fields) {
    try {
        platform::File file;
        if (!file.Open(path, platform::File::Mode::Read)) {
            return false;
        }
        const uint64_t length = file.Size();
        if (!FindPeFields(file, length, &fields->checksumAt, &fields->securityAt)) {
            return false;
        }
        fields->checksum = ReadU32(file, fields->checksumAt);
        fields->securityOffset = ReadU32(file, fields->securityAt);
        fields->securitySize = ReadU32(file, fields->securityAt + 4);
        file.Abandon();
        return true;
    } catch (const CTSException&) {
        return false;
    }
}


bool UnpackSingleFileImage(const std::string& copyPath, const std::string& moduleFolder,
                           const std::string& tempFolder, ImageContents* contents) {
    try {
        platform::File image;
        if (!image.Open(copyPath, platform::File::Mode::Read)) {
            return false;
        }
        Payload payload;
        const Found found = FindPayload(image, image.Size(), &payload);
        if (found == Found::kProgramAlone) {
            image.Abandon();
            contents->databasePath = moduleFolder + "\\tsdb.dat";
            contents->dataCabinetPath = moduleFolder + "\\TSData1.cab";
            platform::RemoveFile(copyPath);
            return true;
        }
        if (found != Found::kPayload) {
            contents->damaged = found == Found::kDamaged;
            return false;
        }
        const std::string program = tempFolder + "\\TSSetup.exe";
        WriteProgram(image, payload, program);
        const std::string database = tempFolder + "\\TSdb.dat";
        const std::string cabinet = tempFolder + "\\TSData.cab";
        WriteRange(image, payload.programLength + 4, payload.databaseLength, database);
        if (payload.cabinetLength > 0) {
            WriteRange(image, payload.cabinetOffset, payload.cabinetLength, cabinet);
        }
        image.Abandon();
        platform::RemoveFile(copyPath);
        contents->setupProgramPath = program;
        contents->databasePath = database;
        contents->dataCabinetPath = cabinet;
        return true;
    } catch (const CTSException&) {
        return false;
    }
}

bool ExtractImageCabinet(const std::string& imagePath, const std::string& tempFolder,
                         std::string* cabinetPath) {
    try {
        platform::File image;
        if (!image.Open(imagePath, platform::File::Mode::Read)) {
            return false;
        }
        Payload payload;
        if (FindPayload(image, image.Size(), &payload) != Found::kPayload || payload.cabinetLength == 0) {
            return false;
        }
        const std::string cabinet = tempFolder + "\\TSData.cab";
        WriteRange(image, payload.cabinetOffset, payload.cabinetLength, cabinet);
        *cabinetPath = cabinet;
        return true;
    } catch (const CTSException&) {
        return false;
    }
}
