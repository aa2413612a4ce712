#pragma once

#include <windows.h>

#include <string>

// An environment variable of the test program, put back as it was when the object ends; tests point TMP
// and TEMP at folders of their own while they run.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name) {
        char value[MAX_PATH] = "";
        had_ = GetEnvironmentVariableA(name, value, MAX_PATH) != 0;
        value_ = value;
    }
    ~SavedVariable() { SetEnvironmentVariableA(name_, had_ ? value_.c_str() : nullptr); }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string value_;
};
