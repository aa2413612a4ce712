#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Helpers of the Windows test programs that start built programs under Wine.
namespace win_test_support {

// The path of a file built beside the tests (a Linux path baked in at build time), as Wine names it.
inline std::string BuiltPath(const char* path) {
    std::string result = path;
    if (!result.empty() && result[0] == '/') {
        result = "Z:" + result;
    }
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

// Runs the program with the arguments and waits for it; the exit code, or -1 when it did not start or end.
inline int RunAndWait(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace win_test_support
