#pragma once

#include <vector>

#include "bench/BenchCorpus.h"

namespace bench {

// Compresses the corpus into MSZIP blocks as one folder (each block with the one before it as history),
// then decodes them on this thread with our decoder and with zlib's inflate in turns, and prints each
// one's best throughput (MB/s of output). Exits when a decoder's output differs from the corpus.
void CompareDecoders(const std::vector<Input>& inputs);

}  // namespace bench
