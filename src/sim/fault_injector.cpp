#include "sim/fault_injector.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace sequaflow::sim {

Result<FaultSpec, std::string> ParseFaultSpec(const std::string& text) {
    FaultSpec spec;
    std::string_view rest(text);
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (item.empty()) continue;
        const auto eq = item.find('=');
        if (eq == std::string_view::npos)
            return Error<std::string>{"", "fault \"" + std::string(item) + "\" needs a probability (name=0.01)"};
        const std::string_view name = item.substr(0, eq);
        const std::string number(item.substr(eq + 1));
        double p = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), p);
        const bool ok = !number.empty() && ec == std::errc{} && end == number.data() + number.size();
        if (!ok || !std::isfinite(p) || p < 0 || p > 1)
            return Error<std::string>{"", "fault \"" + std::string(name) + "\": \"" + number +
                                              "\" is not a probability between 0 and 1"};
        double* slot = name == "drop"       ? &spec.drop
                       : name == "truncate" ? &spec.truncate
                       : name == "corrupt"  ? &spec.corrupt
                       : name == "late"     ? &spec.late
                       : name == "stray"    ? &spec.stray
                       : name == "vanish"   ? &spec.vanish
                       : name == "edge"     ? &spec.edge
                                            : nullptr;
        if (!slot)
            return Error<std::string>{"", "unknown fault \"" + std::string(name) +
                                              "\" (known: drop, truncate, corrupt, late, stray, vanish, edge)"};
        *slot = p;
    }
    return spec;
}

double FaultInjector::uniform() { return static_cast<double>(rng_() >> 8) * (1.0 / 16777216.0); }

std::uint32_t FaultInjector::below(std::uint32_t n) { return n == 0 ? 0 : rng_() % n; }

std::vector<Delivery> FaultInjector::apply(std::vector<std::uint8_t> reply) {
    std::vector<Delivery> out;
    // Every draw is made whether or not it matters, so one fault never shifts the dice of the next.
    const double dStray = uniform(), dDrop = uniform(), dTruncate = uniform(), dCorrupt = uniform(),
                 dLate = uniform();
    const std::uint32_t rStray = rng_(), rCut = rng_(), rByte = rng_(), rBit = rng_();
    // Drawn only when asked for, so the older faults of a given seed stay as they were.
    const bool newer = spec_.vanish > 0 || spec_.edge > 0;
    const double dVanish = newer ? uniform() : 1, dEdge = newer ? uniform() : 1;
    const std::uint32_t rVanish = newer ? rng_() : 0, rEdge = newer ? rng_() : 0;

    if (dStray < spec_.stray) {
        ++counts_.stray;
        Delivery garbage;
        const std::uint32_t n = 1 + rStray % 3;
        for (std::uint32_t i = 0; i < n; ++i) garbage.bytes.push_back(static_cast<std::uint8_t>(rStray >> (8 + 8 * i)));
        out.push_back(std::move(garbage));
    }
    if (dVanish < spec_.vanish) {
        ++counts_.vanish;
        // Any leading part of the reply, from nothing to all of it, gets out before the line dies.
        reply.resize(rVanish % (reply.size() + 1));
        if (!reply.empty()) out.push_back({std::move(reply), {}});
        out.push_back({{}, {}, true});
        return out;
    }
    if (reply.empty()) return out;
    if (dDrop < spec_.drop) {
        ++counts_.drop;
        return out;
    }
    if (dTruncate < spec_.truncate && reply.size() > 1) {
        ++counts_.truncate;
        reply.resize(1 + rCut % (reply.size() - 1));
    }
    if (dCorrupt < spec_.corrupt) {
        ++counts_.corrupt;
        reply[rByte % reply.size()] ^= static_cast<std::uint8_t>(1u << (rBit % 8));
    }
    if (dLate < spec_.late) {
        ++counts_.late;
        out.push_back({std::move(reply), kLateDelay});
        return out;
    }
    if (dEdge < spec_.edge) {
        ++counts_.edge;
        const auto span = (kEdgeLatest - kEdgeEarliest).count();
        const std::chrono::microseconds last{kEdgeEarliest.count() + static_cast<long>(rEdge % (span + 1))};
        const auto n = static_cast<long>(reply.size());
        const auto gap = std::min<long>(kEdgeGap.count(), last.count() / (2 * n));
        for (long i = 0; i < n; ++i)
            out.push_back({{reply[static_cast<std::size_t>(i)]}, last - std::chrono::microseconds{gap * (n - 1 - i)}});
        return out;
    }
    out.push_back({std::move(reply), {}});
    return out;
}

}  // namespace sequaflow::sim
