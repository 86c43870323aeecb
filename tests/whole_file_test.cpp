// Reading whole files: every byte as it stands (no line-end or end-of-file
// translation), and the three failures by their messages.
#include "base/whole_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace spherebench;

namespace {

namespace fs = std::filesystem;

TEST(WholeFile, ReadsEveryByteAsItStands) {
    const fs::path path = fs::temp_directory_path() / "spherebench_whole_file_test.bin";
    const std::string bytes = std::string("a\r\nb\x1A", 5) + std::string(1, '\0') + std::string(70000, 'z');
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string read = "left over";
    EXPECT_EQ(read_whole_file(path.string(), read), std::nullopt);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(read_whole_file_or_empty(path.string()), bytes);
    fs::remove(path);
}

TEST(WholeFile, SaysWhyItCannotRead) {
    std::string read;
    const std::string missing = (fs::temp_directory_path() / "spherebench_no_such_file").string();
    EXPECT_EQ(read_whole_file(missing, read), "can't open " + missing + " for reading");
    const std::string dir = fs::temp_directory_path().string();
    EXPECT_EQ(read_whole_file(dir, read), "can't read " + dir + ": it is a directory");
    EXPECT_EQ(read_whole_file_or_empty(missing), "");
}

TEST(WholeFile, ReadsTheRestOfAStream) {
    std::istringstream in("first\nsecond");
    std::string line, rest;
    std::getline(in, line);
    EXPECT_TRUE(read_whole_stream(in, rest));
    EXPECT_EQ(rest, "second");
}

}  // namespace
