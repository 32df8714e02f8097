#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

// Every test runs in a fresh temporary directory, removed afterwards, so files never leak between tests.
class TempDirPerTest : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        original_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "sequaflow-test-XXXXXX").string();
        if (char* dir = mkdtemp(tmpl.data())) {
            dir_ = dir;
            std::filesystem::current_path(dir_);
        }
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::filesystem::current_path(original_);
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
        dir_.clear();
    }

private:
    std::filesystem::path original_;
    std::filesystem::path dir_;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new TempDirPerTest);
    return RUN_ALL_TESTS();
}
