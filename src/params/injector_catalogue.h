#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"
#include "params/parameter_image.h"

// Gas injector types and the settings each one loads into the injector editors.
namespace sequaflow::params {

inline constexpr int kOwnInjectorType = 8;

// Items of the injector type list (index = type); types 6, 8 and 9 are reached only when a controller
// reports them.
inline constexpr std::array<std::string_view, 6> kInjectorItems = {
    "Kestra 2 ohm", "Kestra 3 ohm", "Kestra new 2 ohm", "Kestra new 3 ohm", "Kestra Torva 2 ohm", "Kestra Torva 3 ohm",
};

// The texts a catalogue entry puts into the four editors, written with a point.
struct InjectorEntry {
    std::string_view minimumOpeningMs;  // parameter 2
    std::string_view fullOpeningMs;     // parameter 7
    std::string_view holdingPercent;    // parameter 6
    std::string_view delayMs;           // parameter 13
};

// The entry of type 0..9; nullopt for type 7 and anything above 9.
std::optional<InjectorEntry> InjectorEntryOf(int type);

// An entry text with the locale's decimal separator.
std::string InjectorText(std::string_view text, char decimalSeparator);

// Stores the type (low four bits) in the first flags word and writes parameter 22; for a catalogue type
// then encodes and writes parameters 13, 6, 7 and 2 from the entry's texts, in that order.
void ApplyInjectorType(link::Link& link, ParameterImage& image, int type);

}  // namespace sequaflow::params
