#include "params/program_state.h"

#include "params/tank_sensor.h"

namespace sequaflow::params {

namespace {
constexpr int kFirstTimePoint = 6;
}  // namespace

live::ReadingsInputs ReadingsInputsOf(const ProgramState& state) {
    live::ReadingsInputs in;
    in.ignitionType = state.image.ignitionType();
    in.fastClock = state.image.fastClock();
    in.lambda1 = state.image.slot(pn::Lambda1Type) != 0;
    in.lambda2 = state.image.slot(pn::Lambda2Type) != 0;
    in.tankLevel = ClassifyTankLevel(state.words[live::word::Tank], state.image);
    for (std::size_t i = 0; i < in.timePoints.size(); ++i)
        in.timePoints[i] = state.maps.point(kFirstTimePoint + static_cast<int>(i));
    in.decimalSeparator = state.decimalSeparator;
    return in;
}

live::ScopeInputs ScopeInputsOf(const ProgramState& state) {
    live::ScopeInputs in;
    in.ignitionType = state.image.ignitionType();
    in.fastClock = state.image.fastClock();
    in.lambda1Type = state.image.slot(pn::Lambda1Type);
    in.lambda2Type = state.image.slot(pn::Lambda2Type);
    in.maxGasTicks = static_cast<std::uint32_t>(state.image.slot(pn::MaxGasTime));
    in.decimalSeparator = state.decimalSeparator;
    return in;
}

bool CanSaveConfiguration(ReadStatus status) { return status == ReadStatus::Complete || status == ReadStatus::File; }

}  // namespace sequaflow::params
