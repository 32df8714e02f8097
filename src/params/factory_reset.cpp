#include "params/factory_reset.h"

#include <algorithm>

#include "link/commands.h"
#include "link/sequence_run.h"
#include "live/conversions.h"
#include "maps/emission.h"
#include "maps/map_transfer.h"
#include "params/factory_defaults.h"
#include "params/parameter_writer.h"
#include "params/tank_sensor.h"

namespace sequaflow::params {
namespace {

constexpr int kFactoryIgnitionType = 2;
constexpr std::uint32_t kSwitchOverRpm = 600;
constexpr std::uint32_t kSpeedLimitRpm = 6000;
constexpr int kFactoryTankType = 2;
constexpr int kCellDefault = 15;
// The thresholds the set briefly holds before the tank sensor preset replaces them (never sent).
constexpr std::array<std::int32_t, 4> kInterimTankThresholds = {3750, 3400, 3100, 2200};

void StoreFactory(ParameterImage& image, int first, int last) {
    for (int n = first; n <= last; ++n) image.storeWord(n, kFactoryParameters[static_cast<std::size_t>(n)]);
}

}  // namespace

SequenceResult FactoryReset(link::Link& link, ParameterImage& image, maps::MapModel& model, int injectorItems,
                            const SequenceControl& control) {
    link::SequenceRun run(link, control);
    if (!run.goOn()) return run.result();
    // The set, in the order the values are decided (the ranges run over the factory table).
    StoreFactory(image, 0, 13);
    StoreFactory(image, 15, 20);
    image.setSlot(pn::ExtraCorrectionTime, 0);
    image.setSlot(pn::IgnitionType, kFactoryIgnitionType);
    image.setSlot(pn::SwitchSpeed, live::RpmToPeriod(kSwitchOverRpm, image.ignitionType()));
    image.setSlot(pn::FirstFlags, 0);
    image.setSlot(kFlags1Shadow, 0);
    image.setSlot(kFlags2Shadow, 0);
    image.setSlot(kFlags3Shadow, 0);
    image.commitShadow(FlagsWord::Second);
    image.commitShadow(FlagsWord::Third);
    image.setSlot(pn::SpeedDrop, 0);

    image.setField(field::InjectorType, injectorItems > 4 ? 5u : 1u);

    StoreFactory(image, 23, 29);
    for (int i = 0; i < pn::TankThresholdCount; ++i)
        image.setSlot(pn::FirstTankThreshold + i, kInterimTankThresholds[static_cast<std::size_t>(i)]);
    StoreFactory(image, 39, 39);
    StoreFactory(image, 34, 34);
    StoreFactory(image, 40, 43);
    image.setSlot(pn::SpeedLimit, live::RpmToPeriod(kSpeedLimitRpm, image.ignitionType()));
    StoreFactory(image, 45, 46);
    image.setSlot(pn::GasCutoffTemperature, -20);

    // The tank preset is the first thing sent: a line already gone stops the reset here.
    if (!run.step("Param.", 0, kParameterCount)) return run.result();
    ApplyTankSensorType(link, image, kFactoryTankType);

    image.setSlot(pn::ReducerCutoffTemperature, -20);
    image.setField(field::ReducerCutoff, 0);
    image.setSlot(pn::SecondFlags, 0);
    StoreFactory(image, 50, 50);
    image.setSlot(kInjectorSelectionShadow, 0);
    image.setSlot(pn::ExtraCorrectionInjectors, 0);

    if (!run.absorb(WriteAllParameters(link, image, control))) return run.result();

    // Advanced map from the last cell back; each store word pairs the cell with its partner as the model
    // holds it at that moment.
    const int cellValue = std::min(kCellDefault, model.cellMaximum());
    int done = 0;
    for (int c = maps::kColumns - 1; c >= 0; --c) {
        for (int r = maps::kRows - 1; r >= 0; --r) {
            model.setCell(r, c, cellValue);
            if (!run.step("Mapa 1p", ++done, maps::kCells)) return run.result();
            maps::WriteAdvancedCell(link, model, r, c);
        }
    }

    for (int k = 0; k < maps::kPoints; ++k) {
        model.setPoint(k, kDefaultPoints[static_cast<std::size_t>(k)]);
        if (!run.step("Mapa 1", k + 1, maps::kPoints)) return run.result();
        link::WritePointSequence(link, static_cast<std::uint8_t>(k), kDefaultPoints[static_cast<std::size_t>(k)]);
    }

    for (int k = 0; k < maps::kStdCells; ++k) {
        model.setStdByte(k, kDefaultStdMap[static_cast<std::size_t>(k)]);
        if (!run.step("Mapa 2", k + 1, maps::kStdCells)) return run.result();
        maps::WriteStandardCell(link, model, k);
    }

    if (!maps::SendLambdaWords(run, link, kDefaultLambda)) return run.result();

    image.setField(field::LambdaSwitches, 0);
    image.setField(field::TemperatureMapOn, 0);
    if (!run.goOn()) return run.result();
    WriteParameter(link, image, pn::SecondFlags);

    if (!maps::SendDefaultTemperatureMap(run, link)) return run.result();

    if (!run.goOn()) return run.result();
    maps::SetMapMode(link, image, 2);
    run.finish();
    return run.result();
}

SequenceResult RestoreFactorySettings(link::Link& link, ParameterImage& image, maps::MapModel& model,
                                      int injectorItems, const SequenceControl& control) {
    SequenceResult result = FactoryReset(link, image, model, injectorItems, control);
    if (result.stopped != StopReason::NotConnected) image.setSlot(pn::SpeedDrop, 0);
    return result;
}

}  // namespace sequaflow::params
