#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "link/connection.h"
#include "params/program_state.h"

namespace sequaflow::ui {

// The configuration the pages show, over the one program state of the core. Pages read it freely; every
// change goes through change() or replace(), which tell the other pages what changed, so an editor that
// changes a flags word is heard by every page that shows a bit of it.
class ConfigurationModel final : public QObject {
    Q_OBJECT
public:
    ConfigurationModel(params::ProgramState& state, const link::ConnectionManager& identity,
                       QObject* parent = nullptr);

    const params::ProgramState& state() const { return state_; }
    const params::ParameterImage& image() const { return state_.image; }
    const maps::MapModel& maps() const { return state_.maps; }
    const live::LiveWords& words() const { return state_.words; }
    char decimalSeparator() const { return state_.decimalSeparator; }
    // The connected controller's identification (kept by the connection, not copied here).
    std::uint8_t hardware() const { return identity_.hardware(); }
    std::uint8_t software() const { return identity_.software(); }

    // An edit: runs f on the state, then announces each parameter slot that changed, the maps and the record.
    template <typename F>
    decltype(auto) change(F&& f);
    // A read, a load or a file view replaced the whole configuration: one readFinished() instead of a
    // signal per slot.
    template <typename F>
    decltype(auto) replace(F&& f);
    // The live words of the last accepted frame (the readings tick owns them; nothing else changes them).
    live::LiveWords& liveWords() { return state_.words; }

signals:
    void parameterChanged(int slot);
    void mapsChanged();
    void recordChanged();
    void readFinished();

private:
    struct Snapshot {
        std::array<std::int32_t, params::kSlotCount> imageSlots{};
        std::array<std::uint32_t, maps::kPoints> points{};
        std::array<std::uint8_t, maps::kCells> advanced{};
        std::array<std::uint8_t, maps::kStdCells> standard{};
        std::uint16_t serial = 0;
        record::VehicleRecord vehicle;
    };
    Snapshot snapshot() const;
    void announce(const Snapshot& before);

    params::ProgramState& state_;
    const link::ConnectionManager& identity_;
};

template <typename F>
decltype(auto) ConfigurationModel::change(F&& f) {
    const Snapshot before = snapshot();
    using R = decltype(f(state_));
    if constexpr (std::is_void_v<R>) {
        std::forward<F>(f)(state_);
        announce(before);
    } else {
        R result = std::forward<F>(f)(state_);
        announce(before);
        return result;
    }
}

template <typename F>
decltype(auto) ConfigurationModel::replace(F&& f) {
    using R = decltype(f(state_));
    if constexpr (std::is_void_v<R>) {
        std::forward<F>(f)(state_);
        emit readFinished();
    } else {
        R result = std::forward<F>(f)(state_);
        emit readFinished();
        return result;
    }
}

}  // namespace sequaflow::ui
