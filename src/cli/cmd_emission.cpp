#include <iomanip>
#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/emission_command.h"
#include "cli/setting_output.h"
#include "link/commands.h"
#include "maps/emission.h"
#include "params/parameter_numbers.h"

namespace sequaflow::cli {
namespace {

constexpr const char* kEmissionUsage = "emission show [--json] | emission reset";

// The ignition type and clock turn the speed and time words into rpm and ms; the second flags word holds
// the switches. Without all three nothing true can be shown, and a reset would write a guessed flags word.
bool ReadFlags(Context& context, link::Link& link, params::ProgramState& state, std::string_view what) {
    for (const int n : {params::pn::IgnitionType, params::pn::FirstFlags, params::pn::SecondFlags}) {
        auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n));
        if (!word && link.portOpen()) word = link::ReadParamWord(link, static_cast<std::uint8_t>(n));
        if (!word) {
            if (!link.portOpen()) {
                context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
            } else {
                context.err << "sequaflow-cli: parameter " << n << " gave no valid answer on " << link.portName()
                            << "; " << what << '\n';
            }
            return false;
        }
        state.image.storeWord(n, *word);
    }
    state.image.refreshShadow(params::FlagsWord::First);
    state.image.refreshShadow(params::FlagsWord::Second);
    return true;
}

// `total` is the number of words a write sends (0 for a read): a stopped write says how far it got.
int StopExit(Context& context, link::Link& link, const SequenceResult& result, std::string_view what, int total) {
    std::string after;
    if (total > 0 && result.sentSomething) {
        after = " after " + std::to_string(result.steps) + " of " + std::to_string(total) +
                " words; the controller holds a partly reset correction";
    } else if (total > 0) {
        after = "; nothing was sent";
    }
    if (result.stopped == StopReason::Cancelled) {
        context.err << "sequaflow-cli: " << what << " was cancelled" << CancelledBy(context.stopSignal()) << after
                    << '\n';
        return kCancelled;
    }
    context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << " during " << what
                << after << '\n';
    return kPortError;
}

void PrintText(std::ostream& out, const params::ProgramState& state) {
    const auto texts = maps::LambdaTextsOf(state);
    out << "Lambda correction:\n";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& f = maps::kLambdaFields[i];
        std::string head = "  " + std::string(f.group) + " " + f.label;
        // Pad by characters, not bytes: the captions carry Polish letters.
        std::size_t chars = 0;
        for (const char c : head) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        out << head << std::string(chars < 52 ? 52 - chars : 1, ' ') << texts[i];
        if (*f.unit != '\0') out << ' ' << f.unit;
        out << '\n';
    }
    out << "Switches (parameter 47):\n";
    const auto items = maps::LambdaSwitchItems(state.image);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const auto& s = maps::kLambdaSwitchFields[k];
        out << "  bit " << std::setw(2) << s.bit << "  " << (items[k] != 0 ? s.on : s.off) << '\n';
    }
    const auto map = maps::TemperatureMapTextsOf(state);
    out << maps::kTemperatureMapGroup << ": " << maps::kTemperatureMapItems[map.activation != 0 ? 1 : 0] << '\n';
    // Staggered as on the page: each breakpoint between the enrichments on either side of it.
    out << "  " << maps::kBreakpointsLabel << " [°C]    ";
    for (const auto& t : map.breakpoints) out << std::setw(5) << t;
    out << "\n  " << maps::kEnrichmentsLabel << " [%]        ";
    for (const auto& k : map.enrichments) out << std::setw(5) << k;
    out << '\n';
}

void PrintJson(std::ostream& out, const params::ProgramState& state) {
    const auto texts = maps::LambdaTextsOf(state);
    out << "{\"lambda\":[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& f = maps::kLambdaFields[i];
        out << (i ? "," : "") << "{\"index\":" << i << ",\"field\":";
        PrintJsonString(out, f.field);
        out << ",\"group\":";
        PrintJsonString(out, f.group);
        out << ",\"label\":";
        PrintJsonString(out, f.label);
        out << ",\"text\":";
        PrintJsonString(out, texts[i]);
        out << ",\"unit\":";
        PrintJsonString(out, f.unit);
        out << ",\"word\":" << state.corrections.lambda[i] << '}';
    }
    out << "],\"switches\":[";
    const auto items = maps::LambdaSwitchItems(state.image);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const auto& s = maps::kLambdaSwitchFields[k];
        out << (k ? "," : "") << "{\"field\":";
        PrintJsonString(out, s.field);
        out << ",\"bit\":" << s.bit << ",\"item\":" << items[k] << ",\"text\":";
        PrintJsonString(out, items[k] != 0 ? s.on : s.off);
        out << '}';
    }
    const auto map = maps::TemperatureMapTextsOf(state);
    out << "],\"temperature_map\":{\"active\":" << (map.activation != 0 ? "true" : "false") << ",\"breakpoints_c\":[";
    for (std::size_t k = 0; k < map.breakpoints.size(); ++k) out << (k ? "," : "") << map.breakpoints[k];
    out << "],\"enrichments_percent\":[";
    for (std::size_t k = 0; k < map.enrichments.size(); ++k) out << (k ? "," : "") << map.enrichments[k];
    out << "]}}\n";
}

}  // namespace

std::optional<EmissionOptions> ParseEmissionArgs(Context& context, Args args) {
    EmissionOptions o;
    if (args.empty()) {
        (void)UsageError(context, std::string("emission needs 'show' or 'reset' (") + kEmissionUsage + ")");
        return std::nullopt;
    }
    if (args[0] == "reset" && args.size() == 1) {
        o.action = EmissionOptions::Action::Reset;
        return o;
    }
    if (args[0] == "show" && (args.size() == 1 || (args.size() == 2 && args[1] == "--json"))) {
        o.json = args.size() == 2;
        return o;
    }
    std::string given;
    for (const auto& a : args) given += (given.empty() ? "" : " ") + a;
    (void)UsageError(context, "emission: unexpected arguments '" + given + "' (" + kEmissionUsage + ")");
    return std::nullopt;
}

int RunEmissionOn(Context& context, link::Link& link, const EmissionOptions& options) {
    link.discardStaleInput();
    params::ProgramState state;
    state.decimalSeparator = kCliDecimalSeparator;
    const auto control = context.control({});
    if (options.action == EmissionOptions::Action::Reset) {
        if (!ReadFlags(context, link, state, "nothing was sent")) return link.portOpen() ? kNoAnswer : kPortError;
        // The activation of the temperature map stays as the controller holds it.
        const auto r = maps::ResetLambdaAndTemperature(link, state, maps::TemperatureMapItem(state.image), control);
        constexpr int kWords = maps::kLambdaSettings + maps::kTempPoints + maps::kTempEnrichments;
        if (!r.sequence.completed()) return StopExit(context, link, r.sequence, "the reset", kWords);
        context.out << "Lambda-correction settings, switches and gas-temperature map reset.\n";
        return kOk;
    }

    if (!ReadFlags(context, link, state, "nothing shown")) return link.portOpen() ? kNoAnswer : kPortError;
    const auto lambda = maps::ReadLambdaSettings(link, state, control);
    if (!lambda.sequence.completed()) return StopExit(context, link, lambda.sequence, "the read", 0);
    const auto map = maps::ReadTemperatureMap(link, state, control);
    if (!map.sequence.completed()) return StopExit(context, link, map.sequence, "the read", 0);
    if (lambda.failures() + map.failures() > 0) {
        // An unanswered word would print as a zero the controller never held.
        context.err << "sequaflow-cli: no valid answer on " << link.portName() << " for";
        for (std::size_t i = 0; i < lambda.lambda.size(); ++i)
            if (!lambda.lambda[i]) context.err << ' ' << maps::kLambdaFields[i].field;
        for (std::size_t k = 0; k < map.points.size(); ++k)
            if (!map.points[k]) context.err << " EditT" << k + 1;
        for (std::size_t k = 0; k < map.enrichments.size(); ++k)
            if (!map.enrichments[k]) context.err << " EditT" << k + 1 << 'K';
        context.err << '\n';
        return kNoAnswer;
    }
    if (options.json) PrintJson(context.out, state);
    else PrintText(context.out, state);
    return kOk;
}

int RunEmission(Context& context, Args args) {
    return RunOnSession(context, args, ParseEmissionArgs, [&](Session& session, const EmissionOptions& options) {
        return RunEmissionOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
