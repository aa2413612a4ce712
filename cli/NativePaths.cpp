#include "cli/NativePaths.h"

#include <unistd.h>

#include <climits>

namespace cli {

namespace {

std::string CurrentFolder() {
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) : std::string();
}

bool StartsModelPath(const std::string& line, size_t at) {
    return line.size() >= at + 3 && (line[at] == 'Z' || line[at] == 'z') && line[at + 1] == ':' &&
           line[at + 2] == '\\';
}

std::string NativeOf(const std::string& modelPath, const std::string& workingFolder) {
    std::string path = modelPath.substr(2);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    // From the root folder every path would be relative: they stay absolute there.
    const std::string below = workingFolder + "/";
    if (workingFolder.size() > 1 && path.size() > below.size() && path.compare(0, below.size(), below) == 0) {
        return path.substr(below.size());
    }
    return path;
}

}  // namespace

std::string ShowNativePaths(const std::string& line, const std::string& workingFolder) {
    std::string shown;
    size_t from = 0;
    for (size_t quote = line.find('"'); quote != std::string::npos; quote = line.find('"', from)) {
        const size_t close = line.find('"', quote + 1);
        if (close == std::string::npos) {
            break;
        }
        shown.append(line, from, quote + 1 - from);
        const std::string quoted = line.substr(quote + 1, close - quote - 1);
        shown += StartsModelPath(quoted, 0) ? NativeOf(quoted, workingFolder) : quoted;
        shown += '"';
        from = close + 1;
    }
    shown.append(line, from, std::string::npos);
    return shown;
}

NativePathStream::Buffer::Buffer(std::ostream& target, std::string workingFolder)
    : target_(target), workingFolder_(std::move(workingFolder)) {}

NativePathStream::Buffer::int_type NativePathStream::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    line_ += traits_type::to_char_type(c);
    if (line_.back() == '\n') {
        target_ << ShowNativePaths(line_, workingFolder_);
        line_.clear();
    }
    return c;
}

int NativePathStream::Buffer::sync() {
    target_ << ShowNativePaths(line_, workingFolder_);
    line_.clear();
    target_.flush();
    return 0;
}

NativePathStream::NativePathStream(std::ostream& target)
    : std::ostream(nullptr), buffer_(target, CurrentFolder()) {
    rdbuf(&buffer_);
}

NativePathStream::~NativePathStream() {
    buffer_.pubsync();
}

}  // namespace cli
