#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/setting_output.h"
#include "cli/vehicle_command.h"
#include "link/sequence_run.h"
#include "record/vehicle_transfer.h"

namespace sequaflow::cli {
namespace {

using record::ListField;
using record::TextField;

constexpr const char* kUsageLine =
    "vehicle show [--json] | vehicle set [--registration T] [--make T] [--model T] [--installer T] "
    "[--date YYYY-MM-DD] [--layout R|V|B|W] [--cylinders 1..8] [--capacity LITRES] [--nozzle MM]";

// The option naming each field, for the messages.
const char* OptionOf(const record::FieldProblem& p) {
    if (p.list) {
        switch (*p.list) {
            case ListField::Layout: return "--layout";
            case ListField::Cylinders: return "--cylinders";
            case ListField::Capacity: return "--capacity";
            case ListField::Nozzle: return "--nozzle";
        }
    }
    switch (*p.text) {
        case TextField::Registration: return "--registration";
        case TextField::Make: return "--make";
        case TextField::Model: return "--model";
        case TextField::Installer: return "--installer";
        default: return "--date";
    }
}

// "1.6", "1,60", "7" as hundredths; nullopt for anything else (more than two decimals, signs, letters).
std::optional<int> Hundredths(std::string_view text) {
    int whole = 0, fraction = 0, digits = 0, decimals = 0;
    bool point = false;
    for (const char c : text) {
        if ((c == '.' || c == ',') && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point) {
                if (++decimals > 2) return std::nullopt;
                fraction = fraction * 10 + (c - '0');
            } else {
                if (++digits > 3) return std::nullopt;
                whole = whole * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || (point && decimals == 0)) return std::nullopt;
    if (decimals == 1) fraction *= 10;
    return whole * 100 + fraction;
}

// The list entry for a value given in hundredths: first entry `first`, steps of 5.
std::optional<int> EntryOfValue(std::string_view text, int first, ListField list) {
    const auto h = Hundredths(text);
    if (!h || *h < first || (*h - first) % 5 != 0) return std::nullopt;
    const int index = (*h - first) / 5;
    if (index >= record::ListEntryCount(list)) return std::nullopt;
    return index;
}

// The number of a list entry as the JSON gives it ("1.6", "7", "1.25").
std::string ValueText(int hundredths) {
    std::string s = std::to_string(hundredths / 100);
    const int f = hundredths % 100;
    if (f != 0) s += f % 10 == 0 ? "." + std::to_string(f / 10) : (f < 10 ? ".0" : ".") + std::to_string(f);
    return s;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Reads words 0..60, 62 and 63; false (with the message printed) when any of them did not answer.
bool ReadRecord(Context& context, link::Link& link, record::VehicleRecord& vehicle, int& exitCode) {
    const SequenceControl control = context.control({});
    link::SequenceRun run(link, control);
    record::RecordWords words{};
    const bool whole = record::ReadVehicleRecord(link, run, vehicle, words);
    if (!link.portOpen()) {
        context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
        exitCode = kPortError;
        return false;
    }
    if (!whole) {
        context.err << "sequaflow-cli: vehicle record read cancelled" << CancelledBy(context.stopSignal()) << '\n';
        exitCode = kCancelled;
        return false;
    }
    int missing = 0;
    for (int w = 0; w < record::kRecordStoreWords; ++w)
        if (w != 61 && !words[static_cast<std::size_t>(w)]) ++missing;
    if (missing > 0) {
        // A part-read record mixes texts; neither shown nor written back.
        context.err << "sequaflow-cli: " << missing << " of the 63 vehicle-record words did not answer on "
                    << link.portName() << '\n';
        exitCode = kNoAnswer;
        return false;
    }
    return true;
}

void PrintShow(Context& context, const record::VehicleRecord& vehicle, bool json) {
    const record::VehicleEntry e = record::EntryOf(vehicle);
    const bool saved = !vehicle.neverSaved();
    const auto text = [&](TextField f) { return saved ? std::optional(Trimmed(e.text(f))) : std::nullopt; };
    std::optional<std::string> date;
    if (saved && !record::CheckDate(e.text(TextField::Year), e.text(TextField::Month), e.text(TextField::Day)))
        date = e.text(TextField::Year) + "-" + e.text(TextField::Month) + "-" + e.text(TextField::Day);
    const auto layout = e.list(ListField::Layout);
    const auto cylinders = e.list(ListField::Cylinders);
    const auto capacity = e.list(ListField::Capacity);
    const auto nozzle = e.list(ListField::Nozzle);
    static constexpr const char* kLayouts[] = {"R", "V", "B", "W"};
    const std::optional<std::string> layoutText =
        layout ? std::optional<std::string>(kLayouts[*layout]) : std::nullopt;
    const std::optional<std::string> capacityText =
        capacity ? std::optional(ValueText(35 + 5 * *capacity)) : std::nullopt;
    const std::optional<std::string> nozzleText = nozzle ? std::optional(ValueText(100 + 5 * *nozzle)) : std::nullopt;

    std::ostream& out = context.out;
    if (json) {
        const auto str = [&](const std::optional<std::string>& s) {
            if (s) PrintJsonString(out, *s);
            else out << "null";
        };
        const auto num = [&](const std::optional<std::string>& s) { out << (s ? *s : std::string("null")); };
        out << "{\"registration\":";
        str(text(TextField::Registration));
        out << ",\"make\":";
        str(text(TextField::Make));
        out << ",\"model\":";
        str(text(TextField::Model));
        out << ",\"installer\":";
        str(text(TextField::Installer));
        out << ",\"date\":";
        str(date);
        out << ",\"layout\":";
        str(layoutText);
        out << ",\"cylinders\":";
        num(cylinders ? std::optional(std::to_string(*cylinders + 1)) : std::nullopt);
        out << ",\"capacity_l\":";
        num(capacityText);
        out << ",\"nozzle_mm\":";
        num(nozzleText);
        out << "}\n";
        return;
    }
    if (!saved) out << "No vehicle data was ever saved in this controller.\n";
    const auto line = [&](const char* name, const std::optional<std::string>& value) {
        out << name << (value ? *value : std::string("-")) << '\n';
    };
    line("registration: ", text(TextField::Registration));
    line("make:         ", text(TextField::Make));
    line("model:        ", text(TextField::Model));
    line("installer:    ", text(TextField::Installer));
    if (saved && !date)
        line("date:         ", "not a valid date (\"" + e.text(TextField::Year) + "\" \"" + e.text(TextField::Month) +
                                  "\" \"" + e.text(TextField::Day) + "\")");
    else
        line("date:         ", date);
    line("layout:       ", layout ? record::ListEntryText(ListField::Layout, *layout) : std::nullopt);
    line("cylinders:    ", cylinders ? std::optional(std::to_string(*cylinders + 1)) : std::nullopt);
    line("capacity:     ", capacityText ? std::optional(*capacityText + " l") : std::nullopt);
    line("nozzle:       ", nozzleText ? std::optional(*nozzleText + " mm") : std::nullopt);
}

}  // namespace

std::optional<VehicleOptions> ParseVehicleArgs(Context& context, Args args) {
    VehicleOptions o;
    const auto usage = [&](const std::string& message) {
        (void)UsageError(context, message);
        return std::nullopt;
    };
    if (args.empty() || (args[0] != "show" && args[0] != "set")) return usage(std::string("vehicle: ") + kUsageLine);
    o.set = args[0] == "set";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            if (o.set) return usage("vehicle: set and --json cannot be used together (set prints no record)");
            o.json = true;
            continue;
        }
        static constexpr std::pair<const char*, TextField> kTextOptions[] = {{"--registration", TextField::Registration},
                                                                             {"--make", TextField::Make},
                                                                             {"--model", TextField::Model},
                                                                             {"--installer", TextField::Installer}};
        const bool known = o.set && (a == "--registration" || a == "--make" || a == "--model" || a == "--installer" ||
                                     a == "--date" || a == "--layout" || a == "--cylinders" || a == "--capacity" ||
                                     a == "--nozzle");
        if (!known) return usage("vehicle: unknown argument '" + a + "' (" + kUsageLine + ")");
        if (i + 1 >= args.size()) return usage("vehicle set: " + a + " needs a value");
        const std::string& v = args[++i];
        bool done = false;
        for (const auto& [name, field] : kTextOptions)
            if (a == name) {
                o.texts[static_cast<std::size_t>(field)] = v;
                done = true;
            }
        if (done) continue;
        if (a == "--date") {
            if (v.size() != 10 || v[4] != '-' || v[7] != '-')
                return usage("vehicle set: --date needs the form YYYY-MM-DD, not '" + v + "'");
            o.texts[static_cast<std::size_t>(TextField::Year)] = v.substr(0, 4);
            o.texts[static_cast<std::size_t>(TextField::Month)] = v.substr(5, 2);
            o.texts[static_cast<std::size_t>(TextField::Day)] = v.substr(8, 2);
        } else if (a == "--layout") {
            const auto at = std::string_view("RVBW").find(v);
            if (v.size() != 1 || at == std::string_view::npos)
                return usage("vehicle set: --layout is one of R, V, B, W, not '" + v + "'");
            o.lists[static_cast<std::size_t>(ListField::Layout)] = static_cast<int>(at);
        } else if (a == "--cylinders") {
            const auto n = ParseInteger(v, 1, 8);
            if (!n) return usage("vehicle set: --cylinders is a count from 1 to 8, not '" + v + "'");
            o.lists[static_cast<std::size_t>(ListField::Cylinders)] = static_cast<int>(*n - 1);
        } else if (a == "--capacity") {
            const auto e = EntryOfValue(v, 35, ListField::Capacity);
            if (!e) return usage("vehicle set: --capacity is one of 0.35, 0.40 ... 7.00 litres in steps of 0.05, not '" + v + "'");
            o.lists[static_cast<std::size_t>(ListField::Capacity)] = *e;
        } else {
            const auto e = EntryOfValue(v, 100, ListField::Nozzle);
            if (!e) return usage("vehicle set: --nozzle is one of 1.00, 1.05 ... 5.00 mm in steps of 0.05, not '" + v + "'");
            o.lists[static_cast<std::size_t>(ListField::Nozzle)] = *e;
        }
    }
    if (o.set) {
        // The given values through the dialog's own checks, with harmless stand-ins for the rest, so a bad
        // value is refused before anything is sent.
        record::VehicleEntry probe;
        probe.texts = {"", "", "", "", "2000", "01", "01"};
        probe.lists = {0, 0, 0, 0};
        for (std::size_t f = 0; f < o.texts.size(); ++f)
            if (o.texts[f]) probe.texts[f] = *o.texts[f];
        record::VehicleRecord scratch;
        if (const auto problem = record::ApplyEntry(scratch, probe, record::EntryScope::WholeRecord))
            return usage(std::string("vehicle set: ") + OptionOf(*problem) + ": " +
                         record::FaultReasonEnglish(*problem));
    }
    return o;
}

int RunVehicleOn(Context& context, link::Link& link, const VehicleOptions& options) {
    link.discardStaleInput();
    record::VehicleRecord vehicle;
    int rc = kOk;
    if (!ReadRecord(context, link, vehicle, rc)) return rc;
    if (!options.set) {
        PrintShow(context, vehicle, options.json);
        return kOk;
    }
    record::VehicleEntry entry = record::EntryOf(vehicle);
    if (vehicle.neverSaved()) entry.texts = {};  // a blank store's bytes are no one's text
    for (std::size_t f = 0; f < entry.texts.size(); ++f)
        if (options.texts[f]) entry.texts[f] = *options.texts[f];
    for (std::size_t l = 0; l < entry.lists.size(); ++l)
        if (options.lists[l]) entry.lists[l] = options.lists[l];
    if (const auto problem = record::ApplyEntry(vehicle, entry, record::EntryScope::WholeRecord)) {
        // A field left as the controller holds it that cannot be written back as it is.
        context.err << "sequaflow-cli: vehicle set: the controller's " << std::string(OptionOf(*problem)).substr(2)
                    << " cannot be kept (" << record::FaultReasonEnglish(*problem) << "); give "
                    << OptionOf(*problem) << '\n';
        return kUsage;
    }
    record::SaveVehicleRecord(link, vehicle);
    if (!link.portOpen()) {
        context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
        return kPortError;
    }
    context.out << "Vehicle record saved.\n";
    return kOk;
}

int RunVehicle(Context& context, Args args) {
    return RunOnSession(context, args, ParseVehicleArgs, [&](Session& session, const auto& options) {
        return RunVehicleOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
