// A file written whole: made before the work, filled and renamed at its end,
// or left as it was when the work fails.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "temp_folder.h"

namespace spherebench {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AtomicFileTest : public TempFolderTest {
  protected:
    // The names in the folder.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(work_)) found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST_F(AtomicFileTest, TheFileIsMadeAtOpenAndReplacedOnlyAtCommit) {
    const fs::path path = work_ / "out.csv";
    std::ofstream(path) << "old";
    AtomicFile file;
    ASSERT_EQ(file.open(path.string()), std::nullopt);
    EXPECT_EQ(fs::path(file.temporary()).parent_path(), work_);
    EXPECT_TRUE(fs::exists(file.temporary()));
    EXPECT_EQ(contents(path), "old");
    ASSERT_EQ(file.commit("new"), std::nullopt);
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(names(), std::vector<std::string>{"out.csv"});
}

TEST_F(AtomicFileTest, AFileNeverCommittedLeavesNothingBehind) {
    const fs::path path = work_ / "out.csv";
    std::ofstream(path) << "old";
    {
        AtomicFile file;
        ASSERT_EQ(file.open(path.string()), std::nullopt);
        AtomicFile made;
        ASSERT_EQ(made.open((work_ / "new.csv").string()), std::nullopt);
        EXPECT_EQ(names().size(), 3u);
    }
    EXPECT_EQ(names(), std::vector<std::string>{"out.csv"});
    EXPECT_EQ(contents(path), "old");
}

TEST_F(AtomicFileTest, APathThatCantBeWrittenFailsAtOpen) {
    AtomicFile file;
    EXPECT_EQ(file.open((work_ / "no-such" / "out.csv").string()),
              "can't write " + (work_ / "no-such" / "out.csv").string() + ": No such file or directory");
    EXPECT_EQ(file.open(work_.string()), "can't write " + work_.string() + ": it is a directory");
    EXPECT_TRUE(names().empty());
}

TEST_F(AtomicFileTest, ThroughALinkTheFileItPointsToIsReplaced) {
    std::ofstream(work_ / "target") << "old";
    fs::create_symlink("target", work_ / "link");
    ASSERT_EQ(write_file_atomically((work_ / "link").string(), "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(work_ / "link"));
    EXPECT_EQ(contents(work_ / "target"), "new");
}

TEST_F(AtomicFileTest, ADeviceIsWrittenDirectly) {
    AtomicFile file;
    ASSERT_EQ(file.open("/dev/null"), std::nullopt);
    EXPECT_EQ(file.temporary(), "");
    EXPECT_EQ(file.commit("bytes"), std::nullopt);
}

}  // namespace
}  // namespace spherebench
