#include "params/read_everything.h"

#include "link/commands.h"
#include "link/sequence_run.h"
#include "params/factory_reset.h"
#include "params/parameter_settings.h"
#include "record/vehicle_transfer.h"

namespace sequaflow::params {

ReadEverythingReport ReadEverything(link::Link& link, ProgramState& state, const ReadEverythingHooks& hooks) {
    ReadEverythingReport r;
    link::SequenceRun run(link, hooks.control);
    const auto finish = [&] {
        r.sequence = run.result();
        state.readStatus = r.complete() ? ReadStatus::Complete : ReadStatus::Partial;
        return r;
    };
    r.parameters = ReadParameterSet(link, state.image, hooks.control);
    if (!run.absorb(r.parameters.sequence)) return finish();
    if (r.parameters.programmed) {
        // Smooth switching shares its bit with injector heating; every read of a programmed controller turns
        // it on when it is off.
        if (state.image.held(kFlags1Shadow) && state.image.field(field::InjectorHeating) == 0)
            SetSmoothSwitching(link, state.image, true);
    } else {
        if (hooks.offerFactoryReset && hooks.offerFactoryReset()) {
            r.factoryReset = true;
            if (!run.absorb(FactoryReset(link, state.image, state.maps, hooks.injectorItems, hooks.control)))
                return finish();
        } else {
            AdoptReadFlagsWords(state.image, r.parameters);
        }
    }
    (void)ApplyReadFlagWrites(link, state.image);
    RefreshShadowsAfterRead(state.image, state.maps);
    r.maps = maps::ReadMaps(link, state.maps, hooks.control);
    if (!run.absorb(r.maps.sequence)) return finish();
    r.serialRead = link::ReadSerialNumber(link, state.serial);

    if (!record::ReadVehicleRecord(link, run, state.vehicle, r.recordWords)) return finish();
    if (r.serialRead) r.recordWords[link::kSerialNumberWord] = state.serial;
    run.finish();
    return finish();
}

}  // namespace sequaflow::params
