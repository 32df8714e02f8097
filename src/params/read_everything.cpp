#include "params/read_everything.h"

#include "link/commands.h"
#include "params/factory_reset.h"

namespace sequaflow::params {

ReadEverythingReport ReadEverything(link::Link& link, ProgramState& state, const ReadEverythingHooks& hooks) {
    ReadEverythingReport r;
    r.parameters = ReadParameterSet(link, state.image, hooks.progress);
    if (!r.parameters.programmed) {
        if (hooks.offerFactoryReset && hooks.offerFactoryReset()) {
            FactoryReset(link, state.image, state.maps, hooks.injectorItems, hooks.progress);
            r.factoryReset = true;
        } else {
            AdoptReadFlagsWords(state.image, r.parameters);
        }
    }
    (void)ApplyReadFlagWrites(link, state.image);
    RefreshShadowsAfterRead(state.image);
    state.maps.applyTurboFlag(state.image);
    r.maps = maps::ReadMaps(link, state.maps, hooks.progress);
    r.serialRead = link::ReadSerialNumber(link, state.serial);

    for (int w = 0; w < kRecordWordCount; ++w) {
        if (w == link::kSerialNumberWord) continue;  // read above with the controller data
        Report(hooks.progress, "record", w, kRecordWordCount - 1);
        r.recordWords[static_cast<std::size_t>(w)] = link::ReadRecordWord(link, static_cast<std::uint8_t>(w));
    }
    if (r.serialRead) r.recordWords[link::kSerialNumberWord] = state.serial;
    return r;
}

}  // namespace sequaflow::params
