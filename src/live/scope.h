#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "live/live_frame.h"

// The single-trace oscilloscope without widgets: which live value each channel plots, the history it keeps
// and the picture of one update as plain geometry, so the page only paints what this computes.
namespace sequaflow::live {

inline constexpr int kScopeChannels = 22;
inline constexpr int kScopeHistory = 768;
// The trace is a polyline through this many points; the rest of the history is never drawn.
inline constexpr int kScopeTracePoints = 758;
inline constexpr int kScopeCursorIndex = 256;
inline constexpr int kScopeDesignWidth = 650;
inline constexpr int kScopeDesignHeight = 495;

// Channel numbers: engine speed, pressure, lambda 1, lambda 2, gas and reducer temperature, then the eight
// petrol and the eight gas cylinders.
namespace scope {
inline constexpr int Rpm = 0;
inline constexpr int Pressure = 1;
inline constexpr int Lambda1 = 2;
inline constexpr int Lambda2 = 3;
inline constexpr int GasTemp = 4;
inline constexpr int ReducerTemp = 5;
inline constexpr int Petrol1 = 6;   // 6..13 cylinders 1..8
inline constexpr int Gas1 = 14;     // 14..21 cylinders 1..8
}  // namespace scope

// The seven selectors of the side panel, each a radio group with these many items.
enum class ScopeGroup { Rpm, Pressure, Lambda1, Lambda2, Temperature, Petrol, Gas };
inline constexpr int kScopeGroups = 7;
int ScopeGroupItems(ScopeGroup group);
// The channel a group's item stands for; nullopt for an item the group does not have.
std::optional<int> ScopeChannelOf(ScopeGroup group, int item);

// Item index of every group, -1 when nothing is chosen in it. Choosing an item clears the other groups, so
// at most one channel is plotted.
struct ScopeSelection {
    std::array<int, kScopeGroups> items{0, -1, -1, -1, -1, -1, -1};  // engine speed at start

    void choose(ScopeGroup group, int item);
    int item(ScopeGroup group) const { return items[static_cast<std::size_t>(group)]; }
    std::optional<int> channel() const;
};

// What the channels need from the parameters.
struct ScopeInputs {
    int ignitionType = 0;           // parameter 21
    bool fastClock = false;         // bit 12 of the first flags word
    int lambda1Type = 0;            // parameter 55, the item of the probe-type list
    int lambda2Type = 0;            // parameter 56
    std::uint32_t maxGasTicks = 0;  // parameter 8
    char decimalSeparator = ',';
};

struct ScopeSample {
    float value = 0;
    float low = 0;
    float high = 0;
};

// The value and range a channel plots for these words; nullopt when it takes no sample (a lambda probe of
// the falling types 5 and 6, or an unknown type).
std::optional<ScopeSample> ScopeSampleOf(int channel, const LiveWords& words, const ScopeInputs& in);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
Rgb ScopeColour(int channel);

struct ScopePoint {
    int x = 0, y = 0;
    friend bool operator==(const ScopePoint&, const ScopePoint&) = default;
};

struct ScopeLine {
    ScopePoint from, to;
};

struct ScopeText {
    std::string text;
    ScopePoint topLeft;  // where the text's box starts, not its baseline
    int pointSize = 8;
};

// One update's picture for a box of width W and height H: grey dotted grid, the trace, the green minimum
// and red maximum markers (width 4), their labels, the blue cursor at index 256 with its value, the
// current value and a black border.
struct ScopeGeometry {
    std::vector<ScopeLine> gridVertical;
    std::vector<ScopeLine> gridHorizontal;
    std::vector<ScopePoint> trace;  // kScopeTracePoints points
    std::array<ScopeLine, 2> minMarker{};
    std::array<ScopeLine, 2> maxMarker{};
    ScopeText minLabel, maxLabel;
    ScopeLine cursor{};
    ScopeText cursorLabel;
    ScopeText current;
    std::array<ScopePoint, 5> border{};  // a closed polyline
};

// One channel's samples, newest at index 0, stored as sample minus range low. Only entries 0..W move with
// a new sample; the extremes are those of that scrolled part, found as the sample is added.
class ScopeHistory {
public:
    // Clamps the value into [low, high] (anything not at or above low, NaN included, becomes low), scrolls
    // entries 0..width and finds the extremes; on equal values the older one is kept.
    void add(float value, float low, float high, int width);

    float at(int index) const { return hist_[static_cast<std::size_t>(index)]; }
    const std::array<float, kScopeHistory>& values() const { return hist_; }
    bool drawn() const { return drawn_; }
    int maxIndex() const { return maxIndex_; }
    int minIndex() const { return minIndex_; }
    float max() const { return max_; }
    float min() const { return min_; }
    float low() const { return low_; }
    float high() const { return high_; }
    float current() const { return current_; }  // the last value after clamping

private:
    std::array<float, kScopeHistory> hist_{};
    bool drawn_ = false;
    int maxIndex_ = 0, minIndex_ = 0;
    float max_ = 0, min_ = 0;
    float low_ = 0, high_ = 1;
    float current_ = 0;
};

// The picture of the history's last update in a box of width W and height H.
ScopeGeometry TraceGeometry(const ScopeHistory& history, int width, int height, char decimalSeparator);

// The 22 histories, kept for as long as the program runs.
class ScopeBank {
public:
    // Adds the channel's sample for this frame; false (and nothing moves) when the channel takes none.
    bool addFrame(int channel, const LiveWords& words, const ScopeInputs& in, int width);
    const ScopeHistory& history(int channel) const { return histories_[static_cast<std::size_t>(channel)]; }

private:
    std::array<ScopeHistory, kScopeChannels> histories_{};
};

}  // namespace sequaflow::live
