// A data folder whose files do not read whole is refused with the file and
// what is wrong: a words.txt that is a folder, a NUL inside an ADDONS.LAT
// entry. The same folder with the file whole loads as the project's data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "latin/addon_tables.h"
#include "latin/data_faults.h"
#include "latin_test_data.h"

namespace {

namespace fs = std::filesystem;

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("ostrel-latin-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        for (const char* name : {"INFLECTS.SEC", "ADDONS.LAT", "words.txt"})
            fs::copy_file(fs::path(LatinDataFolder()) / name, folder_ / name);
        ASSERT_TRUE(ReadWholeFile((folder_ / "ADDONS.LAT").string(), &addons_));
    }
    void TearDown() override { fs::remove_all(folder_); }

    bool Load(std::string* error) {
        MemoryLatinHost host;
        return host.LoadFolder(folder_.string(), error);
    }

    fs::path folder_;
    std::string addons_;
};

TEST_F(DataFolder, AWordListThatIsAFolderIsRefused) {
    std::string error;
    ASSERT_TRUE(Load(&error)) << error;
    fs::remove(folder_ / "words.txt");
    fs::create_directory(folder_ / "words.txt");
    ASSERT_FALSE(Load(&error));
    EXPECT_NE(error.find(folder_.string() + "/words.txt: "), std::string::npos) << error;
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST_F(DataFolder, ANulInsideAnAddonsEntryIsRefusedWithItsLine) {
    // The first entry's third line is its meaning: a NUL in its middle.
    const size_t head = addons_.find("TACKON que\n");
    ASSERT_NE(head, std::string::npos);
    const size_t meaning = addons_.find('\n', addons_.find('\n', head) + 1) + 1;
    const int line = 1 + static_cast<int>(std::count(addons_.begin(), addons_.begin() + meaning, '\n'));
    std::string damaged = addons_;
    damaged[meaning + 5] = '\0';
    LatinDataFault fault;
    EXPECT_TRUE(CheckAddonsText(addons_.data(), addons_.size(), &fault));
    ASSERT_FALSE(CheckAddonsText(damaged.data(), damaged.size(), &fault));
    EXPECT_EQ(fault.Describe(), "ADDONS.LAT, line " + std::to_string(line) + ": a NUL byte at column 6");

    std::ofstream(folder_ / "ADDONS.LAT", std::ios::binary | std::ios::trunc) << damaged;
    std::string error;
    ASSERT_FALSE(Load(&error));
    EXPECT_EQ(error, folder_.string() + "/" + fault.Describe());
}

}  // namespace
