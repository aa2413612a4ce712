#include "model/ArchiveRefs.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/TestSupport.h"

using namespace archive_refs;
using testing_support::TempFolder;

namespace {

TEST(RelativePathTest, TheDocumentedExamples) {
    const std::string base = "C:\\Proj\\a.tsp";
    EXPECT_EQ(EncodeRelativePath("C:\\Proj\\img\\s.bmp", base), "0,\\img\\s.bmp");
    EXPECT_EQ(EncodeRelativePath("C:\\Data\\x.txt", base), "1,\\Data\\x.txt");
    EXPECT_EQ(EncodeRelativePath("D:\\x.txt", base), "D:\\x.txt");
    EXPECT_EQ(DecodeRelativePath("0,\\img\\s.bmp", base), "C:\\Proj\\img\\s.bmp");
    EXPECT_EQ(DecodeRelativePath("1,\\Data\\x.txt", base), "C:\\Data\\x.txt");
    EXPECT_EQ(DecodeRelativePath("D:\\x.txt", base), "D:\\x.txt");
}

TEST(RelativePathTest, PathsThatCannotBeMadeRelativeAreStoredUnchanged) {
    const std::string base = "C:\\Proj\\a.tsp";
    EXPECT_EQ(EncodeRelativePath("", base), "");
    EXPECT_EQ(EncodeRelativePath("c:\\proj\\A.TSP", base), "c:\\proj\\A.TSP") << "equal without regard to case";
    EXPECT_EQ(EncodeRelativePath("C:x.txt", base), "C:x.txt") << "no common backslash";
    EXPECT_EQ(DecodeRelativePath("", base), "");
}

TEST(RelativePathTest, ComparesWithoutRegardToCaseAndKeepsThePathsOwnCase) {
    EXPECT_EQ(EncodeRelativePath("c:\\proj\\Sub\\File.TXT", "C:\\Proj\\a.tsp"), "0,\\Sub\\File.TXT");
    EXPECT_EQ(EncodeRelativePath("C:\\Proj\\a.tsp2", "C:\\Proj\\a.tsp"), "0,\\a.tsp2");
}

TEST(RelativePathTest, RoundTripsAgainstDeepAndShallowBases) {
    const std::vector<std::string> bases = {"C:\\Proj\\a.tsp", "C:\\a.tsp", "Z:\\home\\u\\deep\\er\\p.tsp"};
    const std::vector<std::string> paths = {
        "C:\\Proj\\img\\s.bmp", "C:\\Data\\x.txt", "C:\\x.txt",         "D:\\x.txt",
        "Z:\\home\\u\\f.dll",   "Z:\\home\\v\\a,b.txt", "C:\\Proj\\a,b\\c.txt", "Z:\\home\\u\\deep\\er\\sub\\q.ico"};
    for (const std::string& base : bases) {
        for (const std::string& path : paths) {
            EXPECT_EQ(DecodeRelativePath(EncodeRelativePath(path, base), base), path)
                << path << " against " << base << " stored as " << EncodeRelativePath(path, base);
        }
    }
}

TEST(RelativePathTest, AbsolutePathsWithCommasAreNotTakenForRelativeOnes) {
    EXPECT_EQ(DecodeRelativePath("D:\\a,b.txt", "C:\\Proj\\a.tsp"), "D:\\a,b.txt");
}

TEST(RelativePathTest, CountsBeyondTheBaseFallBackToItsLastFolder) {
    EXPECT_EQ(DecodeRelativePath("5,\\x.txt", "C:\\Proj\\a.tsp"), "C:\\Proj\\\\x.txt");
    EXPECT_EQ(DecodeRelativePath("-3,\\x.txt", "C:\\Proj\\a.tsp"), "C:\\Proj\\\\x.txt");
}

struct Node {
    std::vector<Node*> children;
};

TEST(IndexPathTest, EncodesFromTheRootDown) {
    EXPECT_EQ(EncodeIndexPath({0}), "0,");
    EXPECT_EQ(EncodeIndexPath({0, 2}), "0,2,");
    EXPECT_EQ(EncodeIndexPath({}), "");
}

TEST(IndexPathTest, ResolvesOnlyPathsThatStayInsideTheirLists) {
    std::vector<std::unique_ptr<Node>> owned;
    auto make = [&owned]() {
        owned.push_back(std::make_unique<Node>());
        return owned.back().get();
    };
    std::vector<Node*> roots = {make(), make()};
    roots[0]->children = {make(), make(), make()};
    auto children = [](Node* n) -> const std::vector<Node*>& { return n->children; };

    EXPECT_EQ((ResolveIndexPath<Node>("0,", roots, children)), roots[0]);
    EXPECT_EQ((ResolveIndexPath<Node>("0,2,", roots, children)), roots[0]->children[2]);
    EXPECT_EQ((ResolveIndexPath<Node>("1,", roots, children)), roots[1]);
    for (const char* bad : {"", "2,", "0,3,", "1,0,", "-1,", "0,-1,", "0", "0,1", "a,", ",", "0,,1,",
                            "99999999999999999999,", " 0,"}) {
        EXPECT_EQ((ResolveIndexPath<Node>(bad, roots, children)), nullptr) << "\"" << bad << "\"";
    }
}

TEST(FileRefTest, OutOfRangePositionsLoadAsNone) {
    TempFolder folder;
    const std::string path = folder / "refs.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        for (int position : {0, 4, 5, -1, -7}) {
            int stored = position;
            ExchangeFileRef(ar, ("Ref" + std::to_string(position)).c_str(), &stored, 5);
            EXPECT_EQ(stored, position);
        }
        std::string image = "C:\\Proj\\img\\s.bmp";
        ExchangeRelativePath(ar, "Image", &image, "C:\\Proj\\a.tsp");
        ar.CloseAfterSave();
    }
    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    const std::pair<int, int> expected[] = {{0, 0}, {4, 4}, {5, -1}, {-1, -1}, {-7, -1}};
    for (auto [position, resolved] : expected) {
        int loaded = 3;
        ExchangeFileRef(ar, ("Ref" + std::to_string(position)).c_str(), &loaded, 5);
        EXPECT_EQ(loaded, resolved) << position;
    }
    int missing = 3;
    ExchangeFileRef(ar, "Absent", &missing, 5);
    EXPECT_EQ(missing, -1);
    std::string image;
    ExchangeRelativePath(ar, "Image", &image, "D:\\Moved\\a.tsp");
    EXPECT_EQ(image, "D:\\Moved\\img\\s.bmp") << "files next to the project move with it";
}

}  // namespace
