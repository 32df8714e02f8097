#include <gtest/gtest.h>

#include <sstream>

#include "cli/config_snapshot.h"

using namespace sequaflow;

namespace {

struct Sent : ::testing::Test {
    params::ParameterImage image;
    maps::MapModel model;
    cli::ConfigSnapshot readBack;
    void SetUp() override {
        for (int n = 0; n < 64; ++n) image.setSlot(n, n);
        image.setSlot(0, 5);  // the marker goes out instead
        image.setSlot(49, -20);
        for (int n = 0; n < 64; ++n) readBack.parameters[static_cast<std::size_t>(n)] = n;
        readBack.parameters[0] = 43690;
        readBack.parameters[49] = -20;
        for (auto& p : readBack.points) p = 0u;
        for (auto& c : readBack.advanced) c = -100;
        for (auto& c : readBack.standard) c = -100;
    }
};

TEST_F(Sent, MatchingReadBackReportsNothing) {
    EXPECT_TRUE(cli::CompareWithSent(image, model, readBack).empty());
}

TEST_F(Sent, DifferencesAndUnreadValuesAreNamed) {
    readBack.parameters[7] = 8;
    readBack.points[16].reset();
    readBack.advanced[7 * 2 + 3] = 15;
    const auto lines = cli::CompareWithSent(image, model, readBack);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "parameter 7: sent 7, the controller holds 8");
    EXPECT_EQ(lines[1], "point 16: no valid answer (sent 0)");
    EXPECT_EQ(lines[2], "advanced map cell 2,3: sent -100, the controller holds 15");
}

TEST_F(Sent, WorkTimeCountersMayCountOnButNotBack) {
    readBack.parameters[36] = 36 + 12;  // twelve seconds of running
    EXPECT_TRUE(cli::CompareWithSent(image, model, readBack).empty());
    readBack.parameters[38] = 30;  // went backwards
    EXPECT_EQ(cli::CompareWithSent(image, model, readBack).size(), 1u);
}

TEST(SnapshotJson, UnreadElementsAreNullAndSignedParametersNegative) {
    params::ParameterFileContent content;
    content.parameters[49] = -20;
    content.advanced[7] = 75;
    auto s = cli::SnapshotOfFile(content);
    s.points[3].reset();
    std::ostringstream out;
    cli::PrintJson(out, s);
    const std::string json = out.str();
    EXPECT_EQ(json.find("hardware"), std::string::npos);
    EXPECT_NE(json.find(",0,-20,0,"), std::string::npos);  // parameter 49 between 48 and 50
    EXPECT_NE(json.find("\"points\":[0,0,0,null,0"), std::string::npos);
    EXPECT_NE(json.find("\"advanced_map\":[[-100,-100,-100,-100,-100,-100,-100],[-25,"), std::string::npos);
    EXPECT_EQ(s.missing(), (std::vector<std::string>{"point 3"}));
    EXPECT_FALSE(s.completeForFile());
}

}  // namespace
