#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/result.h"
#include "params/parameter_image.h"

// Editor text <-> stored parameter value, for every parameter an editor shows as text or as a list item.
namespace sequaflow::params {

enum class EncodeError {
    NotANumber,  // the text does not read as a number: nothing is stored, nothing is sent
    NoEditor,    // the parameter has no editor of that kind
    BadItem,     // a list item outside the list
};

// How an editor's number becomes the stored value.
enum class Rule : std::uint8_t {
    Offset100,       // whole percent + 100 (mixture correction)
    Time,            // milliseconds to ticks with the clock flag
    SignedTime,      // as Time, shown with a sign
    Whole,           // the number truncated
    HoldingPercent,  // percent x 0.01 in single precision, x 1500
    Speed,           // rpm to the ignition period with the ignition type of parameter 21
    Thousandths,     // seconds x 1000
    Hundredths,      // seconds x 100
    Pressure,        // bar to raw counts
    TankVolts,       // volts x 833.33...
};

// "below `threshold` becomes `replacement`" or "above ... becomes ...", applied in the order listed.
struct Limit {
    enum class Side : std::uint8_t { Below, Above };
    Side side;
    float threshold;
    float replacement;
};

struct TextForm {
    int precision = 0;  // significant digits; 0 = a whole number
    int decimals = 0;
};

struct NumericEditor {
    int param;
    std::string_view name;  // the editor control
    Rule rule;
    Limit limits[2];
    int limitCount;
    TextForm form;
};

// The editor of a numeric parameter, or nullptr.
const NumericEditor* FindNumericEditor(int param);
// The number after the editor's limits, in their order.
float ApplyEditorLimits(const NumericEditor& editor, float x);

// Text -> value of parameter `param` as the encoder would store it (limits, rule, truncation); the image
// supplies the clock flag and the ignition type. Nothing is stored.
[[nodiscard]] Result<std::int32_t, EncodeError> EncodeText(const ParameterImage& image, int param,
                                                           std::string_view text);
// Encodes and stores; pn::SwitchTemperature also stores pn::HeatingTemperature = value - 1.
[[nodiscard]] Result<std::int32_t, EncodeError> EncodeParameter(ParameterImage& image, int param,
                                                                std::string_view text);
// The text an editor shows for the stored value, with the locale's decimal separator.
[[nodiscard]] std::optional<std::string> DecodeParameter(const ParameterImage& image, int param,
                                                         char decimalSeparator);

// ---- List editors (combo boxes, the turbo scroll bar). ----

// Number of items of the list editor of `param` (0 when it has none).
int ItemCount(int param);
// Stores the value of item `item`; parameters 48 and 49 also set or clear their cut-off bit in parameter 47.
[[nodiscard]] Result<std::int32_t, EncodeError> EncodeItem(ParameterImage& image, int param, int item);
// The item the list shows for the stored value; -1 (no selection) when the value names no item.
int DecodeItem(const ParameterImage& image, int param);

}  // namespace sequaflow::params
