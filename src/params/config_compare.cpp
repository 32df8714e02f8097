#include "params/config_compare.h"

#include <cstdio>
#include <ostream>

#include "link/offline_link.h"
#include "params/parameter_reader.h"
#include "params/parameter_settings.h"
#include "params/program_state.h"
#include "params/setting_keys.h"

namespace sequaflow::params {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }
constexpr std::int64_t kCounterSlackSeconds = 3600;

template <typename T, std::size_t N>
bool All(const std::array<std::optional<T>, N>& a) {
    for (const auto& v : a)
        if (!v) return false;
    return true;
}

// The state the screens would show for the configuration; unread values count as zero, which only matters
// for the texts of values that depend on them (the clock flag, the ignition type).
ProgramState StateOf(const Configuration& c, char decimalSeparator) {
    ProgramState state;
    state.decimalSeparator = decimalSeparator;
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) state.image.setSlot(n, c.parameters[At(n)].value_or(0));
    for (int k = 0; k < maps::kPoints; ++k) state.maps.setPoint(k, c.points[At(k)].value_or(0));
    state.image.refreshShadow(FlagsWord::First);
    RefreshShadowsAfterRead(state.image, state.maps);
    return state;
}

const SettingKey* KeyOfParameter(int n) {
    for (const auto& key : SettingKeys())
        if (key.number == n) return &key;
    return nullptr;
}

class Texts {
public:
    Texts(const Configuration& c, char sep) : state_(StateOf(c, sep)), speeds_(SpeedTextsOf(state_)) {}

    std::string of(const ConfigItem& item, std::int64_t raw) const {
        switch (item.kind) {
            case ItemKind::Parameter: {
                if (const SettingKey* key = KeyOfParameter(item.number))
                    if (auto text = ShowSetting(state_, *key, speeds_).text) return *text;
                return std::to_string(raw);
            }
            case ItemKind::Point: return maps::PointText(state_.maps, item.number, state_.image, state_.decimalSeparator);
            case ItemKind::AdvancedCell:
            case ItemKind::StandardCell: return maps::GridCellText(static_cast<int>(raw)) + "%";
        }
        return std::to_string(raw);
    }

private:
    ProgramState state_;
    SpeedTexts speeds_;
};

template <typename T, std::size_t N>
void CompareArrays(ItemKind kind, const std::array<std::optional<T>, N>& a, const std::array<std::optional<T>, N>& b,
                   const Texts& ta, const Texts& tb, std::vector<Difference>& out) {
    for (std::size_t i = 0; i < N; ++i) {
        if (a[i] == b[i]) continue;
        Difference d;
        d.item = {kind, static_cast<int>(i)};
        if (a[i]) {
            d.rawA = static_cast<std::int64_t>(*a[i]);
            d.textA = ta.of(d.item, *d.rawA);
        }
        if (b[i]) {
            d.rawB = static_cast<std::int64_t>(*b[i]);
            d.textB = tb.of(d.item, *d.rawB);
        }
        out.push_back(std::move(d));
    }
}

std::vector<Difference> CompareWithTexts(const Configuration& a, const Configuration& b, const Texts& ta,
                                         const Texts& tb) {
    std::vector<Difference> out;
    CompareArrays(ItemKind::Parameter, a.parameters, b.parameters, ta, tb, out);
    CompareArrays(ItemKind::Point, a.points, b.points, ta, tb, out);
    CompareArrays(ItemKind::AdvancedCell, a.advanced, b.advanced, ta, tb, out);
    CompareArrays(ItemKind::StandardCell, a.standard, b.standard, ta, tb, out);
    return out;
}

// A counter of seconds in two words, high first, as the 16-bit words hold it.
std::optional<std::int64_t> Counter(const Configuration& c, int high) {
    const auto& h = c.parameters[At(high)];
    const auto& l = c.parameters[At(high + 1)];
    if (!h || !l) return std::nullopt;
    return static_cast<std::int64_t>(*h & 0xFFFF) << 16 | (*l & 0xFFFF);
}

}  // namespace

bool Configuration::completeForFile() const {
    return All(parameters) && All(points) && All(advanced) && All(standard);
}

Configuration ConfigurationOfFile(const ParameterFileContent& content) {
    Configuration c;
    for (std::size_t n = 0; n < content.parameters.size(); ++n) c.parameters[n] = content.parameters[n];
    for (std::size_t k = 0; k < content.points.size(); ++k) c.points[k] = content.points[k];
    for (std::size_t i = 0; i < content.advanced.size(); ++i) c.advanced[i] = maps::CellValue(content.advanced[i]);
    for (std::size_t k = 0; k < content.standard.size(); ++k) c.standard[k] = maps::CellValue(content.standard[k]);
    return c;
}

Configuration ConfigurationOfScreen(const ParameterImage& image, const maps::MapModel& model) {
    Configuration c;
    // As the word on the wire: a slot may hold more than its 16 bits (a limited editor's 500 s).
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) c.parameters[At(n)] = SlotFromWord(n, image.wire(n));
    for (int k = 0; k < maps::kPoints; ++k) c.points[At(k)] = model.point(k) & 0xFFFF;
    for (int i = 0; i < maps::kCells; ++i) c.advanced[At(i)] = maps::CellValue(model.advanced()[At(i)]);
    for (int k = 0; k < maps::kStdCells; ++k) c.standard[At(k)] = model.stdCell(k);
    return c;
}

std::string ItemName(const ConfigItem& item) {
    const std::string number = std::to_string(item.number);
    switch (item.kind) {
        case ItemKind::Parameter: {
            const auto key = ItemKey(item);
            return key.empty() ? "parameter " + number : "parameter " + number + " (" + std::string(key) + ")";
        }
        case ItemKind::Point: return "point " + number;
        case ItemKind::AdvancedCell:
            return "advanced map cell " + std::to_string(item.row()) + "," + std::to_string(item.column()) +
                   " (row,column)";
        case ItemKind::StandardCell: return "standard map cell " + number;
    }
    return number;
}

std::string_view ItemKey(const ConfigItem& item) {
    if (item.kind != ItemKind::Parameter) return {};
    const SettingKey* key = KeyOfParameter(item.number);
    return key ? key->key : std::string_view{};
}

std::vector<Difference> Compare(const Configuration& a, const Configuration& b, char decimalSeparator) {
    return CompareWithTexts(a, b, Texts(a, decimalSeparator), Texts(b, decimalSeparator));
}

std::vector<Difference> CompareHeld(const Configuration& expected, const Configuration& held, char decimalSeparator) {
    Configuration want = expected;
    want.parameters[At(pn::Marker)] = kProgrammedMarker;
    for (const int high : {pn::PetrolSecondsHigh, pn::GasSecondsHigh}) {
        const auto sent = Counter(want, high);
        const auto now = Counter(held, high);
        if (sent && now && *now >= *sent && *now - *sent <= kCounterSlackSeconds) {
            want.parameters[At(high)] = held.parameters[At(high)];
            want.parameters[At(high + 1)] = held.parameters[At(high + 1)];
        }
    }
    return CompareWithTexts(want, held, Texts(want, decimalSeparator), Texts(held, decimalSeparator));
}

Configuration AsReadAfterLoad(const ParameterFileContent& content) {
    ParameterImage image;
    maps::MapModel model;
    ApplyParameterFile(image, model, content);
    image.refreshShadow(FlagsWord::First);
    RefreshShadowsAfterRead(image, model);
    link::OfflineLink offline;
    if (image.field(field::InjectorHeating) == 0) SetSmoothSwitching(offline.link(), image, true);
    (void)ApplyReadFlagWrites(offline.link(), image);
    Configuration c = ConfigurationOfFile(content);
    for (const int n : {pn::FirstFlags, pn::HeatingTemperature, pn::HeatingDuration, pn::HeatingPulse})
        c.parameters[At(n)] = SlotFromWord(n, image.wire(n));
    return c;
}

std::string SideText(const Difference& d, bool sideA) {
    const auto& text = sideA ? d.textA : d.textB;
    const auto& raw = sideA ? d.rawA : d.rawB;
    if (!text) return "not read";
    if (d.textA == d.textB && raw) return *text + " (" + std::to_string(*raw) + ")";
    return *text;
}

std::string DifferenceLine(const Difference& d) {
    return ItemName(d.item) + ": " + SideText(d, true) + " -> " + SideText(d, false);
}

void PrintJsonText(std::ostream& out, std::string_view text) {
    out << '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out << '\\' << c;
        else if (c == '\n') out << "\\n";
        else if (c == '\t') out << "\\t";
        else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out << buffer;
        } else {
            out << c;  // UTF-8 passes through
        }
    }
    out << '"';
}

void PrintDifferenceJson(std::ostream& out, const Difference& d) {
    static constexpr std::string_view kKinds[] = {"parameter", "point", "advanced_cell", "standard_cell"};
    const auto optText = [&](const std::optional<std::string>& t) {
        if (t) PrintJsonText(out, *t);
        else out << "null";
    };
    const auto optRaw = [&](const std::optional<std::int64_t>& r) {
        if (r) out << *r;
        else out << "null";
    };
    out << "{\"item\":";
    PrintJsonText(out, ItemName(d.item));
    out << ",\"kind\":\"" << kKinds[static_cast<std::size_t>(d.item.kind)] << '"';
    if (d.item.kind == ItemKind::AdvancedCell) out << ",\"row\":" << d.item.row() << ",\"column\":" << d.item.column();
    else out << ",\"number\":" << d.item.number;
    out << ",\"key\":";
    const auto key = ItemKey(d.item);
    if (key.empty()) out << "null";
    else PrintJsonText(out, key);
    out << ",\"a\":";
    optText(d.textA);
    out << ",\"b\":";
    optText(d.textB);
    out << ",\"raw_a\":";
    optRaw(d.rawA);
    out << ",\"raw_b\":";
    optRaw(d.rawB);
    out << '}';
}

}  // namespace sequaflow::params
