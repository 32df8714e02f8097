#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maps/map_transfer.h"
#include "params/fake_ecu.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::maps;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

struct MapTransfer : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    MapModel model;
    params::ParameterImage image;
    void SetUp() override {
        ecu.attach(port);
        image.setSlot(params::pn::IgnitionType, 2);
        for (std::size_t k = 0; k < 17; ++k) ecu.points[k] = static_cast<std::uint16_t>(1000 + k);
        for (std::size_t i = 0; i < 84; ++i) ecu.grid[i] = static_cast<std::uint8_t>(75 + i);
        for (std::size_t k = 0; k < 12; ++k) ecu.standard[k] = static_cast<std::uint8_t>(90 + k);
    }
};

TEST_F(MapTransfer, ReadRetriesOnceAndKeepsWhatFailsTwice) {
    model.setPoint(3, 4444);
    model.setCellByte(2, 1, 99);
    ecu.silent.insert({'}', 3});       // point 3 never answers
    ecu.silentOnce.insert({'}', 5});   // point 5 answers the retry
    ecu.silent.insert({'L', 2});       // row 2 of every column
    const auto report = ReadMaps(link, model);
    EXPECT_EQ(model.point(3), 4444u);
    EXPECT_EQ(model.point(5), 1005u);
    EXPECT_FALSE(report.points[3]);
    EXPECT_TRUE(report.points[5]);
    EXPECT_EQ(model.cellByte(2, 1), 99);
    EXPECT_EQ(model.cellByte(3, 1), 75 + 7 * 3 + 1);
    EXPECT_EQ(model.stdByte(11), 101);
    EXPECT_EQ(report.failures(), 1 + 7);
    EXPECT_TRUE(report.lastPointValid());
    // 17 points + 1 retry of 5 + 2 of 3, 84 cells + 7 retries, 12 standard cells.
    EXPECT_EQ(port.written().size(), 17u + 2u + 84u + 7u + 12u);
}

TEST_F(MapTransfer, ReadTranscriptAndProgressPhases) {
    ecu.silent.insert({'}', 16});
    std::vector<std::string> phases;
    Transcript t(link);
    const auto marker = t.progress();
    const auto report = ReadMaps(link, model, [&](const params::ProgressStep& s) {
        marker(s);
        if (phases.empty() || phases.back() != s.phase) phases.emplace_back(s.phase);
    });
    testing_support::ExpectMatchesGolden("maps_read", t.str());
    EXPECT_FALSE(report.lastPointValid());
    EXPECT_EQ(phases, (std::vector<std::string>{"Mapa 1", "Mapa 1p", "Mapa 2"}));
}

TEST_F(MapTransfer, WritingACellSendsItsPairWord) {
    model.setCell(4, 2, 10);
    model.setCell(5, 2, -5);
    WriteAdvancedCell(link, model, 5, 2);
    WriteAdvancedCell(link, model, 4, 2);
    ASSERT_EQ(port.written().size(), 6u);
    EXPECT_EQ(port.written()[0], (link::Frame{'F', 5, 2, 95, static_cast<std::uint8_t>('F' + 5 + 2 + 95), ':'}));
    EXPECT_EQ(port.written()[1][0], '>');
    EXPECT_EQ(port.written()[1][1], 32);
    EXPECT_EQ(port.written()[2][0], '_');
    EXPECT_EQ(port.written()[2][2], 110);
    EXPECT_EQ(port.written()[2][3], 95);
    EXPECT_EQ(port.written()[5], port.written()[2]);
    EXPECT_EQ(pacer.pauses(), (std::vector<int>{10, 20, 20, 10, 20, 20}));

    model.setStdCell(3, 15);
    WriteStandardCell(link, model, 3);
    EXPECT_EQ(port.written()[6], (link::Frame{'!', 3, 3, 115, static_cast<std::uint8_t>('!' + 3 + 3 + 115), ':'}));
    EXPECT_EQ(ecu.standard[3], 115);
}

TEST_F(MapTransfer, PointTextsThatAreNotNumbersSendNothing) {
    std::array<std::string, kPoints> texts = {"1000", "2000", "3000", "4000", "5000", "6000", "1,5", "2", "3",
                                              "4,5",  "6",    "8",    "10",   "12",   "14",   "16",  "18"};
    texts[12] = "1O";
    const auto before = model.point(0);
    auto r = WritePoints(link, model, texts, image);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().detail.find("point 12"), std::string::npos);
    EXPECT_TRUE(port.written().empty());
    EXPECT_EQ(model.point(0), before);

    texts[12] = "10";
    ASSERT_TRUE(WritePoints(link, model, texts, image).ok());
    EXPECT_EQ(ecu.points[0], 6912);
    EXPECT_EQ(ecu.points[12], 2304);
    ASSERT_EQ(port.written().size(), 51u);
    EXPECT_EQ(port.written()[1][0], '>');
    EXPECT_EQ(pacer.pauses().size(), 51u);
    EXPECT_EQ(pacer.pauses()[2], 30);
}

TEST_F(MapTransfer, UploadOrderAndLoweringToTheCurrentMaximum) {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) model.setCell(r, c, 90);
    for (int k = 0; k < kPoints; ++k) model.setPoint(k, static_cast<std::uint32_t>(500 + k));
    Transcript t(link);
    (void)UploadMaps(link, model, t.progress());
    testing_support::ExpectMatchesGolden("maps_upload", t.str());
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(model.cell(r, c), 50);
    for (auto b : ecu.grid) EXPECT_EQ(b, 150);
    EXPECT_EQ(port.written().size(), 3u * (17 + 12 + 84 + 17));
}

TEST_F(MapTransfer, MapModeIsTwoBitsOfTheSecondFlagsWord) {
    image.setSlot(params::kFlags2Shadow, 0x4001);
    SetMapMode(link, image, 1);
    EXPECT_EQ(image.slot(params::pn::SecondFlags), 0x4005);
    EXPECT_EQ(ecu.params[47], 0x4005);
    SetMapMode(link, image, 6);  // two bits only
    EXPECT_EQ(image.slot(params::pn::SecondFlags), 0x4009);
    EXPECT_EQ(pacer.pauses(), (std::vector<int>{10, 30, 20, 10, 30, 20}));
}

}  // namespace
