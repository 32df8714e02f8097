// sequaflow_soak_check: the judge of bench/soak.sh. It reads the simulator's fault-free account of what it
// holds (its --truth file) and says whether what the CLI printed, or what a load or a factory reset that
// exited 0 left in the controller, agrees with it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "maps/map_model.h"
#include "params/factory_defaults.h"
#include "params/factory_reset.h"
#include "params/injector_catalogue.h"
#include "params/parameter_file.h"
#include "params/parameter_numbers.h"
#include "params/parameter_reader.h"
#include "sim/controller.h"
#include "sim/sim_port.h"
#include "sim/sim_truth.h"

namespace {

using namespace sequaflow;

constexpr std::int64_t kCounterSlackSeconds = 3600;

// Just enough JSON for the CLI's own output.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    double number = 0;
    bool flag = false;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json* field(const std::string& name) const {
        const auto it = fields.find(name);
        return kind == Kind::Object && it != fields.end() ? &it->second : nullptr;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : s_(text) {}
    std::optional<Json> document() {
        auto v = value(0);
        space();
        if (!v || i_ != s_.size()) return std::nullopt;
        return v;
    }

private:
    void space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
    }
    bool eat(char c) {
        space();
        if (i_ < s_.size() && s_[i_] == c) return ++i_, true;
        return false;
    }
    bool word(const char* w) {
        const std::string k(w);
        if (s_.compare(i_, k.size(), k) != 0) return false;
        i_ += k.size();
        return true;
    }
    std::optional<std::string> string() {
        if (!eat('"')) return std::nullopt;
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            if (s_[i_] == '\\' && i_ + 1 < s_.size()) ++i_;
            out += s_[i_++];
        }
        if (i_ >= s_.size()) return std::nullopt;
        ++i_;
        return out;
    }
    std::optional<Json> value(int depth) {
        if (depth > 32) return std::nullopt;
        space();
        if (i_ >= s_.size()) return std::nullopt;
        Json v;
        const char c = s_[i_];
        if (c == '{') {
            ++i_;
            v.kind = Json::Kind::Object;
            if (eat('}')) return v;
            do {
                auto key = string();
                if (!key || !eat(':')) return std::nullopt;
                auto item = value(depth + 1);
                if (!item) return std::nullopt;
                v.fields[*key] = std::move(*item);
            } while (eat(','));
            if (!eat('}')) return std::nullopt;
        } else if (c == '[') {
            ++i_;
            v.kind = Json::Kind::Array;
            if (eat(']')) return v;
            do {
                auto item = value(depth + 1);
                if (!item) return std::nullopt;
                v.items.push_back(std::move(*item));
            } while (eat(','));
            if (!eat(']')) return std::nullopt;
        } else if (c == '"') {
            auto t = string();
            if (!t) return std::nullopt;
            v.kind = Json::Kind::String;
            v.text = *t;
        } else if (word("null")) {
            v.kind = Json::Kind::Null;
        } else if (word("true") || word("false")) {
            v.kind = Json::Kind::Bool;
            v.flag = s_[i_ - 1] == 'e' && s_[i_ - 2] == 'u';
        } else {
            const char* start = s_.c_str() + i_;
            char* end = nullptr;
            v.number = std::strtod(start, &end);
            if (end == start || !std::isfinite(v.number)) return std::nullopt;
            v.kind = Json::Kind::Number;
            i_ += static_cast<std::size_t>(end - start);
        }
        return v;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

std::optional<std::string> Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

std::optional<sim::SimTruth> ReadTruth(const std::string& path) {
    const auto text = Slurp(path);
    if (!text) {
        std::cerr << "soak_check: cannot read " << path << '\n';
        return std::nullopt;
    }
    auto truth = sim::ParseSimTruth(*text);
    if (!truth) {
        std::cerr << "soak_check: " << path << ": " << truth.error().detail << '\n';
        return std::nullopt;
    }
    return *truth;
}

// Counts the values compared and names each one that differs.
struct Tally {
    long checked = 0;
    std::vector<std::string> wrong;

    template <typename A, typename B>
    void same(const std::string& what, A got, B truth) {
        ++checked;
        if (static_cast<long long>(got) != static_cast<long long>(truth))
            wrong.push_back(what + ": " + std::to_string(static_cast<long long>(got)) + ", the simulator holds " +
                            std::to_string(static_cast<long long>(truth)));
    }
    // The work-time counters keep counting while the engine runs: `got` may trail `truth` by a little.
    void counter(const std::string& what, std::int64_t got, std::int64_t truth) {
        ++checked;
        if (got > truth || truth - got > kCounterSlackSeconds)
            wrong.push_back(what + ": " + std::to_string(got) + ", the simulator's count is " + std::to_string(truth));
    }
    int finish(const char* what) const {
        for (const auto& w : wrong) std::cout << what << ": " << w << '\n';
        std::cout << "checked " << checked << " wrong " << wrong.size() << '\n';
        return wrong.empty() ? 0 : 1;
    }
};

bool IsCounter(int n) { return n >= params::pn::PetrolSecondsHigh && n <= params::pn::GasSecondsLow; }

std::int64_t Count(const std::array<std::uint16_t, params::kParameterCount>& p, int high) {
    return static_cast<std::int64_t>(p[static_cast<std::size_t>(high)]) << 16 | p[static_cast<std::size_t>(high + 1)];
}

// Every value `read --json` printed (nulls are values it did not take) against the simulator's.
int CheckRead(const std::string& truthPath, const std::string& jsonPath) {
    const auto truth = ReadTruth(truthPath);
    const auto text = Slurp(jsonPath);
    if (!truth || !text) return 2;
    const auto doc = JsonReader(*text).document();
    if (!doc || doc->kind != Json::Kind::Object) {
        std::cout << "read: the output is not one JSON object\nchecked 0 wrong 1\n";
        return 1;
    }
    Tally t;
    const auto array = [&](const char* name, std::size_t n) -> const std::vector<Json>* {
        const Json* a = doc->field(name);
        if (!a || a->kind != Json::Kind::Array || a->items.size() != n) {
            t.wrong.push_back(std::string("\"") + name + "\" is missing or has the wrong length");
            return nullptr;
        }
        return &a->items;
    };
    const auto number = [](const Json& v) -> std::optional<long long> {
        if (v.kind != Json::Kind::Number) return std::nullopt;
        return static_cast<long long>(std::llround(v.number));
    };
    const auto& run = truth->running;
    if (const auto* p = array("parameters", params::kParameterCount)) {
        std::array<std::optional<long long>, params::kParameterCount> got{};
        for (std::size_t n = 0; n < got.size(); ++n) got[n] = number((*p)[n]);
        for (int n = 0; n < static_cast<int>(got.size()); ++n) {
            const auto& v = got[static_cast<std::size_t>(n)];
            if (!v) continue;
            const std::string name = "parameter " + std::to_string(n);
            if (!IsCounter(n)) {
                t.same(name, *v & 0xFFFF, run.params[static_cast<std::size_t>(n)]);
            } else if (n == params::pn::PetrolSecondsHigh || n == params::pn::GasSecondsHigh) {
                const auto& low = got[static_cast<std::size_t>(n + 1)];
                // Half a counter can only be judged with its other half.
                if (low) t.counter(name + "/" + std::to_string(n + 1), (*v & 0xFFFF) << 16 | (*low & 0xFFFF), Count(run.params, n));
            }
        }
    }
    if (const auto* p = array("points", params::kPointCount))
        for (std::size_t k = 0; k < p->size(); ++k)
            if (const auto v = number((*p)[k])) t.same("point " + std::to_string(k), *v, run.points[k]);
    if (const auto* rows = array("advanced_map", params::kGridRows))
        for (std::size_t r = 0; r < rows->size(); ++r) {
            const auto& row = (*rows)[r];
            if (row.kind != Json::Kind::Array || row.items.size() != params::kGridColumns) {
                t.wrong.push_back("advanced map row " + std::to_string(r) + " has the wrong shape");
                continue;
            }
            for (std::size_t c = 0; c < row.items.size(); ++c)
                if (const auto v = number(row.items[c]))
                    t.same("advanced map cell " + std::to_string(r) + "," + std::to_string(c), *v + 100,
                           run.grid[params::kGridColumns * r + c]);
        }
    if (const auto* p = array("standard_map", params::kStdMapSize))
        for (std::size_t k = 0; k < p->size(); ++k)
            if (const auto v = number((*p)[k])) t.same("standard map cell " + std::to_string(k), *v + 100, run.stdMap[k]);
    if (const auto* p = array("record_words", sim::kRecordWords))
        for (std::size_t w = 0; w < p->size(); ++w)
            if (const auto v = number((*p)[w])) t.same("record word " + std::to_string(w), *v, truth->stores.record[w]);
    if (const Json* serial = doc->field("serial"))
        if (const auto v = number(*serial)) t.same("serial number", *v, truth->stores.record[link::kSerialNumberWord]);
    const sim::ControllerOptions defaults;
    if (const Json* hw = doc->field("hardware"))
        if (const auto v = number(*hw)) t.same("hardware", *v, defaults.hardware);
    if (const Json* sw = doc->field("software"))
        if (const auto v = number(*sw)) t.same("software", *v, defaults.software);
    return t.finish("read");
}

// A fault-free controller in the state the real one was in before an operation; the operation is run on it
// in virtual time and what it then holds is what the real one must hold after a run that exited 0.
struct Replica {
    explicit Replica(const sim::SimTruth& before)
        : controller(sim::ControllerOptions{}, before.stores), port(controller, pacer), link(port, pacer) {
        const auto set = [&](char code, std::size_t a, std::uint8_t b, std::uint8_t c) {
            (void)controller.handle(sim::RequestFrame{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(a), b, c},
                                    pacer.now());
        };
        const auto hi = [](std::uint16_t w) { return static_cast<std::uint8_t>(w >> 8); };
        const auto lo = [](std::uint16_t w) { return static_cast<std::uint8_t>(w & 0xFF); };
        const auto& r = before.running;
        for (std::size_t n = 0; n < r.params.size(); ++n) set('D', n, hi(r.params[n]), lo(r.params[n]));
        for (std::size_t k = 0; k < r.points.size(); ++k) set(']', k, hi(r.points[k]), lo(r.points[k]));
        for (std::size_t i = 0; i < r.grid.size(); ++i)
            set('F', i / params::kGridColumns, static_cast<std::uint8_t>(i % params::kGridColumns), r.grid[i]);
        for (std::size_t k = 0; k < r.stdMap.size(); ++k) set('!', k, static_cast<std::uint8_t>(k), r.stdMap[k]);
        for (std::size_t k = 0; k < r.tempPoints.size(); ++k) set('%', k, static_cast<std::uint8_t>(k), r.tempPoints[k]);
        for (std::size_t k = 0; k < r.tempCorr.size(); ++k) set('^', k, static_cast<std::uint8_t>(k), r.tempCorr[k]);
        for (std::size_t k = 0; k < r.lambda.size(); ++k) set('Q', k, hi(r.lambda[k]), lo(r.lambda[k]));
        link.setPortName("replica");
        if (link.openPort()) link.setConnected(true);
    }
    sim::SimTruth truth() const {
        sim::SimTruth t;
        t.running = controller.running();
        t.stores = controller.stores();
        return t;
    }

    link::VirtualPacer pacer;
    sim::Controller controller;
    sim::SimPort port;
    link::Link link;
};

// What the controller holds against what a fault-free run of the same operation leaves.
int CheckHolds(const char* what, const sim::SimTruth& expected, const sim::SimTruth& actual) {
    Tally t;
    const auto words = [&](const std::string& name, const auto& want, const auto& got) {
        for (std::size_t i = 0; i < want.size(); ++i) t.same(name + " " + std::to_string(i), got[i], want[i]);
    };
    const auto paramWords = [&](const std::string& name, const auto& want, const auto& got) {
        for (int n = 0; n < static_cast<int>(want.size()); ++n) {
            if (!IsCounter(n)) t.same(name + " " + std::to_string(n), got[static_cast<std::size_t>(n)], want[static_cast<std::size_t>(n)]);
            else if (n == params::pn::PetrolSecondsHigh || n == params::pn::GasSecondsHigh) {
                const auto a = Count(got, n), b = Count(want, n);
                ++t.checked;
                if (std::llabs(a - b) > kCounterSlackSeconds)
                    t.wrong.push_back(name + " " + std::to_string(n) + "/" + std::to_string(n + 1) + ": " + std::to_string(a) +
                                      ", a fault-free run gives about " + std::to_string(b));
            }
        }
    };
    const auto& e = expected.running;
    const auto& a = actual.running;
    paramWords("parameter", e.params, a.params);
    words("point", e.points, a.points);
    words("advanced map byte", e.grid, a.grid);
    words("standard map byte", e.stdMap, a.stdMap);
    words("temperature point", e.tempPoints, a.tempPoints);
    words("temperature correction", e.tempCorr, a.tempCorr);
    words("lambda setting", e.lambda, a.lambda);
    paramWords("stored parameter", expected.stores.params, actual.stores.params);
    words("stored map word", expected.stores.mapWords, actual.stores.mapWords);
    words("stored correction word", expected.stores.corrWords, actual.stores.corrWords);
    words("stored record word", expected.stores.record, actual.stores.record);
    return t.finish(what);
}

int CheckLoad(const std::string& beforePath, const std::string& afterPath, const std::string& filePath) {
    const auto before = ReadTruth(beforePath);
    const auto after = ReadTruth(afterPath);
    auto content = params::ReadParameterFile(filePath);
    if (!before || !after) return 2;
    if (!content) {
        std::cerr << "soak_check: " << content.error().detail << '\n';
        return 2;
    }
    Replica replica(*before);
    // As the CLI's load: the cell limit from the controller's turbo flag, then the file.
    params::ParameterImage image;
    maps::MapModel model;
    const auto flags2 = link::ReadParamWord(replica.link, params::pn::SecondFlags);
    if (!flags2) {
        std::cerr << "soak_check: the replica did not answer\n";
        return 2;
    }
    image.storeWord(params::pn::SecondFlags, *flags2);
    image.refreshShadow(params::FlagsWord::Second);
    model.applyTurboFlag(image);
    if (!params::LoadParameterFile(replica.link, image, model, *content).completed()) {
        std::cerr << "soak_check: the replica's load did not finish\n";
        return 2;
    }
    return CheckHolds("load", replica.truth(), *after);
}

int CheckReset(const std::string& beforePath, const std::string& afterPath) {
    const auto before = ReadTruth(beforePath);
    const auto after = ReadTruth(afterPath);
    if (!before || !after) return 2;
    Replica replica(*before);
    params::ParameterImage image;
    maps::MapModel model;
    const auto read = params::ReadParameterSet(replica.link, image);
    params::RefreshShadowsAfterRead(image, model);
    if (!read.sequence.completed() ||
        !params::FactoryReset(replica.link, image, model, static_cast<int>(params::kInjectorItems.size())).completed()) {
        std::cerr << "soak_check: the replica's factory reset did not finish\n";
        return 2;
    }
    return CheckHolds("factory-reset", replica.truth(), *after);
}

// The parameter files the soak loads: the factory configuration and variants of its maps and points, all
// within what the editors can produce.
int WriteFiles(const std::string& dir) {
    for (int variant = 0; variant < 4; ++variant) {
        params::ParameterImage image;
        maps::MapModel model;
        for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n)
            image.storeWord(n, params::kFactoryParameters[static_cast<std::size_t>(n)]);
        for (int k = 0; k < maps::kPoints; ++k) {
            // Every point moved by the same few percent keeps their order.
            const std::uint32_t p = params::kDefaultPoints[static_cast<std::size_t>(k)];
            model.setPoint(k, p + p * static_cast<std::uint32_t>(variant) / 40);
        }
        for (int r = 0; r < maps::kRows; ++r)
            for (int c = 0; c < maps::kColumns; ++c)
                model.setCell(r, c, variant == 0 ? 15 : maps::kCellMinimum + (7 * r + 3 * c + 11 * variant) % 76);
        for (int k = 0; k < maps::kStdCells; ++k)
            model.setStdCell(k, variant == 0 ? 15 : maps::kCellMinimum + (5 * k + 13 * variant) % 76);
        const auto bytes = params::EncodeParameterFile(image, model);
        const std::string path = dir + "/soak" + std::to_string(variant) + ".par";
        if (!params::WriteParameterFile(path, bytes)) {
            std::cerr << "soak_check: cannot write " << path << '\n';
            return 2;
        }
        std::cout << path << '\n';
    }
    return 0;
}

// The fault counts as "name=N" words for the script.
int PrintFaults(const std::string& truthPath) {
    const auto truth = ReadTruth(truthPath);
    if (!truth) return 2;
    std::cout << sim::FaultCountsText(truth->faults) << " hangups=" << truth->vanished << '\n';
    return 0;
}

int Usage() {
    std::cerr << "usage: sequaflow_soak_check files DIR\n"
                 "       sequaflow_soak_check read TRUTH JSON\n"
                 "       sequaflow_soak_check load BEFORE AFTER FILE\n"
                 "       sequaflow_soak_check reset BEFORE AFTER\n"
                 "       sequaflow_soak_check faults TRUTH\n"
                 "TRUTH, BEFORE and AFTER are files sequaflow-sim --truth wrote. Exit 0: agrees; 1: a value\n"
                 "differs (one line each, then \"checked N wrong M\"); 2: usage or unreadable input.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 2 && a[0] == "files") return WriteFiles(a[1]);
    if (a.size() == 3 && a[0] == "read") return CheckRead(a[1], a[2]);
    if (a.size() == 4 && a[0] == "load") return CheckLoad(a[1], a[2], a[3]);
    if (a.size() == 3 && a[0] == "reset") return CheckReset(a[1], a[2]);
    if (a.size() == 2 && a[0] == "faults") return PrintFaults(a[1]);
    return Usage();
}
