#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"
#include "params/parameter_image.h"

// The low-speed measurement filters ("Mazda/Jalowy"): engine speed, injection time and time step
// (pn::FilterSpeed, pn::FilterInjectionTime, pn::FilterTimeStep) and the filter kind in bit 5 of the second
// and bit 3 of the third flags word.
namespace sequaflow::params {

struct FilterTexts {
    std::string rpm;      // EditFiltrRPM
    std::string injTime;  // EditFiltrInjTime
    std::string dt;       // EditFiltrDt
    int item = 0;         // ComboBoxFiltr: 0 "Brak", 1 "Jałowy", 2 "Mazda 99-01"
};

// Controllers before software 37 have no measurement filters: their editors stay hidden.
inline constexpr std::uint8_t kFirstSoftwareWithFilters = 37;
[[nodiscard]] constexpr bool HasMeasurementFilters(std::uint8_t software) {
    return software >= kFirstSoftwareWithFilters;
}

// What the editors show for the parameters in the image.
FilterTexts FilterTextsOf(const ParameterImage& image, char decimalSeparator);

// `ButtonFiltrZapis`: limits the three numbers (400..5000 rpm, 1..15 ms, 0.005..10 ms), writes 60, 61, 59,
// then the filter kind into 54 and, 20 ms later, 47. A text that is not a number stops it before anything
// is sent (nullopt); otherwise the texts the editors show afterwards.
[[nodiscard]] std::optional<FilterTexts> ApplyMeasurementFilters(link::Link& link, ParameterImage& image,
                                                                 std::string_view rpmText, std::string_view injText,
                                                                 std::string_view dtText, int item,
                                                                 char decimalSeparator);

// At the first activation: 1200 rpm, 5 ms, 0.05 ms, written in the order 60, 61, 59.
FilterTexts SetDefaultMeasurementFilters(link::Link& link, ParameterImage& image, char decimalSeparator);

}  // namespace sequaflow::params
