// What installers type: setting texts by key with the engine-speed fields, the breakpoints, map values and
// pasted blocks, the lambda fields, the vehicle data and the adaptation's mixture correction, each through
// the core operation its screen and the command line call, against the simulated controller in virtual time.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "adapt/adaptation.h"
#include "fuzz_input.h"
#include "link/link.h"
#include "link/pacer.h"
#include "maps/emission.h"
#include "maps/map_edit.h"
#include "maps/map_transfer.h"
#include "params/parameter_settings.h"
#include "params/program_state.h"
#include "params/read_everything.h"
#include "params/setting_keys.h"
#include "record/vehicle_entry.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

using namespace sequaflow;

namespace {

// One controller behind an in-process port, in virtual time.
struct Rig {
    sim::Controller controller{sim::ControllerOptions{}};
    link::VirtualPacer pacer;
    sim::SimPort port{controller, pacer};
    link::Link link{port, pacer};
    Rig() {
        link.setPortName("fuzz");
        (void)link.openPort();
        link.setConnected(true);
    }
};

// The configuration as the read after a connection leaves it; read once, copied for every input.
const params::ProgramState& ReadState() {
    static const params::ProgramState state = [] {
        Rig rig;
        params::ProgramState s;
        params::ReadEverythingHooks hooks;
        hooks.offerFactoryReset = [] { return false; };
        (void)params::ReadEverything(rig.link, s, hooks);
        return s;
    }();
    return state;
}

maps::GridBlock Block(fuzz::FuzzInput& in) {
    int l = 1 + in.byte() % 7, r = 1 + in.byte() % 7, t = 1 + in.byte() % 12, b = 1 + in.byte() % 12;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return maps::GridBlock{l, t, r, b};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    Rig rig;
    params::ProgramState state = ReadState();
    const std::uint8_t op = in.byte();
    switch (op % 10) {
        case 0: {
            const auto keys = params::SettingKeys();
            const auto& key = keys[in.byte() % keys.size()];
            const std::string text = in.text();
            // The engine-speed fields are typed too; the drop list and the limits are worked out from them.
            auto speeds = params::SpeedTextsOf(state);
            if (in.flag()) speeds.switchSpeed = in.text();
            if (in.flag()) speeds.speedLimit = in.text();
            (void)params::SetSettingText(rig.link, state, key, text, speeds);
            for (const auto& k : keys) (void)params::ShowSetting(state, k, speeds);
            break;
        }
        case 1: {
            std::array<std::string, maps::kPoints> texts;
            for (auto& t : texts) t = in.text();
            (void)maps::WritePoints(rig.link, state.maps, texts, state.image);
            break;
        }
        case 2: {
            const auto block = Block(in);
            const bool gradient = in.flag();
            const std::string text = in.text();
            if (gradient)
                (void)maps::GradientAdvanced(rig.link, state.maps, block, text);
            else
                (void)maps::SetAdvanced(rig.link, state.maps, block, text);
            break;
        }
        case 3: {
            int first = in.byte() % 12, last = in.byte() % 12;
            if (first > last) std::swap(first, last);
            const std::string text = in.text();
            (void)maps::SetStandard(rig.link, state.maps, maps::StripRun{first, last}, text);
            (void)maps::SetStandardCell(rig.link, state.maps, last, text);
            break;
        }
        case 4: {
            const maps::GridCell at{1 + in.byte() % 7, 1 + in.byte() % 12};
            const std::string text = in.text();
            (void)maps::PasteAdvanced(rig.link, state.maps, at, text);
            (void)maps::PasteStandard(rig.link, state.maps, in.byte() % 12, text);
            break;
        }
        case 5: {
            const int index = in.byte() % maps::kLambdaSettings;
            const std::string text = in.text();
            if (const auto word = maps::LambdaWordFromText(index, text, state.image))
                (void)maps::LambdaTextFromWord(index, *word, state.image, ',');
            break;
        }
        case 6: {
            const int index = in.byte() % maps::kLambdaSettings;
            (void)maps::LambdaTextFromWord(index, in.word(), state.image, in.flag() ? ',' : '.');
            break;
        }
        case 8: {
            // The adaptation's final writes take the mixture correction from the text its field shows.
            const std::string correction = in.text();
            (void)adapt::StoreResults(rig.link, state, adapt::Measurements{}, correction, ',');
            break;
        }
        default: {
            record::VehicleEntry entry = record::EntryOf(state.vehicle);
            for (auto& t : entry.texts)
                if (in.flag()) t = in.text();
            for (auto& l : entry.lists)
                if (in.flag()) l = static_cast<int>(static_cast<std::int8_t>(in.byte()));
            const auto scope = in.flag() ? record::EntryScope::WholeRecord : record::EntryScope::InstallationData;
            record::VehicleRecord record = state.vehicle;
            if (!record::ApplyEntry(record, entry, scope)) (void)record::EntryOf(record);
            break;
        }
    }
    return 0;
}
