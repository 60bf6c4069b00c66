// What runs cut short leave beside files, put right: a folder holding the
// program's leftovers among files of the user's of look-alike names, a
// journal of a real dictionary and one of a leftover. Everything the tidy
// must not touch reads back byte for byte.
#include "dictionary/leftover_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "common/tests/test_files.h"

namespace {

using Files = std::map<std::string, std::string>;  // name -> content

class LeftoverFiles : public ::testing::Test {
protected:
    void Put(const Files& files) {
        for (const auto& [name, content] : files) std::ofstream(folder / name, std::ios::binary) << content;
    }
    Files Folder() const {
        Files files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            files[entry.path().filename().string()] = ReadText(entry.path());
        return files;
    }
    std::u16string Path(const char* name) const { return (folder / name).u16string(); }

    ScratchFolder folder{"leftover-files"};
};

// The user's own files beside an export: other extensions, other middles,
// names without the program's "~"; and another target's temporary.
const Files kUsersFiles = {{"out.tmp", "user 1"},        {"out.rtf.tmp", "user 2"},   {"out.rtf.x.tmp~", "user 3"},
                           {"out.rtf.1x.tmp~", "user 4"}, {"out.rtf~", "user 5"},     {"out.rtf", "the export"},
                           {"other.rtf.tmp~", "another target's"}};

TEST_F(LeftoverFiles, AWriteRemovesOnlyItsOwnTargetsTemporaries) {
    EXPECT_EQ(LeftoverTemporaryPath(u"C:\\a.b\\out.rtf"), u"C:\\a.b\\out.rtf.tmp~");
    EXPECT_EQ(LeftoverTemporaryPath(u"out.rtf", 12), u"out.rtf.12.tmp~");
    Put(kUsersFiles);
    Put({{"out.rtf.tmp~", "killed export"}, {"out.rtf.3.tmp~", "killed export"}});
    EXPECT_EQ(RemoveLeftoverTemporaries(Path("out.rtf")), 2);
    EXPECT_EQ(Folder(), kUsersFiles);
    EXPECT_EQ(RemoveLeftoverTemporaries(Path("out.rtf")), 0);
    // A target whose name ends in digits.
    Put({{"out.2.tmp~", "killed export"}, {"out.2.1.tmp~", "killed export"}});
    EXPECT_EQ(RemoveLeftoverTemporaries(Path("out.2")), 2);
    EXPECT_EQ(Folder(), kUsersFiles);
}

TEST_F(LeftoverFiles, AStartPutsBackWhatCutShortRunsLeftAndTouchesNothingElse) {
    const Files untouched = [] {
        Files files = kUsersFiles;
        files.insert({{"Mine.qdx", "mine"},
                      {"Mine.trn", "Mine's own journal"},
                      {"Other.qdx.qdx", "a user's dictionary of a double extension"},
                      {"Other.qdx.trn", "its journal"},
                      {"Selected.oxm", "list"},
                      {"Selected.oxm.tmp~", "a list save's own temporary, removed by its next load, not this tidy"},
                      // An export's temporary waits for the next export to it.
                      {"out.rtf.tmp~", "killed export"}});
        return files;
    }();
    Put(untouched);
    Put({// An older build's book load, killed: the dictionary half-built
         // beside the copy it kept, and the compile's copy and its journal.
         {"Books.qdx", "half-built"},
         {"Books.qdx.books~", "original"},
         {"Books.qdx.tmp~", "compile copy"},
         {"Books.qdx.trn", "the copy's journal"},
         // An optimisation killed before and during its rebuild's last move.
         {"Mine.qdx.new~", "rebuilt"},
         {"Mine.qdx.new~.tmp~", "rebuilding"},
         // A book load killed: the books so far, the copy a text compiles
         // into, the compile's own copy of it and that copy's journal.
         {"Load.qdx", "whole"},
         {"Load.qdx.tmp~", "staged"},
         {"Load.qdx.1.tmp~", "compiling"},
         {"Load.qdx.1.tmp~.tmp~", "compile's copy"},
         {"Load.qdx.1.trn", "the copy's journal"},
         // New dictionaries' compiles killed: no dictionary of that name yet.
         {"New.qdx.tmp~", "building"},
         {"NEW2.QDX.1.tmp~", "building"},
         // A cut compile beside a journal it does not own.
         {"Other.qdx.tmp~", "killed"}});

    EXPECT_EQ(TidyFolderLeftovers(folder.path().u16string()), 12);
    Files expected = untouched;
    expected["Books.qdx"] = "original";
    expected["Load.qdx"] = "whole";
    EXPECT_EQ(Folder(), expected);
    EXPECT_EQ(TidyFolderLeftovers(folder.path().u16string() + u"/"), 0);

    // One dictionary's tidy (a dictionary of the settings elsewhere).
    Put({{"Mine.qdx.new~", "rebuilt"}, {"Mine.qdx.tmp~", "copy"}, {"Mine.qdx.trn", "the copy's journal"}});
    EXPECT_EQ(TidyDictionaryLeftovers(Path("Mine.qdx")), 3);
    EXPECT_EQ(Folder(), expected);
}

}  // namespace
