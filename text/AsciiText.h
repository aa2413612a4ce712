#pragma once

// The TOML text as the parser is given it: ASCII only. TOML allows characters beyond ASCII only inside
// strings and comments, and the parser we use reaches undefined behaviour for some of them where it tests
// for whitespace (its table has no answer for most code points below U+0500), also while it recovers from
// an error. So it never sees one: in basic strings they become \u escapes, literal strings become basic
// strings with the same text, comments lose them, and anywhere else they are a syntax error of our own.
// Columns that the parser reports after such a character on the same line are those of the converted text.
#include <string>

namespace project_text {

struct TextPosition {
    long line = 0;    // 1-based; 0 for none
    long column = 0;  // 1-based, in bytes
};

// The text with every character beyond ASCII inside strings escaped; bare gets the position of the first
// one outside strings and comments (and the text is then cut there).
std::string AsciiText(const std::string& text, TextPosition* bare);

}  // namespace project_text
