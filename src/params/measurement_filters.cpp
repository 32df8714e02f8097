#include "params/measurement_filters.h"

#include <algorithm>

#include "live/conversions.h"
#include "params/number_text.h"
#include "params/parameter_writer.h"

namespace sequaflow::params {

FilterTexts FilterTextsOf(const ParameterImage& image, char sep) {
    const bool fast = image.fastClock();
    FilterTexts t;
    t.rpm = std::to_string(
        live::PeriodToRpm(static_cast<std::uint32_t>(image.slot(pn::FilterSpeed) & 0xFFFF), image.ignitionType()));
    t.injTime = live::FormatFixed(live::TicksToMs(static_cast<std::uint32_t>(image.slot(pn::FilterInjectionTime) & 0xFFFF), fast),
                                  4, 1, sep);
    t.dt = live::FormatFixed(live::TicksToMs(static_cast<std::uint32_t>(image.slot(pn::FilterTimeStep) & 0xFFFF), fast), 4,
                             2, sep);
    const bool first = image.field(field::LowSpeedFilterFirst) != 0;
    const bool second = image.field(field::LowSpeedFilterSecond) != 0;
    t.item = !first ? 0 : (second ? 2 : 1);
    return t;
}

std::optional<FilterTexts> ApplyMeasurementFilters(link::Link& link, ParameterImage& image, std::string_view rpmText,
                                                   std::string_view injText, std::string_view dtText, int item,
                                                   char sep) {
    const auto rpm = ParseDecimal(rpmText);
    const auto inj = ParseDecimal(injText);
    const auto dt = ParseDecimal(dtText);
    if (!rpm || !inj || !dt) return std::nullopt;
    const bool fast = image.fastClock();

    const float v = std::clamp(*rpm, 400.0f, 5000.0f);
    image.setSlot(pn::FilterSpeed, live::RpmToPeriod(static_cast<std::uint32_t>(v), image.ignitionType()));
    WriteParameter(link, image, pn::FilterSpeed);
    image.setSlot(pn::FilterInjectionTime, live::MsToTicks(std::clamp(*inj, 1.0f, 15.0f), fast));
    WriteParameter(link, image, pn::FilterInjectionTime);
    image.setSlot(pn::FilterTimeStep, live::MsToTicks(std::clamp(*dt, 0.005f, 10.0f), fast));
    WriteParameter(link, image, pn::FilterTimeStep);

    // The kind lives in two flags words; never send one the controller did not report.
    if (!image.held(pn::SecondFlags) || !image.held(pn::ThirdFlags)) return FilterTextsOf(image, sep);
    image.setField(field::LowSpeedFilterFirst, item >= 1 ? 1 : 0);
    image.setField(field::LowSpeedFilterSecond, item >= 2 ? 1 : 0);
    WriteParameter(link, image, pn::ThirdFlags);
    link.pause(20);
    WriteParameter(link, image, pn::SecondFlags);
    return FilterTextsOf(image, sep);
}

FilterTexts SetDefaultMeasurementFilters(link::Link& link, ParameterImage& image, char sep) {
    const bool fast = image.fastClock();
    image.setSlot(pn::FilterSpeed, live::RpmToPeriod(1200, image.ignitionType()));
    WriteParameter(link, image, pn::FilterSpeed);
    image.setSlot(pn::FilterInjectionTime, live::MsToTicks(5.0f, fast));
    WriteParameter(link, image, pn::FilterInjectionTime);
    image.setSlot(pn::FilterTimeStep, live::MsToTicks(0.05f, fast));
    WriteParameter(link, image, pn::FilterTimeStep);
    return FilterTextsOf(image, sep);
}

}  // namespace sequaflow::params
