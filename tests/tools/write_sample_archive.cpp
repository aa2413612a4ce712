// Writes a small project-like archive from fixed calls: the same bytes on every platform. Used by the
// cross-platform comparison and by the demo.
#include <cstdio>
#include <string>

#include "model/ArchiveRefs.h"
#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

void WriteSupportFile(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create \"%s\"!", path);
    }
    std::string text;
    for (int line = 1; line <= 40; ++line) {
        text += "Licence line " + std::to_string(line) + ": the software is provided as it is.\r\n";
    }
    file.Write(text.data(), text.size());
    file.Close();
}

void WriteSample(const std::string& archivePath) {
    const std::string folder = archivePath.substr(0, archivePath.find_last_of('\\') + 1);
    const std::string support = folder + "License1.txt";
    WriteSupportFile(support);

    CTreeArchive ar("TSFile", kBuildDatabase);
    ar.OpenForSave(archivePath);
    ar.BeginObject("TSDatabase");
    std::string name = "Sample Product";
    std::string version = "1.2.3";
    std::string author;
    ar.ExchangeString("ProductName", &name, "");
    ar.ExchangeString("ProductVersion", &version, "");
    ar.ExchangeString("Author", &author, "");
    uint8_t guid[16] = {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0xCD, 0xAB,
                        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    ar.ExchangeBlock("ProductGUID", guid, sizeof guid);
    uint32_t min95 = 0x200;
    ar.ExchangeInt("Min95", &min95, 0);
    bool allowChange = true;
    ar.ExchangeBool("AllowChange", &allowChange, false);
    int32_t noFile = -1;
    archive_refs::ExchangeFileRef(ar, "ReadmeFile", &noFile, 0);
    std::string folderRef = archive_refs::EncodeIndexPath({0, 2});
    ar.ExchangeString("DefaultFolder", &folderRef, "");
    ar.BeginObject("RootFolders");
    for (int i = 0; i < 2; ++i) {
        ar.BeginObject("Arr" + std::to_string(i));
        std::string title = i == 0 ? "Target Folder" : "Windows Folder";
        ar.ExchangeString("Name", &title, "");
        int32_t position = i;
        ar.ExchangeInt("Position", &position, 0);
        ar.EndObject();
    }
    ar.EndObject();
    ar.BeginObject("Actions");
    ar.EndObject();
    ar.EndObject();
    ar.ExchangeFile(support);
    ar.CloseAfterSave();
    platform::RemoveFile(support);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_sample_archive FILE\n");
        return 2;
    }
    try {
        WriteSample(platform::ToModelPath(argv[1]));
    } catch (const CTSException& e) {
        std::fprintf(stderr, "write_sample_archive: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
