#pragma once

#include <ostream>

// tessaro cab create|list|extract: makes cabinet sets, lists cabinets and extracts them, through the
// same CCabinet and engine as the programs. Returns the exit status: 0 done, 1 failed, 2 usage.
int RunCabCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

extern const char kCabUsage[];
