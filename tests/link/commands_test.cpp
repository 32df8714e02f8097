#include <gtest/gtest.h>

#include "link/commands.h"
#include "support/scripted_port.h"
#include "support/virtual_link.h"
#include "support/transcript.h"

using namespace sequaflow;
using testing_support::ScriptedPort;
using testing_support::Transcript;
using testing_support::WordReply;

namespace {

struct CommandFixture : ::testing::Test, testing_support::VirtualLink {
};

TEST_F(CommandFixture, EverySenderAndWriteSequenceMatchesItsTranscript) {
    Transcript t(link);
    link::ReadLiveFrame(link);
    link::Identify(link);
    link::SwitchToPetrol(link);
    link::SwitchToAuto(link);
    link::SwitchToGas(link);
    link::ClearErrors(link);
    link::SetInjectorTestMask(link, 0x0105);
    link::ParamRead(link, 63);
    link::PointRead(link, 16);
    link::GridCellRead(link, 11, 6);
    link::StdMapRead(link, 11);
    link::TempPointRead(link, 4);
    link::TempCorrRead(link, 5);
    link::LambdaRead(link, 11);
    link::RecordWordRead(link, 63);
    link::WriteParamSequence(link, 14, 0x1234);
    link::WriteParamSequence(link, 0, 0xAAAA, {.before = 10, .select = 30, .store = 30, .after = 10});
    link::WritePointSequence(link, 16, 0x0FA0);
    link::WriteGridCellSequence(link, 11, 6, 150, 59, 0x9696);
    link::WriteStdMapSequence(link, 3, 115);
    link::WriteTempPointSequence(link, 4, 80);
    link::WriteTempCorrSequence(link, 5, 100);
    link::LambdaSet(link, 2, 0x0C80);
    link::WriteSerialNumber(link, 4660);
    link::WriteRecordWords62And63(link, 0x0102, 0x0304);
    testing_support::ExpectMatchesGolden("link_catalogue", t.str());
}

TEST_F(CommandFixture, FramesFromTheCatalogueExamples) {
    link::StdMapSet(link, 3, 115);
    link::LambdaSet(link, 2, 0x0C80);
    ASSERT_EQ(port.written().size(), 4u);
    EXPECT_EQ(port.written()[0], (link::Frame{0x21, 0x03, 0x03, 0x73, 0x9A, 0x3A}));
    EXPECT_EQ(port.written()[1], (link::Frame{0x51, 0x02, 0x0C, 0x80, 0xDF, 0x3A}));
    EXPECT_EQ(port.written()[2], (link::Frame{0x34, 0x1D, 0x00, 0x00, 0x51, 0x3A}));
    EXPECT_EQ(port.written()[3], (link::Frame{0x37, 0x1D, 0x0C, 0x80, 0xE0, 0x3A}));
    EXPECT_EQ(pacer.pauses(), (std::vector<int>{10, 30, 10}));
}

TEST_F(CommandFixture, GuardedSendersSendNothingOutOfRange) {
    link::TempCorrSet(link, 6, 1);
    link::TempPointSet(link, 5, 1);
    EXPECT_TRUE(port.written().empty());
    link::TempCorrSet(link, 5, 1);
    link::TempPointSet(link, 4, 1);
    EXPECT_EQ(port.written().size(), 2u);
}

TEST_F(CommandFixture, ParamReadIgnoresAnotherIndexEcho) {
    port.setResponder([](ScriptedPort& p, const link::Frame& f) { p.deliver(WordReply('d', f[1] + 1, 77)); });
    EXPECT_FALSE(link::ReadParamWord(link, 5).has_value());
    port.setResponder([](ScriptedPort& p, const link::Frame& f) { p.deliver(WordReply('d', f[1], 0xFFEC)); });
    EXPECT_EQ(link::ReadParamWord(link, 5), 0xFFEC);
}

TEST_F(CommandFixture, ShortReadRetriesOnceThenGivesUp) {
    int answered = 0;
    port.setResponder([&](ScriptedPort& p, const link::Frame& f) {
        if (++answered == 2) p.deliver(WordReply('d', f[1], 0x0173));
    });
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::StdMapRead, 3), 0x73);  // byte stores use offset 3 alone
    EXPECT_EQ(port.written().size(), 2u);

    port.setResponder({});
    EXPECT_FALSE(link::ReadShort(link, link::ShortRead::GridCellRead, 1, 2).has_value());
    EXPECT_EQ(port.written().size(), 4u);
    EXPECT_FALSE(link::ReadShort(link, link::ShortRead::PointRead, 1, 0, false).has_value());
    EXPECT_EQ(port.written().size(), 5u);
}

TEST_F(CommandFixture, PointsAndLambdaTakeTheWholeWord) {
    port.setResponder([](ScriptedPort& p, const link::Frame& f) { p.deliver(WordReply('d', f[1], 0x0C80)); });
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::PointRead, 4), 0x0C80);
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::LambdaRead, 2), 0x0C80);
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::TempCorrRead, 2), 0x80);
}

TEST_F(CommandFixture, RecordWordsNeedTheirOwnEcho) {
    port.setResponder([](ScriptedPort& p, const link::Frame& f) {
        if (f[1] == 61) p.deliver(WordReply('e', 61, 4660));
        if (f[1] == 62) p.deliver(WordReply('e', 99, 1));  // wrong echo: ignored
        if (f[1] == 63) p.deliver(WordReply('d', 63, 2));  // wrong letter: ignored
    });
    std::uint16_t serial = 0;
    EXPECT_TRUE(link::ReadSerialNumber(link, serial));
    EXPECT_EQ(serial, 4660);
    std::uint16_t w62 = 11, w63 = 22;
    link::ReadRecordWords62And63(link, w62, w63);
    EXPECT_EQ(w62, 11);
    EXPECT_EQ(w63, 22);
}

// Found by the fault soak: a bit flipped on the line used to be taken as the value. A reply whose sum does not
// check is asked again; the second answer is taken when its sum checks or when it repeats the first exactly.
TEST_F(CommandFixture, ARepliesSumByteMustMatchOrTheReplyRepeat) {
    std::size_t base = 0;
    const auto sent = [&] { return port.written().size() - base; };
    const auto once = [&](std::vector<std::uint8_t> first) {
        base = port.written().size();
        port.setResponder([first, n = 0](ScriptedPort& p, const link::Frame& f) mutable {
            if (++n == 1) p.deliver(first);
            else p.deliver(WordReply(static_cast<char>(first[0]), f[1], 0x1000));
        });
    };
    auto flipped = WordReply('d', 25, 0x1000);
    flipped[2] ^= 0x80;  // 0x9000 arrives, the sum still of 0x1000
    once(flipped);
    EXPECT_EQ(link::ReadParamWord(link, 25), 0x1000);
    EXPECT_EQ(sent(), 2u);
    auto record = WordReply('e', 6, 0x1000);
    record[4] ^= 0x04;  // the sum byte itself
    once(record);
    EXPECT_EQ(link::ReadRecordWord(link, 6), 0x1000);

    // Two different replies, neither with its sum: nothing is taken.
    int n = 0;
    port.setResponder([&](ScriptedPort& p, const link::Frame&) {
        auto r = WordReply('d', 3, 0x0073);
        r[3] ^= static_cast<std::uint8_t>(++n);
        p.deliver(r);
    });
    EXPECT_FALSE(link::ReadShort(link, link::ShortRead::StdMapRead, 3).has_value());
    port.setResponder([&](ScriptedPort& p, const link::Frame&) {
        p.deliver({'I', 0x43, static_cast<std::uint8_t>(38 + n++), 0x49 + 0x43 + 37, ':'});
    });
    EXPECT_FALSE(link::ReadIdentification(link).has_value());

    // 'd' 25 0x10 0x00: 0x8D counting the letter, 0x29 without it; both are taken at once.
    for (std::uint8_t sum : {0x8D, 0x29}) {
        base = port.written().size();
        port.setResponder([&](ScriptedPort& p, const link::Frame&) { p.deliver({'d', 25, 0x10, 0x00, sum, ':'}); });
        EXPECT_EQ(link::ReadParamWord(link, 25), 0x1000) << int(sum);
        EXPECT_EQ(sent(), 1u);
    }
    // A controller that fills the byte some other way still reads, at one exchange more.
    base = port.written().size();
    port.setResponder([](ScriptedPort& p, const link::Frame&) { p.deliver({'I', 0x43, 37, 0x00, ':'}); });
    ASSERT_TRUE(link::ReadIdentification(link).has_value());
    EXPECT_EQ(sent(), 2u);
}

// Found by the fault soak: an answer that came after its wait was taken for the next point's value.
TEST_F(CommandFixture, ShortReadsTakeAnotherIndexEchoOnlyWhenItRepeats) {
    std::size_t base = 0;
    const auto sent = [&] { return port.written().size() - base; };
    int n = 0;
    port.setResponder([&](ScriptedPort& p, const link::Frame& f) {
        if (++n == 1) p.deliver(WordReply('d', 9, 1036));  // the late answer of point 9 comes first
        else p.deliver(WordReply('d', f[1], 2304));
    });
    base = port.written().size();
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::PointRead, 12), 2304);
    EXPECT_EQ(sent(), 2u);  // asked again
    // A late answer followed by a different one: neither is taken, and the read's own retry asks anew.
    n = 0;
    port.setResponder([&](ScriptedPort& p, const link::Frame&) { p.deliver(WordReply('d', 4, 100 + n++)); });
    EXPECT_FALSE(link::ReadShort(link, link::ShortRead::GridCellRead, 5, 2, false).has_value());
    // A controller that always echoes something else is read, once its answer repeats.
    port.setResponder([](ScriptedPort& p, const link::Frame&) { p.deliver(WordReply('d', 4, 115)); });
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::GridCellRead, 5, 2), 115);
    EXPECT_EQ(link::ReadShort(link, link::ShortRead::GridCellRead, 4, 2), 115);
}

TEST_F(CommandFixture, RecordTextIsSixtyPairedWords) {
    std::array<std::uint8_t, 120> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>('A' + i % 26);
    link::WriteRecordText(link, bytes);
    ASSERT_EQ(port.written().size(), 120u);
    EXPECT_EQ(port.written()[0], link::BuildFrame('M', 0, 0, 0));
    EXPECT_EQ(port.written()[1], link::BuildFrame('U', 0, 'A', 'B'));
    EXPECT_EQ(port.written()[119], link::BuildFrame('U', 59, bytes[118], bytes[119]));
    EXPECT_EQ(pacer.pauses().size(), 120u);
}

}  // namespace
