// The run's output files against its input files and each other, by what
// each path names, in a folder of real files, links and spellings.
#include "app/output_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace spherebench {
namespace {

namespace fs = std::filesystem;

// A fresh folder as the current one: data/ holding the two input files, a
// link to data/ and links to its airport file, one of them a hard link.
class OutputFiles : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        previous_ = fs::current_path();
        fs::current_path(work_);
        fs::create_directories("data/sub");
        std::ofstream("data/airports.ptc") << "0 0 A\n";
        std::ofstream("data/flightline.lnc") << "0 0\n";
        fs::create_directory_symlink("data", "data_link");
        fs::create_symlink("data/airports.ptc", "airports_link");
        fs::create_hard_link("data/airports.ptc", "airports_hard");
    }
    void TearDown() override {
        fs::current_path(previous_);
        TempFolderTest::TearDown();
    }

    static std::optional<std::string> check(std::string folder, std::optional<std::string> json,
                                            std::optional<std::string> results = std::nullopt) {
        Options options;
        options.folder = std::move(folder);
        options.json = std::move(json);
        options.results = std::move(results);
        return check_output_files(options);
    }

    fs::path previous_;
};

TEST_F(OutputFiles, AnInputFileIsRefusedHoweverItIsSpelled) {
    const std::string absolute = (work_ / "data" / "flightline.lnc").string();
    const std::string airports = "data/airports.ptc";
    for (const std::string& spelling :
         {airports, std::string("./data/airports.ptc"), std::string("data/sub/../airports.ptc"),
          std::string("data_link/airports.ptc"), std::string("airports_link"), std::string("airports_hard"), absolute,
          std::string("data//flightline.lnc")}) {
        SCOPED_TRACE(spelling);
        const std::optional<std::string> problem = check("data", spelling);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->rfind("--json " + spelling + " is the input file data/", 0), 0u) << *problem;
        EXPECT_TRUE(check("data_link/", std::nullopt, spelling)) << "as --results";
    }
    // The input files of the current folder when no folder is named.
    fs::current_path("data");
    EXPECT_EQ(check("", std::nullopt, "../airports_link"),
              "--results ../airports_link is the input file airports.ptc: a run never writes over what it reads");
}

TEST_F(OutputFiles, TwoOutputsToOneFileAreRefusedWhetherOrNotItIsThere) {
    EXPECT_EQ(check("data", "out.json", "./out.json"), "--json and --results name the same file, ./out.json");
    EXPECT_TRUE(check("data", "data/sub/../out", "data/out"));
    std::ofstream("out.json") << "{}";
    fs::create_symlink("out.json", "out_link");
    EXPECT_TRUE(check("data", "out_link", (work_ / "out.json").string()));
}

TEST_F(OutputFiles, OtherFilesAreAccepted) {
    EXPECT_EQ(check("data", "data/run.json", "data/results.csv"), std::nullopt);
    // An input file of another folder, or a name the folder's files do not
    // have, is no input of this run.
    EXPECT_EQ(check("data/sub", "data/airports.ptc"), std::nullopt);
    EXPECT_EQ(check("data", "airports.ptc"), std::nullopt);
    // A path whose folder is not there: opening it reports that.
    EXPECT_EQ(check("data", "no-such/run.json", "no-such/run.json"), std::nullopt);
}

TEST_F(OutputFiles, IdentifiesAFileYetToBeMadeByItsFolderAndName) {
    EXPECT_EQ(file_identity("new.csv"), file_identity("data/../new.csv"));
    EXPECT_NE(file_identity("new.csv"), file_identity("data/new.csv"));
    EXPECT_EQ(file_identity("new.csv")->name_in_folder, "new.csv");
    EXPECT_EQ(file_identity("no-such/new.csv"), std::nullopt);
}

}  // namespace
}  // namespace spherebench
