#include "support/transcript.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace sequaflow::testing_support {

void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(SEQUAFLOW_GOLDEN_DIR) + "/" + name + ".txt";
    const char* update = std::getenv("SEQUAFLOW_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << actual;
        ASSERT_TRUE(out.good()) << "cannot write " << path;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path << " (run with SEQUAFLOW_UPDATE_GOLDEN=1 to create it)";
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(expected, actual) << "transcript differs from " << path;
}

}  // namespace sequaflow::testing_support
