#include "params/parameter_reader.h"

#include <algorithm>

#include "link/commands.h"
#include "link/sequence_run.h"
#include "params/parameter_writer.h"

namespace sequaflow::params {

int ParameterReadReport::failures() const { return static_cast<int>(std::count(valid.begin(), valid.end(), false)); }

ParameterReadReport ReadParameterSet(link::Link& link, ParameterImage& image, const SequenceControl& control) {
    ParameterReadReport report;
    link::SequenceRun run(link, control);
    if (!run.goOn()) {
        report.sequence = run.result();
        return report;
    }
    link.discardStaleInput();
    link.pause(20);
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) {
        if (!run.step("Param.", n + 1, static_cast<int>(kParameterCount))) break;
        const auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n));
        if (word) {
            image.storeWord(n, *word);
            report.valid[static_cast<std::size_t>(n)] = true;
        }
    }
    report.sequence = run.result();
    // A set read only in part says nothing reliable about the marker or the flags words.
    if (!report.sequence.completed()) return report;
    const std::int32_t marker = image.slot(pn::Marker);
    report.programmed = marker == kProgrammedMarker || marker == 0;
    if (report.programmed) {
        image.refreshShadow(FlagsWord::First);
        image.refreshShadow(FlagsWord::Second);
    }
    return report;
}

void AdoptReadFlagsWords(ParameterImage& image, const ParameterReadReport& report) {
    if (report.valid[pn::FirstFlags]) image.refreshShadow(FlagsWord::First);
    if (report.valid[pn::SecondFlags]) image.refreshShadow(FlagsWord::Second);
}

void RefreshShownShadows(ParameterImage& image, maps::MapModel& model) {
    image.refreshShadow(FlagsWord::InjectorSelection);
    image.refreshShadow(FlagsWord::Second);
    model.applyTurboFlag(image);
}

void RefreshShadowsAfterRead(ParameterImage& image, maps::MapModel& model) {
    RefreshShownShadows(image, model);
    image.refreshShadow(FlagsWord::Third);
}

bool ApplyReadFlagWrites(link::Link& link, ParameterImage& image) {
    if (!image.held(kFlags1Shadow)) return false;
    image.setField(field::SpeedLimitOn, 1);
    WriteParameter(link, image, pn::FirstFlags);
    image.setField(field::ReducerVacuum, 1);
    WriteParameter(link, image, pn::FirstFlags);
    return true;
}

}  // namespace sequaflow::params
