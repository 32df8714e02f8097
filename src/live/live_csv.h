#pragma once

#include <cstdint>
#include <string>

#include "live/live_frame.h"

// One live frame in engineering units, and its CSV form: the command line's `live --csv` and the desktop
// program's live log write the same columns from here.
namespace sequaflow::live {

struct LiveReading {
    double timeS = 0;
    std::uint32_t rpm = 0;
    float pressureBar = 0;
    std::int32_t reducerC = 0, gasC = 0;
    float lambda1 = 0, lambda2 = 0, tankV = 0;
    bool onGas = false;
    std::uint32_t errorsCurrent = 0, errorsStored = 0, injectorFaults = 0, testMask = 0;
    float petrolMs[8]{}, gasMs[8]{};
};

// Speeds need the ignition type (parameter 21) and times the clock flag, as the screens convert them.
LiveReading MakeReading(const LiveWords& words, double timeS, int ignitionType, bool fastClock);

// "%.*f" with a point whatever the locale's separator.
std::string FixedText(double value, int decimals);

// The header line naming every column (with its unit), ending in a newline.
std::string CsvHeader();
// One row under that header, ending in a newline.
std::string CsvRow(const LiveReading& reading);

}  // namespace sequaflow::live
