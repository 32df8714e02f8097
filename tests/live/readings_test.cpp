#include <gtest/gtest.h>

#include "link/commands.h"
#include "live/conversions.h"
#include "live/readings.h"
#include "support/scripted_port.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace sequaflow::live;
using testing_support::ScriptedPort;

namespace {

std::array<std::uint32_t, 11> Points() {
    std::array<std::uint32_t, 11> p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint32_t>(300 + 300 * i);
    return p;
}

TEST(ReadingsViewTest, StripSegmentBoundaries) {
    const auto p = Points();  // 300, 600, ..., 3300
    EXPECT_EQ(StripSegment(300, p), 0);  // equal to point 6: first band
    EXPECT_EQ(StripSegment(301, p), 1);  // one tick more: the next one
    EXPECT_EQ(StripSegment(0, p), 0);
    EXPECT_EQ(StripSegment(3300, p), 10);
    EXPECT_EQ(StripSegment(3301, p), 11);
}

TEST(ReadingsViewTest, PetrolAndGasTexts) {
    LiveWords w{};
    w[word::Period] = 4608;
    w[word::PetrolTime1] = 1000;
    w[word::GasTime1] = 1100;
    w[PetrolTimeWord(7)] = 2304;
    w[word::ReducerTemp] = 0xFFF6;
    w[word::Pressure] = 1000;
    ReadingsInputs in;
    in.ignitionType = 2;
    in.tankLevel = 3;
    in.timePoints = Points();

    auto v = ComputeReadings(w, in);
    EXPECT_FALSE(v.onGas);
    EXPECT_EQ(v.tankPicture, 0);
    EXPECT_EQ(v.rpmText, "1500rpm");
    EXPECT_DOUBLE_EQ(v.rpmGauge, 1.5);
    EXPECT_EQ(v.petrolText[0], "4,34ms");
    EXPECT_EQ(v.petrolText[7], "10,00ms");
    EXPECT_EQ(v.gasText[0], "0,00ms");
    EXPECT_EQ(v.gasTicks[0], 0u);
    EXPECT_EQ(v.correctionText, "00,0%");
    in.decimalSeparator = '.';
    EXPECT_EQ(ComputeReadings(w, in).gasText[0], "0.00ms");  // one separator in the whole column
    EXPECT_EQ(ComputeReadings(w, in).correctionText, "00.0%");
    in.decimalSeparator = ',';
    EXPECT_EQ(v.reducerText, "-10\u00B0C");
    EXPECT_EQ(v.pressureText, "1,06Bar");
    EXPECT_EQ(v.stripSegment, 3);

    w[word::FuelState] = 1;
    v = ComputeReadings(w, in);
    EXPECT_TRUE(v.onGas);
    EXPECT_EQ(v.tankPicture, 3);
    EXPECT_EQ(v.gasText[0], "4,77ms");
    EXPECT_EQ(v.gasTicks[0], 1100u);
    EXPECT_EQ(v.correctionText, "+10,0%");
}

TEST(ReadingsViewTest, ErrorLampFollowsCurrentAndStoredErrors) {
    LiveWords w{};
    ReadingsInputs in;
    EXPECT_FALSE(ComputeReadings(w, in).errors);
    w[word::ErrorsStored] = 1;
    EXPECT_TRUE(ComputeReadings(w, in).errors);
    w[word::ErrorsStored] = 0;
    w[word::ErrorsCurrent] = 0x80;
    EXPECT_TRUE(ComputeReadings(w, in).errors);
}

struct CycleFixture : ::testing::Test, testing_support::VirtualLink {
    ReadingsCycle cycle;
    LiveWords words{};
    bool answer = true;
    bool corrupt = false;

    void SetUp() override {
        link.setConnected(true);
        port.setResponder([this](ScriptedPort& p, const link::Frame& f) {
            if (f[0] != 'V' || !answer) return;
            LiveWords w{};
            w[word::Period] = 9216;
            auto frame = EncodeLiveFrame(w);
            if (corrupt) frame[65] ^= 0x55;
            p.deliver({frame.begin(), frame.end()});
        });
    }
};

TEST_F(CycleFixture, TenMissesChangeNothingTheEleventhShowsTheError) {
    answer = false;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(cycle.Tick(link, words), TickOutcome::Missed) << i;
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::MissedShowError);
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::MissedShowError);
    answer = true;
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::Accepted);
    EXPECT_EQ(words[word::Period], 9216u);
    EXPECT_EQ(cycle.missed(), 0);
}

TEST_F(CycleFixture, BadChecksumCountsAsAnAnswerButChangesNoWord) {
    answer = false;
    for (int i = 0; i < 5; ++i) cycle.Tick(link, words);
    answer = true;
    corrupt = true;
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::BadChecksum);
    EXPECT_EQ(cycle.missed(), 0);
    EXPECT_EQ(words[word::Period], 0u);
}

TEST_F(CycleFixture, NothingIsSentWithoutAConnection) {
    link.setConnected(false);
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::NotIdentified);
    link.closePort();
    EXPECT_EQ(cycle.Tick(link, words), TickOutcome::NotConnected);
    EXPECT_TRUE(port.written().empty());
}

}  // namespace

#include "live/key_filter.h"

namespace {

TEST(KeyFilterTest, NumberEntryRules) {
    using sequaflow::live::FilterKey;
    using sequaflow::live::KeyFilter;
    EXPECT_EQ(FilterKey(KeyFilter::Decimal, '.', ',', '.'), ',');  // the other separator becomes the locale's
    EXPECT_EQ(FilterKey(KeyFilter::Decimal, ',', '.', ','), '.');
    EXPECT_EQ(FilterKey(KeyFilter::Decimal, 'a', ',', '.'), 0);
    EXPECT_EQ(FilterKey(KeyFilter::Decimal, '-', ',', '.'), 0);
    EXPECT_EQ(FilterKey(KeyFilter::SignedDecimal, '-', '.', ','), '-');
    EXPECT_EQ(FilterKey(KeyFilter::SignedDecimal, ',', '.', ','), ',');
    EXPECT_EQ(FilterKey(KeyFilter::Digit, ',', ',', '.'), 0);
    EXPECT_EQ(FilterKey(KeyFilter::Digit, '7', ',', '.'), '7');
    EXPECT_EQ(FilterKey(KeyFilter::SignedDigit, '+', ',', '.'), '+');
    EXPECT_EQ(FilterKey(KeyFilter::SignedDigit, '.', ',', '.'), 0);
    for (auto f : {KeyFilter::Decimal, KeyFilter::SignedDecimal, KeyFilter::Digit, KeyFilter::SignedDigit}) {
        EXPECT_EQ(FilterKey(f, 8, ',', '.'), 8);
        EXPECT_EQ(FilterKey(f, 13, ',', '.'), 13);
    }
}

}  // namespace
