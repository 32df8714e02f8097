#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "maps/map_model.h"
#include "params/fake_ecu.h"
#include "params/parameter_file.h"
#include "params/parameter_settings.h"
#include "params/program_state.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

void Fill(ParameterImage& image, maps::MapModel& model) {
    for (int n = 0; n < 64; ++n) image.setSlot(n, 1000 + 37 * n);
    image.setSlot(49, -20);
    image.setSlot(3, -92);
    image.setSlot(50, 65516);
    for (int k = 0; k < maps::kPoints; ++k) model.setPoint(k, static_cast<std::uint32_t>(300 * k + 17));
    model.setPoint(0, 1152);
    for (int r = 0; r < maps::kRows; ++r)
        for (int c = 0; c < maps::kColumns; ++c) model.setCell(r, c, (r * 7 + c) % 75 - 25);
    for (int k = 0; k < maps::kStdCells; ++k) model.setStdCell(k, 3 * k - 10);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ParameterFile, LayoutOfSignedParametersPointsAndCells) {
    ParameterImage image;
    maps::MapModel model;
    Fill(image, model);
    model.setCell(4, 2, -25);
    const auto bytes = EncodeParameterFile(image, model);
    EXPECT_EQ(bytes[98], 0xFF);
    EXPECT_EQ(bytes[99], 0xEC);
    EXPECT_EQ(bytes[100], 0xFF);  // parameter 50 = 65516 has the same bytes
    EXPECT_EQ(bytes[101], 0xEC);
    EXPECT_EQ(bytes[128], 0x80);
    EXPECT_EQ(bytes[129], 0x04);
    EXPECT_EQ(bytes[162 + 7 * 4 + 2], 75);
    EXPECT_EQ(bytes[246 + 11], 3 * 11 - 10 + 100);

    auto decoded = DecodeParameterFile(bytes);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->parameters[49], -20);
    EXPECT_EQ(decoded->parameters[50], 65516);
    EXPECT_EQ(decoded->parameters[3], -92);
    EXPECT_EQ(decoded->points[0], 1152u);
}

TEST(ParameterFile, SaveThenLoadReproducesEverythingByteForByte) {
    ParameterImage image;
    maps::MapModel model;
    Fill(image, model);
    const auto bytes = EncodeParameterFile(image, model);
    ASSERT_TRUE(WriteParameterFile("golf.kst", bytes).ok());
    EXPECT_EQ(ReadBytes("golf.kst"), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));

    auto content = ReadParameterFile("golf.kst");
    ASSERT_TRUE(content.ok());
    ParameterImage image2;
    maps::MapModel model2;
    ApplyParameterFile(image2, model2, *content);
    for (int n = 0; n < 64; ++n) EXPECT_EQ(image2.slot(n), image.slot(n)) << n;
    EXPECT_TRUE(std::equal(model.points().begin(), model.points().end(), model2.points().begin()));
    EXPECT_TRUE(std::equal(model.advanced().begin(), model.advanced().end(), model2.advanced().begin()));
    EXPECT_TRUE(std::equal(model.standard().begin(), model.standard().end(), model2.standard().begin()));
    EXPECT_EQ(EncodeParameterFile(image2, model2), bytes);
}

TEST(ParameterFile, AtomicWriteReplacesTheOldFileAndLeavesNoTemporary) {
    ParameterImage image;
    maps::MapModel model;
    WriteBytes("set.kst", std::vector<std::uint8_t>(10, 0x42));
    ASSERT_TRUE(WriteParameterFile("set.kst", EncodeParameterFile(image, model)).ok());
    EXPECT_EQ(ReadBytes("set.kst").size(), kParameterFileSize);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(".")) ++entries;
    EXPECT_EQ(entries, 1);

    std::filesystem::create_directory("folder");
    EXPECT_EQ(WriteParameterFile("folder", EncodeParameterFile(image, model)).error().code, FileErrorCode::NotAFile);
    EXPECT_FALSE(WriteParameterFile("missing/dir/set.kst", EncodeParameterFile(image, model)).ok());
}

TEST(ParameterFile, BadFilesAreRejectedWithTheirReason) {
    EXPECT_EQ(ReadParameterFile("nothing.kst").error().code, FileErrorCode::NotFound);
    std::filesystem::create_directory("dir.kst");
    EXPECT_EQ(ReadParameterFile("dir.kst").error().code, FileErrorCode::NotAFile);
    WriteBytes("empty.kst", {});
    EXPECT_EQ(ReadParameterFile("empty.kst").error().code, FileErrorCode::TooShort);
    WriteBytes("short.kst", std::vector<std::uint8_t>(257, 1));
    const auto shortFile = ReadParameterFile("short.kst");
    ASSERT_FALSE(shortFile.ok());
    EXPECT_EQ(shortFile.error().code, FileErrorCode::TooShort);
    EXPECT_NE(shortFile.error().detail.find("short.kst"), std::string::npos);
    WriteBytes("huge.kst", std::vector<std::uint8_t>(kMaxParameterFileSize + 1, 0));
    EXPECT_EQ(ReadParameterFile("huge.kst").error().code, FileErrorCode::TooLarge);
    WriteBytes("secret.kst", std::vector<std::uint8_t>(258, 1));
    ::chmod("secret.kst", 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(ReadParameterFile("secret.kst").error().code, FileErrorCode::Unreadable);
    }

    std::vector<std::uint8_t> longer(300, 0x64);
    longer[0] = 0xAA;
    longer[1] = 0xAA;
    WriteBytes("long.kst", longer);
    const auto content = ReadParameterFile("long.kst");
    ASSERT_TRUE(content.ok());
    EXPECT_EQ(content->parameters[0], 43690);
    EXPECT_EQ(content->standard[11], 0x64);
}

TEST(ParameterFile, DateSuffixNeverAddsADirectory) {
    EXPECT_EQ(DatedFileName("golf.kst", "16.02.2010"), "golf.kst16.02.2010");
    EXPECT_EQ(DatedFileName("golf.kst", "2/16/2010"), "golf.kst2-16-2010");
    EXPECT_EQ(DatedFileName("parametry/golf.kst", "16\\02\\2010"), "parametry/golf.kst16-02-2010");
}

struct Load : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ParameterImage image;
    maps::MapModel model;
    void SetUp() override { ecu.attach(port); }
};

TEST_F(Load, SendsMapsThenTheSetWithTheMarkerLast) {
    ParameterImage source;
    maps::MapModel sourceModel;
    Fill(source, sourceModel);
    sourceModel.setCell(11, 6, 90);
    sourceModel.setCell(10, 6, 60);
    auto content = DecodeParameterFile(EncodeParameterFile(source, sourceModel));
    ASSERT_TRUE(content.ok());
    Transcript t(link);
    (void)LoadParameterFile(link, image, model, *content, t.progress());
    testing_support::ExpectMatchesGolden("params_file_load", t.str());

    // Cells above the maximum the model had before the load are lowered in the model and on the line.
    EXPECT_EQ(model.cell(11, 6), 50);
    EXPECT_EQ(ecu.grid[7 * 11 + 6], 150);
    EXPECT_EQ(ecu.grid[7 * 10 + 6], 150);
    EXPECT_EQ(ecu.params[0], 43690);
    EXPECT_EQ(ecu.params[49], 0xFFEC);
    EXPECT_EQ(ecu.points[0], 1152);
    EXPECT_EQ(image.slot(49), -20);
    const auto& w = port.written();
    EXPECT_EQ(w.front()[0], ']');
    EXPECT_EQ(w[3 * 17][0], '!');
    EXPECT_EQ(w[3 * 17 + 3 * 12][0], 'F');
    EXPECT_EQ(w[3 * 17 + 3 * 12][1], 11);
    EXPECT_EQ(w[3 * 17 + 3 * 12][2], 6);
    EXPECT_EQ(w[3 * 17 + 3 * 12 + 3 * 84][0], ']');
    EXPECT_EQ(w[w.size() - 2][0], 'E');
    EXPECT_EQ(w[w.size() - 2][1], 0);
}

TEST_F(Load, TurboMaximumAllowsTheFullCell) {
    model.setCellMaximum(maps::kTurboCellMaximum);
    ParameterImage source;
    maps::MapModel sourceModel;
    sourceModel.setCell(0, 0, 90);
    auto content = DecodeParameterFile(EncodeParameterFile(source, sourceModel));
    ASSERT_TRUE(content.ok());
    EXPECT_TRUE(LoadParameterFile(link, image, model, *content).completed());
    EXPECT_EQ(ecu.grid[0], 190);
}

TEST(ParameterFileView, AppliesWithoutSendingAndRefreshesTheFirstFlagsShadow) {
    ParameterImage source;
    maps::MapModel sourceModel;
    Fill(source, sourceModel);
    source.setSlot(pn::FirstFlags, 0x1250);
    auto content = DecodeParameterFile(EncodeParameterFile(source, sourceModel));
    ASSERT_TRUE(content.ok());
    ParameterImage image;
    maps::MapModel model;
    ViewParameterFile(image, model, *content);
    EXPECT_EQ(image.slot(kFlags1Shadow), 0x1250);
    EXPECT_TRUE(image.fastClock());
    EXPECT_EQ(model.cell(3, 3), sourceModel.cell(3, 3));
}

// A file viewed over an earlier read: the next bit edit of the second flags word must start from the viewed
// word, and the cell maximum must follow the viewed turbo flag.
TEST(ParameterFileView, ALaterBitEditSendsTheViewedSecondFlagsWord) {
    VirtualLink v;
    ProgramState state;
    state.image.setSlot(pn::SecondFlags, 0x0008);  // as read: map mode 2, no turbo
    state.image.setSlot(pn::ThirdFlags, 0x0006);
    state.image.setSlot(pn::ExtraCorrectionInjectors, 0x00);
    state.image.refreshShadow(FlagsWord::Second);
    state.image.refreshShadow(FlagsWord::Third);
    state.image.refreshShadow(FlagsWord::InjectorSelection);
    state.maps.applyTurboFlag(state.image);
    ASSERT_EQ(state.maps.cellMaximum(), 50);

    ParameterImage source;
    maps::MapModel sourceModel;
    source.setSlot(pn::SecondFlags, 0x4011);  // turbo, buzzer off, reducer cut-off
    source.setSlot(pn::ThirdFlags, 0x0030);
    source.setSlot(pn::ExtraCorrectionInjectors, 0x05);
    auto content = DecodeParameterFile(EncodeParameterFile(source, sourceModel));
    ASSERT_TRUE(content.ok());
    ViewParameterFile(state.image, state.maps, *content);
    EXPECT_TRUE(v.port.written().empty());
    EXPECT_EQ(state.image.slot(kFlags2Shadow), 0x4011);
    // The switching sequence and the filter keep showing the last read, and so does their word's shadow.
    EXPECT_EQ(state.image.slot(kFlags3Shadow), 0x0006);
    EXPECT_EQ(state.image.slot(kInjectorSelectionShadow), 0x05);
    EXPECT_EQ(state.maps.cellMaximum(), 90);

    // Fuel "CNG" is bit 15: 0x4011 | 0x8000 = 0xC011.
    const auto result = ApplySetting(v.link, state, Setting::Fuel, 1, SpeedTextsOf(state), ',');
    ASSERT_TRUE(result.ok());
    ASSERT_FALSE(v.port.written().empty());
    // 'D' 47 0xC0 0x11, checksum 0x44 + 0x2F + 0xC0 + 0x11 = 0x144 -> 0x44.
    const link::Frame expected{'D', 47, 0xC0, 0x11, 0x44, ':'};
    EXPECT_EQ(v.port.written().back(), expected);
    EXPECT_EQ(state.image.slot(pn::SecondFlags), 0xC011);
}

}  // namespace
