#include "sim/controller.h"

#include "live/live_frame.h"
#include "params/parameter_numbers.h"

#include <cmath>

namespace sequaflow::sim {

namespace {

std::uint16_t Word(std::uint8_t hi, std::uint8_t lo) { return static_cast<std::uint16_t>(hi << 8 | lo); }

int CylindersOf(std::uint8_t hardware) {
    const int n = hardware >> 4;
    return n == 0 ? 4 : std::min(n, 8);
}

// Adds whole seconds to a 32-bit count kept in two parameters (high word first).
void AddSeconds(std::array<std::uint16_t, params::kParameterCount>& p, std::size_t high, std::uint32_t seconds) {
    const std::uint32_t count = (static_cast<std::uint32_t>(p[high]) << 16 | p[high + 1]) + seconds;
    p[high] = static_cast<std::uint16_t>(count >> 16);
    p[high + 1] = static_cast<std::uint16_t>(count & 0xFFFF);
}

}  // namespace

std::array<std::uint8_t, kLiveFrameBytes> EncodeLiveFrame(const LiveWords& words) {
    live::LiveWords wide{};
    std::copy(words.begin(), words.end(), wide.begin());
    return live::EncodeLiveFrame(wide);
}

Controller::Controller(const ControllerOptions& options, std::optional<PersistentStores> stores)
    : options_(options),
      stores_(stores ? *stores : (options.blank ? BlankStores() : FactoryStores())),
      running_(PowerUp(stores_)),
      engine_(options.seed, CylindersOf(options.hardware)) {}

bool Controller::takeStoresChanged() {
    const bool changed = storesChanged_;
    storesChanged_ = false;
    return changed;
}

void Controller::advance(std::chrono::microseconds now) {
    engine_.advanceTo(now, running_);
    // The work-time counters tick in whole seconds and are kept in the lasting parameter store too;
    // they are saved once a minute rather than every second.
    const auto petrol = static_cast<std::uint32_t>(engine_.petrolSeconds() - countedPetrol_);
    const auto gas = static_cast<std::uint32_t>(engine_.gasSeconds() - countedGas_);
    if (petrol == 0 && gas == 0) return;
    const auto minuteBefore = static_cast<long>((countedPetrol_ + countedGas_) / 60);
    countedPetrol_ += petrol;
    countedGas_ += gas;
    for (auto* p : {&running_.params, &stores_.params}) {
        AddSeconds(*p, params::pn::PetrolSecondsHigh, petrol);
        AddSeconds(*p, params::pn::GasSecondsHigh, gas);
    }
    if (static_cast<long>((countedPetrol_ + countedGas_) / 60) != minuteBefore) storesChanged_ = true;
}

std::vector<std::uint8_t> Controller::wordReply(std::uint8_t letter, std::uint8_t index, std::uint16_t value) const {
    const auto hi = static_cast<std::uint8_t>(value >> 8);
    const auto lo = static_cast<std::uint8_t>(value & 0xFF);
    return {letter, index, hi, lo, static_cast<std::uint8_t>(letter + index + hi + lo), ':'};
}

void Controller::onBytes(std::span<const std::uint8_t> bytes, std::chrono::microseconds now,
                         const ExchangeSink& sink, const DiscardSink& discarded) {
    parser_.feed(
        bytes, now, [&](const RequestFrame& f) { sink(handle(f, now)); }, discarded);
}

std::vector<std::uint8_t> Controller::onBytes(std::span<const std::uint8_t> bytes, std::chrono::microseconds now) {
    std::vector<std::uint8_t> out;
    onBytes(bytes, now, [&](const Exchange& e) { out.insert(out.end(), e.reply.begin(), e.reply.end()); });
    return out;
}

Exchange Controller::handle(const RequestFrame& frame, std::chrono::microseconds now) {
    advance(now);
    Exchange e{frame, {}, true};
    e.understood = apply(frame, e.reply);
    return e;
}

bool Controller::apply(const RequestFrame& f, std::vector<std::uint8_t>& reply) {
    const std::uint8_t a = f.a;
    const std::uint16_t value = Word(f.b, f.c);
    // A store is taken only right after the select of the same word; either way the select is used up.
    auto storeTo = [&](std::optional<std::uint8_t>& selected, auto& words) {
        const bool ok = a < words.size() && selected == a;
        selected.reset();
        if (!ok) return false;
        if (words[a] != value) storesChanged_ = true;
        words[a] = value;
        return true;
    };
    auto select = [&](std::optional<std::uint8_t>& selected, std::size_t size) {
        if (a >= size) return false;
        selected = a;
        return true;
    };
    // Byte stores repeat the index in B; a frame whose B differs is not one the controller knows.
    auto sameIndex = [&](std::size_t size) { return a < size && f.b == a; };

    switch (f.code) {
        case 'V': {
            const auto frame = EncodeLiveFrame(engine_.liveWords(running_));
            reply.assign(frame.begin(), frame.end());
            return true;
        }
        case 'I':
            reply = {'I', options_.hardware, options_.software,
                     static_cast<std::uint8_t>('I' + options_.hardware + options_.software), ':'};
            return true;
        case 'B': engine_.command(FuelCommand::Petrol); return true;
        case 'A': engine_.command(FuelCommand::Auto); return true;
        case 'G': engine_.command(FuelCommand::Gas); return true;
        case 'X': engine_.clearErrors(); return true;
        case 'O': engine_.setTestMask(value); return true;

        case 'K': return select(paramSelected_, params::kParameterCount);
        case 'E': return storeTo(paramSelected_, stores_.params);
        case 'D':
            if (a >= params::kParameterCount) return false;
            running_.params[a] = value;
            return true;
        case 'd':
            if (a >= params::kParameterCount) return false;
            reply = wordReply('d', a, running_.params[a]);
            return true;

        case ']':
            if (a >= params::kPointCount) return false;
            running_.points[a] = value;
            return true;
        case '}':
            if (a >= params::kPointCount) return false;
            reply = wordReply('d', a, running_.points[a]);
            return true;
        case 'F':
            if (a >= params::kGridRows || f.b >= params::kGridColumns) return false;
            running_.grid[7u * a + f.b] = f.c;
            return true;
        case 'L':
            if (a >= params::kGridRows || f.b >= params::kGridColumns) return false;
            reply = wordReply('d', a, running_.grid[7u * a + f.b]);
            return true;
        case '>': return select(mapSelected_, kMapStoreWords);
        case '_': return storeTo(mapSelected_, stores_.mapWords);

        case '!':
            if (!sameIndex(params::kStdMapSize)) return false;
            running_.stdMap[a] = f.c;
            return true;
        case '2':
            if (!sameIndex(params::kStdMapSize)) return false;
            reply = wordReply('d', a, running_.stdMap[a]);
            return true;
        case '%':
            if (!sameIndex(params::kTempPointCount)) return false;
            running_.tempPoints[a] = f.c;
            return true;
        case '.':
            if (!sameIndex(params::kTempPointCount)) return false;
            reply = wordReply('d', a, running_.tempPoints[a]);
            return true;
        case '^':
            if (!sameIndex(params::kTempCorrCount)) return false;
            running_.tempCorr[a] = f.c;
            return true;
        case '|':
            if (!sameIndex(params::kTempCorrCount)) return false;
            reply = wordReply('d', a, running_.tempCorr[a]);
            return true;
        case 'Q':
            if (a >= params::kLambdaCount) return false;
            running_.lambda[a] = value;
            return true;
        case 'q':
            if (a >= params::kLambdaCount) return false;
            reply = wordReply('d', a, running_.lambda[a]);
            return true;
        case '4': return select(corrSelected_, kCorrStoreWords);
        case '7': return storeTo(corrSelected_, stores_.corrWords);

        case 'M': return select(recordSelected_, kRecordWords);
        case 'U': return storeTo(recordSelected_, stores_.record);
        case 'P':
            if (a >= kRecordWords) return false;
            reply = wordReply('e', a, stores_.record[a]);
            return true;
        default: return false;
    }
}

}  // namespace sequaflow::sim
