#include "platform/NoCase.h"

namespace nocase {

namespace {

CodePage AsciiOnly() {
    CodePage page{};
    for (int b = 0; b < 256; ++b) {
        page.lead[b] = false;
        page.upper[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 32 : b);
        page.lower[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    }
    return page;
}

void Pair(CodePage& page, int lower, int upper) {
    page.upper[lower] = static_cast<unsigned char>(upper);
    page.lower[upper] = static_cast<unsigned char>(lower);
}

CodePage MakeWestern() {
    CodePage page = AsciiOnly();
    for (int b = 0xE0; b <= 0xFE; ++b) {
        if (b != 0xF7) {  // the division sign; 0xD7 is the multiplication sign
            Pair(page, b, b - 0x20);
        }
    }
    Pair(page, 0x9A, 0x8A);  // s with caron
    Pair(page, 0x9C, 0x8C);  // oe
    Pair(page, 0x9E, 0x8E);  // z with caron
    Pair(page, 0xFF, 0x9F);  // y with diaeresis
    return page;
}

// The length of the character that starts at i: 2 for a lead byte followed by a byte, else 1.
size_t CharLength(const std::string& text, size_t i, const CodePage& page) {
    return page.lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size() ? 2 : 1;
}

std::string Mapped(const std::string& text, const unsigned char* table, const CodePage& page) {
    std::string result = text;
    for (size_t i = 0; i < result.size();) {
        size_t length = CharLength(text, i, page);
        if (length == 1) {
            result[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
        }
        i += length;
    }
    return result;
}

// Whether a character of text starts at position at (or at is the end).
bool IsBoundary(const std::string& text, size_t at, const CodePage& page) {
    size_t i = 0;
    while (i < at) {
        i += CharLength(text, i, page);
    }
    return i == at;
}

}  // namespace

const CodePage& Western() {
    static const CodePage page = MakeWestern();
    return page;
}

CodePage DoubleByte(const std::vector<std::pair<unsigned char, unsigned char>>& leadRanges) {
    CodePage page = AsciiOnly();
    for (const auto& range : leadRanges) {
        for (int b = range.first; b <= range.second; ++b) {
            page.lead[b] = true;
        }
    }
    return page;
}

std::string Upper(const std::string& text, const CodePage& page) {
    return Mapped(text, page.upper, page);
}

std::string Lower(const std::string& text, const CodePage& page) {
    return Mapped(text, page.lower, page);
}

int Compare(const std::string& a, const std::string& b, const CodePage& page) {
    // Folding keeps every byte's place and never makes a lead byte, so equal folded texts have the same
    // characters; the order is that of the folded bytes.
    return Upper(a, page).compare(Upper(b, page));
}

bool Equal(const std::string& a, const std::string& b, const CodePage& page) {
    return a.size() == b.size() && Compare(a, b, page) == 0;
}

bool StartsWith(const std::string& text, const std::string& prefix, const CodePage& page) {
    return prefix.size() <= text.size() && IsBoundary(text, prefix.size(), page) &&
           Equal(text.substr(0, prefix.size()), prefix, page);
}

bool EndsWith(const std::string& text, const std::string& suffix, const CodePage& page) {
    const size_t start = text.size() - suffix.size();
    return suffix.size() <= text.size() && IsBoundary(text, start, page) &&
           Upper(text, page).compare(start, suffix.size(), Upper(suffix, page)) == 0;
}

}  // namespace nocase
