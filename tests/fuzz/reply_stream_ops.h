#pragma once

// The port and the reads of the reply-stream fuzz target, shared with the seed-corpus writer so the seeds
// follow the target's input layout.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

#include "diag/work_time.h"
#include "fuzz_input.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "live/live_frame.h"
#include "maps/emission.h"
#include "maps/map_transfer.h"
#include "params/parameter_reader.h"
#include "params/program_state.h"
#include "params/read_everything.h"
#include "record/vehicle_transfer.h"


namespace sequaflow::fuzz {


class FuzzPort final : public link::SerialPort {
public:
    FuzzPort(const link::Pacer& pacer, FuzzInput& input) : pacer_(pacer), in_(input) {}

    Result<Ok, link::PortErrorCode> open(const std::string&) override {
        open_ = true;
        return Ok{};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setRts(bool) override { return open_; }
    bool drain() override { return open_; }

    bool write(std::span<const std::uint8_t>) override {
        if (!open_) return false;
        if (in_.empty()) {
            exhausted_ = true;
            return true;
        }
        // Header: bits 0..5 the delay in ms (either side of the receive wait), bit 6 splits the reply into
        // an early half and a late half, bit 7 makes it arrive at once.
        const std::uint8_t header = in_.byte();
        const auto delay = std::chrono::milliseconds((header & 0x80) ? 0 : (header & 0x3F));
        const auto reply = in_.take(in_.byte());
        const std::vector<std::uint8_t> bytes(reply.begin(), reply.end());
        if ((header & 0x40) && bytes.size() > 1) {
            const auto half = static_cast<long>(bytes.size() / 2);
            pending_.push_back({pacer_.now(), {bytes.begin(), bytes.begin() + half}});
            pending_.push_back({pacer_.now() + delay, {bytes.begin() + half, bytes.end()}});
        } else {
            pending_.push_back({pacer_.now() + delay, bytes});
        }
        return true;
    }

    std::optional<std::size_t> queued() override {
        promote();
        if (exhausted_ && ready_.empty() && pending_.empty()) {
            failure_ = link::PortError{link::PortErrorCode::Lost, "input used up"};
            open_ = false;
            return std::nullopt;
        }
        return ready_.size();
    }

    std::size_t read(std::span<std::uint8_t> dest) override {
        promote();
        std::size_t n = 0;
        while (n < dest.size() && !ready_.empty()) {
            dest[n++] = ready_.front();
            ready_.pop_front();
        }
        return n;
    }

    std::optional<link::PortError> failure() const override { return failure_; }

private:
    struct Chunk {
        std::chrono::microseconds at;
        std::vector<std::uint8_t> bytes;
    };
    void promote() {
        while (!pending_.empty() && pending_.front().at <= pacer_.now()) {
            ready_.insert(ready_.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
            pending_.pop_front();
        }
    }

    const link::Pacer& pacer_;
    FuzzInput& in_;
    std::deque<Chunk> pending_;
    std::deque<std::uint8_t> ready_;
    std::optional<link::PortError> failure_;
    bool open_ = false;
    bool exhausted_ = false;
};

inline constexpr int kReplyStreamOps = 14;

inline void RunOne(std::uint8_t op, FuzzInput& in, link::Link& link, params::ProgramState& state) {
    switch (op % kReplyStreamOps) {
        case 0: (void)link::ReadIdentification(link); break;
        case 1: (void)link::ReadParamWord(link, in.byte()); break;
        case 2: (void)link::ReadRecordWord(link, in.byte()); break;
        case 3: {
            const auto what = static_cast<link::ShortRead>(in.byte() % 6);
            const std::uint8_t a = in.byte();
            const std::uint8_t b = in.byte();
            (void)link::ReadShort(link, what, a, b, in.flag());
            break;
        }
        case 4: (void)link::ReadSerialNumber(link, state.serial); break;
        case 5: {
            std::uint16_t w62 = 0, w63 = 0;
            link::ReadRecordWords62And63(link, w62, w63);
            break;
        }
        case 6:
            link::ReadLiveFrame(link);
            link.receiveWait(link::kLiveFrameSize);
            (void)live::DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), state.words);
            break;
        case 7: {
            auto report = params::ReadParameterSet(link, state.image);
            params::AdoptReadFlagsWords(state.image, report);
            params::RefreshShadowsAfterRead(state.image, state.maps);
            break;
        }
        case 8: (void)maps::ReadMaps(link, state.maps); break;
        case 9: {
            params::ReadEverythingHooks hooks;
            const bool reset = in.flag();
            hooks.offerFactoryReset = [reset] { return reset; };
            (void)params::ReadEverything(link, state, hooks);
            break;
        }
        case 10: (void)diag::ReadWorkTime(link, state.image); break;
        case 11: (void)record::ReadVehicleRecord(link, state.vehicle, SequenceControl{}); break;
        case 12: (void)maps::ReadLambdaSettings(link, state); break;
        default: (void)maps::ReadTemperatureMap(link, state); break;
    }
}


}  // namespace sequaflow::fuzz
