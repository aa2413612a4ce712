// Writes and reads an archive the size of a full project (2000 files with their features) and prints
// entries per second for writing, for reading in storage order and in reverse order, the probes per key,
// and, as a yardstick measured in the same run, stdio writing and reading the same bytes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/Paths.h"

namespace {

constexpr int kFiles = 2000;
constexpr int kFeatures = 100;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

struct FileRecord {
    std::string name, source;
    int32_t size = 0, folder = 0, osMask = 0, overwrite = 0, attributes = 0;
    uint32_t versionMS = 0, versionLS = 0;
    bool shared = false, selfRegister = false, compressed = true;
};

struct Counters {
    uint64_t entries = 0;
    uint64_t lookups = 0;
};

constexpr int kFileKeys = 12;

void ExchangeFileKey(CTreeArchive& ar, int key, FileRecord& f) {
    switch (key) {
        case 0: ar.ExchangeString("Name", &f.name, ""); break;
        case 1: ar.ExchangeString("SourcePath", &f.source, ""); break;
        case 2: ar.ExchangeInt("Size", &f.size, 0); break;
        case 3: ar.ExchangeInt("Folder", &f.folder, -1); break;
        case 4: ar.ExchangeInt("OSMask", &f.osMask, 0); break;
        case 5: ar.ExchangeInt("OverwriteMethod", &f.overwrite, 0); break;
        case 6: ar.ExchangeInt("Attributes", &f.attributes, 0); break;
        case 7: ar.ExchangeInt("VersionMS", &f.versionMS, 0); break;
        case 8: ar.ExchangeInt("VersionLS", &f.versionLS, 0); break;
        case 9: ar.ExchangeBool("Shared", &f.shared, false); break;
        case 10: ar.ExchangeBool("SelfRegister", &f.selfRegister, false); break;
        default: ar.ExchangeBool("Compressed", &f.compressed, true); break;
    }
}

void Project(CTreeArchive& ar, std::vector<FileRecord>& files, std::vector<std::vector<int32_t>>& features,
             bool reverse, Counters& c) {
    ar.BeginObject("TSDatabase");
    ar.BeginObject("Files");
    c.lookups += 2;
    for (int i = 0; i < kFiles; ++i) {
        int at = reverse ? kFiles - 1 - i : i;
        ar.BeginObject("Arr" + std::to_string(at));
        ++c.lookups;
        for (int k = 0; k < kFileKeys; ++k) {
            ExchangeFileKey(ar, reverse ? kFileKeys - 1 - k : k, files[static_cast<size_t>(at)]);
            ++c.lookups;
        }
        ar.EndObject();
    }
    ar.EndObject();
    ar.BeginObject("Features");
    ++c.lookups;
    for (int i = 0; i < kFeatures; ++i) {
        int at = reverse ? kFeatures - 1 - i : i;
        auto& list = features[static_cast<size_t>(at)];
        ar.BeginObject("Arr" + std::to_string(at));
        int32_t n = static_cast<int32_t>(list.size());
        ar.ExchangeInt("Files.Size", &n, 0);
        list.resize(static_cast<size_t>(n));
        c.lookups += 2;
        for (int j = 0; j < n; ++j) {
            int jt = reverse ? n - 1 - j : j;
            char key[32];
            std::snprintf(key, sizeof key, "Files[%d]->Index", jt);
            ar.ExchangeInt(key, &list[static_cast<size_t>(jt)], -1);
            ++c.lookups;
        }
        ar.EndObject();
    }
    ar.EndObject();
    ar.EndObject();
    c.entries = c.lookups;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main() {
    std::vector<FileRecord> files(kFiles);
    for (int i = 0; i < kFiles; ++i) {
        FileRecord& f = files[static_cast<size_t>(i)];
        f.name = "file" + std::to_string(i) + ".dll";
        f.source = "0,\\bin\\release\\component" + std::to_string(i % 40) + "\\" + f.name;
        f.size = 1000 + i;
        f.folder = i % 30;
        f.versionMS = 0x00010002;
    }
    std::vector<std::vector<int32_t>> features(kFeatures);
    for (int i = 0; i < kFiles; ++i) {
        features[static_cast<size_t>(i % kFeatures)].push_back(i);
    }

    const std::string folder = platform::MakeTempFolder("tessaro-bench-");
    const std::string path = folder + "\\bench.tsp";
    double writeBest = 1e9, readBest = 1e9, reverseBest = 1e9, stdioWriteBest = 1e9, stdioReadBest = 1e9;
    Counters counters;
    uint64_t probesInOrder = 0, probesReverse = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto t = Clock::now();
        {
            CTreeArchive ar("TSFile", kSaveProject);
            ar.OpenForSave(path);
            Counters c;
            Project(ar, files, features, false, c);
            ar.CloseAfterSave();
            counters = c;
        }
        writeBest = std::min(writeBest, Seconds(t));

        for (bool reverse : {false, true}) {
            auto loadedFiles = std::vector<FileRecord>(kFiles);
            auto loadedFeatures = std::vector<std::vector<int32_t>>(kFeatures);
            t = Clock::now();
            CTreeArchive ar("TSFile", kLoadProject);
            ar.OpenForLoad(path);
            Counters c;
            Project(ar, loadedFiles, loadedFeatures, reverse, c);
            ar.CloseAfterLoad();
            (reverse ? reverseBest : readBest) = std::min(reverse ? reverseBest : readBest, Seconds(t));
            (reverse ? probesReverse : probesInOrder) = ar.ProbeCount();
            if (loadedFiles[kFiles - 1].name != files[kFiles - 1].name || loadedFeatures[7] != features[7]) {
                std::fprintf(stderr, "archive_bench: the archive did not read back what was written\n");
                return 1;
            }
        }

        // The yardstick: the same bytes through stdio, written and read in 64 KiB pieces.
        std::vector<uint8_t> bytes;
        platform::File::ReadAll(path, &bytes);
        const std::string copy = platform::ToNativePath(folder + "\\copy.bin");
        t = Clock::now();
        FILE* out = std::fopen(copy.c_str(), "wb");
        for (size_t at = 0; at < bytes.size(); at += 65536) {
            std::fwrite(bytes.data() + at, 1, std::min<size_t>(65536, bytes.size() - at), out);
        }
        std::fclose(out);
        stdioWriteBest = std::min(stdioWriteBest, Seconds(t));
        t = Clock::now();
        FILE* in = std::fopen(copy.c_str(), "rb");
        std::vector<uint8_t> back(bytes.size());
        size_t got = std::fread(back.data(), 1, back.size(), in);
        std::fclose(in);
        stdioReadBest = std::min(stdioReadBest, Seconds(t));
        if (got != bytes.size()) {
            return 1;
        }
    }
    std::vector<uint8_t> bytes;
    platform::File::ReadAll(path, &bytes);
    platform::RemoveTree(folder);

    const double entries = static_cast<double>(counters.entries);
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    std::printf("archive: %d files, %d features: %.0f entries, %.2f MB (best of %d rounds)\n", kFiles, kFeatures,
                entries, mb, kRounds);
    std::printf("  write                %10.0f entries/s  %7.1f MB/s   (stdio, same bytes: %7.1f MB/s, ratio %.2f)\n",
                entries / writeBest, mb / writeBest, mb / stdioWriteBest, stdioWriteBest / writeBest);
    std::printf("  read, storage order  %10.0f entries/s  %7.1f MB/s   (stdio, same bytes: %7.1f MB/s, ratio %.2f)\n",
                entries / readBest, mb / readBest, mb / stdioReadBest, stdioReadBest / readBest);
    std::printf("  read, reverse order  %10.0f entries/s  %7.1f MB/s\n", entries / reverseBest, mb / reverseBest);
    std::printf("  probes per key: storage order %.3f, reverse order %.1f\n",
                static_cast<double>(probesInOrder) / entries, static_cast<double>(probesReverse) / entries);
    return 0;
}
