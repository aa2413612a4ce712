#pragma once

#include <cstdint>
#include <string>

// A single-file setup image: the setup program (N bytes), then the database's length M (uint32) and its
// bytes, then the data cabinet, then the CRC-32 (zlib's) of everything from the database's length to the
// end of the cabinet, ended by the 8-byte trailer "KZV", 1 and N. A program whose 8-byte trailer is "KZV",
// a zero byte and N, with a length of N + 8, carries no payload; an image of that tag with a payload is
// older media, without the checksum.
//
// A signed image (Authenticode) ends with the certificate table that its PE security directory names,
// after up to seven zero bytes that align it: the trailer is looked for before them. Signed media carry a
// program signed on its own (with its own trailer and certificate table, N bytes in all) whose checksum
// and security entry are cleared for the signature of the whole image, and kept after the cabinet: the
// PE checksum, the entry's offset and its size (uint32 each), before the CRC-32, which covers them too,
// and the trailer "KZV", 2 and N. Unpacked, that program is the signed copy that maintains the product.

constexpr char kImageTag[4] = {'K', 'Z', 'V', '\0'};
constexpr char kCheckedImageTag[4] = {'K', 'Z', 'V', '\1'};
constexpr char kSignedProgramImageTag[4] = {'K', 'Z', 'V', '\2'};

// Where a PE file keeps its checksum and its security directory entry, and what they hold.
struct SignatureFields {
    uint64_t checksumAt = 0;
    uint64_t securityAt = 0;
    uint32_t checksum = 0;
    uint32_t securityOffset = 0;
    uint32_t securitySize = 0;
};

// False when the file is no PE file with a security directory entry.
bool ReadSignatureFields(const std::string& path, SignatureFields* fields);

struct ImageContents {
    std::string databasePath;
    std::string dataCabinetPath;
    std::string setupProgramPath;  // set only when the program was unpacked from a payload
    bool damaged = false;          // the payload's checksum or lengths do not match: nothing was written
};

// Reads the copy of the running program at copyPath. With a payload, writes "TSSetup.exe" (the program
// with a trailer of its own), "TSdb.dat" and "TSData.cab" into tempFolder (no cabinet when the payload
// ends with the database: media without data files); without one, names tsdb.dat and
// TSData1.cab beside the program. The copy is deleted when it was an image. False when the file is not an
// image, or its lengths do not fit, or its checksum does not match (contents->damaged then says so): the
// copy is then left where it is.
bool UnpackSingleFileImage(const std::string& copyPath, const std::string& moduleFolder,
                           const std::string& tempFolder, ImageContents* contents);

// Writes the data cabinet of the image at imagePath to tempFolder\TSData.cab; false when the file is not an
// image with a sound payload that holds a cabinet. On success *cabinetPath names the written file.
bool ExtractImageCabinet(const std::string& imagePath, const std::string& tempFolder,
                         std::string* cabinetPath);
