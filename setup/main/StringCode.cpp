// The members of std::string, compiled here for the setup program: about 20 KB in the image against about
// 30 KB for the standard library's own object file, which brings more than these members along.
// Every member instantiated here stays in the image, called or not: each has an unwind entry, and the
// Windows link keeps every unwind entry and so the function it describes (CMakeLists.txt says more).
#include <string>

template class std::basic_string<char>;
