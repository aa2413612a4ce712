// The pictures that the build draws: well-formed icons and bitmaps of the sizes and depths the programs
// load, each picture its own, and the same bytes embedded in the programs of both Windows trees.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "author/resource.h"
#include "platform/PeResources.h"
#include "setup/wizard/WizardRes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::pe::U16;
using platform::pe::U32;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ArtPath(const std::string& name) { return std::string(TESSARO_ART_DIR) + "/" + name; }

// One image of an icon file, decoded: its colours (0xAARRGGBB, alpha 255 for the palette depths) and
// its mask (true where transparent), top row first.
struct IconImage {
    int size = 0;
    int bits = 0;
    Bytes data;  // the image as the file holds it (header, palette, colours, mask)
    std::vector<uint32_t> colours;
    std::vector<bool> transparent;
};

// Decodes the icon file's images, failing the test on any malformed part.
std::vector<IconImage> ReadIcon(const std::string& name) {
    const Bytes file = ReadFile(ArtPath(name));
    std::vector<IconImage> images;
    if (file.size() < 6 || U16(&file[0]) != 0 || U16(&file[2]) != 1) {
        ADD_FAILURE() << name << ": no icon file";
        return images;
    }
    const int count = U16(&file[4]);
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        if (entry + 16 > file.size()) {
            ADD_FAILURE() << name << ": directory cut short";
            return images;
        }
        IconImage image;
        image.size = file[entry] == 0 ? 256 : file[entry];
        image.bits = U16(&file[entry + 6]);
        const uint32_t length = U32(&file[entry + 8]);
        const uint32_t offset = U32(&file[entry + 12]);
        const int side = image.size;
        const size_t colourStride = (static_cast<size_t>(side) * image.bits + 31) / 32 * 4;
        const size_t maskStride = (static_cast<size_t>(side) + 31) / 32 * 4;
        const size_t palette = image.bits <= 8 ? (size_t{1} << image.bits) * 4 : 0;
        const size_t expected = 40 + palette + (colourStride + maskStride) * side;
        EXPECT_EQ(file[entry + 1], file[entry]) << name << " image " << i << " is not square";
        EXPECT_EQ(U16(&file[entry + 4]), 1) << name << " image " << i << " planes";
        if (offset > file.size() || length > file.size() - offset || length != expected) {
            ADD_FAILURE() << name << " image " << i << ": " << length << " bytes at " << offset << ", expected "
                          << expected;
            return images;
        }
        image.data.assign(file.begin() + offset, file.begin() + offset + length);
        const uint8_t* header = image.data.data();
        EXPECT_EQ(U32(header), 40u);
        EXPECT_EQ(static_cast<int>(U32(header + 4)), side);
        EXPECT_EQ(static_cast<int>(U32(header + 8)), 2 * side) << name << ": height counts colours and mask";
        EXPECT_EQ(U16(header + 14), image.bits);
        const uint8_t* colours = header + 40 + palette;
        const uint8_t* mask = colours + colourStride * side;
        for (int y = side - 1; y >= 0; --y) {  // the rows are stored bottom up
            for (int x = 0; x < side; ++x) {
                const uint8_t* pixel = colours + colourStride * y;
                uint32_t argb = 0;
                if (image.bits == 32) {
                    argb = U32(pixel + 4 * x);
                } else if (image.bits == 8) {
                    const uint8_t* rgbq = header + 40 + 4 * pixel[x];
                    argb = 0xFF000000u | rgbq[2] << 16 | rgbq[1] << 8 | rgbq[0];
                } else {
                    ADD_FAILURE() << name << ": unexpected depth " << image.bits;
                    return images;
                }
                image.colours.push_back(argb);
                image.transparent.push_back((mask[maskStride * y + x / 8] & (0x80 >> (x % 8))) != 0);
            }
        }
        images.push_back(image);
    }
    return images;
}

struct IconCase {
    const char* file;
    std::vector<int> sizes;
};

const std::vector<IconCase>& IconCases() {
    static const std::vector<IconCase> cases = {
        {"Tessaro.ico", {16, 32, 48}},           {"Setup.ico", {16, 32, 48}},
        {"Typical.ico", {32}},                   {"Custom.ico", {32}},
        {"Page-general.ico", {16, 32}},          {"Page-folders.ico", {16, 32}},
        {"Page-registry.ico", {16, 32}},         {"Page-features.ico", {16, 32}},
        {"Page-doctypes.ico", {16, 32}},         {"Page-actions.ico", {16, 32}},
        {"Page-userinterface.ico", {16, 32}},    {"Page-maintenance.ico", {16, 32}},
        {"Page-setupmedia.ico", {16, 32}}};
    return cases;
}

TEST(ArtIcons, EverySizeInBothDepthsWithTransparentAndDrawnPixels) {
    for (const IconCase& icon : IconCases()) {
        SCOPED_TRACE(icon.file);
        const std::vector<IconImage> images = ReadIcon(icon.file);
        std::set<std::pair<int, int>> present;
        for (const IconImage& image : images) {
            present.insert({image.size, image.bits});
            int clear = 0;
            for (size_t i = 0; i < image.colours.size(); ++i) {
                clear += image.transparent[i] ? 1 : 0;
                if (image.bits == 32) {
                    // The mask agrees with the alpha channel, for the releases that draw by the mask.
                    EXPECT_EQ(image.transparent[i], (image.colours[i] >> 24) < 128) << "pixel " << i;
                }
            }
            const int all = image.size * image.size;
            EXPECT_GT(clear, 0) << image.size << "x" << image.bits << " has no transparent pixel";
            EXPECT_GT(all - clear, all / 4) << image.size << "x" << image.bits << " is hardly drawn";
        }
        for (int size : icon.sizes) {
            EXPECT_EQ(present.count({size, 32}), 1u) << size << " pixels in 32 bits";
            EXPECT_EQ(present.count({size, 8}), 1u) << size << " pixels in 256 colours";
        }
        EXPECT_EQ(images.size(), 2 * icon.sizes.size());
    }
}

// The 32-pixel true-colour image of an icon, as the page list shows it.
std::vector<uint32_t> Large(const char* file) {
    for (const IconImage& image : ReadIcon(file)) {
        if (image.size == 32 && image.bits == 32) {
            return image.colours;
        }
    }
    return {};
}

TEST(ArtIcons, EveryPictureIsItsOwn) {
    std::vector<std::pair<const char*, std::vector<uint32_t>>> seen;
    for (const IconCase& icon : IconCases()) {
        const std::vector<uint32_t> picture = Large(icon.file);
        ASSERT_EQ(picture.size(), 32u * 32u) << icon.file;
        for (const auto& earlier : seen) {
            size_t differing = 0;
            for (size_t i = 0; i < picture.size(); ++i) {
                differing += picture[i] != earlier.second[i] ? 1 : 0;
            }
            EXPECT_GT(differing, picture.size() / 8) << icon.file << " looks like " << earlier.first;
        }
        seen.emplace_back(icon.file, picture);
    }
}

// A 24-bit bitmap file: its colours as 0xRRGGBB, top row first.
struct Strip {
    int width = 0;
    int height = 0;
    Bytes dib;  // the file after its 14-byte file header, as a BITMAP resource holds it
    std::vector<uint32_t> colours;
};

Strip ReadStrip(const std::string& name) {
    const Bytes file = ReadFile(ArtPath(name));
    Strip strip;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || U32(&file[2]) != file.size() ||
        U32(&file[14]) != 40 || U16(&file[28]) != 24 || U32(&file[30]) != 0) {
        ADD_FAILURE() << name << ": no uncompressed 24-bit bitmap file";
        return strip;
    }
    strip.width = static_cast<int>(U32(&file[18]));
    strip.height = static_cast<int>(U32(&file[22]));
    const size_t stride = (static_cast<size_t>(strip.width) * 3 + 3) / 4 * 4;
    const uint32_t bits = U32(&file[10]);
    if (strip.height <= 0 || bits != 54 || bits + stride * strip.height != file.size()) {
        ADD_FAILURE() << name << ": pixel data does not fill the file";
        return strip;
    }
    strip.dib.assign(file.begin() + 14, file.end());
    for (int y = strip.height - 1; y >= 0; --y) {
        for (int x = 0; x < strip.width; ++x) {
            const uint8_t* p = &file[bits + stride * y + 3 * x];
            strip.colours.push_back(static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0]);
        }
    }
    return strip;
}

struct StripCase {
    const char* file;
    int cells;
    int cell;
    uint32_t transparent;
};

const StripCase kStrips[] = {{"Toolbar.bmp", 8, 16, 0xFF00FF}, {"FeatureStates.bmp", 4, 20, 0xFFFFFF}};

TEST(ArtStrips, CellsOfTheLoadedSizeEachDrawnAndDistinct) {
    for (const StripCase& c : kStrips) {
        SCOPED_TRACE(c.file);
        const Strip strip = ReadStrip(c.file);
        ASSERT_EQ(strip.width, c.cells * c.cell);
        ASSERT_EQ(strip.height, c.cell);
        std::vector<std::vector<uint32_t>> cells(c.cells);
        for (int y = 0; y < c.cell; ++y) {
            for (int x = 0; x < strip.width; ++x) {
                cells[x / c.cell].push_back(strip.colours[static_cast<size_t>(y) * strip.width + x]);
            }
        }
        for (int i = 0; i < c.cells; ++i) {
            int clear = 0;
            for (uint32_t colour : cells[i]) {
                clear += colour == c.transparent ? 1 : 0;
            }
            EXPECT_GT(clear, 0) << "cell " << i << " has no transparent pixel";
            EXPECT_GT(c.cell * c.cell - clear, c.cell * c.cell / 5) << "cell " << i << " is hardly drawn";
            for (int j = 0; j < i; ++j) {
                EXPECT_NE(cells[i], cells[j]) << "cells " << j << " and " << i << " are the same";
            }
        }
    }
}

// ---- the pictures inside the programs ----

class Program {
public:
    explicit Program(const std::string& path) : bytes_(ReadFile(path)), source_(bytes_.data(), bytes_.size()) {}
    bool Loaded() { return !bytes_.empty() && reader_.ReadHeaders(); }

    bool Resource(uint32_t type, long name, Bytes* data) {
        uint64_t offset = 0;
        uint32_t size = 0;
        if (!reader_.FindResource(type, name, &offset, &size) || offset + size > bytes_.size()) {
            return false;
        }
        data->assign(bytes_.begin() + static_cast<long>(offset), bytes_.begin() + static_cast<long>(offset + size));
        return true;
    }

private:
    Bytes bytes_;
    platform::MemoryByteSource source_;
    platform::pe::PeReader reader_{source_};
};

constexpr uint32_t kIconType = 3;
constexpr uint32_t kBitmapType = 2;
constexpr uint32_t kIconGroupType = 14;

// The icon group holds the file's images, in its order, each image as the file has it.
void ExpectIconEmbedded(Program& program, int groupId, const char* file) {
    SCOPED_TRACE(file);
    Bytes group;
    ASSERT_TRUE(program.Resource(kIconGroupType, groupId, &group)) << "no icon group " << groupId;
    const std::vector<IconImage> images = ReadIcon(file);
    ASSERT_GE(group.size(), 6u);
    ASSERT_EQ(U16(&group[4]), images.size());
    ASSERT_EQ(group.size(), 6 + 14 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const uint8_t* entry = &group[6 + 14 * i];
        EXPECT_EQ(entry[0], images[i].size % 256);
        EXPECT_EQ(U16(entry + 6), images[i].bits);
        Bytes image;
        ASSERT_TRUE(program.Resource(kIconType, U16(entry + 12), &image)) << "image " << i;
        EXPECT_TRUE(image == images[i].data) << "image " << i << " differs from the drawn one";
    }
}

void ExpectBitmapEmbedded(Program& program, int id, const char* file) {
    Bytes bitmap;
    ASSERT_TRUE(program.Resource(kBitmapType, id, &bitmap)) << "no bitmap " << id;
    EXPECT_TRUE(bitmap == ReadStrip(file).dib) << file << " differs from the drawn one";
}

// The trees that the Makefile names; a tree that is not built is skipped, a built tree without its
// programs fails.
std::vector<std::string> WindowsTrees() {
    std::vector<std::string> trees;
    for (const char* tree : {TESSARO_WIN64_TREE, TESSARO_WIN32_TREE}) {
        if (*tree != '\0' && !ReadFile(std::string(tree) + "/CMakeCache.txt").empty()) {
            trees.push_back(tree);
        }
    }
    return trees;
}

TEST(ArtEmbedded, AuthoringProgramCarriesItsPictures) {
    const std::vector<std::string> trees = WindowsTrees();
    if (trees.empty()) {
        GTEST_SKIP() << "no Windows tree built";
    }
    const std::pair<int, const char*> icons[] = {
        {IDI_TESSARO, "Tessaro.ico"},
        {IDI_PAGE_GENERAL, "Page-general.ico"},
        {IDI_PAGE_FOLDERS, "Page-folders.ico"},
        {IDI_PAGE_REGISTRY, "Page-registry.ico"},
        {IDI_PAGE_FEATURES, "Page-features.ico"},
        {IDI_PAGE_DOCTYPES, "Page-doctypes.ico"},
        {IDI_PAGE_ACTIONS, "Page-actions.ico"},
        {IDI_PAGE_USERINTERFACE, "Page-userinterface.ico"},
        {IDI_PAGE_MAINTENANCE, "Page-maintenance.ico"},
        {IDI_PAGE_SETUPMEDIA, "Page-setupmedia.ico"}};
    for (const std::string& tree : trees) {
        SCOPED_TRACE(tree);
        Program program(tree + "/author/Tessaro.exe");
        ASSERT_TRUE(program.Loaded()) << "no program with resources";
        for (const auto& icon : icons) {
            ExpectIconEmbedded(program, icon.first, icon.second);
        }
        ExpectBitmapEmbedded(program, IDB_TOOLBAR, "Toolbar.bmp");
    }
}

TEST(ArtEmbedded, SetupProgramCarriesItsPictures) {
    const std::vector<std::string> trees = WindowsTrees();
    if (trees.empty()) {
        GTEST_SKIP() << "no Windows tree built";
    }
    for (const std::string& tree : trees) {
        SCOPED_TRACE(tree);
        Program program(tree + "/setup/TSS.dat");
        ASSERT_TRUE(program.Loaded()) << "no program with resources";
        ExpectIconEmbedded(program, IDI_SETUP, "Setup.ico");
        ExpectIconEmbedded(program, IDI_WZ_TYPICAL, "Typical.ico");
        ExpectIconEmbedded(program, IDI_WZ_CUSTOM, "Custom.ico");
        ExpectBitmapEmbedded(program, IDB_WZ_FEATURE_STATES, "FeatureStates.bmp");
    }
}

}  // namespace
