// The members of std::string that the setup program calls, compiled here. The standard library's own copy
// of them is one object file that brings every member along (about 30 KB); instantiated in this file,
// compiled with a section per function, only the members that are called stay in the image.
#include <string>

template class std::basic_string<char>;
