// FDI: reading cabinets and cabinet sets through the caller's file callbacks.
#include "cabinet/Fdi.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cabinet/BlockInflater.h"
#include "cabinet/CabFormat.h"
#include "cabinet/Mszip.h"
#include "cabinet/ReadAheadPlan.h"

namespace cab {

namespace {

struct Callbacks {
    PFNOPEN open;
    PFNREAD read;
    PFNWRITE write;
    PFNCLOSE close;
    PFNSEEK seek;
};

// A cabinet file read through the callbacks, with a read-ahead buffer for the many small reads.
class Input : public format::Source {
public:
    Input(const Callbacks& io, INT_PTR handle) : io_(io), handle_(handle) {
        LONG end = io_.seek(handle_, 0, CAB_SEEK_END);
        size_ = end < 0 ? 0 : static_cast<uint64_t>(end);
    }

    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t pos, void* data, size_t size) override {
        if (pos > size_ || size > size_ - pos) {
            return false;
        }
        auto* out = static_cast<uint8_t*>(data);
        while (size > 0) {
            if (pos >= cacheStart_ && pos < cacheStart_ + cache_.size()) {
                size_t offset = static_cast<size_t>(pos - cacheStart_);
                size_t n = std::min(size, cache_.size() - offset);
                std::memcpy(out, cache_.data() + offset, n);
                out += n;
                pos += n;
                size -= n;
                continue;
            }
            size_t want = static_cast<size_t>(std::min<uint64_t>(kCacheSize, size_ - pos));
            if (size >= kCacheSize) {
                return Raw(pos, out, size);
            }
            cache_.resize(want);
            if (!Raw(pos, cache_.data(), want)) {
                cache_.clear();
                return false;
            }
            cacheStart_ = pos;
        }
        return true;
    }

private:
    static constexpr size_t kCacheSize = 64 * 1024;

    bool Raw(uint64_t pos, uint8_t* out, size_t size) {
        if (io_.seek(handle_, static_cast<LONG>(pos), CAB_SEEK_SET) != static_cast<LONG>(pos)) {
            return false;
        }
        while (size > 0) {
            UINT chunk = static_cast<UINT>(std::min<size_t>(size, 1u << 30));
            UINT got = io_.read(handle_, out, chunk);
            if (got == 0 || got == static_cast<UINT>(-1) || got > chunk) {
                return false;
            }
            out += got;
            size -= got;
        }
        return true;
    }

    const Callbacks& io_;
    INT_PTR handle_;
    uint64_t size_ = 0;
    std::vector<uint8_t> cache_;
    uint64_t cacheStart_ = 0;
};

// An open cabinet of the set being read.
struct OpenCabinet {
    const Callbacks* io = nullptr;
    INT_PTR handle = -1;
    std::unique_ptr<Input> input;
    format::Cabinet cab;

    ~OpenCabinet() {
        if (handle != -1) {
            io->close(handle);
        }
    }
};

// A CFDATA record as read: its sizes and where the next record begins.
struct DataRecord {
    uint16_t cbData = 0;
    uint16_t cbUncomp = 0;
    uint64_t next = 0;
};

// Reads the CFDATA record at pos into out (room bytes free), checking its sizes against the cabinet and
// its checksum; FDIERROR_NONE or FDIERROR_CORRUPT_CABINET.
int ReadDataRecord(const OpenCabinet& cabinet, uint64_t pos, uint8_t* out, size_t room, DataRecord* record) {
    const format::Header& h = cabinet.cab.header;
    const size_t headerSize = format::DataRecordSize(h);
    uint8_t header[format::kDataRecordSize + format::kMaxDataReserve];
    if (pos + headerSize > h.cbCabinet || !cabinet.input->ReadAt(pos, header, headerSize)) {
        return FDIERROR_CORRUPT_CABINET;
    }
    const uint32_t checksum = static_cast<uint32_t>(header[0]) | (static_cast<uint32_t>(header[1]) << 8) |
                              (static_cast<uint32_t>(header[2]) << 16) | (static_cast<uint32_t>(header[3]) << 24);
    const uint16_t cbData = static_cast<uint16_t>(header[4] | (header[5] << 8));
    const uint16_t cbUncomp = static_cast<uint16_t>(header[6] | (header[7] << 8));
    const uint64_t dataPos = pos + headerSize;
    if (cbUncomp > format::kBlockSize || cbData > room || dataPos + cbData > h.cbCabinet) {
        return FDIERROR_CORRUPT_CABINET;
    }
    if (cbData > 0 && !cabinet.input->ReadAt(dataPos, out, cbData)) {
        return FDIERROR_CORRUPT_CABINET;
    }
    if (checksum != 0 && format::DataChecksum(out, cbData, cbUncomp) != checksum) {
        return FDIERROR_CORRUPT_CABINET;
    }
    record->cbData = cbData;
    record->cbUncomp = cbUncomp;
    record->next = dataPos + cbData;
    return FDIERROR_NONE;
}

class Context {
public:
    Context(const Callbacks& io, PERF erf) : io_(io), erf_(erf) {}

    bool IsCabinet(INT_PTR handle, FDICABINETINFO* info);
    bool Copy(const char* cabinet, const char* path, PFNFDINOTIFY notify, void* pv);
    void SetThreads(int threads);

private:
    bool CopyFiles(const char* cabinet, const char* path);
    bool Fail(int error) {
        erf_->erfOper = error;
        erf_->erfType = 0;
        erf_->fError = 1;
        return false;
    }

    int Open(const std::string& path, std::unique_ptr<OpenCabinet>* result);
    bool CabinetInfo(const OpenCabinet& cabinet, const char* path);
    bool ExtractFile(const format::FileRecord& file, INT_PTR target);
    bool StartFolder(uint16_t folder);
    bool NextSpan() { return pipelined_ ? NextJobSpan() : NextBlock(); }
    bool NextBlock();
    bool ReadRecord(std::vector<uint8_t>* data, uint16_t* uncompressed);
    bool ContinueInNextCabinet();

    // Read-ahead through the inflater (FDICopy's caller's thread reads the records and writes the files,
    // the inflater's lanes decode). The folders that the coming files need are planned in their order;
    // each lane reads one of them at a time, from the folder's own place in the cabinet, so that the
    // next folders decode while a large one is being written.
    void StartInflater();
    void StopInflater();
    bool ReadsAhead(uint16_t folder) const;
    bool StartPipelinedFolder(uint16_t folder);
    bool NextJobSpan();
    void PlanFrom(size_t file);
    void DropPlans();
    void DropFrontPlan();
    void Pump();
    bool PlanNextFolder(int lane);
    void FillJob(PlannedFolder& plan, InflateJob* job);

    const Callbacks& io_;
    PERF erf_;
    MszipDecompressor decoder_;

    // The extraction in progress.
    PFNFDINOTIFY notify_ = nullptr;
    void* pv_ = nullptr;
    std::unique_ptr<OpenCabinet> first_;    // the cabinet given to FDICopy
    std::unique_ptr<OpenCabinet> reading_;  // a later cabinet that the folder being read continues into
    char path_[CB_MAX_CAB_PATH] = {};       // the folder in which later cabinets are looked for

    // The folder being decoded: its number in the first cabinet, and where its records are read now.
    int firstFolder_ = -1;
    OpenCabinet* folderCabinet_ = nullptr;
    int folder_ = -1;
    uint16_t type_ = 0;
    uint32_t recordsLeft_ = 0;
    uint64_t recordPos_ = 0;
    std::vector<uint8_t> block_;
    uint64_t blockStart_ = 0;  // folder offset of block_[0]
    std::vector<uint8_t> compressed_;

    // The decoded bytes at hand: block_, or the output of the inflater's oldest job.
    const uint8_t* span_ = nullptr;
    size_t spanSize_ = 0;
    uint64_t spanStart_ = 0;  // folder offset of span_[0]

    int threads_ = BlockInflater::DefaultLanes();  // 0: every block is decoded on the caller's thread
    std::unique_ptr<BlockInflater> inflater_;
    bool firstFolderContinued_ = false;
    size_t currentFile_ = 0;  // the file of the first cabinet being extracted
    bool pipelined_ = false;  // the folder being read comes from the inflater
    bool jobInUse_ = false;   // span_ is the output of the first job of the first planned folder
    // What is being read ahead: the next file whose folder is looked at, and the folders planned.
    size_t planFile_ = 0;
    int lastPlanned_ = -1;
    bool planStopped_ = true;
    ReadAheadPlan plans_;
};

bool Context::IsCabinet(INT_PTR handle, FDICABINETINFO* info) {
    Input input(io_, handle);
    format::Header h;
    int error = format::ParseHeader(input, &h);
    if (error != FDIERROR_NONE) {
        return Fail(error);
    }
    info->cbCabinet = static_cast<LONG>(h.cbCabinet);
    info->cFolders = h.cFolders;
    info->cFiles = h.cFiles;
    info->setID = h.setID;
    info->iCabinet = h.iCabinet;
    info->fReserve = (h.flags & format::kFlagReservePresent) ? 1 : 0;
    info->hasprev = (h.flags & format::kFlagPrevCabinet) ? 1 : 0;
    info->hasnext = (h.flags & format::kFlagNextCabinet) ? 1 : 0;
    return true;
}

int Context::Open(const std::string& path, std::unique_ptr<OpenCabinet>* result) {
    auto cabinet = std::make_unique<OpenCabinet>();
    cabinet->io = &io_;
    std::string name = path;
    cabinet->handle = io_.open(name.data(), CAB_O_RDONLY | CAB_O_BINARY, 0);
    if (cabinet->handle == -1) {
        return FDIERROR_CABINET_NOT_FOUND;
    }
    cabinet->input = std::make_unique<Input>(io_, cabinet->handle);
    int error = format::ParseCabinet(*cabinet->input, &cabinet->cab);
    if (error == FDIERROR_NONE) {
        *result = std::move(cabinet);
    }
    return error;
}

bool Context::CabinetInfo(const OpenCabinet& cabinet, const char* path) {
    const format::Header& h = cabinet.cab.header;
    std::string next = h.nextCabinet, disk = h.nextDisk, folder = path;
    FDINOTIFICATION n{};
    n.psz1 = next.data();
    n.psz2 = disk.data();
    n.psz3 = folder.data();
    n.pv = pv_;
    n.setID = h.setID;
    n.iCabinet = h.iCabinet;
    if (notify_(fdintCABINET_INFO, &n) == -1) {
        return Fail(FDIERROR_USER_ABORT);
    }
    return true;
}

bool Context::Copy(const char* cabinet, const char* path, PFNFDINOTIFY notify, void* pv) {
    notify_ = notify;
    pv_ = pv;
    // Whatever ends the copy, nothing of it is kept for the next one.
    struct Cleanup {
        Context* self;
        ~Cleanup() {
            self->StopInflater();
            self->reading_.reset();
            self->first_.reset();
            self->folderCabinet_ = nullptr;
            self->firstFolder_ = self->folder_ = -1;
        }
    } cleanup{this};
    return CopyFiles(cabinet, path);
}

void Context::SetThreads(int threads) {
    threads = std::clamp(threads, 0, 16);
    if (threads != threads_) {
        inflater_.reset();
        threads_ = threads;
    }
}

bool Context::CopyFiles(const char* cabinet, const char* path) {
    std::strncpy(path_, path, sizeof path_ - 1);
    path_[sizeof path_ - 1] = '\0';
    int error = Open(std::string(path) + cabinet, &first_);
    if (error != FDIERROR_NONE) {
        first_.reset();
        return Fail(error);
    }
    if (!CabinetInfo(*first_, path_)) {
        return false;
    }
    const format::Cabinet& cab = first_->cab;
    const bool firstFolderContinued =
        std::any_of(cab.files.begin(), cab.files.end(), [&](const format::FileRecord& f) { return cab.ContinuesFromPrevious(f); });
    firstFolderContinued_ = firstFolderContinued;
    StartInflater();
    for (currentFile_ = 0; currentFile_ < cab.files.size(); ++currentFile_) {
        const format::FileRecord& file = cab.files[currentFile_];
        std::string name = file.name;
        FDINOTIFICATION n{};
        n.psz1 = name.data();
        n.pv = pv_;
        n.cb = static_cast<LONG>(file.cbFile);
        n.date = file.date;
        n.time = file.time;
        n.attribs = file.attribs;
        n.iFolder = file.iFolder;
        n.setID = cab.header.setID;
        n.iCabinet = cab.header.iCabinet;
        if (cab.ContinuesFromPrevious(file)) {
            std::string prev = cab.header.prevCabinet, disk = cab.header.prevDisk;
            n.psz2 = prev.data();
            n.psz3 = disk.data();
            if (notify_(fdintPARTIAL_FILE, &n) == -1) {
                return Fail(FDIERROR_USER_ABORT);
            }
            continue;
        }
        // The data of a folder continued from an earlier cabinet cannot be reached from this one.
        if (firstFolderContinued && cab.FolderOf(file) == 0) {
            return Fail(FDIERROR_CORRUPT_CABINET);
        }
        INT_PTR target = notify_(fdintCOPY_FILE, &n);
        if (target == -1) {
            return Fail(FDIERROR_USER_ABORT);
        }
        if (target == 0) {
            continue;
        }
        if (!ExtractFile(file, target)) {
            io_.close(target);
            return false;
        }
        n.hf = target;
        n.attribs = static_cast<USHORT>(file.attribs & ~kCabAttributeExecute);
        n.cb = (file.attribs & kCabAttributeExecute) ? 1 : 0;
        if (notify_(fdintCLOSE_FILE_INFO, &n) == 0) {
            return Fail(FDIERROR_USER_ABORT);
        }
    }
    return true;
}

bool Context::ExtractFile(const format::FileRecord& file, INT_PTR target) {
    const uint16_t folder = first_->cab.FolderOf(file);
    if (firstFolder_ != folder || file.uoffFolderStart < spanStart_) {
        if (!StartFolder(folder)) {
            return false;
        }
    }
    uint64_t position = file.uoffFolderStart;
    const uint64_t end = position + file.cbFile;
    while (position < end) {
        while (spanStart_ + spanSize_ <= position) {
            if (!NextSpan()) {
                firstFolder_ = -1;
                return false;
            }
        }
        size_t offset = static_cast<size_t>(position - spanStart_);
        size_t n = static_cast<size_t>(std::min<uint64_t>(spanSize_ - offset, end - position));
        if (io_.write(target, const_cast<uint8_t*>(span_) + offset, static_cast<UINT>(n)) != n) {
            return Fail(FDIERROR_TARGET_FILE);
        }
        position += n;
    }
    return true;
}

bool Context::StartFolder(uint16_t folder) {
    if (ReadsAhead(folder)) {
        return StartPipelinedFolder(folder);
    }
    pipelined_ = false;
    span_ = nullptr;
    spanSize_ = 0;
    spanStart_ = 0;
    reading_.reset();
    folderCabinet_ = first_.get();
    firstFolder_ = folder_ = folder;
    const format::FolderRecord& record = first_->cab.folders[folder];
    type_ = record.typeCompress & tcompMASK_TYPE;
    if (type_ != tcompTYPE_NONE && type_ != tcompTYPE_MSZIP) {
        return Fail(FDIERROR_BAD_COMPR_TYPE);
    }
    if (type_ == tcompTYPE_MSZIP && !decoder_.IsReady()) {
        return Fail(FDIERROR_ALLOC_FAIL);
    }
    recordsLeft_ = record.cCFData;
    recordPos_ = record.coffCabStart;
    block_.clear();
    blockStart_ = 0;
    decoder_.StartFolder();
    return true;
}

// Reads the next CFDATA record of the folder, moving into the next cabinet of the set when this cabinet
// holds no more of it; a block split across cabinets is joined.
bool Context::ReadRecord(std::vector<uint8_t>* data, uint16_t* uncompressed) {
    data->clear();
    for (;;) {
        if (recordsLeft_ == 0 && !ContinueInNextCabinet()) {
            return false;
        }
        const format::Cabinet& cab = folderCabinet_->cab;
        const size_t old = data->size();
        data->resize(format::kMaxBlockData);
        DataRecord record;
        int error = ReadDataRecord(*folderCabinet_, recordPos_, data->data() + old, format::kMaxBlockData - old, &record);
        if (error != FDIERROR_NONE) {
            return Fail(error);
        }
        data->resize(old + record.cbData);
        recordPos_ = record.next;
        recordsLeft_--;
        if (record.cbUncomp != 0) {
            *uncompressed = record.cbUncomp;
            return true;
        }
        // The first part of a split block: only the last record of a folder that goes on in the next cabinet.
        const bool lastFolder = folder_ == cab.header.cFolders - 1;
        if (recordsLeft_ != 0 || !lastFolder || !(cab.header.flags & format::kFlagNextCabinet)) {
            return Fail(FDIERROR_CORRUPT_CABINET);
        }
    }
}

bool Context::NextBlock() {
    uint16_t uncompressed = 0;
    if (!ReadRecord(&compressed_, &uncompressed)) {
        return false;
    }
    blockStart_ += block_.size();
    block_.resize(uncompressed);
    span_ = block_.data();
    spanSize_ = block_.size();
    spanStart_ = blockStart_;
    if (type_ == tcompTYPE_NONE) {
        if (compressed_.size() != uncompressed) {
            return Fail(FDIERROR_CORRUPT_CABINET);
        }
        std::memcpy(block_.data(), compressed_.data(), uncompressed);
        return true;
    }
    if (!decoder_.Decode(compressed_.data(), compressed_.size(), block_.data(), uncompressed)) {
        return Fail(FDIERROR_MDI_FAIL);
    }
    return true;
}

void Context::StartInflater() {
    if (threads_ > 0 && !inflater_) {
        try {
            inflater_ = std::make_unique<BlockInflater>(threads_);
        } catch (const std::exception&) {
            threads_ = 0;  // no threads or no memory for them: everything on this thread, as it can
        }
    }
    PlanFrom(0);
}

void Context::StopInflater() {
    DropPlans();
    planStopped_ = true;
    span_ = nullptr;
    spanSize_ = 0;
    spanStart_ = 0;
}

// Whether a folder of the first cabinet is decoded ahead: not one that goes on in the next cabinet (its
// records there are asked for only when needed) or comes from the one before, nor one of an unknown type.
bool Context::ReadsAhead(uint16_t folder) const {
    if (!inflater_) {
        return false;
    }
    const format::Cabinet& cab = first_->cab;
    const uint16_t type = cab.folders[folder].typeCompress & tcompMASK_TYPE;
    const bool goesOn = folder == cab.header.cFolders - 1 && (cab.header.flags & format::kFlagNextCabinet);
    return (type == tcompTYPE_NONE || type == tcompTYPE_MSZIP) && !goesOn && !(firstFolderContinued_ && folder == 0);
}

bool Context::StartPipelinedFolder(uint16_t folder) {
    reading_.reset();
    folderCabinet_ = first_.get();
    firstFolder_ = folder_ = folder;
    pipelined_ = true;
    span_ = nullptr;
    spanSize_ = 0;
    spanStart_ = 0;
    // The folders planned but not wanted after all are dropped; when the folder is not among them (or
    // has been partly written already), reading ahead begins again at the file being extracted.
    for (;;) {
        if (plans_.empty()) {
            PlanFrom(currentFile_);
            break;
        }
        if (plans_.front().folder == folder && !plans_.front().consumed) {
            break;
        }
        DropFrontPlan();
    }
    return true;
}

bool Context::NextJobSpan() {
    const bool first = !jobInUse_ && spanStart_ == 0 && spanSize_ == 0;
    if (jobInUse_) {
        PlannedFolder& plan = plans_.front();
        InflateJob& job = *plan.head;
        if (job.decoded < job.blocks || job.decodeError != FDIERROR_NONE) {
            return Fail(job.decodeError);
        }
        if (job.readError != FDIERROR_NONE) {
            return Fail(job.readError);
        }
        if (job.endsFolder) {
            return Fail(FDIERROR_CORRUPT_CABINET);  // a file said to go on past the folder's data
        }
        plan.head = job.next;
        plan.held--;
        inflater_->Release(&job);
        jobInUse_ = false;
    }
    for (;;) {
        Pump();
        if (plans_.empty() || plans_.front().folder != folder_) {
            return Fail(FDIERROR_CORRUPT_CABINET);
        }
        const PlannedFolder& plan = plans_.front();
        if (plan.head != nullptr) {
            break;
        }
        if (!plan.reading) {
            return Fail(FDIERROR_CORRUPT_CABINET);
        }
        inflater_->WaitForFree();  // slots of dropped jobs come back when their lanes let go of them
    }
    PlannedFolder& plan = plans_.front();
    InflateJob* job = plan.head;
    if (job->startsFolder != first) {
        return Fail(FDIERROR_CORRUPT_CABINET);
    }
    inflater_->Wait(job);
    plan.consumed = true;
    jobInUse_ = true;
    span_ = job->output.data();
    spanSize_ = job->outputBytes;
    spanStart_ = job->start;
    return true;
}

void Context::PlanFrom(size_t file) {
    DropPlans();
    planFile_ = file;
    lastPlanned_ = -1;
    planStopped_ = inflater_ == nullptr;
    Pump();
}

void Context::DropPlans() {
    while (!plans_.empty()) {
        DropFrontPlan();
    }
    if (inflater_) {
        inflater_->Clear();
    }
}

void Context::DropFrontPlan() {
    PlannedFolder& plan = plans_.front();
    for (InflateJob* job = plan.head; job != nullptr;) {
        InflateJob* next = job->next;
        inflater_->Release(job);
        job = next;
    }
    plans_.pop_front();
    jobInUse_ = false;
}

// Reads ahead while there are free slots: the records of the folders the coming files need.
void Context::Pump() {
    if (!inflater_) {
        return;
    }
    for (;;) {
        // Every lane that reads no folder takes the next folder that the coming files need.
        for (int lane = IdleLane(plans_, inflater_->Lanes()); lane >= 0 && !planStopped_;
             lane = IdleLane(plans_, inflater_->Lanes())) {
            planStopped_ = !PlanNextFolder(lane);
        }
        const int next = FolderToRead(plans_, inflater_->Slots());
        if (next < 0) {
            return;
        }
        InflateJob* job = inflater_->Acquire();
        if (job == nullptr) {
            return;
        }
        PlannedFolder& plan = plans_[static_cast<size_t>(next)];
        FillJob(plan, job);
        (plan.head == nullptr ? plan.head : plan.tail->next) = job;
        plan.tail = job;
        plan.held++;
        inflater_->Submit(job, plan.lane);
    }
}

// Plans the folder of the next file that needs another folder, to be read on the given lane; false when
// there is none or when that folder is not read ahead.
bool Context::PlanNextFolder(int lane) {
    const format::Cabinet& cab = first_->cab;
    for (; planFile_ < cab.files.size(); ++planFile_) {
        const format::FileRecord& file = cab.files[planFile_];
        if (cab.ContinuesFromPrevious(file) || cab.FolderOf(file) == lastPlanned_) {
            continue;
        }
        const uint16_t folder = cab.FolderOf(file);
        if (!ReadsAhead(folder)) {
            return false;
        }
        const format::FolderRecord& record = cab.folders[folder];
        PlannedFolder plan;
        plan.folder = lastPlanned_ = folder;
        plan.lane = lane;
        plan.recordsLeft = record.cCFData;
        plan.recordPos = record.coffCabStart;
        plans_.push_back(plan);
        return true;
    }
    return false;
}

void Context::FillJob(PlannedFolder& plan, InflateJob* job) {
    job->type = first_->cab.folders[plan.folder].typeCompress & tcompMASK_TYPE;
    job->folder = plan.folder;
    job->startsFolder = plan.startsFolder;
    job->start = plan.offset;
    plan.startsFolder = false;
    uint32_t used = 0;
    while (job->blocks < InflateJob::kMaxBlocks && plan.recordsLeft > 0) {
        DataRecord record;
        int error = ReadDataRecord(*first_, plan.recordPos, job->input.data() + used, format::kMaxBlockData, &record);
        if (error == FDIERROR_NONE && record.cbUncomp == 0) {
            error = FDIERROR_CORRUPT_CABINET;  // a split block ends only a folder that goes on in the next cabinet
        }
        if (error != FDIERROR_NONE) {
            job->readError = error;
            plan.reading = false;  // the rest of the folder cannot be reached
            return;
        }
        used += record.cbData;
        job->inputEnd[job->blocks] = used;
        job->outputSize[job->blocks] = record.cbUncomp;
        job->blocks++;
        plan.offset += record.cbUncomp;
        plan.recordPos = record.next;
        plan.recordsLeft--;
    }
    if (plan.recordsLeft == 0) {
        job->endsFolder = true;
        plan.reading = false;
    }
}

// The folder being read goes on in the next cabinet of the set: asks the caller for it (fdintNEXT_CABINET),
// again with the reason whenever the cabinet offered is missing or not the right one, until it is found
// or the caller gives up.
bool Context::ContinueInNextCabinet() {
    const format::Cabinet& current = folderCabinet_->cab;
    const bool lastFolder = folder_ == current.header.cFolders - 1;
    if (!lastFolder || !(current.header.flags & format::kFlagNextCabinet)) {
        return Fail(FDIERROR_CORRUPT_CABINET);
    }
    std::string name = current.header.nextCabinet, disk = current.header.nextDisk;
    const uint16_t setID = current.header.setID;
    const uint16_t number = current.header.iCabinet;
    const format::Header& firstHeader = first_->cab.header;
    FDIERROR reason = FDIERROR_NONE;
    for (;;) {
        FDINOTIFICATION n{};
        n.psz1 = name.data();
        n.psz2 = disk.data();
        n.psz3 = path_;
        n.pv = pv_;
        n.fdie = reason;
        n.setID = setID;
        n.iCabinet = number;
        if (notify_(fdintNEXT_CABINET, &n) != 0) {
            return Fail(reason != FDIERROR_NONE ? reason : FDIERROR_USER_ABORT);
        }
        path_[sizeof path_ - 1] = '\0';
        std::unique_ptr<OpenCabinet> next;
        int error = Open(std::string(path_) + name, &next);
        if (error == FDIERROR_NONE) {
            const format::Header& h = next->cab.header;
            if (h.setID != setID || h.iCabinet != number + 1 || !(h.flags & format::kFlagPrevCabinet)) {
                error = FDIERROR_WRONG_CABINET;
            } else if (h.cbReserveHeader != firstHeader.cbReserveHeader ||
                       h.cbReserveFolder != firstHeader.cbReserveFolder ||
                       h.cbReserveData != firstHeader.cbReserveData) {
                error = FDIERROR_RESERVE_MISMATCH;
            } else if ((next->cab.folders[0].typeCompress & tcompMASK_TYPE) != type_) {
                error = FDIERROR_CORRUPT_CABINET;
            }
        }
        if (error != FDIERROR_NONE) {
            reason = static_cast<FDIERROR>(error);
            continue;
        }
        if (!CabinetInfo(*next, path_)) {
            return false;
        }
        reading_ = std::move(next);
        folderCabinet_ = reading_.get();
        folder_ = 0;
        recordsLeft_ = folderCabinet_->cab.folders[0].cCFData;
        recordPos_ = folderCabinet_->cab.folders[0].coffCabStart;
        return recordsLeft_ > 0 || Fail(FDIERROR_CORRUPT_CABINET);
    }
}

// What an HFDI points to.
struct Handle {
    Context* context;
    PERF erf;
    PFNFREE free;
    Callbacks io;
};

Handle* HandleOf(HFDI hfdi) { return static_cast<Handle*>(hfdi); }

}  // namespace

HFDI FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen, PFNREAD pfnread, PFNWRITE pfnwrite,
               PFNCLOSE pfnclose, PFNSEEK pfnseek, int cpuType, PERF perf) {
    if (perf == nullptr) {
        return nullptr;
    }
    *perf = ERF{FDIERROR_NONE, 0, 0};
    if (pfnalloc == nullptr || pfnfree == nullptr || pfnopen == nullptr || pfnread == nullptr ||
        pfnwrite == nullptr || pfnclose == nullptr || pfnseek == nullptr) {
        *perf = ERF{FDIERROR_ALLOC_FAIL, 0, 1};
        return nullptr;
    }
    void* memory = pfnalloc(sizeof(Handle));
    if (memory == nullptr) {
        *perf = ERF{FDIERROR_ALLOC_FAIL, 0, 1};
        return nullptr;
    }
    Handle* handle = new (memory) Handle{nullptr, perf, pfnfree, Callbacks{pfnopen, pfnread, pfnwrite, pfnclose, pfnseek}};
    try {
        handle->context = new Context(handle->io, perf);
    } catch (const std::bad_alloc&) {
        pfnfree(memory);
        *perf = ERF{FDIERROR_ALLOC_FAIL, 0, 1};
        return nullptr;
    }
    return handle;
}

BOOL FDIIsCabinet(HFDI hfdi, INT_PTR hf, PFDICABINETINFO pfdici) {
    if (hfdi == nullptr || pfdici == nullptr) {
        return 0;
    }
    Handle* h = HandleOf(hfdi);
    try {
        return h->context->IsCabinet(hf, pfdici) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        *h->erf = ERF{FDIERROR_ALLOC_FAIL, 0, 1};
        return 0;
    }
}

BOOL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int flags, PFNFDINOTIFY pfnfdin,
             PFNFDIDECRYPT pfnfdid, void* pvUser) {
    if (hfdi == nullptr) {
        return 0;
    }
    Handle* h = HandleOf(hfdi);
    if (pszCabinet == nullptr || pszCabPath == nullptr || pfnfdin == nullptr) {
        *h->erf = ERF{FDIERROR_CABINET_NOT_FOUND, 0, 1};
        return 0;
    }
    try {
        return h->context->Copy(pszCabinet, pszCabPath, pfnfdin, pvUser) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        *h->erf = ERF{FDIERROR_ALLOC_FAIL, 0, 1};
        return 0;
    }
}

BOOL FDISetDecompressionThreads(HFDI hfdi, int threads) {
    if (hfdi == nullptr) {
        return 0;
    }
    HandleOf(hfdi)->context->SetThreads(threads);
    return 1;
}

BOOL FDIDestroy(HFDI hfdi) {
    if (hfdi == nullptr) {
        return 0;
    }
    Handle* h = HandleOf(hfdi);
    delete h->context;
    PFNFREE release = h->free;
    h->~Handle();
    release(h);
    return 1;
}

}  // namespace cab
