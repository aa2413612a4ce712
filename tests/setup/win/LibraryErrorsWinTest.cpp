// The setup image's own throw functions of the standard library: every misuse still arrives as an exception
// that a handler of std::exception catches with a message, and a request for too much memory as
// std::bad_alloc, which the program reports as lack of memory.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "setup/main/LibraryErrors.h"

namespace {

struct Misuse {
    const char* what;
    std::function<void()> run;
    const char* message;  // a part of what() expected
};

TEST(LibraryErrors, MisusesArriveAsExceptionsWithTheLibrarysMessage) {
    const Misuse misuses[] = {
        {"string::at past the end", [] { (void)std::string("ab").at(5); }, "basic_string"},
        {"string::substr past the end", [] { (void)std::string("ab").substr(3); }, "basic_string"},
        {"vector::at past the end", [] { (void)std::vector<int>(2).at(2); }, "vector"},
        {"stoi of no number", [] { (void)std::stoi("x"); }, "stoi"},
        {"an empty function called", [] { std::function<void()>{}(); }, "function"},
    };
    for (const Misuse& misuse : misuses) {
        try {
            misuse.run();
            ADD_FAILURE() << misuse.what << ": nothing thrown";
        } catch (const setup_main::LibraryError& e) {
            EXPECT_NE(std::string(e.what()).find(misuse.message), std::string::npos) << misuse.what << ": " << e.what();
        } catch (...) {
            ADD_FAILURE() << misuse.what << ": another exception";
        }
    }
}

TEST(LibraryErrors, RequestsBeyondTheAddressSpaceAreLackOfMemory) {
    std::vector<char> bytes;
    EXPECT_THROW(bytes.reserve(bytes.max_size() + 1), std::bad_alloc);
    std::string text;
    EXPECT_THROW(text.reserve(text.max_size() + 1), std::bad_alloc);
    EXPECT_THROW(text.append(static_cast<size_t>(-1) / 2, 'x'), std::bad_alloc);
}

}  // namespace
