#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "live/scope.h"

using namespace sequaflow::live;

namespace {

ScopeInputs Inputs() {
    ScopeInputs in;
    in.ignitionType = 0;
    in.maxGasTicks = 2304;  // 10 ms at 230400 Hz: injection range 0..11 ms
    in.lambda1Type = 1;
    in.lambda2Type = 2;
    return in;
}

void ExpectSample(const std::optional<ScopeSample>& s, float value, float low, float high) {
    ASSERT_TRUE(s.has_value());
    EXPECT_NEAR(s->value, value, 1e-4);
    EXPECT_FLOAT_EQ(s->low, low);
    EXPECT_FLOAT_EQ(s->high, high);
}

// A history in a box 400 high over the range 0..4: one unit is exactly 100 pixels.
ScopeHistory Filled(std::initializer_list<float> oldestFirst, int width = 650) {
    ScopeHistory h;
    for (float v : oldestFirst) h.add(v, 0.0f, 4.0f, width);
    return h;
}

TEST(ScopeChannelTest, ValuesAndRangesFromTheLiveWords) {
    LiveWords w{};
    w[word::Period] = 27648;      // 0.12 s on ignition type 0: 1000 rpm
    w[word::GasTemp] = 0xFFF6;    // -10 °C
    w[word::ReducerTemp] = 85;
    w[2] = 1152;                  // petrol cylinder 3: 5 ms
    w[24] = 3456;                 // petrol cylinder 8: 15 ms (drawn clamped, the sample is the true value)
    w[25] = 2304;                 // gas cylinder 7: 10 ms
    w[word::Lambda1] = 4095;      // 5 V
    w[word::Lambda2] = 819;       // 1 V
    w[word::FuelState] = 1;
    const ScopeInputs in = Inputs();

    ExpectSample(ScopeSampleOf(scope::Rpm, w, in), 1000.0f, 0.0f, 8000.0f);
    ExpectSample(ScopeSampleOf(scope::GasTemp, w, in), -10.0f, -10.1f, 90.0f);
    ExpectSample(ScopeSampleOf(scope::ReducerTemp, w, in), 85.0f, -10.1f, 100.0f);
    ExpectSample(ScopeSampleOf(scope::Petrol1 + 2, w, in), 5.0f, 0.0f, 11.0f);
    ExpectSample(ScopeSampleOf(scope::Petrol1 + 7, w, in), 15.0f, 0.0f, 11.0f);
    ExpectSample(ScopeSampleOf(scope::Gas1 + 6, w, in), 10.0f, 0.0f, 11.0f);
    ExpectSample(ScopeSampleOf(scope::Lambda1, w, in), 5.0f, -0.1f, 1.1f);
    ExpectSample(ScopeSampleOf(scope::Lambda2, w, in), 1.0f, 0.8f, 1.6f);
    const auto bar = ScopeSampleOf(scope::Pressure, w, in);
    ASSERT_TRUE(bar.has_value());
    EXPECT_FLOAT_EQ(bar->high, 4.0f);

    // On petrol the gas channels plot zero whatever the words say.
    w[word::FuelState] = 0;
    ExpectSample(ScopeSampleOf(scope::Gas1 + 6, w, in), 0.0f, 0.0f, 11.0f);
    ExpectSample(ScopeSampleOf(scope::Petrol1 + 2, w, in), 5.0f, 0.0f, 11.0f);
}

TEST(ScopeChannelTest, LambdaRangesByProbeType) {
    LiveWords w{};
    w[word::Lambda1] = 1638;  // about 2 V
    ScopeInputs in = Inputs();
    const std::array<std::pair<float, float>, 5> ranges{{{-0.1f, 1.1f}, {-0.1f, 1.1f}, {0.8f, 1.6f}, {1.5f, 4.0f},
                                                         {-0.1f, 5.0f}}};
    for (int type = 0; type < 5; ++type) {
        in.lambda1Type = type;
        const auto s = ScopeSampleOf(scope::Lambda1, w, in);
        ASSERT_TRUE(s.has_value()) << type;
        EXPECT_FLOAT_EQ(s->low, ranges[static_cast<std::size_t>(type)].first) << type;
        EXPECT_FLOAT_EQ(s->high, ranges[static_cast<std::size_t>(type)].second) << type;
        // Without a probe the line is flat at zero.
        EXPECT_NEAR(s->value, type == 0 ? 0.0f : 2.0f, 1e-3) << type;
    }
    for (int type : {5, 6, 7, -1}) {
        in.lambda1Type = type;
        EXPECT_FALSE(ScopeSampleOf(scope::Lambda1, w, in).has_value()) << type;
    }
}

TEST(ScopeChannelTest, Colours) {
    EXPECT_EQ(ScopeColour(scope::Rpm), (Rgb{0, 0, 0}));
    EXPECT_EQ(ScopeColour(scope::Pressure), (Rgb{0, 128, 0}));
    EXPECT_EQ(ScopeColour(scope::Lambda2), (Rgb{128, 0, 128}));
    EXPECT_EQ(ScopeColour(scope::ReducerTemp), (Rgb{0, 128, 0}));
    EXPECT_EQ(ScopeColour(scope::Petrol1 + 7), (Rgb{255, 0, 0}));
    EXPECT_EQ(ScopeColour(scope::Gas1), (Rgb{0, 0, 255}));
    EXPECT_EQ(ScopeColour(scope::Gas1 + 7), (Rgb{0, 0, 255}));
}

TEST(ScopeSelectionTest, OneGroupAtATime) {
    ScopeSelection sel;
    EXPECT_EQ(sel.channel(), scope::Rpm);  // engine speed at start
    sel.choose(ScopeGroup::Petrol, 2);
    EXPECT_EQ(sel.channel(), scope::Petrol1 + 2);
    EXPECT_EQ(sel.item(ScopeGroup::Rpm), -1);
    sel.choose(ScopeGroup::Temperature, 0);
    EXPECT_EQ(sel.channel(), scope::GasTemp);
    EXPECT_EQ(sel.item(ScopeGroup::Petrol), -1);
    for (int g = 0; g < kScopeGroups; ++g)
        EXPECT_EQ(sel.items[static_cast<std::size_t>(g)], g == static_cast<int>(ScopeGroup::Temperature) ? 0 : -1);
    sel.choose(ScopeGroup::Gas, 3);
    EXPECT_EQ(sel.channel(), 17);
    sel.choose(ScopeGroup::Temperature, 1);
    EXPECT_EQ(sel.channel(), scope::ReducerTemp);
    // An item the group does not have selects nothing.
    sel.choose(ScopeGroup::Lambda1, 1);
    EXPECT_FALSE(sel.channel().has_value());
}

TEST(ScopeHistoryTest, ClampsToTheRangeAndLabelsTheEdges) {
    const ScopeHistory above = Filled({9.0f});
    EXPECT_FLOAT_EQ(above.at(0), 4.0f);
    EXPECT_FLOAT_EQ(above.current(), 4.0f);
    const ScopeGeometry g = TraceGeometry(above, 650, 400, ',');
    EXPECT_EQ(g.trace[0], (ScopePoint{0, -1}));  // one above the top row, as every full-scale point
    EXPECT_EQ(g.maxLabel.text, "4,00");
    EXPECT_EQ(g.maxLabel.topLeft, (ScopePoint{0, 0}));
    EXPECT_EQ(g.maxMarker[0].from, (ScopePoint{-2, 0}));
    EXPECT_EQ(g.maxMarker[0].to, (ScopePoint{2, 0}));
    EXPECT_EQ(g.maxMarker[1].from, (ScopePoint{0, -2}));
    EXPECT_EQ(g.maxMarker[1].to, (ScopePoint{0, 2}));
    EXPECT_EQ(g.current.text, "4,00");
    EXPECT_EQ(g.current.topLeft, (ScopePoint{2, 0}));

    // Below the range (and a value that is no number) the sample is the low end: the bottom row.
    for (float v : {-3.0f, std::numeric_limits<float>::quiet_NaN()}) {
        ScopeHistory below = Filled({2.0f});
        below.add(v, 1.0f, 5.0f, 650);
        EXPECT_FLOAT_EQ(below.at(0), 0.0f);
        EXPECT_FLOAT_EQ(below.current(), 1.0f);
        const ScopeGeometry b = TraceGeometry(below, 650, 400, ',');
        EXPECT_EQ(b.trace[0], (ScopePoint{0, 399}));
        EXPECT_EQ(b.minLabel.text, "1,00");
        // The current value stays 20 pixels above the bottom.
        EXPECT_EQ(b.current.text, "1,00");
        EXPECT_EQ(b.current.topLeft, (ScopePoint{2, 380}));
    }
}

TEST(ScopeHistoryTest, ExtremesKeepTheOlderOfEqualValues) {
    // Ten samples of 2 on a history of zeros: the maximum is the oldest 2, the minimum the oldest zero.
    std::initializer_list<float> tens{2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    const ScopeHistory h = Filled(tens);
    EXPECT_EQ(h.maxIndex(), 9);
    EXPECT_FLOAT_EQ(h.max(), 2.0f);
    EXPECT_EQ(h.minIndex(), 650);
    EXPECT_FLOAT_EQ(h.min(), 0.0f);

    // Constant long enough to fill the scrolled part: both markers at its oldest end.
    ScopeHistory constant;
    for (int i = 0; i < 651; ++i) constant.add(1.5f, 0.0f, 4.0f, 650);
    EXPECT_EQ(constant.maxIndex(), 650);
    EXPECT_EQ(constant.minIndex(), 650);
    const ScopeGeometry g = TraceGeometry(constant, 650, 400, '.');
    EXPECT_EQ(g.maxLabel.topLeft, (ScopePoint{650, 250}));
    EXPECT_EQ(g.minLabel.topLeft, (ScopePoint{650, 236}));
    EXPECT_EQ(g.minLabel.text, "1.50");
    EXPECT_EQ(g.minMarker[0].from, (ScopePoint{648, 250}));
    EXPECT_EQ(g.minMarker[1].to, (ScopePoint{650, 252}));
    // Above the scrolled part nothing moved: the trace drops to zero there.
    EXPECT_EQ(g.trace[650], (ScopePoint{650, 249}));
    EXPECT_EQ(g.trace[651], (ScopePoint{651, 399}));
}

TEST(ScopeHistoryTest, OnlyTheBoxWidthScrolls) {
    ScopeHistory h;
    for (int i = 0; i < 200; ++i) h.add(3.0f, 0.0f, 4.0f, 100);
    EXPECT_FLOAT_EQ(h.at(100), 3.0f);
    EXPECT_FLOAT_EQ(h.at(101), 0.0f);
    // The zero beyond the box is not an extreme: only 0..W counts.
    EXPECT_FLOAT_EQ(h.min(), 3.0f);
    EXPECT_EQ(h.minIndex(), 100);

    // A box wider than the history scrolls all of it and no further.
    ScopeHistory wide;
    for (int i = 0; i < 800; ++i) wide.add(static_cast<float>(i % 5), 0.0f, 4.0f, 2000);
    EXPECT_FLOAT_EQ(wide.at(767), 2.0f);  // sample 799 - 767 = 32, 32 % 5
    EXPECT_FLOAT_EQ(wide.at(766), 3.0f);
}

TEST(ScopeGeometryTest, GridCursorAndLabelsForTheDesignedBox) {
    ScopeHistory h;
    h.add(25.0f, -10.1f, 90.0f, 650);
    for (int i = 0; i < 256; ++i) h.add(20.0f, -10.1f, 90.0f, 650);
    const ScopeGeometry g = TraceGeometry(h, 650, 495, ',');

    ASSERT_EQ(g.gridVertical.size(), 39u);  // x = 0, 20, .., 760
    EXPECT_EQ(g.gridVertical.front().from, (ScopePoint{0, 0}));
    EXPECT_EQ(g.gridVertical.back().from, (ScopePoint{760, 0}));
    EXPECT_EQ(g.gridVertical.back().to, (ScopePoint{760, 495}));
    ASSERT_EQ(g.gridHorizontal.size(), 5u);  // y = 0, 123, 246, 369, 492
    EXPECT_EQ(g.gridHorizontal[1].from, (ScopePoint{0, 123}));
    EXPECT_EQ(g.gridHorizontal[4].from, (ScopePoint{0, 492}));
    EXPECT_EQ(g.gridHorizontal[4].to, (ScopePoint{650, 492}));

    EXPECT_EQ(g.cursor.from, (ScopePoint{256, 0}));
    EXPECT_EQ(g.cursor.to, (ScopePoint{256, 495}));
    EXPECT_EQ(g.cursorLabel.topLeft, (ScopePoint{240, 247}));
    EXPECT_EQ(g.cursorLabel.text, "25,00");  // the first sample, now 256 steps old
    EXPECT_EQ(g.cursorLabel.pointSize, 10);
    EXPECT_EQ(g.maxLabel.text, "25,00");
    EXPECT_EQ(g.maxLabel.topLeft.x, 256);
    // k = 495 / 100.1; 30.1 units up: 495 - 148.84 - 1 = 345.16
    EXPECT_EQ(g.trace[0], (ScopePoint{0, 345}));
    EXPECT_EQ(g.current.text, "20,00");
    EXPECT_EQ(g.current.topLeft, (ScopePoint{2, 346}));
    EXPECT_EQ(g.trace.size(), 758u);
    EXPECT_EQ(g.border[1], (ScopePoint{649, 0}));
    EXPECT_EQ(g.border[2], (ScopePoint{649, 494}));
    EXPECT_EQ(g.border[4], (ScopePoint{0, 0}));
}

TEST(ScopeBankTest, OnlyTheChosenChannelMoves) {
    ScopeBank bank;
    LiveWords w{};
    w[word::GasTemp] = 40;
    w[2] = 1152;
    ScopeInputs in = Inputs();
    ASSERT_TRUE(bank.addFrame(scope::Petrol1 + 2, w, in, 650));
    EXPECT_FLOAT_EQ(bank.history(scope::Petrol1 + 2).at(0), 5.0f);
    EXPECT_FALSE(bank.history(scope::GasTemp).drawn());
    EXPECT_FLOAT_EQ(bank.history(scope::GasTemp).at(0), 0.0f);

    // A falling probe takes no sample: its history stays as it was.
    in.lambda1Type = 5;
    w[word::Lambda1] = 2000;
    EXPECT_FALSE(bank.addFrame(scope::Lambda1, w, in, 650));
    EXPECT_FALSE(bank.history(scope::Lambda1).drawn());
    EXPECT_FLOAT_EQ(bank.history(scope::Lambda1).at(0), 0.0f);
    EXPECT_FALSE(bank.addFrame(-1, w, in, 650));
    EXPECT_FALSE(bank.addFrame(kScopeChannels, w, in, 650));
}

}  // namespace
