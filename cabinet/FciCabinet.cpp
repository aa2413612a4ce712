// FCI: placing compressed blocks into cabinets, splitting them at cabinet boundaries, and writing the
// finished cabinets.
#include <algorithm>
#include <cstring>

#include "cabinet/FciContext.h"

namespace cab::fci {

namespace {

constexpr uint64_t kNextNamesRoom = CB_MAX_CABINET_NAME + CB_MAX_DISK_NAME;
constexpr size_t kCopyChunk = 1 << 20;

std::string Terminated(const char* text, size_t size) { return std::string(text, strnlen(text, size - 1)); }

std::string CabinetPath(const CCAB& ccab) {
    return Terminated(ccab.szCabPath, sizeof ccab.szCabPath) + Terminated(ccab.szCab, sizeof ccab.szCab);
}

uint64_t FolderRecordBytes(const CCAB& ccab) { return format::kFolderRecordSize + ccab.cbReserveCFFolder; }
uint64_t DataRecordBytes(const CCAB& ccab) { return format::kDataRecordSize + ccab.cbReserveCFData; }

format::Header HeaderFor(const Cabinet& c, const CCAB* next) {
    format::Header h;
    const CCAB& ccab = c.ccab;
    if (ccab.cbReserveCFHeader != 0 || ccab.cbReserveCFFolder != 0 || ccab.cbReserveCFData != 0) {
        h.flags |= format::kFlagReservePresent;
        h.cbReserveHeader = static_cast<uint16_t>(ccab.cbReserveCFHeader);
        h.cbReserveFolder = static_cast<uint8_t>(ccab.cbReserveCFFolder);
        h.cbReserveData = static_cast<uint8_t>(ccab.cbReserveCFData);
    }
    if (c.hasPrev) {
        h.flags |= format::kFlagPrevCabinet;
        h.prevCabinet = c.prevCabinet;
        h.prevDisk = c.prevDisk;
    }
    if (next != nullptr) {
        h.flags |= format::kFlagNextCabinet;
        h.nextCabinet = Terminated(next->szCab, sizeof next->szCab);
        h.nextDisk = Terminated(next->szDisk, sizeof next->szDisk);
    }
    h.setID = ccab.setID;
    h.iCabinet = static_cast<uint16_t>(ccab.iCab > 0 ? ccab.iCab - 1 : 0);
    return h;
}

}  // namespace

bool Context::Status(UINT type, ULONG cb1, ULONG cb2) {
    if (status_ != nullptr && status_(type, cb1, cb2, pv_) == -1 && type != statusCabinet) {
        return Break(FCIERR_USER_ABORT);
    }
    return true;
}

bool Context::PlacePending(size_t keep, bool flushing) {
    while (!events_.empty()) {
        Event& e = events_.front();
        if (events_.size() <= keep) {
            break;
        }
        bool final = false;
        if (flushing) {
            final = std::none_of(events_.begin() + 1, events_.end(), [](const Event& x) { return !x.folderEnd; });
        }
        if (e.job) {
            compressor_->Wait(*e.job);
        }
        Event event = std::move(e);
        events_.pop_front();
        if (!PlaceEvent(event, final)) {
            return false;
        }
    }
    return true;
}

bool Context::PlaceEvent(const Event& e, bool final) {
    Folder& folder = *e.folder;
    if (e.folderEnd) {
        if (folder.blocksFormed == 0 && !PlaceEmptyFolder(folder, final)) {
            return false;
        }
        folder.placed = true;
        PruneFolders();
        return Status(statusFolder, folder.size, folder.size);
    }
    if (!e.job->ok) {
        return Break(FCIERR_MCI_FAIL);
    }
    if (!Status(statusFile, static_cast<ULONG>(e.job->output.size()), e.uncompressed)) {
        return false;
    }
    return PlaceBlock(folder, e.block, e.uncompressed, e.job->output, final);
}

size_t Context::NewFilesAt(const Folder& folder, uint32_t block, uint64_t* bytes) const {
    size_t count = 0;
    *bytes = 0;
    for (size_t i = folder.nextFileToList; i < folder.files.size() && folder.files[i].startBlock <= block; ++i) {
        *bytes += format::FileRecordSize(folder.files[i].name);
        ++count;
    }
    return count;
}

bool Context::EnsureCabinet() {
    if (!needNewCabinet_) {
        return true;
    }
    CCAB next;
    if (!NextCabinet(&next)) {
        return false;
    }
    needNewCabinet_ = false;
    StartCabinet(next, nullptr);
    return true;
}

bool Context::PlaceBlock(Folder& folder, uint32_t block, uint32_t uncompressed, const std::vector<uint8_t>& data,
                         bool final) {
    if (!EnsureCabinet()) {
        return false;
    }
    Cabinet& c = cabinet_;
    const bool folderHere = !c.folders.empty() && c.folders.back().folder == &folder;
    uint64_t fileBytes = 0;
    size_t newFiles = NewFilesAt(folder, block, &fileBytes);
    uint64_t cost = (folderHere ? 0 : FolderRecordBytes(c.ccab)) + fileBytes + DataRecordBytes(c.ccab) + data.size();
    if (c.Size() + cost + (final ? 0 : kNextNamesRoom) <= c.limit) {
        if (!folderHere) {
            AddFolder(folder, false);
        }
        return ListFiles(folder, newFiles) &&
               AppendRecord(c.folders.back(), data.data(), static_cast<uint16_t>(data.size()),
                            static_cast<uint16_t>(uncompressed));
    }
    if (!folderHere && !c.files.empty()) {
        // The folder begins here: the boundary falls cleanly between two folders.
        CCAB next;
        if (!NextCabinet(&next) || !FinishCabinet(&next)) {
            return false;
        }
        Cabinet finished = std::move(cabinet_);
        StartCabinet(next, &finished);
        return PlaceBlock(folder, block, uncompressed, data, final);
    }
    return SplitAt(folder, block, uncompressed, data, newFiles, final);
}

// The block does not fit: the cabinet takes as much of it as it can hold and the rest begins the next
// cabinet. When not even one byte fits, the previous block is split instead and this one moves whole.
bool Context::SplitAt(Folder& folder, uint32_t block, uint32_t uncompressed, const std::vector<uint8_t>& data,
                      size_t newFiles, bool final) {
    CCAB next;
    if (!NextCabinet(&next)) {
        return false;
    }
    Cabinet& c = cabinet_;
    const uint64_t dataRecord = DataRecordBytes(c.ccab);
    const uint64_t names = strnlen(next.szCab, sizeof next.szCab - 1) + strnlen(next.szDisk, sizeof next.szDisk - 1) + 2;
    const bool folderHere = !c.folders.empty() && c.folders.back().folder == &folder;
    uint64_t fileBytes = 0;
    NewFilesAt(folder, block, &fileBytes);
    const uint64_t fixed = c.Size() + names + (folderHere ? 0 : FolderRecordBytes(c.ccab)) + fileBytes + dataRecord;

    std::vector<uint8_t> rest;
    uint16_t restUncompressed = 0;
    uint32_t boundaryBlock = block;
    bool movedWhole = false;
    if (data.size() >= 2 && fixed < c.limit) {
        size_t piece = static_cast<size_t>(std::min<uint64_t>(c.limit - fixed, data.size() - 1));
        if (!folderHere) {
            AddFolder(folder, false);
        }
        if (!ListFiles(folder, newFiles) ||
            !AppendRecord(c.folders.back(), data.data(), static_cast<uint16_t>(piece), 0)) {
            return false;
        }
        rest.assign(data.begin() + static_cast<std::ptrdiff_t>(piece), data.end());
        restUncompressed = static_cast<uint16_t>(uncompressed);
    } else {
        if (!folderHere) {
            return Break(FCIERR_CAB_FORMAT_LIMIT);
        }
        CabFolder& cf = c.folders.back();
        const bool lastIsWhole = cf.records > (cf.startsWithPiece ? 1u : 0u) && cf.lastRecordUncompressed != 0;
        const uint64_t needed = c.Size() + names + fileBytes;
        const uint64_t cut = std::max<uint64_t>(needed > c.limit ? needed - c.limit : 0, 1);
        if (!lastIsWhole || cut >= cf.lastRecordData) {
            return Break(FCIERR_CAB_FORMAT_LIMIT);
        }
        std::vector<uint8_t> payload(cf.lastRecordData);
        if (!ReadTemp(cf.lastRecordPos + dataRecord, payload.data(), payload.size())) {
            return false;
        }
        const uint16_t keep = static_cast<uint16_t>(cf.lastRecordData - cut);
        rest.assign(payload.begin() + keep, payload.end());
        restUncompressed = cf.lastRecordUncompressed;
        uint8_t header[format::kDataRecordSize];
        format::PutDataRecord(header, format::DataChecksum(payload.data(), keep, 0), keep, 0);
        if (!WriteTemp(cf.lastRecordPos, header, sizeof header)) {
            return false;
        }
        c.dataSize -= cut;
        cf.lastRecordData = keep;
        cf.lastRecordUncompressed = 0;
        if (!ListFiles(folder, newFiles)) {
            return false;
        }
        boundaryBlock = block - 1;
        movedWhole = true;
    }
    for (CabFile& file : c.files) {
        if (file.folder == &folder && file.File().EndBlock() >= boundaryBlock) {
            file.toNext = true;
        }
    }
    folder.boundaryHit = true;
    if (!FinishCabinet(&next)) {
        return false;
    }
    Cabinet finished = std::move(cabinet_);
    StartCabinet(next, &finished, &folder);
    Cabinet& n = cabinet_;
    if (n.Size() + dataRecord + rest.size() + kNextNamesRoom > n.limit) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    if (!AppendRecord(n.folders.back(), rest.data(), static_cast<uint16_t>(rest.size()), restUncompressed)) {
        return false;
    }
    return !movedWhole || PlaceBlock(folder, block, uncompressed, data, final);
}

bool Context::PlaceEmptyFolder(Folder& folder, bool final) {
    if (!EnsureCabinet()) {
        return false;
    }
    uint64_t fileBytes = 0;
    size_t count = NewFilesAt(folder, UINT32_MAX, &fileBytes);
    uint64_t cost = FolderRecordBytes(cabinet_.ccab) + fileBytes + (final ? 0 : kNextNamesRoom);
    if (cabinet_.Size() + cost > cabinet_.limit) {
        if (cabinet_.Empty()) {
            return Break(FCIERR_CAB_FORMAT_LIMIT);
        }
        CCAB next;
        if (!NextCabinet(&next) || !FinishCabinet(&next)) {
            return false;
        }
        Cabinet finished = std::move(cabinet_);
        StartCabinet(next, &finished);
        if (cabinet_.Size() + cost > cabinet_.limit) {
            return Break(FCIERR_CAB_FORMAT_LIMIT);
        }
    }
    AddFolder(folder, false);
    return ListFiles(folder, count);
}

void Context::AddFolder(Folder& folder, bool startsWithPiece) {
    CabFolder cf;
    cf.folder = &folder;
    cf.dataStart = cabinet_.dataSize;
    cf.startsWithPiece = startsWithPiece;
    cabinet_.folders.push_back(cf);
    cabinet_.tablesSize += FolderRecordBytes(cabinet_.ccab);
}

bool Context::ListFiles(Folder& folder, size_t count) {
    Cabinet& c = cabinet_;
    if (c.files.size() + count > UINT16_MAX || c.folders.size() > format::kFolderContinuedFromPrev) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    for (size_t i = 0; i < count; ++i) {
        CabFile file;
        file.folder = &folder;
        file.index = folder.nextFileToList++;
        file.cabFolder = c.folders.size() - 1;
        uint64_t bytes = format::FileRecordSize(file.File().name);
        c.tablesSize += bytes;
        unlistedFileBytes_ -= bytes;
        c.files.push_back(file);
    }
    return true;
}

bool Context::AppendRecord(CabFolder& cf, const uint8_t* data, uint16_t cbData, uint16_t cbUncomp) {
    const size_t recordSize = static_cast<size_t>(DataRecordBytes(cabinet_.ccab));
    std::vector<uint8_t> record(recordSize + cbData, 0);
    format::PutDataRecord(record.data(), format::DataChecksum(data, cbData, cbUncomp), cbData, cbUncomp);
    if (cbData > 0) {
        std::memcpy(record.data() + recordSize, data, cbData);
    }
    if (cf.records >= UINT16_MAX) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    if (!WriteTemp(cabinet_.dataSize, record.data(), record.size())) {
        return false;
    }
    cf.lastRecordPos = cabinet_.dataSize;
    cf.lastRecordData = cbData;
    cf.lastRecordUncompressed = cbUncomp;
    cf.records++;
    cabinet_.dataSize += record.size();
    return true;
}

bool Context::WriteTemp(uint64_t pos, const void* data, size_t size) {
    int err = 0;
    if (seek_(temp_, static_cast<LONG>(pos), CAB_SEEK_SET, &err, pv_) != static_cast<LONG>(pos) ||
        write_(temp_, const_cast<void*>(data), static_cast<UINT>(size), &err, pv_) != size) {
        return Break(FCIERR_TEMP_FILE, err);
    }
    return true;
}

bool Context::ReadTemp(uint64_t pos, void* data, size_t size) {
    int err = 0;
    if (seek_(temp_, static_cast<LONG>(pos), CAB_SEEK_SET, &err, pv_) != static_cast<LONG>(pos) ||
        read_(temp_, data, static_cast<UINT>(size), &err, pv_) != size) {
        return Break(FCIERR_TEMP_FILE, err);
    }
    return true;
}

bool Context::NextCabinet(CCAB* next) {
    *next = cabinet_.ccab;
    next->iCab++;
    if (getNext_ == nullptr || !getNext_(next, static_cast<ULONG>(cabinet_.Size()), pv_)) {
        return Break(FCIERR_USER_ABORT);
    }
    next->szCab[sizeof next->szCab - 1] = '\0';
    next->szDisk[sizeof next->szDisk - 1] = '\0';
    next->szCabPath[sizeof next->szCabPath - 1] = '\0';
    // A set whose next cabinet has the same file would overwrite its own first part.
    if (next->szCab[0] == '\0' || CabinetPath(*next) == CabinetPath(cabinet_.ccab) ||
        CabinetPath(*next) == lastCabinetPath_ || next->iCab > UINT16_MAX) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    return true;
}

void Context::StartCabinet(const CCAB& ccab, const Cabinet* previous, Folder* continued) {
    cabinet_ = Cabinet();
    Cabinet& c = cabinet_;
    c.ccab = ccab;
    c.ccab.szCab[sizeof c.ccab.szCab - 1] = '\0';
    c.ccab.szDisk[sizeof c.ccab.szDisk - 1] = '\0';
    c.ccab.szCabPath[sizeof c.ccab.szCabPath - 1] = '\0';
    c.limit = ccab.cb == 0 ? format::kMaxCabinetBytes : std::min<uint32_t>(ccab.cb, format::kMaxCabinetBytes);
    if (previous != nullptr) {
        c.hasPrev = true;
        c.prevCabinet = Terminated(previous->ccab.szCab, sizeof previous->ccab.szCab);
        c.prevDisk = Terminated(previous->ccab.szDisk, sizeof previous->ccab.szDisk);
    }
    c.tablesSize = format::HeaderSize(HeaderFor(c, nullptr));
    if (continued != nullptr) {
        AddFolder(*continued, true);
        for (const CabFile& file : previous->files) {
            if (file.toNext) {
                CabFile again = file;
                again.cabFolder = 0;
                again.fromPrev = true;
                again.toNext = false;
                c.files.push_back(again);
                c.tablesSize += format::FileRecordSize(file.File().name);
            }
        }
    }
    PruneFolders();
}

bool Context::FinishCabinet(const CCAB* next) {
    Cabinet& c = cabinet_;
    format::Header h = HeaderFor(c, next);
    h.cFolders = static_cast<uint16_t>(c.folders.size());
    h.cFiles = static_cast<uint16_t>(c.files.size());
    const uint64_t folderBytes = FolderRecordBytes(c.ccab);
    h.coffFiles = static_cast<uint32_t>(format::HeaderSize(h) + c.folders.size() * folderBytes);
    uint64_t tables = h.coffFiles;
    for (const CabFile& file : c.files) {
        tables += format::FileRecordSize(file.File().name);
    }
    if (tables + c.dataSize > format::kMaxCabinetBytes) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    h.cbCabinet = static_cast<uint32_t>(tables + c.dataSize);

    std::vector<format::FolderRecord> folders;
    for (const CabFolder& cf : c.folders) {
        format::FolderRecord r;
        r.coffCabStart = static_cast<uint32_t>(tables + cf.dataStart);
        r.cCFData = static_cast<uint16_t>(cf.records);
        r.typeCompress = cf.folder->type;
        folders.push_back(r);
    }
    std::vector<format::FileRecord> files;
    for (const CabFile& file : c.files) {
        const SourceFile& source = file.File();
        format::FileRecord r;
        r.cbFile = source.size;
        r.uoffFolderStart = source.offset;
        r.iFolder = file.fromPrev ? (file.toNext ? format::kFolderContinuedPrevAndNext : format::kFolderContinuedFromPrev)
                                  : (file.toNext ? format::kFolderContinuedToNext : static_cast<uint16_t>(file.cabFolder));
        r.date = source.date;
        r.time = source.time;
        r.attribs = source.attribs;
        r.name = source.name;
        files.push_back(std::move(r));
    }
    if (!WriteCabinetFile(format::WriteTables(h, folders, files))) {
        return false;
    }
    lastCabinetPath_ = CabinetPath(c.ccab);
    for (const CabFile& file : c.files) {
        std::string name = file.File().name;
        if (filePlaced_(&c.ccab, name.data(), static_cast<LONG>(file.File().size), file.fromPrev ? 1 : 0, pv_) == -1) {
            return Break(FCIERR_USER_ABORT);
        }
    }
    return Status(statusCabinet, h.cbCabinet, h.cbCabinet);
}

bool Context::WriteCabinetFile(const std::vector<uint8_t>& tables) {
    std::string path = CabinetPath(cabinet_.ccab);
    int err = 0;
    INT_PTR file = open_(path.data(), CAB_O_RDWR | CAB_O_CREAT | CAB_O_TRUNC | CAB_O_BINARY,
                         CAB_S_IREAD | CAB_S_IWRITE, &err, pv_);
    if (file == -1) {
        return Break(FCIERR_CAB_FILE, err);
    }
    bool ok = write_(file, const_cast<uint8_t*>(tables.data()), static_cast<UINT>(tables.size()), &err, pv_) ==
              tables.size();
    std::vector<uint8_t> buffer;
    uint64_t copied = 0;
    if (ok && cabinet_.dataSize > 0) {
        ok = seek_(temp_, 0, CAB_SEEK_SET, &err, pv_) == 0;
        buffer.resize(static_cast<size_t>(std::min<uint64_t>(kCopyChunk, cabinet_.dataSize)));
    }
    while (ok && copied < cabinet_.dataSize) {
        UINT chunk = static_cast<UINT>(std::min<uint64_t>(buffer.size(), cabinet_.dataSize - copied));
        ok = read_(temp_, buffer.data(), chunk, &err, pv_) == chunk &&
             write_(file, buffer.data(), chunk, &err, pv_) == chunk;
        copied += chunk;
    }
    int closeErr = 0;
    ok = close_(file, &closeErr, pv_) == 0 && ok;
    if (!ok) {
        int ignored = 0;
        delete_(path.data(), &ignored, pv_);
        return Break(FCIERR_CAB_FILE, err != 0 ? err : closeErr);
    }
    return true;
}

void Context::PruneFolders() {
    while (!folders_.empty() && folders_.front()->placed) {
        Folder* front = folders_.front().get();
        bool referenced = std::any_of(cabinet_.folders.begin(), cabinet_.folders.end(),
                                      [front](const CabFolder& cf) { return cf.folder == front; });
        if (referenced) {
            break;
        }
        folders_.pop_front();
    }
}

}  // namespace cab::fci
