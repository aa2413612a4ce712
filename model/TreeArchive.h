#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/File.h"

// What an archive is opened for. Model code asks IsProjectFile (kind & 3) and IsBuildingDatabase (kind & 4).
enum ArchiveKind : uint32_t {
    kSetupProgram = 0,
    kLoadProject = 1,
    kSaveProject = 2,
    kBuildDatabase = 4,
};

// The header of one entry, for tools that walk a whole file without knowing its keys.
struct ArchiveEntry {
    std::string name;
    uint32_t count = 0;   // children; 0 for a leaf (and for an empty object)
    uint32_t size = 0;    // payload bytes
    uint64_t offset = 0;  // file position of the entry's name length byte
};

// Streaming reader and writer of the archive format: a tree of named entries, each either an object
// (count > 0 children) or a leaf (count 0, a run of bytes). No tree is held in memory; a stack of open
// objects tracks where the reader or writer stands. Lookups scan the current object's children
// round-robin from where the previous lookup ended, so reading in the order of writing costs one probe
// per key and any other order still finds every key. An object with more than kIndexedAbove children is
// scanned once, on its first lookup that misses the cursor, into an index of its children's names; later
// lookups there cost a probe or two whatever the object holds, so that loading stays linear in the size of
// the file even when it is padded with children that nobody looks up.
//
// Files are not trusted: an entry that does not fit inside its parent, a count that cannot fit its size,
// or nesting past the limit throws CTSException naming the file, before anything is read outside it.
class CTreeArchive {
public:
    static constexpr int kMaxDepth = 49;
    static constexpr uint32_t kIndexedAbove = 64;

    explicit CTreeArchive(std::string mainClass = "MainClass", uint32_t kind = kSetupProgram);
    ~CTreeArchive();
    CTreeArchive(const CTreeArchive&) = delete;
    CTreeArchive& operator=(const CTreeArchive&) = delete;

    bool OpenForSave(const std::string& path);
    bool OpenForLoad(const std::string& path);
    void CloseAfterSave();
    void CloseAfterLoad();

    bool IsStoring() const { return storing_; }
    uint32_t Kind() const { return kind_; }
    bool IsProjectFile() const { return (kind_ & 3) != 0; }
    bool IsBuildingDatabase() const { return (kind_ & kBuildDatabase) != 0; }
    const std::string& MainClass() const { return mainClass_; }

    bool BeginObject(std::string_view name);
    void EndObject();
    int ChildCount() const { return static_cast<int>(levels_[depth_].count); }
    // Payload size of the current object (loading: as stored; storing: written so far).
    uint32_t ObjectSize() const { return levels_[depth_].size; }
    int Depth() const { return depth_; }

    void ExchangeValue(std::string_view name, size_t size, void* data, const void* defaultValue);
    void ExchangeInt(std::string_view name, int32_t* value, int32_t defaultValue);
    void ExchangeInt(std::string_view name, uint32_t* value, uint32_t defaultValue);
    void ExchangeInt(std::string_view name, long* value, long defaultValue);
    void ExchangeBool(std::string_view name, bool* value, bool defaultValue);
    void ExchangeBool(std::string_view name, uint8_t* value, uint8_t defaultValue);
    void ExchangeBlock(std::string_view name, void* data, size_t size);
    void ExchangeString(std::string_view name, std::string* value, const std::string& defaultValue);
    void ExchangeFile(const std::string& path);

    // Walking a file in storage order (loading only). PeekEntry reads the header of the entry at the
    // current object's cursor without moving; false when the object has no children. ReadLeaf returns up
    // to maxBytes of that entry's payload and moves past it. BeginObject with the peeked name opens it.
    bool PeekEntry(ArchiveEntry* entry);
    std::vector<uint8_t> ReadLeaf(size_t maxBytes);

    // Entries examined by lookups (the scans that build indexes included) since the archive was opened.
    uint64_t ProbeCount() const { return probes_; }

private:
    struct Level {
        std::string name;
        uint64_t start = 0;   // storing: position of the count field; loading: first child
        uint64_t cursor = 0;  // loading: the child where the next lookup starts
        uint32_t index = 0;   // loading: position of that child among the children
        uint32_t count = 0;
        uint32_t size = 0;
        uint64_t End() const { return start + size; }
    };

    // The children of one object by the hash of their names, in their order within each hash; empty when
    // the object is damaged (its lookups then scan as smaller objects do and meet the damage themselves).
    struct ChildIndex {
        struct Child {
            size_t hash;
            uint32_t index;
            uint64_t offset;
        };
        std::vector<Child> children;
    };

    void WriteName(std::string_view name);
    void WriteU32(uint32_t value);
    void WriteLeaf(std::string_view name, const void* data, size_t size);
    void AddToCurrent(size_t nameLength, uint64_t payloadSize);

    uint32_t ReadU32();
    ArchiveEntry ReadHeaderAtCursor();
    bool Lookup(std::string_view name, ArchiveEntry* found);
    bool ScanLookup(std::string_view name, ArchiveEntry* found);
    bool IndexedLookup(const ChildIndex& index, std::string_view name, ArchiveEntry* found);
    const ChildIndex& IndexOf(Level& level);
    void Advance(Level& level, uint64_t bytes);
    void PushLevel(const Level& level);
    [[noreturn]] void Damaged(const std::string& what, uint64_t offset) const;

    std::string mainClass_;
    uint32_t kind_;
    bool storing_ = false;
    platform::File file_;
    int depth_ = 0;
    Level levels_[kMaxDepth + 1];
    uint64_t probes_ = 0;
    std::unordered_map<uint64_t, ChildIndex> indexes_;  // by the offset of the object's first child
};
