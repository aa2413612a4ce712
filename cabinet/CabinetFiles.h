#pragma once

// The file operations that CCabinet hands to the cabinet engine, in the manner of the C runtime's
// _open/_read/_write/_close/_lseek/remove (flags as in CabTypes.h), over the platform layer so that
// model paths work on every platform. Failures report the operating system's error number.
#include <cstdlib>
#include <cstring>
#include <string>

#include "cabinet/CabTypes.h"
#include "platform/Paths.h"

namespace cabfiles {

cab::INT_PTR Open(const char* path, int oflag, int pmode, int* error);
cab::UINT Read(cab::INT_PTR file, void* data, cab::UINT size, int* error);
cab::UINT Write(cab::INT_PTR file, const void* data, cab::UINT size, int* error);
// Closes a file; a file opened with OpenReplacing is abandoned and its target left as it was.
int Close(cab::INT_PTR file, int* error);
cab::LONG Seek(cab::INT_PTR file, cab::LONG distance, int origin, int* error);
int Remove(const char* path, int* error);

// Opens a new file that takes the place of target only when CommitAndClose succeeds, so that an
// extraction that fails half-way leaves an existing file untouched and never leaves stale bytes. Where
// nothing lies at target yet, the file is written there at once (no work file, no rename) and an
// abandoned one is removed again.
cab::INT_PTR OpenReplacing(const std::string& target, int* error);
// Puts the file in place and gives it time (when not null) as creation and last-write time: through the
// open handle for a new file, by path after the move for a replacing one (a move may carry the replaced
// file's creation time over).
bool CommitAndClose(cab::INT_PTR file, const platform::FileTime* time, int* error);

// The engine's memory callbacks.
inline void* Alloc(cab::ULONG size) { return std::malloc(size); }
inline void Free(void* memory) { std::free(memory); }

// Copies text into a fixed buffer; false (and an empty buffer) when it does not fit.
inline bool CopyText(char* buffer, size_t size, const std::string& text) {
    if (text.size() >= size) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace cabfiles
