#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "params/fake_ecu.h"
#include "params/parameter_reader.h"
#include "params/parameter_writer.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

struct Transfer : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ParameterImage image;
    void SetUp() override { ecu.attach(port); }
};

// The frames of one parameter write, as hex bytes.
std::string Frames(const std::vector<link::Frame>& frames) {
    std::ostringstream s;
    for (const auto& f : frames) {
        s << char(f[0]);
        for (int i = 1; i < 4; ++i) s << ' ' << int(f[static_cast<std::size_t>(i)]);
        s << ';';
    }
    return s.str();
}

TEST_F(Transfer, WriteParameterSendsTheLowSixteenBitsWithItsPauses) {
    image.setSlot(49, -20);
    WriteParameter(link, image, 49);
    EXPECT_EQ(Frames(port.written()), "K 49 0 0;E 49 255 236;D 49 255 236;");
    EXPECT_EQ(pacer.pauses(), (std::vector<int>{10, 30, 20}));
    EXPECT_EQ(port.written()[1], (link::Frame{'E', 49, 0xFF, 0xEC, static_cast<std::uint8_t>('E' + 49 + 0xFF + 0xEC), ':'}));
    EXPECT_EQ(ecu.params[49], 0xFFEC);

    port.setResponder({});
    image.setSlot(16, 100000);
    WriteParameter(link, image, 16);
    EXPECT_EQ(port.written().back()[2], 0x86);  // 34464 = 0x86A0
    EXPECT_EQ(port.written().back()[3], 0xA0);
}

TEST_F(Transfer, EachWriterKeepsItsOwnPauses) {
    struct Case {
        Writer writer;
        std::string frames;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {Writer::MinTempSwitch, "K5 E5 D5 K41 E41 D41", {10, 30, 20, 30, 20, 20}},
        {Writer::ExtraCorrection, "K52 E52 D52 K51 E51 D51", {10, 30, 20, 10, 30, 20, 10}},
        {Writer::SpeedDrop, "K53 E53 D53", {30, 20, 20}},
        {Writer::ReducerCutoff, "K48 E48 D48 K47 E47 D47", {10, 30, 20, 30, 30, 20}},
        {Writer::GasCutoff, "K49 E49 D49 K47 E47 D47", {10, 30, 20, 30, 30, 20}},
        {Writer::HeatingStrength, "K57 E57 D57 K43 E43 D43 K42 E42 D42", {10, 30, 20, 20, 20, 30, 20, 20, 30, 20}},
        {Writer::SmoothSwitching, "K41 E41 D41 K42 E42 D42 K43 E43 D43 K22 E22 D22",
         {30, 20, 20, 30, 20, 20, 30, 20, 20, 30, 20, 20}},
        {Writer::ControlSettings, "K58 E58 D58", {30, 20}},
        {Writer::TankSettings, "K22 E22 D22 K30 E30 D30 K31 E31 D31 K32 E32 D32 K33 E33 D33",
         {10, 30, 20, 10, 30, 20, 10, 30, 20, 10, 30, 20, 10, 30, 20}},
    };
    for (const Case& c : cases) {
        VirtualLink v;
        WriteParameters(v.link, image, c.writer);
        std::string frames;
        for (const auto& f : v.port.written()) frames += (frames.empty() ? "" : " ") + std::string(1, char(f[0])) + std::to_string(f[1]);
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(v.pacer.pauses(), c.pauses) << c.frames;
    }
}

TEST_F(Transfer, WriteAllSendsTheMarkerLastWithoutTouchingSlotZero) {
    for (int n = 0; n < 64; ++n) image.setSlot(n, 1000 + n);
    std::vector<int> positions;
    EXPECT_TRUE(WriteAllParameters(link, image, [&](const ProgressStep& s) { positions.push_back(s.position); }).completed());
    ASSERT_EQ(port.written().size(), 64u * 3);
    EXPECT_EQ(port.written()[0][1], 63);
    EXPECT_EQ(port.written()[3 * 62][1], 1);
    const auto& markerStore = port.written()[3 * 63 + 1];
    EXPECT_EQ(markerStore[0], 'E');
    EXPECT_EQ(markerStore[1], 0);
    EXPECT_EQ(markerStore[2] << 8 | markerStore[3], 43690);
    EXPECT_EQ(image.slot(0), 1000);
    EXPECT_EQ(ecu.params[0], 43690);
    EXPECT_EQ(ecu.params[63], 1063);
    const auto& p = pacer.pauses();
    ASSERT_EQ(p.size(), 64u * 3);
    EXPECT_EQ((std::vector<int>(p.begin(), p.begin() + 3)), (std::vector<int>{30, 20, 20}));
    EXPECT_EQ((std::vector<int>(p.end() - 3, p.end())), (std::vector<int>{30, 30, 10}));
    EXPECT_EQ(positions.size(), 64u);
    EXPECT_EQ(positions.back(), 64);
}

TEST_F(Transfer, ReadStoresAcceptedRepliesSignExtendedAndSkipsTheRest) {
    for (int n = 0; n < 64; ++n) ecu.params[static_cast<std::size_t>(n)] = static_cast<std::uint16_t>(n * 3);
    ecu.params[0] = 43690;
    ecu.params[49] = 0xFFEC;
    ecu.params[50] = 0xFFEC;
    ecu.params[22] = 0x3250;
    ecu.params[47] = 0x0009;
    ecu.silent.insert({'d', 7});
    ecu.wrongEcho.insert(8);
    image.setSlot(7, 777);
    image.setSlot(8, 888);
    const auto report = ReadParameterSet(link, image);
    EXPECT_EQ(image.slot(49), -20);
    EXPECT_EQ(image.slot(50), 65516);
    EXPECT_EQ(image.slot(7), 777);  // no answer: unchanged, no retry
    EXPECT_EQ(image.slot(8), 888);  // echo of another number: ignored
    EXPECT_FALSE(report.valid[7]);
    EXPECT_FALSE(report.valid[8]);
    EXPECT_EQ(report.failures(), 2);
    EXPECT_TRUE(report.programmed);
    EXPECT_EQ(image.slot(kFlags1Shadow), 0x3250);
    EXPECT_EQ(image.slot(kFlags2Shadow), 0x0009);
    std::size_t reads = 0;
    for (const auto& f : port.written()) reads += f[0] == 'd';
    EXPECT_EQ(reads, 64u);
    EXPECT_EQ(pacer.pauses().front(), 20);
}

TEST_F(Transfer, ProgrammingCheckAndTheShadowsOfAnUnprogrammedController) {
    ecu.params[0] = 0;
    EXPECT_TRUE(ReadParameterSet(link, image).programmed);

    ecu.params[0] = 0x5555;
    ecu.params[22] = 0x0250;
    ParameterImage fresh;
    const auto report = ReadParameterSet(link, fresh);
    EXPECT_FALSE(report.programmed);
    EXPECT_FALSE(fresh.held(kFlags1Shadow));  // not copied on this path
    // Declining the reset: the flag writes of the read may only send what was read.
    AdoptReadFlagsWords(fresh, report);
    VirtualLink v;
    ASSERT_TRUE(ApplyReadFlagWrites(v.link, fresh));
    ASSERT_EQ(v.port.written().size(), 6u);
    EXPECT_EQ(v.port.written()[5][2] << 8 | v.port.written()[5][3], 0xC250);
}

TEST_F(Transfer, FlagWritesOfTheReadNeverSendAWordNobodyRead) {
    ecu.params[0] = 0x5555;
    ecu.silent.insert({'d', 22});
    const auto report = ReadParameterSet(link, image);
    AdoptReadFlagsWords(image, report);
    VirtualLink v;
    EXPECT_FALSE(ApplyReadFlagWrites(v.link, image));
    EXPECT_TRUE(v.port.written().empty());
}

TEST_F(Transfer, FlagWritesSetSpeedLimitThenReducerVacuum) {
    image.storeWord(pn::FirstFlags, 0x0250);
    image.refreshShadow(FlagsWord::First);
    ASSERT_TRUE(ApplyReadFlagWrites(link, image));
    ASSERT_EQ(port.written().size(), 6u);
    EXPECT_EQ(port.written()[2][2] << 8 | port.written()[2][3], 0x4250);
    EXPECT_EQ(port.written()[5][2] << 8 | port.written()[5][3], 0xC250);
    EXPECT_EQ(pacer.pauses(), (std::vector<int>{10, 30, 20, 10, 30, 20}));
}

TEST_F(Transfer, ReadTranscriptWithStaleInputAndASilentParameter) {
    for (int n = 0; n < 64; ++n) ecu.params[static_cast<std::size_t>(n)] = static_cast<std::uint16_t>(0x0101 * n);
    ecu.silent.insert({'d', 33});
    port.deliver({0x55, 0x55, 0x55});  // left over from before: discarded, never taken as a reply
    Transcript t(link);
    (void)ReadParameterSet(link, image, t.progress());
    testing_support::ExpectMatchesGolden("params_read", t.str());
    EXPECT_EQ(image.slot(0), 0);
    EXPECT_EQ(image.slot(34), 0x2222);
}

}  // namespace
