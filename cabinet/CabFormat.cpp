#include "cabinet/CabFormat.h"

#include <algorithm>
#include <cstring>

#include "cabinet/Fdi.h"

namespace cab::format {

namespace {

void Put16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint16_t Get16(const uint8_t* in) { return static_cast<uint16_t>(in[0] | (in[1] << 8)); }

uint32_t Get32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

class Writer {
public:
    explicit Writer(std::vector<uint8_t>* out) : out_(out) {}
    void U8(uint8_t v) { out_->push_back(v); }
    void U16(uint16_t v) {
        uint8_t b[2];
        Put16(b, v);
        out_->insert(out_->end(), b, b + 2);
    }
    void U32(uint32_t v) {
        uint8_t b[4];
        Put32(b, v);
        out_->insert(out_->end(), b, b + 4);
    }
    void Zeros(size_t n) { out_->insert(out_->end(), n, 0); }
    void String(const std::string& s) {
        out_->insert(out_->end(), s.begin(), s.end());
        out_->push_back(0);
    }

private:
    std::vector<uint8_t>* out_;
};

// Reads fields from a buffer that holds part of a cabinet; every read is checked against its end.
class Reader {
public:
    Reader(const std::vector<uint8_t>& buffer, size_t pos) : buffer_(buffer), pos_(pos) {}
    bool U8(uint8_t* v) {
        if (!Has(1)) return false;
        *v = buffer_[pos_++];
        return true;
    }
    bool U16(uint16_t* v) {
        if (!Has(2)) return false;
        *v = Get16(&buffer_[pos_]);
        pos_ += 2;
        return true;
    }
    bool U32(uint32_t* v) {
        if (!Has(4)) return false;
        *v = Get32(&buffer_[pos_]);
        pos_ += 4;
        return true;
    }
    bool Skip(size_t n) {
        if (!Has(n)) return false;
        pos_ += n;
        return true;
    }
    // A NUL-terminated string of at most kMaxNameLength bytes.
    bool String(std::string* s) {
        size_t limit = std::min(buffer_.size(), pos_ + kMaxNameLength + 1);
        const uint8_t* begin = buffer_.data() + pos_;
        const uint8_t* end = buffer_.data() + limit;
        const uint8_t* nul = std::find(begin, end, 0);
        if (nul == end) return false;
        s->assign(reinterpret_cast<const char*>(begin), static_cast<size_t>(nul - begin));
        pos_ += s->size() + 1;
        return true;
    }
    size_t Pos() const { return pos_; }

private:
    bool Has(size_t n) const { return pos_ <= buffer_.size() && n <= buffer_.size() - pos_; }

    const std::vector<uint8_t>& buffer_;
    size_t pos_;
};

bool ReadBlock(Source& source, uint64_t pos, size_t size, std::vector<uint8_t>* out) {
    out->resize(size);
    return size == 0 || source.ReadAt(pos, out->data(), size);
}

}  // namespace

uint32_t Checksum(const uint8_t* data, size_t size, uint32_t seed) {
    uint32_t sum = seed;
    size_t words = size / 4;
    for (size_t i = 0; i < words; ++i) {
        sum ^= Get32(data + 4 * i);
    }
    const uint8_t* rest = data + 4 * words;
    uint32_t tail = 0;
    switch (size % 4) {
        case 3: tail = (static_cast<uint32_t>(rest[0]) << 16) | (static_cast<uint32_t>(rest[1]) << 8) | rest[2]; break;
        case 2: tail = (static_cast<uint32_t>(rest[0]) << 8) | rest[1]; break;
        case 1: tail = rest[0]; break;
        default: break;
    }
    return sum ^ tail;
}

uint32_t DataChecksum(const uint8_t* payload, uint16_t cbData, uint16_t cbUncomp) {
    uint8_t sizes[4];
    Put16(sizes, cbData);
    Put16(sizes + 2, cbUncomp);
    return Checksum(sizes, sizeof sizes, Checksum(payload, cbData, 0));
}

size_t HeaderSize(const Header& h) {
    size_t size = kHeaderFixedSize;
    if (h.flags & kFlagReservePresent) {
        size += kReserveFieldsSize + h.cbReserveHeader;
    }
    if (h.flags & kFlagPrevCabinet) {
        size += h.prevCabinet.size() + 1 + h.prevDisk.size() + 1;
    }
    if (h.flags & kFlagNextCabinet) {
        size += h.nextCabinet.size() + 1 + h.nextDisk.size() + 1;
    }
    return size;
}

size_t FolderRecordSize(const Header& h) {
    return kFolderRecordSize + ((h.flags & kFlagReservePresent) ? h.cbReserveFolder : 0);
}

size_t DataRecordSize(const Header& h) {
    return kDataRecordSize + ((h.flags & kFlagReservePresent) ? h.cbReserveData : 0);
}

size_t FileRecordSize(const std::string& name) { return kFileRecordSize + name.size() + 1; }

std::vector<uint8_t> WriteTables(const Header& h, const std::vector<FolderRecord>& folders,
                                 const std::vector<FileRecord>& files) {
    std::vector<uint8_t> out;
    Writer w(&out);
    w.U32(kSignature);
    w.U32(0);
    w.U32(h.cbCabinet);
    w.U32(0);
    w.U32(h.coffFiles);
    w.U32(0);
    w.U8(h.versionMinor);
    w.U8(h.versionMajor);
    w.U16(h.cFolders);
    w.U16(h.cFiles);
    w.U16(h.flags);
    w.U16(h.setID);
    w.U16(h.iCabinet);
    if (h.flags & kFlagReservePresent) {
        w.U16(h.cbReserveHeader);
        w.U8(h.cbReserveFolder);
        w.U8(h.cbReserveData);
        w.Zeros(h.cbReserveHeader);
    }
    if (h.flags & kFlagPrevCabinet) {
        w.String(h.prevCabinet);
        w.String(h.prevDisk);
    }
    if (h.flags & kFlagNextCabinet) {
        w.String(h.nextCabinet);
        w.String(h.nextDisk);
    }
    size_t folderReserve = FolderRecordSize(h) - kFolderRecordSize;
    for (const FolderRecord& f : folders) {
        w.U32(f.coffCabStart);
        w.U16(f.cCFData);
        w.U16(f.typeCompress);
        w.Zeros(folderReserve);
    }
    for (const FileRecord& f : files) {
        w.U32(f.cbFile);
        w.U32(f.uoffFolderStart);
        w.U16(f.iFolder);
        w.U16(f.date);
        w.U16(f.time);
        w.U16(f.attribs);
        w.String(f.name);
    }
    return out;
}

void PutDataRecord(uint8_t* out, uint32_t checksum, uint16_t cbData, uint16_t cbUncomp) {
    Put32(out, checksum);
    Put16(out + 4, cbData);
    Put16(out + 6, cbUncomp);
}

bool IsSafeFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    if (name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos) {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20) {
            return false;
        }
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) {
            end = name.size();
        }
        std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool IsPlainFileName(const std::string& name) {
    return IsSafeFileName(name) && name.find_first_of("\\/") == std::string::npos;
}

uint16_t Cabinet::FolderOf(const FileRecord& file) const {
    switch (file.iFolder) {
        case kFolderContinuedFromPrev:
        case kFolderContinuedPrevAndNext: return 0;
        case kFolderContinuedToNext: return static_cast<uint16_t>(header.cFolders - 1);
        default: return file.iFolder;
    }
}

bool Cabinet::ContinuesFromPrevious(const FileRecord& file) const {
    return file.iFolder == kFolderContinuedFromPrev || file.iFolder == kFolderContinuedPrevAndNext;
}

bool Cabinet::ContinuesToNext(const FileRecord& file) const {
    return file.iFolder == kFolderContinuedToNext || file.iFolder == kFolderContinuedPrevAndNext;
}

int ParseHeader(Source& source, Header* h) {
    const uint64_t fileSize = source.Size();
    // The largest header: fixed part, reserve fields and area, and four names.
    const size_t most = kHeaderFixedSize + kReserveFieldsSize + kMaxHeaderReserve + 4 * (kMaxNameLength + 1);
    std::vector<uint8_t> buffer;
    if (fileSize < kHeaderFixedSize || !ReadBlock(source, 0, static_cast<size_t>(std::min<uint64_t>(fileSize, most)), &buffer)) {
        return FDIERROR_NOT_A_CABINET;
    }
    Reader r(buffer, 0);
    uint32_t signature = 0, reserved = 0;
    r.U32(&signature);
    if (signature != kSignature) {
        return FDIERROR_NOT_A_CABINET;
    }
    r.U32(&reserved);
    r.U32(&h->cbCabinet);
    r.U32(&reserved);
    r.U32(&h->coffFiles);
    r.U32(&reserved);
    r.U8(&h->versionMinor);
    r.U8(&h->versionMajor);
    r.U16(&h->cFolders);
    r.U16(&h->cFiles);
    r.U16(&h->flags);
    r.U16(&h->setID);
    r.U16(&h->iCabinet);
    if (h->versionMajor != kVersionMajor || h->versionMinor > kVersionMinor) {
        return FDIERROR_UNKNOWN_CABINET_VERSION;
    }
    if (h->flags & kFlagReservePresent) {
        if (!r.U16(&h->cbReserveHeader) || !r.U8(&h->cbReserveFolder) || !r.U8(&h->cbReserveData) ||
            h->cbReserveHeader > kMaxHeaderReserve || !r.Skip(h->cbReserveHeader)) {
            return FDIERROR_CORRUPT_CABINET;
        }
    }
    if (h->flags & kFlagPrevCabinet) {
        if (!r.String(&h->prevCabinet) || !r.String(&h->prevDisk) || !IsPlainFileName(h->prevCabinet)) {
            return FDIERROR_CORRUPT_CABINET;
        }
    }
    if (h->flags & kFlagNextCabinet) {
        if (!r.String(&h->nextCabinet) || !r.String(&h->nextDisk) || !IsPlainFileName(h->nextCabinet)) {
            return FDIERROR_CORRUPT_CABINET;
        }
    }
    if (h->cFolders == 0 || h->cFiles == 0 || h->cbCabinet < HeaderSize(*h) || h->cbCabinet > kMaxCabinetBytes) {
        return FDIERROR_CORRUPT_CABINET;
    }
    return FDIERROR_NONE;
}

int ParseCabinet(Source& source, Cabinet* cab) {
    Header& h = cab->header;
    int error = ParseHeader(source, &h);
    if (error != FDIERROR_NONE) {
        return error;
    }
    cab->fileSize = source.Size();
    if (cab->fileSize < h.cbCabinet) {
        return FDIERROR_CORRUPT_CABINET;
    }
    const size_t headerSize = HeaderSize(h);
    const size_t folderSize = FolderRecordSize(h);
    const uint64_t foldersEnd = headerSize + static_cast<uint64_t>(h.cFolders) * folderSize;
    const uint64_t minFilesEnd = h.coffFiles + static_cast<uint64_t>(h.cFiles) * (kFileRecordSize + 2);
    if (h.coffFiles < foldersEnd || minFilesEnd > h.cbCabinet) {
        return FDIERROR_CORRUPT_CABINET;
    }

    std::vector<uint8_t> buffer;
    if (!ReadBlock(source, headerSize, static_cast<size_t>(foldersEnd - headerSize), &buffer)) {
        return FDIERROR_CORRUPT_CABINET;
    }
    Reader folders(buffer, 0);
    cab->folders.resize(h.cFolders);
    for (FolderRecord& f : cab->folders) {
        folders.U32(&f.coffCabStart);
        folders.U16(&f.cCFData);
        folders.U16(&f.typeCompress);
        folders.Skip(folderSize - kFolderRecordSize);
        const uint64_t firstBlockEnd = f.coffCabStart + static_cast<uint64_t>(DataRecordSize(h));
        if (f.coffCabStart < foldersEnd || (f.cCFData > 0 && firstBlockEnd > h.cbCabinet)) {
            return FDIERROR_CORRUPT_CABINET;
        }
    }

    const uint64_t filesEnd =
        std::min<uint64_t>(h.cbCabinet, h.coffFiles + static_cast<uint64_t>(h.cFiles) * (kFileRecordSize + kMaxNameLength + 1));
    if (!ReadBlock(source, h.coffFiles, static_cast<size_t>(filesEnd - h.coffFiles), &buffer)) {
        return FDIERROR_CORRUPT_CABINET;
    }
    Reader files(buffer, 0);
    cab->files.resize(h.cFiles);
    const bool hasPrev = (h.flags & kFlagPrevCabinet) != 0;
    const bool hasNext = (h.flags & kFlagNextCabinet) != 0;
    for (FileRecord& f : cab->files) {
        if (!files.U32(&f.cbFile) || !files.U32(&f.uoffFolderStart) || !files.U16(&f.iFolder) ||
            !files.U16(&f.date) || !files.U16(&f.time) || !files.U16(&f.attribs) || !files.String(&f.name)) {
            return FDIERROR_CORRUPT_CABINET;
        }
        if (!IsSafeFileName(f.name) || f.uoffFolderStart > kMaxFolderBytes ||
            f.cbFile > kMaxFolderBytes - f.uoffFolderStart) {
            return FDIERROR_CORRUPT_CABINET;
        }
        bool fromPrev = cab->ContinuesFromPrevious(f);
        bool toNext = cab->ContinuesToNext(f);
        if ((fromPrev && !hasPrev) || (toNext && !hasNext) ||
            (f.iFolder < kFolderContinuedFromPrev && f.iFolder >= h.cFolders) ||
            (f.iFolder == kFolderContinuedPrevAndNext && h.cFolders != 1)) {
            return FDIERROR_CORRUPT_CABINET;
        }
    }
    // Files lie in their folders in order and do not overlap, so that one pass over each folder's data
    // extracts them all.
    int lastFolder = -1;
    uint64_t lastEnd = 0;
    for (const FileRecord& f : cab->files) {
        int folder = cab->FolderOf(f);
        if (folder < lastFolder || (folder == lastFolder && f.uoffFolderStart < lastEnd)) {
            return FDIERROR_CORRUPT_CABINET;
        }
        if (folder != lastFolder) {
            lastFolder = folder;
            lastEnd = 0;
        }
        lastEnd = static_cast<uint64_t>(f.uoffFolderStart) + f.cbFile;
    }
    return FDIERROR_NONE;
}

}  // namespace cab::format
