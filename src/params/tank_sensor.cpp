#include "params/tank_sensor.h"

#include "params/parameter_writer.h"

namespace sequaflow::params {
namespace {
constexpr std::array<TankPreset, 3> kTankPresets{{
    {false, {3983, 3775, 3416, 1958}},  // "20kR"
    {true, {58, 140, 204, 287}},        // "90R"
    {false, {3980, 3900, 3800, 3366}},  // "Rezerwa"
}};
}  // namespace

std::optional<TankPreset> TankPresetOf(int type) {
    if (type < 0 || type >= static_cast<int>(kTankPresets.size())) return std::nullopt;
    return kTankPresets[static_cast<std::size_t>(type)];
}

void ApplyTankSensorType(link::Link& link, ParameterImage& image, int type) {
    const int t = type & 3;
    image.setField(field::TankSensorType, static_cast<std::uint32_t>(t));
    if (const auto preset = TankPresetOf(t)) {
        for (int i = 0; i < pn::TankThresholdCount; ++i)
            image.setSlot(pn::FirstTankThreshold + i, preset->thresholds[static_cast<std::size_t>(i)]);
        image.setField(field::TankRising, preset->rising ? 1u : 0u);
    }
    WriteParameters(link, image, Writer::TankSettings);
}

int ClassifyTankLevel(std::uint32_t reading, const ParameterImage& image) {
    const auto l = static_cast<std::int64_t>(reading);
    std::int64_t t[4];
    for (int i = 0; i < pn::TankThresholdCount; ++i) t[i] = image.slot(pn::FirstTankThreshold + i);
    int level = 0;
    if (image.field(field::TankRising)) {
        if (l < t[0]) level = 1;
        if (t[0] <= l && l < t[1]) level = 2;
        if (t[1] <= l && l < t[2]) level = 3;
        if (t[2] <= l && l < t[3]) level = 4;
        if (l >= t[3]) level = 5;
    } else {
        if (l >= t[0]) level = 1;
        if (t[1] < l && l < t[0]) level = 2;
        if (t[2] < l && l <= t[1]) level = 3;
        if (t[3] < l && l <= t[2]) level = 4;
        if (l <= t[3]) level = 5;
    }
    return level;
}

}  // namespace sequaflow::params
