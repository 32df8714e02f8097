#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "link/frame_description.h"
#include "link/frame_log.h"

using namespace sequaflow;
using link::DescribeFrame;
using link::Frame;

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

}  // namespace
