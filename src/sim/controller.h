#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "sim/engine_model.h"
#include "sim/frame_parser.h"
#include "sim/stores.h"

namespace sequaflow::sim {

struct ControllerOptions {
    // Hardware 0x43 (variant 3, cylinder class 4) and software 37 show every control of the program.
    std::uint8_t hardware = 0x43;
    std::uint8_t software = 37;
    bool blank = false;
    std::uint32_t seed = 1;
};

inline constexpr std::size_t kLiveFrameBytes = 67;
std::array<std::uint8_t, kLiveFrameBytes> EncodeLiveFrame(const LiveWords& words);

// The answer to one request frame. `reply` is empty for the commands that are not answered.
struct Exchange {
    RequestFrame frame;
    std::vector<std::uint8_t> reply;
    bool understood = true;  // false: unknown code, index outside its store, or a store without its select
};

// The controller's logic without any I/O: frames in, reply bytes out, stores and engine inside.
class Controller {
public:
    using ExchangeSink = std::function<void(const Exchange&)>;
    using DiscardSink = std::function<void(std::span<const std::uint8_t>)>;

    explicit Controller(const ControllerOptions& options, std::optional<PersistentStores> stores = {});

    // Parses the bytes, answers every complete frame; the engine is advanced to `now` first.
    void onBytes(std::span<const std::uint8_t> bytes, std::chrono::microseconds now, const ExchangeSink& sink,
                 const DiscardSink& discarded = {});
    // The same, with the replies of all frames in order.
    std::vector<std::uint8_t> onBytes(std::span<const std::uint8_t> bytes, std::chrono::microseconds now);

    Exchange handle(const RequestFrame& frame, std::chrono::microseconds now);

    const PersistentStores& stores() const { return stores_; }
    const RunningValues& running() const { return running_; }
    EngineModel& engine() { return engine_; }
    const EngineModel& engine() const { return engine_; }
    const ControllerOptions& options() const { return options_; }

    // True once since the lasting stores last changed.
    bool takeStoresChanged();

private:
    void advance(std::chrono::microseconds now);
    std::vector<std::uint8_t> wordReply(std::uint8_t letter, std::uint8_t index, std::uint16_t value) const;
    bool apply(const RequestFrame& f, std::vector<std::uint8_t>& reply);

    ControllerOptions options_;
    PersistentStores stores_;
    RunningValues running_;
    EngineModel engine_;
    FrameParser parser_;
    bool storesChanged_ = false;

    // The select half of each select/store pair; a store is taken only for the word selected.
    std::optional<std::uint8_t> paramSelected_, mapSelected_, corrSelected_, recordSelected_;

    double countedPetrol_ = 0;
    double countedGas_ = 0;
};

}  // namespace sequaflow::sim
