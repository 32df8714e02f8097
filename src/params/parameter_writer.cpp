#include "params/parameter_writer.h"

#include <array>

#include "link/sequence_run.h"

namespace sequaflow::params {
namespace {

using P = link::ParamWritePauses;
constexpr P kSingle{10, 30, 20, 0};
constexpr P kTrailing{0, 30, 20, 20};  // the pause after the set instead of before the select

constexpr std::array<WriteStep, 2> kMinTempSwitch{{{pn::SwitchTemperature, kSingle}, {pn::HeatingTemperature, kTrailing}}};
constexpr std::array<WriteStep, 2> kExtraCorrection{{{pn::ExtraCorrectionTime, kSingle}, {pn::ExtraCorrectionInjectors, P{10, 30, 20, 10}}}};
constexpr std::array<WriteStep, 1> kSpeedDrop{{{pn::SpeedDrop, kTrailing}}};
constexpr std::array<WriteStep, 2> kReducerCutoff{{{pn::ReducerCutoffTemperature, kSingle}, {pn::SecondFlags, P{30, 30, 20, 0}}}};
constexpr std::array<WriteStep, 2> kGasCutoff{{{pn::GasCutoffTemperature, kSingle}, {pn::SecondFlags, P{30, 30, 20, 0}}}};
constexpr std::array<WriteStep, 3> kHeatingStrength{
    {{pn::HeatingStrength, P{10, 30, 20, 20}}, {pn::HeatingPulse, P{20, 30, 20, 0}}, {pn::HeatingDuration, P{20, 30, 20, 0}}}};
constexpr std::array<WriteStep, 4> kSmoothSwitching{{{pn::HeatingTemperature, kTrailing},
                                                     {pn::HeatingDuration, kTrailing},
                                                     {pn::HeatingPulse, kTrailing},
                                                     {pn::FirstFlags, kTrailing}}};
constexpr std::array<WriteStep, 1> kControlSettings{{{pn::ControlSettings, P{0, 30, 20, 0}}}};
constexpr std::array<WriteStep, 5> kTankSettings{{{pn::FirstFlags, kSingle},
                                                  {pn::FirstTankThreshold, kSingle},
                                                  {pn::FirstTankThreshold + 1, kSingle},
                                                  {pn::FirstTankThreshold + 2, kSingle},
                                                  {pn::FirstTankThreshold + 3, kSingle}}};

constexpr std::uint16_t kMarker = kProgrammedMarker;

}  // namespace

void WriteParameter(link::Link& link, const ParameterImage& image, int n) {
    link::WriteParamSequence(link, static_cast<std::uint8_t>(n), image.wire(n), kSingle);
}

std::span<const WriteStep> WriterSteps(Writer writer) {
    switch (writer) {
        case Writer::MinTempSwitch: return kMinTempSwitch;
        case Writer::ExtraCorrection: return kExtraCorrection;
        case Writer::SpeedDrop: return kSpeedDrop;
        case Writer::ReducerCutoff: return kReducerCutoff;
        case Writer::GasCutoff: return kGasCutoff;
        case Writer::HeatingStrength: return kHeatingStrength;
        case Writer::SmoothSwitching: return kSmoothSwitching;
        case Writer::ControlSettings: return kControlSettings;
        case Writer::TankSettings: return kTankSettings;
    }
    return {};
}

void WriteParameters(link::Link& link, const ParameterImage& image, Writer writer) {
    for (const WriteStep& step : WriterSteps(writer))
        link::WriteParamSequence(link, step.param, image.wire(step.param), step.pauses);
}

SequenceResult WriteAllParameters(link::Link& link, const ParameterImage& image, const SequenceControl& control) {
    constexpr int kTotal = kParameterCount;  // 63 parameters and the marker
    link::SequenceRun run(link, control);
    int done = 0;
    for (int n = kParameterCount - 1; n >= 1; --n) {
        if (!run.step("Param.", ++done, kTotal)) return run.result();
        link::WriteParamSequence(link, static_cast<std::uint8_t>(n), image.wire(n), kTrailing);
    }
    if (!run.step("Param.", ++done, kTotal)) return run.result();
    link::WriteParamSequence(link, pn::Marker, kMarker, P{0, 30, 30, 10});
    run.finish();  // a line lost during the marker leaves it unconfirmed
    return run.result();
}

}  // namespace sequaflow::params
