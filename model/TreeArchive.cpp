#include "model/TreeArchive.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

constexpr uint64_t kHeaderSize = 9;  // name length byte, count and size, without the name itself
constexpr size_t kMaxNameLength = 255;
constexpr size_t kCopyChunk = 64 * 1024;

void PutU32(uint32_t value, uint8_t* out) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t GetU32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
           static_cast<uint32_t>(in[3]) << 24;
}

uint64_t EntryLength(size_t nameLength, uint64_t payloadSize) { return kHeaderSize + nameLength + payloadSize; }

}  // namespace

CTreeArchive::CTreeArchive(std::string mainClass, uint32_t kind)
    : mainClass_(mainClass.empty() ? "MainClass" : std::move(mainClass)), kind_(kind) {}

CTreeArchive::~CTreeArchive() { file_.Abandon(); }

// ---- storing ----

bool CTreeArchive::OpenForSave(const std::string& path) {
    file_.Open(path, platform::File::Mode::Replace);
    storing_ = true;
    depth_ = 0;
    probes_ = 0;
    levels_[0] = Level{"Root", 0, 0, 0, 1, 0};
    return BeginObject(mainClass_);
}

void CTreeArchive::CloseAfterSave() {
    while (depth_ > 0) {
        EndObject();
    }
    file_.Close();
}

void CTreeArchive::WriteName(std::string_view name) {
    if (name.size() > kMaxNameLength) {
        throw CTSException("The key \"" + std::string(name) + "\" is longer than 255 bytes!");
    }
    uint8_t length = static_cast<uint8_t>(name.size());
    file_.Write(&length, 1);
    file_.Write(name.data(), name.size());
}

void CTreeArchive::WriteU32(uint32_t value) {
    uint8_t bytes[4];
    PutU32(value, bytes);
    file_.Write(bytes, sizeof bytes);
}

void CTreeArchive::AddToCurrent(size_t nameLength, uint64_t payloadSize) {
    Level& level = levels_[depth_];
    uint64_t size = level.size + EntryLength(nameLength, payloadSize);
    if (size > std::numeric_limits<uint32_t>::max()) {
        throw CTSException("Cannot write the file \"%s\": an archive cannot grow past 4 GB!", file_.Path());
    }
    level.size = static_cast<uint32_t>(size);
    ++level.count;
}

void CTreeArchive::WriteLeaf(std::string_view name, const void* data, size_t size) {
    if (size > std::numeric_limits<uint32_t>::max()) {
        throw CTSException("Cannot write the file \"%s\": a value cannot be larger than 4 GB!", file_.Path());
    }
    WriteName(name);
    WriteU32(0);
    WriteU32(static_cast<uint32_t>(size));
    file_.Write(data, size);
    AddToCurrent(name.size(), size);
}

// ---- loading ----

bool CTreeArchive::OpenForLoad(const std::string& path) {
    storing_ = false;
    depth_ = 0;
    probes_ = 0;
    indexes_.clear();
    if (!file_.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    uint64_t fileSize = std::min<uint64_t>(file_.Size(), std::numeric_limits<uint32_t>::max());
    levels_[0] = Level{"Root", 0, 0, 0, 1, static_cast<uint32_t>(fileSize)};

    // The signature is the top entry's name; a file that does not start with it is not ours.
    uint8_t length = 0;
    std::string name;
    if (fileSize >= kHeaderSize) {
        file_.Read(&length, 1);
        if (length <= fileSize - 1) {
            name.resize(length);
            file_.Read(name.data(), length);
        }
    }
    if (name.size() != length || name != mainClass_ || fileSize < EntryLength(length, 0)) {
        file_.Abandon();
        return false;
    }
    return BeginObject(mainClass_);
}

void CTreeArchive::CloseAfterLoad() {
    file_.Abandon();
    indexes_.clear();
}

void CTreeArchive::Damaged(const std::string& what, uint64_t offset) const {
    throw CTSException("The file \"" + file_.Path() + "\" is damaged: " + what + " (at byte " +
                       std::to_string(offset) + ")!");
}

uint32_t CTreeArchive::ReadU32() {
    uint8_t bytes[4];
    file_.Read(bytes, sizeof bytes);
    return GetU32(bytes);
}

ArchiveEntry CTreeArchive::ReadHeaderAtCursor() {
    const Level& level = levels_[depth_];
    ArchiveEntry entry;
    entry.offset = level.cursor;
    uint64_t end = level.End();
    if (level.cursor > end || end - level.cursor < kHeaderSize) {
        Damaged("\"" + level.name + "\" holds fewer entries than it counts", level.cursor);
    }
    uint64_t room = end - level.cursor;
    file_.Seek(level.cursor);
    uint8_t length = 0;
    file_.Read(&length, 1);
    if (room < EntryLength(length, 0)) {
        Damaged("an entry name runs past the end of \"" + level.name + "\"", level.cursor);
    }
    entry.name.resize(length);
    file_.Read(entry.name.data(), length);
    entry.count = ReadU32();
    entry.size = ReadU32();
    if (entry.size > room - EntryLength(length, 0)) {
        Damaged("the entry \"" + entry.name + "\" is larger than the space left in \"" + level.name + "\"",
                level.cursor);
    }
    if (entry.count > entry.size / kHeaderSize) {
        Damaged("the object \"" + entry.name + "\" counts more entries than its size can hold", level.cursor);
    }
    return entry;
}

void CTreeArchive::Advance(Level& level, uint64_t bytes) {
    level.cursor += bytes;
    if (++level.index >= level.count) {
        level.index = 0;
        level.cursor = level.start;
    }
}

bool CTreeArchive::Lookup(std::string_view name, ArchiveEntry* found) {
    Level& level = levels_[depth_];
    if (level.count <= kIndexedAbove) {
        return ScanLookup(name, found);
    }
    // The child at the cursor first: reading in the order of writing never needs the index.
    ++probes_;
    ArchiveEntry entry = ReadHeaderAtCursor();
    if (entry.name == name) {
        *found = std::move(entry);
        return true;
    }
    const ChildIndex& index = IndexOf(level);
    return index.children.empty() ? ScanLookup(name, found) : IndexedLookup(index, name, found);
}

bool CTreeArchive::ScanLookup(std::string_view name, ArchiveEntry* found) {
    Level& level = levels_[depth_];
    for (uint32_t probe = 0; probe < level.count; ++probe) {
        ++probes_;
        ArchiveEntry entry = ReadHeaderAtCursor();
        if (entry.name == name) {
            *found = std::move(entry);
            return true;
        }
        Advance(level, EntryLength(entry.name.size(), entry.size));
    }
    return false;
}

const CTreeArchive::ChildIndex& CTreeArchive::IndexOf(Level& level) {
    auto known = indexes_.find(level.start);
    if (known != indexes_.end()) {
        return known->second;
    }
    ChildIndex& index = indexes_[level.start];
    const uint64_t cursor = level.cursor;
    const uint32_t at = level.index;
    level.cursor = level.start;
    try {
        index.children.reserve(level.count);
        for (uint32_t child = 0; child < level.count; ++child) {
            ++probes_;
            ArchiveEntry entry = ReadHeaderAtCursor();
            index.children.push_back({std::hash<std::string_view>()(entry.name), child, level.cursor});
            level.cursor += EntryLength(entry.name.size(), entry.size);
        }
        std::sort(index.children.begin(), index.children.end(), [](const auto& a, const auto& b) {
            return a.hash != b.hash ? a.hash < b.hash : a.index < b.index;
        });
    } catch (const CTSException&) {
        index.children = {};
    }
    level.cursor = cursor;
    level.index = at;
    return index;
}

bool CTreeArchive::IndexedLookup(const ChildIndex& index, std::string_view name, ArchiveEntry* found) {
    Level& level = levels_[depth_];
    const size_t hash = std::hash<std::string_view>()(name);
    const auto first =
        std::lower_bound(index.children.begin(), index.children.end(), hash,
                         [](const ChildIndex::Child& child, size_t h) { return child.hash < h; });
    auto end = first;
    while (end != index.children.end() && end->hash == hash) {
        ++end;
    }
    // As the scan would: the first child of that name from the cursor on, else the first before it.
    const auto from = std::lower_bound(
        first, end, level.index, [](const ChildIndex::Child& child, uint32_t i) { return child.index < i; });
    const uint64_t cursor = level.cursor;
    const uint32_t at = level.index;
    const size_t candidates = static_cast<size_t>(end - first);
    const size_t start = static_cast<size_t>(from - first);
    for (size_t n = 0; n < candidates; ++n) {
        const auto candidate = first + static_cast<std::ptrdiff_t>((start + n) % candidates);
        level.cursor = candidate->offset;
        level.index = candidate->index;
        ++probes_;
        ArchiveEntry entry = ReadHeaderAtCursor();
        if (entry.name == name) {
            *found = std::move(entry);
            return true;
        }
    }
    // Not there: the cursor stays where it was, as after a scan that went once around.
    level.cursor = cursor;
    level.index = at;
    return false;
}

void CTreeArchive::PushLevel(const Level& level) {
    if (depth_ >= kMaxDepth) {
        if (storing_) {
            throw CTSException("Objects cannot be nested deeper than %d levels!", kMaxDepth);
        }
        Damaged("objects are nested deeper than " + std::to_string(kMaxDepth) + " levels", level.start);
    }
    levels_[++depth_] = level;
}

// ---- both directions ----

bool CTreeArchive::BeginObject(std::string_view name) {
    if (storing_) {
        WriteName(name);
        PushLevel(Level{std::string(name), file_.Tell(), 0, 0, 0, 0});
        WriteU32(0);
        WriteU32(0);
        return true;
    }
    ArchiveEntry entry;
    if (!Lookup(name, &entry)) {
        return false;
    }
    uint64_t first = entry.offset + EntryLength(entry.name.size(), 0);
    PushLevel(Level{std::move(entry.name), first, first, 0, entry.count, entry.size});
    return true;
}

void CTreeArchive::EndObject() {
    if (depth_ == 0) {
        throw CTSException("EndObject without an open object in \"%s\"!", file_.Path());
    }
    Level closed = std::move(levels_[depth_--]);
    if (storing_) {
        uint64_t end = file_.Tell();
        file_.Seek(closed.start);
        WriteU32(closed.count);
        WriteU32(closed.size);
        file_.Seek(end);
        AddToCurrent(closed.name.size(), closed.size);
    } else {
        Advance(levels_[depth_], EntryLength(closed.name.size(), closed.size));
    }
}

void CTreeArchive::ExchangeValue(std::string_view name, size_t size, void* data, const void* defaultValue) {
    if (storing_) {
        WriteLeaf(name, data, size);
        return;
    }
    ArchiveEntry entry;
    if (Lookup(name, &entry) && entry.count == 0 && entry.size == size) {
        file_.Read(data, size);
        Advance(levels_[depth_], EntryLength(entry.name.size(), size));
    } else if (defaultValue != nullptr) {
        std::memmove(data, defaultValue, size);
    }
}

void CTreeArchive::ExchangeInt(std::string_view name, uint32_t* value, uint32_t defaultValue) {
    uint8_t bytes[4];
    uint8_t fallback[4];
    PutU32(*value, bytes);
    PutU32(defaultValue, fallback);
    ExchangeValue(name, sizeof bytes, bytes, fallback);
    *value = GetU32(bytes);
}

void CTreeArchive::ExchangeInt(std::string_view name, int32_t* value, int32_t defaultValue) {
    uint32_t bits = static_cast<uint32_t>(*value);
    ExchangeInt(name, &bits, static_cast<uint32_t>(defaultValue));
    *value = static_cast<int32_t>(bits);
}

void CTreeArchive::ExchangeInt(std::string_view name, long* value, long defaultValue) {
    // Four bytes on every platform, whatever the width of long.
    int32_t narrow = static_cast<int32_t>(*value);
    ExchangeInt(name, &narrow, static_cast<int32_t>(defaultValue));
    *value = narrow;
}

void CTreeArchive::ExchangeBool(std::string_view name, uint8_t* value, uint8_t defaultValue) {
    ExchangeValue(name, 1, value, &defaultValue);
}

void CTreeArchive::ExchangeBool(std::string_view name, bool* value, bool defaultValue) {
    uint8_t byte = *value ? 1 : 0;
    ExchangeBool(name, &byte, defaultValue ? 1 : 0);
    *value = byte != 0;
}

void CTreeArchive::ExchangeBlock(std::string_view name, void* data, size_t size) {
    ExchangeValue(name, size, data, nullptr);
}

void CTreeArchive::ExchangeString(std::string_view name, std::string* value, const std::string& defaultValue) {
    if (storing_) {
        WriteLeaf(name, value->data(), value->size());
        return;
    }
    ArchiveEntry entry;
    if (Lookup(name, &entry) && entry.count == 0) {
        std::string text(entry.size, '\0');
        file_.Read(text.data(), text.size());
        *value = std::move(text);
        Advance(levels_[depth_], EntryLength(entry.name.size(), entry.size));
    } else {
        *value = std::string(defaultValue);
    }
}

void CTreeArchive::ExchangeFile(const std::string& path) {
    const std::string title = platform::FileTitle(path);
    if (storing_) {
        std::vector<uint8_t> content;
        if (!platform::File::ReadAll(path, &content)) {
            return;
        }
        BeginObject(title);
        uint32_t size = static_cast<uint32_t>(content.size());
        ExchangeInt("FileSize", &size, 0);
        ExchangeValue("FileData", content.size(), content.data(), nullptr);
        EndObject();
        return;
    }
    if (!BeginObject(title)) {
        return;
    }
    uint32_t size = 0;
    ExchangeInt("FileSize", &size, 0);
    ArchiveEntry data;
    // The file is written only from a FileData leaf of the recorded size, streamed in pieces.
    if (size != 0 && Lookup("FileData", &data) && data.count == 0 && data.size == size) {
        platform::File out;
        if (out.Open(path, platform::File::Mode::Replace)) {
            std::vector<uint8_t> chunk(std::min<size_t>(size, kCopyChunk));
            for (uint32_t left = size; left > 0;) {
                size_t piece = std::min<size_t>(left, chunk.size());
                file_.Read(chunk.data(), piece);
                out.Write(chunk.data(), piece);
                left -= static_cast<uint32_t>(piece);
            }
            out.Close();
        }
        Advance(levels_[depth_], EntryLength(data.name.size(), size));
    }
    EndObject();
}

// ---- walking ----

bool CTreeArchive::PeekEntry(ArchiveEntry* entry) {
    if (storing_ || levels_[depth_].count == 0) {
        return false;
    }
    *entry = ReadHeaderAtCursor();
    return true;
}

std::vector<uint8_t> CTreeArchive::ReadLeaf(size_t maxBytes) {
    if (storing_ || levels_[depth_].count == 0) {
        return {};
    }
    ArchiveEntry entry = ReadHeaderAtCursor();
    std::vector<uint8_t> bytes(std::min<size_t>(maxBytes, entry.size));
    file_.Read(bytes.data(), bytes.size());
    Advance(levels_[depth_], EntryLength(entry.name.size(), entry.size));
    return bytes;
}
