#include "setup/engine/SingleFileImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

uint32_t ReadU32(platform::File& file, uint64_t offset) {
    uint8_t bytes[4];
    file.Seek(offset);
    file.Read(bytes, 4);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The trailer's program length N, or false when the last 8 bytes are not a trailer.
bool ReadTrailer(platform::File& file, uint64_t length, uint64_t* programLength) {
    if (length < 8) {
        return false;
    }
    char tag[4];
    file.Seek(length - 8);
    file.Read(tag, 4);
    if (std::memcmp(tag, kImageTag, 4) != 0) {
        return false;
    }
    *programLength = ReadU32(file, length - 4);
    return true;
}

void CopyRange(platform::File& in, uint64_t offset, uint64_t size, platform::File& out) {
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(size, 1 << 20)));
    in.Seek(offset);
    for (uint64_t left = size; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        in.Read(chunk.data(), piece);
        out.Write(chunk.data(), piece);
        left -= piece;
    }
}

void WriteRange(platform::File& in, uint64_t offset, uint64_t size, const std::string& path) {
    platform::File out;
    if (!out.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"" + path + "\"!");
    }
    CopyRange(in, offset, size, out);
    out.Close();
}

// Where the database and the cabinet lie inside an image with a payload.
struct Payload {
    uint64_t programLength = 0;
    uint64_t databaseLength = 0;
    uint64_t cabinetOffset = 0;
    uint64_t cabinetLength = 0;
};

// A payload of media without data files ends with the database: its cabinet is empty.
bool FindPayload(platform::File& file, uint64_t length, Payload* payload) {
    uint64_t n = 0;
    if (!ReadTrailer(file, length, &n) || n + 12 > length) {
        return false;
    }
    const uint64_t m = ReadU32(file, n);
    if (n + m + 12 > length) {
        return false;
    }
    payload->programLength = n;
    payload->databaseLength = m;
    payload->cabinetOffset = n + 4 + m;
    payload->cabinetLength = length - n - m - 12;
    return true;
}

}  // namespace

bool UnpackSingleFileImage(const std::string& copyPath, const std::string& moduleFolder,
                           const std::string& tempFolder, ImageContents* contents) {
    try {
        platform::File image;
        if (!image.Open(copyPath, platform::File::Mode::Read)) {
            return false;
        }
        const uint64_t length = image.Size();
        uint64_t n = 0;
        if (!ReadTrailer(image, length, &n)) {
            return false;
        }
        if (length == n + 8) {
            image.Abandon();
            contents->databasePath = moduleFolder + "\\tsdb.dat";
            contents->dataCabinetPath = moduleFolder + "\\TSData1.cab";
            platform::RemoveFile(copyPath);
            return true;
        }
        Payload payload;
        if (!FindPayload(image, length, &payload)) {
            return false;
        }
        const std::string program = tempFolder + "\\TSSetup.exe";
        {
            platform::File out;
            if (!out.Open(program, platform::File::Mode::Replace)) {
                return false;
            }
            CopyRange(image, 0, payload.programLength, out);
            const uint32_t n32 = static_cast<uint32_t>(payload.programLength);
            const uint8_t trailer[8] = {'K', 'Z', 'V', 0, static_cast<uint8_t>(n32), static_cast<uint8_t>(n32 >> 8),
                                        static_cast<uint8_t>(n32 >> 16), static_cast<uint8_t>(n32 >> 24)};
            out.Write(trailer, sizeof trailer);
            out.Close();
        }
        const std::string database = tempFolder + "\\TSdb.dat";
        const std::string cabinet = tempFolder + "\\TSData.cab";
        WriteRange(image, payload.programLength + 4, payload.databaseLength, database);
        if (payload.cabinetLength > 0) {
            WriteRange(image, payload.cabinetOffset, payload.cabinetLength, cabinet);
        }
        image.Abandon();
        platform::RemoveFile(copyPath);
        contents->setupProgramPath = program;
        contents->databasePath = database;
        contents->dataCabinetPath = cabinet;
        return true;
    } catch (const CTSException&) {
        return false;
    }
}

bool ExtractImageCabinet(const std::string& imagePath, const std::string& tempFolder, std::string* cabinetPath) {
    try {
        platform::File image;
        if (!image.Open(imagePath, platform::File::Mode::Read)) {
            return false;
        }
        Payload payload;
        if (!FindPayload(image, image.Size(), &payload) || payload.cabinetLength == 0) {
            return false;
        }
        const std::string cabinet = tempFolder + "\\TSData.cab";
        WriteRange(image, payload.cabinetOffset, payload.cabinetLength, cabinet);
        *cabinetPath = cabinet;
        return true;
    } catch (const CTSException&) {
        return false;
    }
}
