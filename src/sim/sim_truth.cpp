#include "sim/sim_truth.h"

#include <charconv>
#include <sstream>

namespace sequaflow::sim {

namespace {

constexpr const char* kHeader = "sequaflow-sim truth 1";

template <typename T, std::size_t N>
void Put(std::ostringstream& out, const char* name, const std::array<T, N>& values) {
    out << name;
    for (auto v : values) out << ' ' << static_cast<unsigned long long>(v);
    out << '\n';
}

// Exactly N numbers, each within the element type.
template <typename T, std::size_t N>
bool Take(std::istringstream& line, std::array<T, N>& values) {
    for (auto& v : values) {
        std::string token;
        if (!(line >> token)) return false;
        unsigned long long n = 0;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), n);
        if (ec != std::errc{} || end != token.data() + token.size() || n > static_cast<unsigned long long>(T(~T(0))))
            return false;
        v = static_cast<T>(n);
    }
    std::string extra;
    return !(line >> extra);
}

}  // namespace

bool SimTruth::operator==(const SimTruth& o) const {
    const auto& a = running;
    const auto& b = o.running;
    const auto sameFaults = [](const FaultInjector::Counts& x, const FaultInjector::Counts& y) {
        return x.drop == y.drop && x.truncate == y.truncate && x.corrupt == y.corrupt && x.late == y.late &&
               x.stray == y.stray && x.vanish == y.vanish && x.edge == y.edge;
    };
    return a.params == b.params && a.points == b.points && a.grid == b.grid && a.stdMap == b.stdMap &&
           a.tempPoints == b.tempPoints && a.tempCorr == b.tempCorr && a.lambda == b.lambda && stores == o.stores &&
           sameFaults(faults, o.faults) && vanished == o.vanished;
}

std::string FaultCountsText(const FaultInjector::Counts& c) {
    std::ostringstream out;
    out << "drop=" << c.drop << " truncate=" << c.truncate << " corrupt=" << c.corrupt << " late=" << c.late
        << " stray=" << c.stray << " vanish=" << c.vanish << " edge=" << c.edge;
    return out.str();
}

std::string FormatSimTruth(const SimTruth& t) {
    std::ostringstream out;
    out << kHeader << '\n';
    const auto& f = t.faults;
    Put(out, "faults", std::array<std::uint64_t, 8>{f.drop, f.truncate, f.corrupt, f.late, f.stray, f.vanish, f.edge,
                                                    t.vanished});
    Put(out, "params", t.running.params);
    Put(out, "points", t.running.points);
    Put(out, "grid", t.running.grid);
    Put(out, "std", t.running.stdMap);
    Put(out, "temp_points", t.running.tempPoints);
    Put(out, "temp_corr", t.running.tempCorr);
    Put(out, "lambda", t.running.lambda);
    Put(out, "stored_params", t.stores.params);
    Put(out, "stored_map", t.stores.mapWords);
    Put(out, "stored_corr", t.stores.corrWords);
    Put(out, "stored_record", t.stores.record);
    return out.str();
}

Result<SimTruth, std::string> ParseSimTruth(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return Error<std::string>{"", "first line is not \"" + std::string(kHeader) + "\""};
    SimTruth t;
    std::array<std::uint64_t, 8> faults{};
    constexpr int kLines = 12;
    bool seen[kLines] = {};
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::istringstream ls(line);
        std::string name;
        ls >> name;
        int which = -1;
        bool ok = false;
        auto& r = t.running;
        auto& s = t.stores;
        if (name == "faults") which = 0, ok = Take(ls, faults);
        else if (name == "params") which = 1, ok = Take(ls, r.params);
        else if (name == "points") which = 2, ok = Take(ls, r.points);
        else if (name == "grid") which = 3, ok = Take(ls, r.grid);
        else if (name == "std") which = 4, ok = Take(ls, r.stdMap);
        else if (name == "temp_points") which = 5, ok = Take(ls, r.tempPoints);
        else if (name == "temp_corr") which = 6, ok = Take(ls, r.tempCorr);
        else if (name == "lambda") which = 7, ok = Take(ls, r.lambda);
        else if (name == "stored_params") which = 8, ok = Take(ls, s.params);
        else if (name == "stored_map") which = 9, ok = Take(ls, s.mapWords);
        else if (name == "stored_corr") which = 10, ok = Take(ls, s.corrWords);
        else if (name == "stored_record") which = 11, ok = Take(ls, s.record);
        if (which < 0) return Error<std::string>{"", "unknown line \"" + name + "\""};
        if (!ok || seen[which]) return Error<std::string>{"", "line \"" + name + "\" has a bad list of numbers"};
        seen[which] = true;
    }
    for (bool b : seen)
        if (!b) return Error<std::string>{"", "a line is missing"};
    t.faults = {faults[0], faults[1], faults[2], faults[3], faults[4], faults[5], faults[6]};
    t.vanished = faults[7];
    return t;
}

}  // namespace sequaflow::sim
