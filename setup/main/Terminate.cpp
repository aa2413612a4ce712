// What ends the setup program when an exception escapes everything: std::abort, as the runtime's default
// handler does after it has written the exception's type to the standard error stream. A Windows program
// has no such stream to show, so the setup image brings its own default handler, and the runtime's, with
// the name demangler it needs, stays out of the link.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
