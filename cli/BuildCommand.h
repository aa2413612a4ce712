#pragma once

#include <ostream>
#include <string>

// tessaro check PROJECT.tsp and tessaro build PROJECT.tsp [--out DIR] [--raw-setup FILE]: the project
// check and the media build over the builder, printing the build output list as it grows. Returns the exit
// status: 0 without errors, 1 with errors, 2 for usage errors and a project that cannot be read.
int RunCheckCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
int RunBuildCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

// The raw setup image a build uses when none is named: TSS.dat beside this program, else the setup
// program gathered into dist/ (the 32-bit build first, then the 64-bit one), else the first path.
std::string DefaultRawSetup();

extern const char kBuildUsage[];
