#include <gtest/gtest.h>

#include <random>

#include "params/factory_defaults.h"
#include "sim/controller.h"
#include "sim_bench.h"

namespace sequaflow::sim {
namespace {

using testing::Req;
using testing::SimBench;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;

Bytes Ask(Controller& c, const Bytes& request, microseconds at = microseconds{0}) { return c.onBytes(request, at); }

std::uint16_t LiveWord(const Bytes& frame, int k) {
    return static_cast<std::uint16_t>(frame[static_cast<std::size_t>(63 - 2 * k)] << 8 |
                                      frame[static_cast<std::size_t>(64 - 2 * k)]);
}

TEST(ControllerReplies, ShapesOfEveryRead) {
    Controller c({});
    EXPECT_EQ(Ask(c, Req('I')), (Bytes{'I', 0x43, 37, static_cast<std::uint8_t>('I' + 0x43 + 37), ':'}));
    // Parameter 22 of a factory controller: injector type 5, tank sensor type 2.
    EXPECT_EQ(Ask(c, Req('d', 22)), (Bytes{'d', 22, 0x02, 0x50, static_cast<std::uint8_t>('d' + 22 + 0x52), ':'}));
    EXPECT_EQ(Ask(c, Req('P', 61)), (Bytes{'e', 61, 0x12, 0x67, static_cast<std::uint8_t>('e' + 61 + 0x12 + 0x67), ':'}));
    // Point 0 (1000 rpm as a period), a grid cell, the byte stores at offset 3, a lambda word at 2 and 3.
    EXPECT_EQ(Ask(c, Req('}', 0)), (Bytes{'d', 0, 0x1B, 0x00, static_cast<std::uint8_t>('d' + 0x1B), ':'}));
    const Bytes cell = Ask(c, Req('L', 11, 6));
    ASSERT_EQ(cell.size(), 6u);
    EXPECT_EQ(cell[0], 'd');
    EXPECT_EQ(cell[1], 11);
    EXPECT_EQ(cell[3], params::kDefaultCellByte);
    EXPECT_EQ(cell[5], ':');
    EXPECT_EQ(Ask(c, Req('2', 3, 3))[3], params::kDefaultCellByte);
    EXPECT_EQ(Ask(c, Req('.', 4, 4))[3], 21);
    EXPECT_EQ(Ask(c, Req('|', 5, 5))[3], 100);
    const Bytes lambda = Ask(c, Req('q', 11));
    EXPECT_EQ(lambda[2] << 8 | lambda[3], params::kDefaultLambda[11]);

    const Bytes live = Ask(c, Req('V'));
    ASSERT_EQ(live.size(), 67u);
    EXPECT_EQ(live[0], 'V');
    EXPECT_EQ(live[66], ':');
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i <= 64; ++i) sum = static_cast<std::uint8_t>(sum + live[i]);
    EXPECT_EQ(live[65], sum);
}

TEST(ControllerReplies, LiveFrameWordOrderIsDescending) {
    LiveWords w{};
    for (int k = 0; k < kLiveWordCount; ++k) w[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(0x0100 * k + k);
    const auto f = EncodeLiveFrame(w);
    EXPECT_EQ(f[1], 31);  // word 31 first, high byte
    EXPECT_EQ(f[2], 31);
    EXPECT_EQ(f[63], 0);  // word 0 last
    EXPECT_EQ(f[64], 0);
    EXPECT_EQ(f[37] << 8 | f[38], 0x0D0D);  // word 13 at offsets 37-38
    const Bytes frame(f.begin(), f.end());
    for (int k = 0; k < kLiveWordCount; ++k) EXPECT_EQ(LiveWord(frame, k), w[static_cast<std::size_t>(k)]) << k;
}

TEST(ControllerStores, EveryWriteReadsBackThroughTheLink) {
    SimBench s;
    auto& l = s.link;
    link::WriteParamSequence(l, 14, 0x1234);
    EXPECT_EQ(link::ReadParamWord(l, 14), 0x1234);
    link::WritePointSequence(l, 16, 5000);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::PointRead, 16), 5000);
    link::WriteGridCellSequence(l, 5, 2, 140, 32, 0x7F8C);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::GridCellRead, 5, 2), 140);
    link::WriteStdMapSequence(l, 11, 90);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::StdMapRead, 11, 11), 90);
    link::WriteTempPointSequence(l, 2, 44);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::TempPointRead, 2, 2), 44);
    link::WriteTempCorrSequence(l, 5, 130);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::TempCorrRead, 5, 5), 130);
    link::LambdaSet(l, 2, 0x0C80);
    EXPECT_EQ(link::ReadShort(l, link::ShortRead::LambdaRead, 2), 0x0C80);
    link::WriteSerialNumber(l, 31337);
    std::uint16_t serial = 0;
    EXPECT_TRUE(link::ReadSerialNumber(l, serial));
    EXPECT_EQ(serial, 31337);
    link::WriteRecordWords62And63(l, 0x1305, 0x1900);
    std::uint16_t w62 = 0, w63 = 0;
    link::ReadRecordWords62And63(l, w62, w63);
    EXPECT_EQ(w62, 0x1305);
    EXPECT_EQ(w63, 0x1900);
    std::array<std::uint8_t, 120> text{};
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<std::uint8_t>('A' + i % 26);
    link::WriteRecordText(l, text);
    EXPECT_EQ(link::ReadRecordWord(l, 59), (('A' + 118 % 26) << 8) | ('A' + 119 % 26));

    // The select/store pairs reached the lasting stores, consistent with the grid cells.
    const auto& st = s.controller.stores();
    EXPECT_EQ(st.params[14], 0x1234);
    EXPECT_EQ(st.mapWords[16], 5000);
    EXPECT_EQ(st.mapWords[GridPairWord(5, 2)], 0x7F8C);
    EXPECT_EQ(st.corrWords[11], 90);
    EXPECT_EQ(st.corrWords[kTempPointWord + 2], 44);
    EXPECT_EQ(st.corrWords[kTempCorrWord + 5], 130);
    EXPECT_EQ(st.corrWords[kLambdaWord + 2], 0x0C80);
    EXPECT_EQ(st.record[61], 31337);
    EXPECT_EQ(PowerUp(st).grid[7 * 4 + 2], 0x7F);
    EXPECT_EQ(PowerUp(st).grid[7 * 5 + 2], 0x8C);
}

TEST(ControllerStores, SetCommandsChangeOnlyTheRunningValues) {
    Controller c({});
    Ask(c, Req('D', 1, 0, 120));
    Ask(c, Req('F', 0, 0, 150));  // a preview change sends the set alone
    EXPECT_EQ(Ask(c, Req('d', 1))[3], 120);
    EXPECT_EQ(Ask(c, Req('L', 0, 0))[3], 150);
    EXPECT_EQ(c.stores().params[1], 115);
    EXPECT_FALSE(c.takeStoresChanged());
    // After a power cycle the controller runs with what was stored.
    Controller again({}, c.stores());
    EXPECT_EQ(Ask(again, Req('d', 1))[3], 115);
    EXPECT_EQ(Ask(again, Req('L', 0, 0))[3], params::kDefaultCellByte);
}

TEST(ControllerStores, StoreWithoutItsSelectIsRefused) {
    Controller c({});
    const auto before = c.stores();
    Ask(c, Req('E', 5, 0, 40));           // no select
    Ask(c, Req('K', 6));
    Ask(c, Req('E', 5, 0, 40));           // select of another word
    Ask(c, Req('K', 5));
    Ask(c, Req('E', 5, 0, 40));           // taken
    Ask(c, Req('E', 5, 0, 41));           // the select was used up
    EXPECT_EQ(c.stores().params[5], 40);
    Ask(c, Req('M', 3));
    Ask(c, Req('4', 3));                  // a select of another store does not cancel it
    Ask(c, Req('U', 3, 0xAB, 0xCD));
    EXPECT_EQ(c.stores().record[3], 0xABCD);
    auto expected = before;
    expected.params[5] = 40;
    expected.record[3] = 0xABCD;
    EXPECT_EQ(c.stores(), expected);
    EXPECT_TRUE(c.takeStoresChanged());
    EXPECT_FALSE(c.takeStoresChanged());
}

TEST(ControllerBadInput, OutOfRangeAndMalformedRequestsAreIgnored) {
    Controller c({});
    const auto before = c.stores();
    const auto running = c.running().params;
    for (const Bytes& r : {Req('d', 64), Req('}', 17), Req('L', 12, 0), Req('L', 0, 7), Req('2', 12, 12),
                           Req('2', 3, 4), Req('.', 5, 5), Req('|', 6, 6), Req('q', 12), Req('P', 64), Req('Z'),
                           Req('D', 64, 1, 2), Req('K', 64), Req('>', 60), Req('4', 39), Req('M', 64),
                           Req('!', 2, 3, 50), Req('%', 5, 5, 1), Req('^', 6, 6, 1)})
        EXPECT_TRUE(Ask(c, r).empty()) << static_cast<char>(r[0]) << int(r[1]);
    EXPECT_EQ(c.stores(), before);
    EXPECT_EQ(c.running().params, running);
    EXPECT_EQ(c.running().stdMap[2], params::kDefaultCellByte);

    Bytes badSum = Req('d', 1);
    badSum[4] ^= 1;
    EXPECT_TRUE(Ask(c, badSum).empty());
    Bytes noColon = Req('d', 1);
    noColon[5] = ';';
    EXPECT_TRUE(Ask(c, noColon).empty());
}

TEST(ControllerBadInput, ResynchronisesAfterGarbage) {
    Controller c({});
    // Garbage, a truncated frame, then a good frame in the same burst: only the good one is answered.
    Bytes stream = {0x00, 0x3A, 0xFF, 'd', 22, 0};
    const Bytes good = Req('d', 1);
    stream.insert(stream.end(), good.begin(), good.end());
    const Bytes reply = Ask(c, stream);
    ASSERT_EQ(reply.size(), 6u);
    EXPECT_EQ(reply[1], 1);
    // A frame split over two writes is still one frame.
    const Bytes ident = Req('I');
    EXPECT_TRUE(Ask(c, Bytes(ident.begin(), ident.begin() + 2), microseconds{1000}).empty());
    EXPECT_EQ(Ask(c, Bytes(ident.begin() + 2, ident.end()), microseconds{2000}).size(), 5u);
    // A half frame abandoned for longer than the gap limit does not swallow the next request's bytes.
    Ask(c, Bytes{'d', 3, 0}, microseconds{10000});
    EXPECT_EQ(Ask(c, Req('d', 2), microseconds{200000}).size(), 6u);
}

TEST(ControllerBadInput, RandomBytesNeverCrashOrGrow) {
    Controller c({});
    std::mt19937 rng(7);
    std::size_t replies = 0;
    for (int i = 0; i < 20000; ++i) {
        Bytes chunk(1 + rng() % 40);
        for (auto& b : chunk) b = static_cast<std::uint8_t>(rng());
        replies += Ask(c, chunk, microseconds{i * 1000}).size();
    }
    // Random bytes rarely form a frame; whatever was answered, the controller still answers properly.
    EXPECT_LT(replies, 20000u * 67u);
    EXPECT_EQ(Ask(c, Req('I'), microseconds{30000000}).size(), 5u);
    EXPECT_EQ(Ask(c, Req('V'), microseconds{30001000}).size(), 67u);
}

TEST(ControllerVariants, BlankControllerLooksNeverProgrammed) {
    Controller c({.hardware = 0x83, .software = 12, .blank = true, .seed = 1});
    const Bytes p0 = Ask(c, Req('d', 0));
    const int marker = p0[2] << 8 | p0[3];
    EXPECT_NE(marker, 0);
    EXPECT_NE(marker, params::kProgrammedMarker);
    for (std::uint8_t w = 0; w < 64; ++w) {
        const Bytes r = Ask(c, Req('P', w));
        EXPECT_EQ(r[2] << 8 | r[3], 0xFFFF) << int(w);
    }
    EXPECT_EQ(Ask(c, Req('I'))[1], 0x83);
    EXPECT_EQ(Ask(c, Req('I'))[2], 12);
    EXPECT_EQ(Ask(c, Req('V')).size(), 67u);  // the engine runs whatever the stores hold
}

TEST(ControllerVariants, FactoryControllerPassesTheFirstRunChecks) {
    Controller c({});
    EXPECT_EQ(c.running().params, params::kFactoryParameters);
    const Bytes w63 = Ask(c, Req('P', 63));
    EXPECT_NE(w63[3], 255);  // vehicle data saved
    for (std::uint8_t i = 0; i < params::kPointCount; ++i) {
        const Bytes r = Ask(c, Req('}', i));
        EXPECT_EQ(r[2] << 8 | r[3], params::kDefaultPoints[i]);
    }
    // Record text starts with the registration number, two characters per word.
    const Bytes w0 = Ask(c, Req('P', 0));
    EXPECT_EQ(w0[2], 'W');
    EXPECT_EQ(w0[3], 'X');
    EXPECT_EQ(Ask(c, Req('P', 40))[2], 0);  // the zero byte after the 80 characters
}

}  // namespace
}  // namespace sequaflow::sim
