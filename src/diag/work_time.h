#pragma once

#include <cstdint>
#include <string>

#include "diag/error_list.h"
#include "link/link.h"
#include "params/parameter_image.h"

// The controller's work-time counters: seconds on petrol (parameters 35, 36) and on gas (37, 38), each an
// unsigned 32-bit count kept high word first.
namespace sequaflow::diag {

namespace text {
inline constexpr int PetrolWorkTime = 12080;  // "Czas pracy na benzynie:"
inline constexpr int Days = 12081;
inline constexpr int Hours = 12082;
inline constexpr int Minutes = 12083;
inline constexpr int Seconds = 12084;
inline constexpr int GasShare = 12085;     // "Procentowy czas pracy na gazie:"
inline constexpr int PetrolShare = 12086;  // "Procentowy czas pracy na benzynie:"
}  // namespace text

struct TimeSplit {
    std::uint32_t totalSeconds = 0;
    std::uint32_t days = 0, hours = 0, minutes = 0, seconds = 0;
};
TimeSplit SplitSeconds(std::uint32_t totalSeconds);

struct WorkTime {
    TimeSplit petrol, gas;
    // Percent of the whole running time; both 0 while the controller has counted nothing at all.
    float petrolShare = 0, gasShare = 0;
};
WorkTime ComputeWorkTime(std::uint32_t petrolSeconds, std::uint32_t gasSeconds);
// The counts the image holds.
WorkTime WorkTimeOf(const params::ParameterImage& image);

struct WorkTimeRead {
    int answered = 0;  // of the four parameters
    bool complete() const { return answered == 4; }
};
// Waits 10 ms, then reads parameters 35, 36, 38 and 37 once each; every valid answer goes into the image,
// a missing one leaves the image's value as it was.
[[nodiscard]] WorkTimeRead ReadWorkTime(link::Link& link, params::ParameterImage& image);

enum class WorkTimeCounter : std::uint8_t { Petrol, Gas };
// Sets one count back to zero: both words selected and stored before either is set. Nothing is read back
// and the image is left alone.
void ResetWorkTime(link::Link& link, WorkTimeCounter counter);

// "12,34": two decimals with the given separator.
std::string ShareText(float percent, char decimalSeparator);
// The text of the work-time box.
std::string WorkTimeText(const WorkTime& time, const TextLookup& text, char decimalSeparator);

}  // namespace sequaflow::diag
