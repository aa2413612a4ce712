#pragma once

// The benchmarks' corpus: about 200 MB of Wine's PE DLLs and text files, gathered once into the bench
// tree and shared by the benchmarks that compress it.
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct Input {
    std::string path;  // model path
    std::string name;  // name in the cabinet (the path below the corpus)
    uint64_t size;
};

uint64_t FileSize(const std::string& native);
// The corpus folder below root, gathered on the first call.
std::string MakeCorpus(const std::string& root);
// The corpus's files, sorted by name at each level.
std::vector<Input> CorpusFiles(const std::string& corpus);
// The machine's load over the last minute, as /proc/loadavg tells it.
std::string LoadAverage();

}  // namespace bench
