#pragma once

// Types and constants shared by the two halves of the cabinet engine: FCI, which writes cabinets, and
// FDI, which reads them. Names, numbers and record layouts are those of the Microsoft Cabinet SDK
// interface, inside namespace cab so that a program can use this engine beside the system's own.
#include <cstdint>

namespace cab {

using BOOL = int;
using USHORT = uint16_t;
using UINT = unsigned int;
using ULONG = uint32_t;
using LONG = int32_t;
using INT_PTR = intptr_t;
using TCOMP = unsigned short;

// Error record filled by the engine: the operation's error number, the C runtime errno that a file
// callback reported (FCI), and whether an error happened at all.
struct ERF {
    int erfOper;
    int erfType;
    BOOL fError;
};
using PERF = ERF*;

constexpr UINT CB_MAX_CHUNK = 32768;
constexpr ULONG CB_MAX_DISK = 0x7FFFFFFF;
constexpr int CB_MAX_FILENAME = 256;
constexpr int CB_MAX_CABINET_NAME = 256;
constexpr int CB_MAX_CAB_PATH = 256;
constexpr int CB_MAX_DISK_NAME = 256;

constexpr TCOMP tcompMASK_TYPE = 0x000F;
constexpr TCOMP tcompTYPE_NONE = 0x0000;
constexpr TCOMP tcompTYPE_MSZIP = 0x0001;
constexpr TCOMP tcompTYPE_QUANTUM = 0x0002;
constexpr TCOMP tcompTYPE_LZX = 0x0003;
constexpr TCOMP tcompBAD = 0x000F;

// Attribute bits of a file in a cabinet.
constexpr USHORT kCabAttributeReadOnly = 0x01;
constexpr USHORT kCabAttributeHidden = 0x02;
constexpr USHORT kCabAttributeSystem = 0x04;
constexpr USHORT kCabAttributeArchive = 0x20;
constexpr USHORT kCabAttributeExecute = 0x40;
constexpr USHORT kCabAttributeNameIsUtf8 = 0x80;

// The C runtime's open flags and permission bits as the engine passes them to the open callbacks
// (the Windows values, on every platform).
constexpr int CAB_O_RDONLY = 0x0000;
constexpr int CAB_O_WRONLY = 0x0001;
constexpr int CAB_O_RDWR = 0x0002;
constexpr int CAB_O_ACCMODE = 0x0003;
constexpr int CAB_O_SEQUENTIAL = 0x0020;
constexpr int CAB_O_CREAT = 0x0100;
constexpr int CAB_O_TRUNC = 0x0200;
constexpr int CAB_O_EXCL = 0x0400;
constexpr int CAB_O_BINARY = 0x8000;
constexpr int CAB_S_IREAD = 0x0100;
constexpr int CAB_S_IWRITE = 0x0080;

constexpr int CAB_SEEK_SET = 0;
constexpr int CAB_SEEK_CUR = 1;
constexpr int CAB_SEEK_END = 2;

}  // namespace cab
