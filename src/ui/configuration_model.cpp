#include "ui/configuration_model.h"

#include <algorithm>

namespace sequaflow::ui {

ConfigurationModel::ConfigurationModel(params::ProgramState& state, const link::ConnectionManager& identity,
                                       QObject* parent)
    : QObject(parent), state_(state), identity_(identity) {}

ConfigurationModel::Snapshot ConfigurationModel::snapshot() const {
    Snapshot s;
    for (int n = 0; n < params::kSlotCount; ++n) s.imageSlots[static_cast<std::size_t>(n)] = state_.image.slot(n);
    for (int k = 0; k < maps::kPoints; ++k) s.points[static_cast<std::size_t>(k)] = state_.maps.point(k);
    std::copy(state_.maps.advanced().begin(), state_.maps.advanced().end(), s.advanced.begin());
    for (int k = 0; k < maps::kStdCells; ++k) s.standard[static_cast<std::size_t>(k)] = state_.maps.stdByte(k);
    s.serial = state_.serial;
    s.vehicle = state_.vehicle;
    return s;
}

void ConfigurationModel::announce(const Snapshot& before) {
    const Snapshot after = snapshot();
    for (int n = 0; n < params::kSlotCount; ++n)
        if (before.imageSlots[static_cast<std::size_t>(n)] != after.imageSlots[static_cast<std::size_t>(n)]) emit parameterChanged(n);
    if (before.points != after.points || before.advanced != after.advanced || before.standard != after.standard)
        emit mapsChanged();
    if (before.serial != after.serial || before.vehicle.text != after.vehicle.text ||
        before.vehicle.word62 != after.vehicle.word62 || before.vehicle.word63 != after.vehicle.word63)
        emit recordChanged();
}

}  // namespace sequaflow::ui
