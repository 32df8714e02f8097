#pragma once

#include <cstdint>
#include <span>

#include "link/commands.h"
#include "link/link.h"
#include "params/parameter_image.h"
#include "params/progress.h"

// Sending parameters: the controller acknowledges none of it, so the fixed pauses are the whole pacing.
namespace sequaflow::params {

// One parameter as an editor sends it: 10 ms, select, 30 ms, store, 20 ms, set (the low 16 bits of the slot).
void WriteParameter(link::Link& link, const ParameterImage& image, int n);

struct WriteStep {
    std::uint8_t param;
    link::ParamWritePauses pauses;
};

// The multi-parameter writers, each with the pauses it keeps between its parameters.
enum class Writer {
    MinTempSwitch,    // parameter 5, then 41
    ExtraCorrection,  // 52, then 51
    SpeedDrop,        // 53
    ReducerCutoff,    // 48, then 47
    GasCutoff,        // 49, then 47
    HeatingStrength,  // 57, then 43 and 42
    SmoothSwitching,  // 41, 42, 43, then 22
    ControlSettings,  // 58 after choosing the own-injector type
    TankSettings,     // 22, then 30..33
};

std::span<const WriteStep> WriterSteps(Writer writer);
void WriteParameters(link::Link& link, const ParameterImage& image, Writer writer);

// Parameters 63 down to 1, then the programmed marker (always 43690, whatever slot 0 holds; slot 0 is left
// as it is). The marker goes last so an interrupted write never leaves a controller looking programmed.
// Stops before the next parameter when the line is lost or the user cancels; the marker is then not sent.
SequenceResult WriteAllParameters(link::Link& link, const ParameterImage& image, const SequenceControl& control = {});

}  // namespace sequaflow::params
