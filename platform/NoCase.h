#pragma once

#include <string>
#include <utility>
#include <vector>

// The one case-insensitive comparison of the whole system, for names of folders, files, keys, features
// and every other text of the project.
//
// Texts are ANSI: single bytes, and in a double-byte code page (Japanese, Chinese, Korean) pairs whose
// first byte is a lead byte. Comparing folds every single-byte character to its upper case, as CharUpperA
// does, and never touches a double-byte character: its second byte may look like an ASCII letter, and
// folding it would make two different characters equal.
//
// Which bytes lead and what a byte's upper case is come from a CodePage. On Windows it is read once from
// the system (IsDBCSLeadByte, CharUpperBuffA, CharLowerBuffA); elsewhere it is the Western code page
// 1252, which has no lead bytes and folds ASCII and the Latin-1 letters (e with accent and E with accent,
// and so on). So the model gives the same answers on both sides for ASCII and Latin-1 names, on a Windows
// machine with the Western code page (as Wine's default is).
namespace nocase {

struct CodePage {
    bool lead[256];
    unsigned char upper[256];
    unsigned char lower[256];
};

// Code page 1252: ASCII and Latin-1 letters folded, no lead bytes.
const CodePage& Western();
// A double-byte code page given by its lead-byte ranges (e.g. 932: 0x81-0x9F, 0xE0-0xFC); ASCII folded.
CodePage DoubleByte(const std::vector<std::pair<unsigned char, unsigned char>>& leadRanges);
// The ANSI code page of this machine (Western() off Windows).
const CodePage& System();

// Upper and lower case of every single-byte character; double-byte characters are kept as they are.
std::string Upper(const std::string& text, const CodePage& page = System());
std::string Lower(const std::string& text, const CodePage& page = System());

// Negative, zero or positive as a sorts before, equal to, or after b with case ignored.
int Compare(const std::string& a, const std::string& b, const CodePage& page = System());
bool Equal(const std::string& a, const std::string& b, const CodePage& page = System());
// Whether text begins or ends with the other text, case ignored; a match that would cut a double-byte
// character of text in two is none.
bool StartsWith(const std::string& text, const std::string& prefix, const CodePage& page = System());
bool EndsWith(const std::string& text, const std::string& suffix, const CodePage& page = System());

}  // namespace nocase
