#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "link/commands.h"
#include "link/frame_description.h"
#include "link/frame_log.h"
#include "support/transcript.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using link::DescribeFrame;
using link::Frame;
using testing_support::GoldenDiff;

namespace {

// Frames and checksums below are worked out by hand from the frame layout: code, A, B, C, low byte of
// their sum, ':'.

TEST(DescribeFrame, NamesTheCommandAndDecodesEachArgumentLayout) {
    EXPECT_EQ(DescribeFrame({0x56, 0x00, 0x00, 0x00, 0x56, 0x3A}), "ReadLiveFrame");
    EXPECT_EQ(DescribeFrame({0x64, 0x05, 0x00, 0x00, 0x69, 0x3A}), "ParamRead 5");
    EXPECT_EQ(DescribeFrame({0x45, 0x0E, 0x12, 0x34, 0x99, 0x3A}), "ParamStore 14 = 0x1234");
    EXPECT_EQ(DescribeFrame({0x44, 0x00, 0xAA, 0xAA, 0x98, 0x3A}), "ParamSet 0 = 0xAAAA");
    EXPECT_EQ(DescribeFrame({0x4F, 0x00, 0x01, 0x05, 0x55, 0x3A}), "SetInjectorTestMask 0x0105");
    EXPECT_EQ(DescribeFrame({0x46, 0x03, 0x02, 0x73, 0xBE, 0x3A}), "GridCellSet row 3 col 2 = 115");
    EXPECT_EQ(DescribeFrame({0x4C, 0x0B, 0x06, 0x00, 0x5D, 0x3A}), "GridCellRead row 11 col 6");
    EXPECT_EQ(DescribeFrame({0x21, 0x03, 0x03, 0x73, 0x9A, 0x3A}), "StdMapSet 3 = 115");
    EXPECT_EQ(DescribeFrame({0x7C, 0x05, 0x05, 0x00, 0x86, 0x3A}), "TempCorrRead 5");
    EXPECT_EQ(DescribeFrame({0x51, 0x02, 0x0C, 0x80, 0xDF, 0x3A}), "LambdaSet 2 = 0x0C80");
    EXPECT_EQ(DescribeFrame({0x34, 0x1D, 0x00, 0x00, 0x51, 0x3A}), "CorrWordSelect 29");
    EXPECT_EQ(DescribeFrame({0x55, 0x3D, 0x12, 0x34, 0xD8, 0x3A}), "RecordWordStore 61 = 0x1234");
}

TEST(DescribeFrame, UnknownCodesAndBrokenFramesAreNoted) {
    EXPECT_EQ(DescribeFrame({0x7A, 0x00, 0x00, 0x00, 0x7A, 0x3A}), "unknown code 0x7A 'z'");
    EXPECT_EQ(DescribeFrame({0x01, 0x00, 0x00, 0x00, 0x01, 0x3A}), "unknown code 0x01");
    EXPECT_EQ(DescribeFrame({0x64, 0x05, 0x00, 0x00, 0x00, 0x3A}), "ParamRead 5 [checksum 0x00, should be 0x69]");
    EXPECT_EQ(DescribeFrame({0x56, 0x00, 0x00, 0x00, 0x56, 0x00}), "ReadLiveFrame [terminator 0x00, should be ':']");
    // 0xFF + 0x01 wraps to a checksum of 0x00, which is right; only the terminator is wrong.
    EXPECT_EQ(DescribeFrame({0xFF, 0x01, 0x00, 0x00, 0x00, 0x0D}), "unknown code 0xFF [terminator 0x0D, should be ':']");
}

TEST(DescribeFrame, ArgumentsTheControllerWouldNotTakeAsMeantAreNoted) {
    EXPECT_EQ(DescribeFrame({0x64, 0x40, 0x00, 0x00, 0xA4, 0x3A}), "ParamRead 64 [index 64 beyond 63]");
    EXPECT_EQ(DescribeFrame({0x4C, 0x0C, 0x07, 0x00, 0x5F, 0x3A}),
              "GridCellRead row 12 col 7 [row 12 beyond 11] [col 7 beyond 6]");
    EXPECT_EQ(DescribeFrame({0x25, 0x05, 0x05, 0x50, 0x7F, 0x3A}), "TempPointSet 5 = 80 [index 5 beyond 4]");
    EXPECT_EQ(DescribeFrame({0x32, 0x03, 0x04, 0x00, 0x39, 0x3A}), "StdMapRead 3 [repeated index 4 differs]");
    EXPECT_EQ(DescribeFrame({0x49, 0x00, 0x00, 0x01, 0x4A, 0x3A}), "Identify [C = 0x01 unused]");
    EXPECT_EQ(DescribeFrame({0x4B, 0x05, 0x10, 0x00, 0x60, 0x3A}), "ParamSelect 5 [B = 0x10 unused]");
}

TEST(FrameLog, TraceLinesKeepTheirTimestampAndCarryTheDecodedCommand) {
    std::ostringstream out;
    link::FrameLog log(out, true);
    using std::chrono::microseconds;
    log.onSend(microseconds{5000}, Frame{0x64, 0x05, 0x00, 0x00, 0x69, 0x3A});
    const std::uint8_t reply[] = {0x64, 0x05, 0x01, 0x02, 0x00, 0x3A};
    log.onReceive(microseconds{9250}, 6, 6, true, reply);
    log.onPause(microseconds{12000}, 20);
    EXPECT_EQ(out.str(),
              "     0.000 send 64 05 00 00 69 3A  ParamRead 5\n"
              "     4.250 recv 6/6 ok 64 05 01 02 00 3A\n"
              "     7.000 pause 20\n");
}

struct TranscriptPhases : ::testing::Test, testing_support::VirtualLink {};

TEST_F(TranscriptPhases, AMarkerAtEachChangeOfPhaseOnly) {
    testing_support::Transcript t(link);
    const auto progress = t.progress();
    progress({"Param.", 1, 2});
    link::ParamRead(link, 0);
    progress({"Param.", 2, 2});
    link::ParamRead(link, 1);
    progress({"Mapa 1", 1, 17});
    link::PointRead(link, 0);
    progress({"Param.", 1, 1});
    EXPECT_EQ(t.str(),
              "== phase Param.\n"
              "send 64 00 00 00 64 3A  ParamRead 0\n"
              "send 64 01 00 00 65 3A  ParamRead 1\n"
              "== phase Mapa 1\n"
              "send 7D 00 00 00 7D 3A  PointRead 0\n"
              "== phase Param.\n");
    t.clear();
    progress({"Param.", 1, 1});
    EXPECT_EQ(t.str(), "== phase Param.\n");
}

TEST(GoldenDiff, OneChangedLineWithItsContextAndLineNumbers) {
    EXPECT_EQ(GoldenDiff("a\nb\n", "a\nb\n"), "");
    const std::string expected = "l1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\nl10\n";
    const std::string actual = "l1\nl2\nl3\nl4\nX\nl6\nl7\nl8\nl9\nl10\n";
    EXPECT_EQ(GoldenDiff(expected, actual),
              "expected 10 lines, actual 10 lines\n"
              "@@ -2,7 +2,7 @@\n"
              " l2\n l3\n l4\n-l5\n+X\n l6\n l7\n l8\n");
}

TEST(GoldenDiff, AnInsertedLineDoesNotMarkEverythingAfterIt) {
    EXPECT_EQ(GoldenDiff("a\nb\nc\nd\n", "a\nb\nX\nc\nd\n"),
              "expected 4 lines, actual 5 lines\n"
              "@@ -1,4 +1,5 @@\n"
              " a\n b\n+X\n c\n d\n");
    EXPECT_EQ(GoldenDiff("a\nb\nc\n", "a\nc\n"),
              "expected 3 lines, actual 2 lines\n"
              "@@ -1,3 +1,2 @@\n"
              " a\n-b\n c\n");
}

TEST(GoldenDiff, DistantChangesGetHunksOfTheirOwnAndLongDiffsAreCut) {
    std::string expected, actual;
    for (int i = 1; i <= 20; ++i) {
        expected += "l" + std::to_string(i) + "\n";
        actual += (i == 2 || i == 18 ? "X" : "l" + std::to_string(i)) + "\n";
    }
    const auto two = GoldenDiff(expected, actual);
    EXPECT_NE(two.find("@@ -1,5 +1,5 @@\n l1\n-l2\n+X\n l3\n l4\n l5\n"), std::string::npos) << two;
    EXPECT_NE(two.find("@@ -15,6 +15,6 @@\n l15\n l16\n l17\n-l18\n+X\n l19\n l20\n"), std::string::npos) << two;

    std::string many, other;
    for (int i = 0; i < 100; ++i) {
        many += "e" + std::to_string(i) + "\n";
        other += "a" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(GoldenDiff(many, other, 3),
              "expected 100 lines, actual 100 lines\n"
              "@@ -1,100 +1,100 @@\n"
              "-e0\n-e1\n-e2\n"
              "... (cut short; 200 lines differ in all)\n");
}

TEST(GoldenDiff, AMissingFinalNewlineIsNamed) {
    EXPECT_EQ(GoldenDiff("a\nb\n", "a\nb"),
              "expected 2 lines, actual 2 lines\n"
              "the lines are equal; only the final newline differs\n");
}

// Runs with the update switch off, whatever the environment says, and puts it back afterwards.
class UpdateSwitchOff {
public:
    UpdateSwitchOff() {
        if (const char* v = std::getenv("SEQUAFLOW_UPDATE_GOLDEN")) saved_ = v;
        ::unsetenv("SEQUAFLOW_UPDATE_GOLDEN");
    }
    ~UpdateSwitchOff() {
        if (saved_) ::setenv("SEQUAFLOW_UPDATE_GOLDEN", saved_->c_str(), 1);
    }
    UpdateSwitchOff(const UpdateSwitchOff&) = delete;
    UpdateSwitchOff& operator=(const UpdateSwitchOff&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(ExpectMatchesGolden, AMismatchNamesTheFileAndShowsTheDiff) {
    UpdateSwitchOff off;
    EXPECT_NONFATAL_FAILURE(testing_support::ExpectMatchesGolden("link_catalogue", "not a transcript\n"),
                            "transcript differs from tests/golden/link_catalogue.txt (- expected, + actual)\n"
                            "expected ");
    EXPECT_NONFATAL_FAILURE(testing_support::ExpectMatchesGolden("link_catalogue", "not a transcript\n"),
                            "@@ -1,");
    EXPECT_NONFATAL_FAILURE(testing_support::ExpectMatchesGolden("no_such_transcript", ""),
                            "missing golden file tests/golden/no_such_transcript.txt");
}

}  // namespace
