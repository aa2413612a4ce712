#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/engine/CreatedFolders.h"

namespace {

using Paths = std::vector<std::string>;

CreatedFolders Made(const Paths& paths) {
    CreatedFolders made;
    made.known = true;
    for (const std::string& path : paths) made.Add(path);
    return made;
}

TEST(CreatedFolders, EachFolderOnceWithoutRegardToCaseOrTrailingBackslash) {
    CreatedFolders made = Made({"C:\\Program Files\\Aldmere", "C:\\Program Files\\Aldmere\\Widget\\",
                                "c:\\program files\\ALDMERE", ""});
    EXPECT_EQ(made.Paths(), Paths({"C:\\Program Files\\Aldmere", "C:\\Program Files\\Aldmere\\Widget"}));
    EXPECT_TRUE(made.Contains("C:\\PROGRAM FILES\\aldmere\\widget\\"));
    EXPECT_FALSE(made.Contains("C:\\Program Files"));
    made.Forget("c:\\program files\\aldmere");
    EXPECT_EQ(made.Paths(), Paths({"C:\\Program Files\\Aldmere\\Widget"}));
}

TEST(CreatedFolders, OnlyMadeFoldersMayGoUnlessTheRecordDoesNotSay) {
    CreatedFolders made = Made({"C:\\Program Files\\Aldmere\\Widget"});
    EXPECT_TRUE(made.MayRemove("C:\\Program Files\\Aldmere\\Widget"));
    EXPECT_FALSE(made.MayRemove("C:\\Program Files"));          // there before
    EXPECT_FALSE(made.MayRemove("C:\\Program Files\\Aldmere"));  // there before, though empty afterwards
    CreatedFolders unknown;  // a record of an earlier setup program
    EXPECT_TRUE(unknown.MayRemove("C:\\Program Files\\Aldmere"));
}

TEST(CreatedFolders, UnwantedFoldersDeepestFirst) {
    const CreatedFolders made = Made({"C:\\P\\Aldmere", "C:\\P\\Aldmere\\Widget", "C:\\P\\Aldmere\\Widget\\Bin",
                                      "C:\\P\\Aldmere\\Widget\\Docs\\Old", "C:\\P\\Aldmere\\Widget\\Docs",
                                      "C:\\Menu\\Widget"});
    const struct {
        Paths wanted;
        Paths unwanted;
    } cases[] = {
        // A removal wants nothing: the deepest go first, so that their parents are empty in turn.
        {{},
         {"C:\\P\\Aldmere\\Widget\\Docs\\Old", "C:\\P\\Aldmere\\Widget\\Bin", "C:\\P\\Aldmere\\Widget\\Docs",
          "C:\\P\\Aldmere\\Widget", "C:\\P\\Aldmere", "C:\\Menu\\Widget"}},
        // A change keeps the target folder and the selected folders with every parent.
        {{"C:\\P\\Aldmere\\Widget", "c:\\p\\aldmere\\widget\\bin\\"},
         {"C:\\P\\Aldmere\\Widget\\Docs\\Old", "C:\\P\\Aldmere\\Widget\\Docs", "C:\\Menu\\Widget"}},
        // A wanted folder whose name only begins like a made one does not keep it.
        {{"C:\\P\\Aldmere\\Widget\\Binaries", "C:\\Menu\\Widget"},
         {"C:\\P\\Aldmere\\Widget\\Docs\\Old", "C:\\P\\Aldmere\\Widget\\Bin", "C:\\P\\Aldmere\\Widget\\Docs"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(made.UnwantedDeepestFirst(c.wanted), c.unwanted);
    }
}

}  // namespace
