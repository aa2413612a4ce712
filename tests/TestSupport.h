#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/Paths.h"

namespace testing_support {

// A private folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() : path_(platform::MakeTempFolder("tessaro-test-")) {}
    ~TempFolder() {
        if (!path_.empty()) {
            platform::RemoveTree(path_);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(path, &bytes)) {
        ADD_FAILURE() << "cannot read " << path;
    }
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    platform::File file;
    ASSERT_TRUE(file.Open(path, platform::File::Mode::Replace)) << path;
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<uint8_t>(v));
    }
    return bytes;
}

}  // namespace testing_support
