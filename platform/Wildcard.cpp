#include "platform/FindFiles.h"
#include "platform/NoCase.h"

namespace platform {

namespace {

// Plain matching of * and ?, iterative with one backtracking point, so that no pattern costs more than
// the product of the two lengths.
bool GlobMatch(const std::string& pattern, const std::string& name) {
    size_t p = 0;
    size_t n = 0;
    size_t starP = std::string::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool HasDot(const std::string& name) { return name.find('.') != std::string::npos; }

// The rules of * and ? and the dot, once both texts are folded to one case.
bool CaseSensitiveMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    const size_t length = pattern.size();
    if (length >= 2 && pattern.compare(length - 2, 2, ".*") == 0 && !HasDot(name)) {
        return GlobMatch(pattern.substr(0, length - 2), name);
    }
    if (length >= 1 && pattern[length - 1] == '.') {
        return !HasDot(name) && GlobMatch(pattern.substr(0, length - 1), name);
    }
    return GlobMatch(pattern, name);
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    return CaseSensitiveMatch(nocase::Upper(pattern), nocase::Upper(name));
}

}  // namespace platform
