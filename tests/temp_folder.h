// A fixture with a fresh folder of its own under the test's temporary
// directory, removed with everything in it after the test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

class TempFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string dir = (std::filesystem::path(testing::TempDir()) / "spherebench_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        work_ = dir;
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(work_, ignored);
    }

    std::filesystem::path work_;
};
