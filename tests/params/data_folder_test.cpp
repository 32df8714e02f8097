#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "params/data_folder.h"

using namespace sequaflow::params;
namespace fs = std::filesystem;

namespace {

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("data_folder_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(start());
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string start() const { return (root_ / "start").string(); }
    std::string user() const { return (root_ / "home/.local/share/kestra/sequaflow").string(); }
    fs::path root_;
};

}  // namespace

TEST_F(DataFolderTest, AnEmptyStartFolderSendsTheFilesToTheUserFolderWhichIsMade) {
    const DataFolder chosen = ChooseDataFolder(start(), user());
    EXPECT_EQ(chosen.path, user());
    EXPECT_FALSE(chosen.startFolder);
    EXPECT_TRUE(chosen.problem.empty());
    EXPECT_TRUE(fs::is_directory(user()));
    EXPECT_TRUE(fs::is_empty(start())) << "nothing is left behind in the start folder";
}

TEST_F(DataFolderTest, AStartFolderHoldingAnyOfTheProgramsFilesStaysInUse) {
    for (const char* mark : {"jezyk.txt", "rozdz.txt", "parametry", "lang"}) {
        fs::remove_all(start());
        fs::create_directories(start());
        if (std::string(mark) == "parametry" || std::string(mark) == "lang")
            fs::create_directory(fs::path(start()) / mark);
        else
            std::ofstream(fs::path(start()) / mark) << "2";
        const DataFolder chosen = ChooseDataFolder(start(), user());
        EXPECT_EQ(chosen.path, start()) << mark;
        EXPECT_TRUE(chosen.startFolder) << mark;
    }
    // A link to the shared language files (as the run script makes) counts even when it dangles.
    fs::remove_all(start());
    fs::create_directories(start());
    fs::create_symlink(root_ / "nowhere", fs::path(start()) / "lang");
    EXPECT_EQ(ChooseDataFolder(start(), user()).path, start());
    EXPECT_FALSE(fs::exists(user()));
}

TEST_F(DataFolderTest, AUserFolderThatCannotBeMadeFallsBackToTheStartFolderAndSaysWhy) {
    fs::create_directories(root_ / "home/.local/share");
    std::ofstream(root_ / "home/.local/share/kestra") << "a file where the folder would go";
    const DataFolder chosen = ChooseDataFolder(start(), user());
    EXPECT_EQ(chosen.path, start());
    EXPECT_TRUE(chosen.startFolder);
    EXPECT_NE(chosen.problem.find(user()), std::string::npos) << chosen.problem;

    const DataFolder none = ChooseDataFolder(start(), "");
    EXPECT_EQ(none.path, start());
    EXPECT_TRUE(none.problem.empty());
}
