// FCI: the public functions and the feeding of files into folders and blocks.
#include <algorithm>
#include <cstring>
#include <new>

#include "cabinet/FciContext.h"
#include "cabinet/Mszip.h"

namespace cab {

namespace fci {

namespace {

constexpr size_t kReadChunk = format::kBlockSize;
// Formed blocks allowed to wait for placement before the feeding waits for the oldest.
constexpr size_t kPendingPerThread = 4;
// Room kept in every cabinet for the names of a next cabinet and disk, until it is known whether one follows.
constexpr uint64_t kNextNamesRoom = CB_MAX_CABINET_NAME + CB_MAX_DISK_NAME;

bool TypeSupported(TCOMP type) {
    TCOMP kind = type & tcompMASK_TYPE;
    return kind == tcompTYPE_NONE || kind == tcompTYPE_MSZIP;
}

}  // namespace

Context::Context(PERF erf, PFNFCIFILEPLACED filePlaced, PFNFCIOPEN open, PFNFCIREAD read, PFNFCIWRITE write,
                 PFNFCICLOSE close, PFNFCISEEK seek, PFNFCIDELETE remove, PFNFCIGETTEMPFILE tempFile,
                 const CCAB& ccab, void* pv)
    : erf_(erf),
      filePlaced_(filePlaced),
      open_(open),
      read_(read),
      write_(write),
      close_(close),
      seek_(seek),
      delete_(remove),
      tempFile_(tempFile),
      pv_(pv),
      threads_(BlockCompressor::DefaultThreads()) {
    StartCabinet(ccab, nullptr);
}

Context::~Context() {
    compressor_.reset();
    if (temp_ != -1) {
        int err = 0;
        close_(temp_, &err, pv_);
        delete_(tempName_, &err, pv_);
    }
}

bool Context::Fail(int oper, int type) {
    erf_->erfOper = oper;
    erf_->erfType = type;
    erf_->fError = 1;
    return false;
}

bool Context::Break(int oper, int type) {
    brokenOper_ = oper;
    return Fail(oper, type);
}

bool Context::Init() {
    const CCAB& c = cabinet_.ccab;
    if (c.cbReserveCFHeader > format::kMaxHeaderReserve || c.cbReserveCFFolder > format::kMaxFolderReserve ||
        c.cbReserveCFData > format::kMaxDataReserve) {
        return Fail(FCIERR_CAB_FORMAT_LIMIT);
    }
    if (!tempFile_(tempName_, sizeof tempName_, pv_)) {
        return Fail(FCIERR_TEMP_FILE);
    }
    tempName_[sizeof tempName_ - 1] = '\0';
    int err = 0;
    temp_ = open_(tempName_, CAB_O_RDWR | CAB_O_CREAT | CAB_O_TRUNC | CAB_O_BINARY, CAB_S_IREAD | CAB_S_IWRITE, &err,
                  pv_);
    if (temp_ == -1) {
        return Fail(FCIERR_TEMP_FILE, err);
    }
    return true;
}

void Context::SetThreads(int threads) {
    threads_ = std::clamp(threads, 1, 64);
    if (compressor_ && compressor_->Threads() != threads_ && events_.empty()) {
        compressor_.reset();
    }
}

bool Context::AddFile(const char* source, const char* name, bool execute, PFNFCIGETNEXTCABINET getNext,
                      PFNFCISTATUS status, PFNFCIGETOPENINFO openInfo, TCOMP type) {
    if (brokenOper_ != FCIERR_NONE) {
        return Fail(brokenOper_);
    }
    getNext_ = getNext;
    status_ = status;
    if (source == nullptr || name == nullptr || openInfo == nullptr) {
        return Fail(FCIERR_OPEN_SRC);
    }
    size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength > format::kMaxNameLength) {
        return Fail(FCIERR_CAB_FORMAT_LIMIT);
    }
    if (!TypeSupported(type)) {
        return Fail(FCIERR_BAD_COMPR_TYPE);
    }
    USHORT date = 0, time = 0, attribs = 0;
    int err = 0;
    INT_PTR file = openInfo(const_cast<char*>(source), &date, &time, &attribs, &err, pv_);
    if (file == -1) {
        return Fail(FCIERR_OPEN_SRC, err);
    }
    auto closeSource = [&] {
        int ignored = 0;
        close_(file, &ignored, pv_);
    };
    LONG end = seek_(file, 0, CAB_SEEK_END, &err, pv_);
    if (end < 0 || seek_(file, 0, CAB_SEEK_SET, &err, pv_) != 0) {
        closeSource();
        return Fail(FCIERR_READ_SRC, err);
    }
    const uint32_t size = static_cast<uint32_t>(end);
    if (size > format::kMaxFolderBytes) {
        closeSource();
        return Fail(FCIERR_CAB_FORMAT_LIMIT);
    }
    if (!compressor_) {
        compressor_ = std::make_unique<BlockCompressor>(threads_);
    }
    if (!PrepareFolder(size, type & tcompMASK_TYPE)) {
        closeSource();
        return false;
    }
    Folder& folder = *feeding_;
    SourceFile entry;
    entry.name.assign(name, nameLength);
    entry.size = size;
    entry.offset = folder.size;
    entry.date = date;
    entry.time = time;
    entry.attribs = static_cast<uint16_t>((attribs & ~kCabAttributeExecute) | (execute ? kCabAttributeExecute : 0));
    entry.startBlock = folder.blocksFormed;
    // The file is known before its data is cut into blocks: placing a block lists the files that begin in it.
    folder.files.push_back(std::move(entry));
    unlistedFileBytes_ += format::FileRecordSize(folder.files.back().name);

    uint32_t remaining = size;
    while (remaining > 0) {
        if (current_->size() == format::kBlockSize && !FormBlock()) {
            closeSource();
            return false;
        }
        size_t used = current_->size();
        size_t chunk = std::min<size_t>({format::kBlockSize - used, remaining, kReadChunk});
        current_->resize(used + chunk);
        UINT got = read_(file, current_->data() + used, static_cast<UINT>(chunk), &err, pv_);
        if (got != chunk) {
            closeSource();
            return Break(FCIERR_READ_SRC, err);
        }
        remaining -= static_cast<uint32_t>(chunk);
        folder.size += static_cast<uint32_t>(chunk);
    }
    if (close_(file, &err, pv_) != 0) {
        return Break(FCIERR_READ_SRC, err);
    }
    return PlacePending(kPendingPerThread * static_cast<size_t>(compressor_->Threads()), false);
}

// Chooses the folder for a file of the given size: the current one, or a new one when the current one
// is full, holds another compression type, has reached the folder threshold, or was cut by a cabinet
// boundary.
bool Context::PrepareFolder(uint32_t fileSize, TCOMP type) {
    if (feeding_ != nullptr) {
        Folder& f = *feeding_;
        bool close = f.type != type || fileSize > format::kMaxFolderBytes - f.size ||
                     (!f.files.empty() && f.size >= cabinet_.ccab.cbFolderThresh && cabinet_.ccab.cbFolderThresh > 0);
        if (!close) {
            // A file with data begins in a new block when the current one is full; whether a boundary
            // fell inside the folder is known once every block before the file is placed.
            if (fileSize > 0 && current_->size() == format::kBlockSize && !FormBlock()) {
                return false;
            }
            if (!BoundaryCertainlyAbsent() && !PlacePending(0, false)) {
                return false;
            }
            close = f.boundaryHit;
        }
        if (close && !CloseFolder()) {
            return false;
        }
    }
    if (feeding_ == nullptr) {
        folders_.push_back(std::make_unique<Folder>());
        feeding_ = folders_.back().get();
        feeding_->type = type;
        current_ = std::make_shared<std::vector<uint8_t>>();
        current_->reserve(format::kBlockSize);
        previous_.reset();
    }
    return true;
}

bool Context::CloseFolder() {
    if (feeding_ == nullptr) {
        return true;
    }
    if (!current_->empty() && !FormBlock()) {
        return false;
    }
    feeding_->closed = true;
    Event end;
    end.folder = feeding_;
    end.folderEnd = true;
    events_.push_back(end);
    feeding_ = nullptr;
    current_.reset();
    previous_.reset();
    return true;
}

bool Context::FormBlock() {
    Folder& f = *feeding_;
    if (f.blocksFormed >= format::kMaxFolderBlocks) {
        return Break(FCIERR_CAB_FORMAT_LIMIT);
    }
    Event e;
    e.folder = feeding_;
    e.block = f.blocksFormed++;
    e.uncompressed = static_cast<uint32_t>(current_->size());
    BlockData input = current_;
    e.job = compressor_->Submit(previous_, input, f.type == tcompTYPE_MSZIP);
    events_.push_back(std::move(e));
    previous_ = input;
    current_ = std::make_shared<std::vector<uint8_t>>();
    current_->reserve(format::kBlockSize);
    return PlacePending(kPendingPerThread * static_cast<size_t>(compressor_->Threads()), false);
}

// True when the blocks waiting for placement cannot reach the cabinet's limit even at their largest,
// so that no boundary can fall among them and nothing need be waited for.
bool Context::BoundaryCertainlyAbsent() const {
    const uint64_t dataRecord = format::kDataRecordSize + cabinet_.ccab.cbReserveCFData;
    const uint64_t folderRecord = format::kFolderRecordSize + cabinet_.ccab.cbReserveCFFolder;
    uint64_t worst = cabinet_.Size() + kNextNamesRoom + unlistedFileBytes_;
    for (const Event& e : events_) {
        worst += e.folderEnd ? folderRecord : dataRecord + MszipCompressor::kMaxOutput;
    }
    worst += folderRecord;
    return !needNewCabinet_ && worst <= cabinet_.limit;
}

bool Context::FlushFolder(PFNFCIGETNEXTCABINET getNext, PFNFCISTATUS status) {
    if (brokenOper_ != FCIERR_NONE) {
        return Fail(brokenOper_);
    }
    getNext_ = getNext;
    status_ = status;
    return CloseFolder() && PlacePending(0, false);
}

bool Context::FlushCabinet(bool getNextCabinet, PFNFCIGETNEXTCABINET getNext, PFNFCISTATUS status) {
    if (brokenOper_ != FCIERR_NONE) {
        return Fail(brokenOper_);
    }
    getNext_ = getNext;
    status_ = status;
    if (!CloseFolder() || !PlacePending(0, true)) {
        return false;
    }
    if (cabinet_.Empty() || needNewCabinet_) {
        return true;
    }
    if (!getNextCabinet) {
        if (!FinishCabinet(nullptr)) {
            return false;
        }
        needNewCabinet_ = true;
        return true;
    }
    CCAB next;
    if (!NextCabinet(&next) || !FinishCabinet(&next)) {
        return false;
    }
    Cabinet finished = std::move(cabinet_);
    StartCabinet(next, &finished);
    return true;
}

}  // namespace fci

namespace {

// What an HFCI points to: the context, and what is needed to report its failures and free it.
struct Handle {
    fci::Context* context;
    PERF erf;
    PFNFCIFREE free;
};

Handle* HandleOf(HFCI hfci) { return static_cast<Handle*>(hfci); }

template <typename Operation>
BOOL Guarded(HFCI hfci, Operation operation) {
    if (hfci == nullptr) {
        return 0;
    }
    Handle* handle = HandleOf(hfci);
    try {
        return operation(*handle->context) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        *handle->erf = ERF{FCIERR_ALLOC_FAIL, 0, 1};
        return 0;
    }
}

}  // namespace

HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv) {
    if (perf == nullptr) {
        return nullptr;
    }
    *perf = ERF{FCIERR_NONE, 0, 0};
    if (pfnfcifp == nullptr || pfna == nullptr || pfnf == nullptr || pfnopen == nullptr || pfnread == nullptr ||
        pfnwrite == nullptr || pfnclose == nullptr || pfnseek == nullptr || pfndelete == nullptr ||
        pfnfcigtf == nullptr || pccab == nullptr) {
        *perf = ERF{FCIERR_BAD_COMPR_TYPE, 0, 1};
        return nullptr;
    }
    void* memory = pfna(sizeof(Handle));
    if (memory == nullptr) {
        *perf = ERF{FCIERR_ALLOC_FAIL, 0, 1};
        return nullptr;
    }
    Handle* handle = new (memory) Handle{nullptr, perf, pfnf};
    try {
        handle->context = new fci::Context(perf, pfnfcifp, pfnopen, pfnread, pfnwrite, pfnclose, pfnseek, pfndelete,
                                           pfnfcigtf, *pccab, pv);
    } catch (const std::bad_alloc&) {
        pfnf(memory);
        *perf = ERF{FCIERR_ALLOC_FAIL, 0, 1};
        return nullptr;
    }
    if (!handle->context->Init()) {
        delete handle->context;
        pfnf(memory);
        return nullptr;
    }
    return handle;
}

BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute,
                PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi,
                TCOMP typeCompress) {
    return Guarded(hfci, [&](fci::Context& c) {
        return c.AddFile(pszSourceFile, pszFileName, fExecute != 0, pfnfcignc, pfnfcis, pfnfcigoi, typeCompress);
    });
}

BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis) {
    return Guarded(hfci, [&](fci::Context& c) { return c.FlushFolder(pfnfcignc, pfnfcis); });
}

BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis) {
    return Guarded(hfci, [&](fci::Context& c) { return c.FlushCabinet(fGetNextCab != 0, pfnfcignc, pfnfcis); });
}

BOOL FCISetCompressionThreads(HFCI hfci, int threads) {
    if (hfci == nullptr) {
        return 0;
    }
    HandleOf(hfci)->context->SetThreads(threads);
    return 1;
}

BOOL FCIDestroy(HFCI hfci) {
    if (hfci == nullptr) {
        return 0;
    }
    Handle* h = HandleOf(hfci);
    delete h->context;
    PFNFCIFREE release = h->free;
    h->~Handle();
    release(h);
    return 1;
}

}  // namespace cab
