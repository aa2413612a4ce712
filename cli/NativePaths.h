#pragma once
// The command line's messages name the files of this machine as its user knows them. The model keeps
// Windows paths, and a file of the Linux file system is "Z:\dir\file" there; each quoted such path in
// a message is shown as the POSIX path, relative to the working folder when it lies below it.

#include <ostream>
#include <streambuf>
#include <string>

namespace cli {

// `line` with every quoted "Z:\..." path shown as a POSIX path; `workingFolder` is absolute.
std::string ShowNativePaths(const std::string& line, const std::string& workingFolder);

// An output stream that passes whole lines to `target` with their paths shown natively.
class NativePathStream : public std::ostream {
public:
    explicit NativePathStream(std::ostream& target);
    ~NativePathStream() override;

private:
    class Buffer : public std::streambuf {
    public:
        Buffer(std::ostream& target, std::string workingFolder);
        int sync() override;

    protected:
        int_type overflow(int_type c) override;

    private:
        std::ostream& target_;
        std::string workingFolder_;
        std::string line_;
    };
    Buffer buffer_;
};

}  // namespace cli
