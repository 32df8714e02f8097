#include "diag/work_time.h"

#include <cstdio>

#include "link/commands.h"
#include "params/parameter_numbers.h"

namespace sequaflow::diag {

namespace pn = params::pn;

TimeSplit SplitSeconds(std::uint32_t s) {
    TimeSplit t;
    t.totalSeconds = s;
    t.days = s / 86400u;
    t.hours = s / 3600u - t.days * 24u;
    t.minutes = s / 60u - (t.days * 1440u + t.hours * 60u);
    t.seconds = s - (t.days * 86400u + t.hours * 3600u + t.minutes * 60u);
    return t;
}

WorkTime ComputeWorkTime(std::uint32_t petrolSeconds, std::uint32_t gasSeconds) {
    WorkTime w;
    w.petrol = SplitSeconds(petrolSeconds);
    w.gas = SplitSeconds(gasSeconds);
    // A controller that never ran has no shares to speak of: 0 % each rather than a division by zero.
    const double total = static_cast<double>(petrolSeconds) + static_cast<double>(gasSeconds);
    if (total > 0) {
        w.gasShare = static_cast<float>(gasSeconds / total * 100.0);
        w.petrolShare = static_cast<float>(petrolSeconds / total * 100.0);
    }
    return w;
}

namespace {

std::uint32_t Count(const params::ParameterImage& image, int high, int low) {
    return static_cast<std::uint32_t>(image.wire(high)) << 16 | image.wire(low);
}

}  // namespace

WorkTime WorkTimeOf(const params::ParameterImage& image) {
    return ComputeWorkTime(Count(image, pn::PetrolSecondsHigh, pn::PetrolSecondsLow),
                           Count(image, pn::GasSecondsHigh, pn::GasSecondsLow));
}

WorkTimeRead ReadWorkTime(link::Link& link, params::ParameterImage& image) {
    WorkTimeRead read;
    link.pause(10);
    for (int n : {pn::PetrolSecondsHigh, pn::PetrolSecondsLow, pn::GasSecondsLow, pn::GasSecondsHigh}) {
        if (const auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n))) {
            image.storeWord(n, *word);
            ++read.answered;
        }
    }
    return read;
}

void ResetWorkTime(link::Link& link, WorkTimeCounter counter) {
    const auto high = static_cast<std::uint8_t>(counter == WorkTimeCounter::Gas ? pn::GasSecondsHigh : pn::PetrolSecondsHigh);
    const auto low = static_cast<std::uint8_t>(high + 1);
    link.pause(10);
    link::ParamSelect(link, high);
    link.pause(30);
    link::ParamStore(link, high, 0);
    link.pause(20);
    link::ParamSelect(link, low);
    link.pause(30);
    link::ParamStore(link, low, 0);
    link.pause(20);
    link::ParamSet(link, high, 0);
    link.pause(10);
    link::ParamSet(link, low, 0);
    link.pause(10);
}

std::string ShareText(float percent, char decimalSeparator) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(percent));
    std::string s = buffer;
    for (char& c : s)
        if (c == '.') c = decimalSeparator;
    return s;
}

std::string WorkTimeText(const WorkTime& time, const TextLookup& text, char decimalSeparator) {
    const auto block = [&](const TimeSplit& t) {
        return text(text::Days) + " " + std::to_string(t.days) + "\n" + text(text::Hours) + " " +
               std::to_string(t.hours) + "\n" + text(text::Minutes) + " " + std::to_string(t.minutes) + "\n" +
               text(text::Seconds) + " " + std::to_string(t.seconds) + "\n\n";
    };
    return text(text::PetrolWorkTime) + "\n" + block(time.petrol) + text(text::GasShare) + " \n" + block(time.gas) +
           text(text::GasShare) + "       " + ShareText(time.gasShare, decimalSeparator) + "%\n\n" +
           text(text::PetrolShare) + "  " + ShareText(time.petrolShare, decimalSeparator) + "%";
}

}  // namespace sequaflow::diag
