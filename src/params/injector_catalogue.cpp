#include "params/injector_catalogue.h"

#include "params/number_text.h"
#include "params/parameter_codec.h"
#include "params/parameter_writer.h"

namespace sequaflow::params {
namespace {
constexpr std::array<std::optional<InjectorEntry>, 10> kCatalogue{{
    InjectorEntry{"3.0", "4.5", "16.0", "1.2"},
    InjectorEntry{"3.3", "4.8", "25.0", "0.8"},
    InjectorEntry{"2.3", "2.5", "16.0", "0.8"},
    InjectorEntry{"2.8", "3.0", "25.0", "0.6"},
    InjectorEntry{"2.9", "4.5", "36.0", "1.2"},
    InjectorEntry{"3.0", "4.5", "38.0", "0.8"},
    InjectorEntry{"2.8", "4.00", "36.0", "2.00"},
    std::nullopt,
    InjectorEntry{"3.2", "4.00", "40.0", "2.00"},
    InjectorEntry{"2.5", "4.00", "40.0", "1.50"},
}};
}  // namespace

std::optional<InjectorEntry> InjectorEntryOf(int type) {
    if (type < 0 || type >= static_cast<int>(kCatalogue.size())) return std::nullopt;
    return kCatalogue[static_cast<std::size_t>(type)];
}

std::string InjectorText(std::string_view text, char decimalSeparator) { return WithSeparator(text, decimalSeparator); }

void ApplyInjectorType(link::Link& link, ParameterImage& image, int type) {
    const int t = type & 0xF;
    image.setField(field::InjectorType, static_cast<std::uint32_t>(t));
    WriteParameter(link, image, pn::FirstFlags);
    const auto entry = InjectorEntryOf(t);
    if (!entry) return;
    const std::pair<int, std::string_view> settings[] = {
        {13, entry->delayMs}, {6, entry->holdingPercent}, {7, entry->fullOpeningMs}, {2, entry->minimumOpeningMs}};
    for (const auto& [param, text] : settings) {
        if (EncodeParameter(image, param, text)) WriteParameter(link, image, param);
    }
}

}  // namespace sequaflow::params
