#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/link.h"
#include "live/live_frame.h"

// The 25 ms readings tick and what it shows, without widgets: the UI only copies these values and texts.
namespace sequaflow::live {

inline constexpr int kReadingsTickMs = 25;
inline constexpr std::uint8_t kMaxMissed = 10;
inline constexpr int kCylinders = 8;
inline constexpr int kStripSegments = 12;

// What the readings need from the parameters and the maps.
struct ReadingsInputs {
    int ignitionType = 0;          // parameter 21
    bool fastClock = false;        // bit 12 of the first flags word
    bool lambda1 = false;          // parameter 55 != 0
    bool lambda2 = false;          // parameter 56 != 0
    int tankLevel = 0;             // classification of word 17 (only used on gas)
    std::array<std::uint32_t, 11> timePoints{};  // characteristic points 6..16
    char decimalSeparator = ',';
};

struct ReadingsView {
    bool onGas = false;
    int tankPicture = 0;  // 0 while not on gas
    bool errors = false;  // word 22 or 27 not 0: lamp on and flashing

    std::uint32_t rpm = 0;
    std::string rpmText;   // "850rpm"
    std::string rpmPlain;  // "850"
    double rpmGauge = 0;   // thousands

    float pressureBar = 0;
    std::string pressureText;   // "1,23Bar"
    std::string pressurePlain;  // "1,23"

    std::array<std::string, kCylinders> petrolText;  // "3,25ms"
    std::array<std::uint32_t, kCylinders> petrolTicks{};
    std::array<std::string, kCylinders> gasText;     // "0,00ms" when not on gas
    std::array<std::uint32_t, kCylinders> gasTicks{};
    std::string correctionText;  // "+10,0%", "00,0%" when not on gas

    float stripMs = 0;
    int stripSegment = 0;

    std::int32_t reducerC = 0, gasC = 0;
    std::string reducerText, gasTempText;  // "80°C"

    bool lambda1 = false, lambda2 = false;  // probe fitted: its controls are shown
    float lambda1V = 0, lambda2V = 0;
    std::string lambda1Text, lambda2Text;  // "0,45V"

    std::string tankVoltsText;  // "4.50 V"
};

// The error lamp (and the red fault list) is on while the controller reports a present or a stored fault;
// bits without a fault of their own count too.
inline bool ErrorLampOn(std::uint32_t currentErrors, std::uint32_t storedErrors) {
    return currentErrors != 0 || storedErrors != 0;
}

// The band 0..11 of the standard map the petrol time falls in: 0 up to point 6, k when
// point(5+k) < w <= point(6+k), 11 above point 16. Later true tests win, as on screen.
int StripSegment(std::uint32_t petrolTicks, const std::array<std::uint32_t, 11>& timePoints);

ReadingsView ComputeReadings(const LiveWords& words, const ReadingsInputs& in);

// "ms" text of a tick count: FormatFixed(ms, 4, 2) + "ms".
std::string MsText(std::uint32_t ticks, bool fastClock, char decimalSeparator);

enum class TickOutcome {
    NotConnected,       // no port: "Com błąd"
    NotIdentified,      // port open, nobody identified: "ECU błąd"
    Accepted,           // words replaced: show them
    BadChecksum,        // right letters, wrong sum: counts as an answer, nothing shown
    Missed,             // no valid reply, fewer than eleven in a row: nothing changes
    MissedShowError,    // eleventh miss and after: "Com błąd", not connected
};

// The readings tick: one `ReadLiveFrame` exchange and the count of consecutive misses.
class ReadingsCycle {
public:
    TickOutcome Tick(link::Link& link, LiveWords& words);
    // The refresh used by the auto-adaptation: no miss counting.
    bool Refresh(link::Link& link, LiveWords& words);
    std::uint8_t missed() const { return missed_; }

private:
    std::uint8_t missed_ = 0;  // survives reconnections
};

}  // namespace sequaflow::live
