#include "live/scope.h"

#include <algorithm>
#include <cmath>

#include "live/conversions.h"

namespace sequaflow::live {

namespace {

constexpr std::array<int, kScopeGroups> kGroupItems{1, 1, 1, 1, 2, 8, 8};
constexpr std::array<int, kScopeGroups> kGroupFirstChannel{scope::Rpm,     scope::Pressure, scope::Lambda1,
                                                           scope::Lambda2, scope::GasTemp,  scope::Petrol1,
                                                           scope::Gas1};
constexpr int kGridStep = 20;

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

std::optional<ScopeSample> LambdaSample(std::uint32_t raw, int type) {
    const float v = LambdaVolts(raw);
    switch (type) {
        case 0: return ScopeSample{0.0f, -0.1f, 1.1f};  // no probe: a flat line
        case 1: return ScopeSample{v, -0.1f, 1.1f};
        case 2: return ScopeSample{v, 0.8f, 1.6f};
        case 3: return ScopeSample{v, 1.5f, 4.0f};
        case 4: return ScopeSample{v, -0.1f, 5.0f};
        default: return std::nullopt;  // falling probes (5, 6) are not plotted; other values are no type
    }
}

}  // namespace

int ScopeGroupItems(ScopeGroup group) { return kGroupItems[static_cast<std::size_t>(group)]; }

std::optional<int> ScopeChannelOf(ScopeGroup group, int item) {
    if (item < 0 || item >= ScopeGroupItems(group)) return std::nullopt;
    return kGroupFirstChannel[static_cast<std::size_t>(group)] + item;
}

void ScopeSelection::choose(ScopeGroup group, int item) {
    items.fill(-1);
    if (item >= 0 && item < ScopeGroupItems(group)) items[static_cast<std::size_t>(group)] = item;
}

std::optional<int> ScopeSelection::channel() const {
    for (int g = 0; g < kScopeGroups; ++g)
        if (auto c = ScopeChannelOf(static_cast<ScopeGroup>(g), items[static_cast<std::size_t>(g)])) return c;
    return std::nullopt;
}

std::optional<ScopeSample> ScopeSampleOf(int channel, const LiveWords& w, const ScopeInputs& in) {
    const auto at = [&w](int index) { return w[static_cast<std::size_t>(index)]; };
    const float injectionHigh = TicksToMs(in.maxGasTicks, in.fastClock) + 1.0f;
    if (channel >= scope::Petrol1 && channel < scope::Petrol1 + 8)
        return ScopeSample{TicksToMs(at(PetrolTimeWord(channel - scope::Petrol1)), in.fastClock), 0.0f, injectionHigh};
    if (channel >= scope::Gas1 && channel < scope::Gas1 + 8) {
        const bool onGas = at(word::FuelState) == 1;
        const float ms = onGas ? TicksToMs(at(GasTimeWord(channel - scope::Gas1)), in.fastClock) : 0.0f;
        return ScopeSample{ms, 0.0f, injectionHigh};
    }
    switch (channel) {
        case scope::Rpm:
            return ScopeSample{static_cast<float>(PeriodToRpm(at(word::Period), in.ignitionType)), 0.0f, 8000.0f};
        case scope::Pressure: return ScopeSample{RawToBar(at(word::Pressure)), 0.0f, 4.0f};
        case scope::Lambda1: return LambdaSample(at(word::Lambda1), in.lambda1Type);
        case scope::Lambda2: return LambdaSample(at(word::Lambda2), in.lambda2Type);
        case scope::GasTemp:
            return ScopeSample{static_cast<float>(RawToCelsius(at(word::GasTemp))), -10.1f, 90.0f};
        case scope::ReducerTemp:
            return ScopeSample{static_cast<float>(RawToCelsius(at(word::ReducerTemp))), -10.1f, 100.0f};
        default: return std::nullopt;
    }
}

Rgb ScopeColour(int channel) {
    if (channel >= scope::Gas1) return {0, 0, 255};
    if (channel >= scope::Petrol1) return {255, 0, 0};
    switch (channel) {
        case scope::Rpm: return {0, 0, 0};
        case scope::Lambda1:
        case scope::Lambda2: return {128, 0, 128};
        default: return {0, 128, 0};  // pressure and the temperatures
    }
}

void ScopeHistory::add(float value, float low, float high, int width) {
    float v = value;
    if (v > high) v = high;
    else if (!(v >= low)) v = low;
    const float s = v - low;
    // A box wider than the history scrolls only what the history holds.
    const int n = std::clamp(width, 0, kScopeHistory - 1);
    for (int i = n; i >= 1; --i) hist_[static_cast<std::size_t>(i)] = hist_[static_cast<std::size_t>(i - 1)];
    hist_[0] = s;
    max_ = min_ = s;
    maxIndex_ = minIndex_ = 0;
    for (int i = 1; i <= n; ++i) {
        const float h = hist_[static_cast<std::size_t>(i)];
        if (h >= max_) max_ = h, maxIndex_ = i;
        if (h <= min_) min_ = h, minIndex_ = i;
    }
    low_ = low;
    high_ = high;
    current_ = v;
    drawn_ = true;
}

ScopeGeometry TraceGeometry(const ScopeHistory& history, int width, int height, char sep) {
    ScopeGeometry g;
    const double h = height;
    const double range = static_cast<double>(history.high()) - history.low();
    const double k = range > 0 ? h / range : 0.0;

    for (int x = 0; x < kScopeHistory; x += kGridStep) g.gridVertical.push_back({{x, 0}, {x, height}});
    const int quarter = height / 4;
    for (int y = 0; y < height; y += quarter) {
        g.gridHorizontal.push_back({{0, y}, {width, y}});
        if (quarter <= 0) break;  // a box under four pixels high has one line
    }

    g.trace.reserve(kScopeTracePoints);
    for (int i = 0; i < kScopeTracePoints; ++i) g.trace.push_back({i, Trunc(h - history.at(i) * k - 1)});

    const auto marker = [&](int index, double v) {
        const int y = Trunc(h - v * k);
        return std::array<ScopeLine, 2>{ScopeLine{{index - 2, y}, {index + 2, y}},
                                        ScopeLine{{index, Trunc(h - v * k - 2)}, {index, Trunc(h - v * k + 2)}}};
    };
    g.minMarker = marker(history.minIndex(), history.min());
    g.maxMarker = marker(history.maxIndex(), history.max());
    const double lo = history.low();
    g.maxLabel = {FormatFixed(lo + history.at(history.maxIndex()), 4, 2, sep),
                  {history.maxIndex(), Trunc(h - history.max() * k)}, 8};
    g.minLabel = {FormatFixed(lo + history.at(history.minIndex()), 4, 2, sep),
                  {history.minIndex(), Trunc(h - history.min() * k - 14)}, 8};

    g.cursor = {{kScopeCursorIndex, 0}, {kScopeCursorIndex, height}};
    g.cursorLabel = {FormatFixed(lo + history.at(kScopeCursorIndex), 4, 2, sep), {240, height / 2}, 10};

    // The current value never sits lower than 20 pixels above the bottom, so it stays readable.
    double y0 = h - history.at(0) * k;
    if (!(h - 20 >= y0)) y0 = h - 20;
    g.current = {FormatFixed(history.current(), 4, 2, sep), {2, Trunc(y0)}, 12};

    g.border = {ScopePoint{0, 0}, {width - 1, 0}, {width - 1, height - 1}, {0, height - 1}, {0, 0}};
    return g;
}

bool ScopeBank::addFrame(int channel, const LiveWords& words, const ScopeInputs& in, int width) {
    if (channel < 0 || channel >= kScopeChannels) return false;
    const auto sample = ScopeSampleOf(channel, words, in);
    if (!sample) return false;
    histories_[static_cast<std::size_t>(channel)].add(sample->value, sample->low, sample->high, width);
    return true;
}

}  // namespace sequaflow::live
