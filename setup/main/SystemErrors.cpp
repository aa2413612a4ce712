// The throw function of the locks (std::unique_lock) that the cabinet reader uses, as LibraryErrors.cpp has
// the others: the library's own would link its whole system_error support with its message strings. Apart
// from them, since a program that uses streams (the tests) needs the library's version for its own sake.
#include <bits/functexcept.h>

#include "setup/main/LibraryErrors.h"

namespace std {

void __throw_system_error(int) { throw setup_main::LibraryError("system error"); }

}  // namespace std
