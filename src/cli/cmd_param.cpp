#include <algorithm>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "cli/setting_output.h"
#include "link/commands.h"
#include "maps/map_transfer.h"
#include "params/parameter_reader.h"
#include "params/setting_keys.h"

namespace sequaflow::cli {
namespace {

constexpr std::string_view kParamUsage =
    "param: use 'param show [KEY] [--json]', 'param set KEY --text TEXT', 'param get N' or 'param set N VALUE'";

int UnknownKey(Context& context, const std::string& key) {
    return UsageError(context, "param: unknown key '" + key + "' ('param show' lists the keys, or give a number 0..63)");
}

// The parameter set, and the maps when the operation needs them, into `state`; every value must answer, or
// an operation would build on values the controller does not hold. The exit code.
int ReadState(Context& context, Session& session, params::ProgramState& state, bool maps, std::string_view what) {
    ProgressBar bar(context);
    params::ParameterReadReport report;
    int rc = RunWithProgress(context, session, bar, "the read", false, [&](const SequenceControl& control) {
        report = params::ReadParameterSet(session.link(), state.image, control);
        return report.sequence;
    });
    if (rc != kOk) return rc;
    RetryUnansweredParameters(context, session.link(), state.image, report);
    if (session.reportLost(context)) return kPortError;
    if (report.failures() > 0) {
        for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n)
            if (!report.valid[static_cast<std::size_t>(n)])
                context.err << "sequaflow-cli: no valid answer for parameter " << n << '\n';
        context.err << "sequaflow-cli: " << what << '\n';
        return kNoAnswer;
    }
    params::AdoptReadFlagsWords(state.image, report);
    params::RefreshShadowsAfterRead(state.image, state.maps);
    state.readStatus = params::ReadStatus::Complete;
    if (!maps) return kOk;
    maps::MapReadReport mapReport;
    rc = RunWithProgress(context, session, bar, "the read of the points", false, [&](const SequenceControl& control) {
        mapReport = maps::ReadMaps(session.link(), state.maps, control);
        return mapReport.sequence;
    });
    if (rc != kOk) return rc;
    if (!std::all_of(mapReport.points.begin(), mapReport.points.end(), [](bool v) { return v; })) {
        for (int k = 0; k < maps::kPoints; ++k)
            if (!mapReport.points[static_cast<std::size_t>(k)])
                context.err << "sequaflow-cli: no valid answer for point " << k << '\n';
        context.err << "sequaflow-cli: " << what << '\n';
        return kNoAnswer;
    }
    return kOk;
}

params::ProgramState CliState() {
    params::ProgramState state;
    state.decimalSeparator = kCliDecimalSeparator;
    return state;
}

int Show(Context& context, Args args) {
    bool json = false;
    const params::SettingKey* only = nullptr;
    for (const auto& a : args) {
        if (a == "--json") {
            json = true;
        } else if (!only && !a.empty() && a[0] != '-') {
            only = params::FindSettingKey(a);
            if (!only) return UnknownKey(context, a);
        } else {
            return UsageError(context, kParamUsage);
        }
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto state = CliState();
    rc = ReadState(context, *session, state, false, "nothing is shown without the whole parameter set");
    if (rc != kOk) return rc;

    std::vector<params::ShownSetting> shown;
    if (only) shown.push_back(params::ShowSetting(state, *only, params::SpeedTextsOf(state)));
    else shown = ShowAllSettings(state);
    if (json) {
        // One shape whether one key or all were asked for, so a script reads both the same way.
        PrintSettingsJson(context.out, shown);
        context.out << '\n';
    } else {
        for (const auto& s : shown) PrintSettingLine(context.out, s);
    }
    return kOk;
}

int SetText(Context& context, const std::string& keyText, const std::string& text) {
    const params::SettingKey* key = params::FindSettingKey(keyText);
    if (!key) return UnknownKey(context, keyText);
    // The text is judged before the port is opened: a refused text never reaches the controller.
    if (const auto input = params::ParseSettingText(*key, text); !input)
        return UsageError(context, "param: " + input.error().detail + "; nothing was sent");

    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto state = CliState();
    rc = ReadState(context, *session, state, params::SettingNeedsMaps(*key),
                   "nothing was sent: the change is built on values that could not be read");
    if (rc != kOk) return rc;

    auto& link = session->link();
    const auto framesBefore = link.framesSent();
    const auto shownBefore = ShowAllSettings(state);
    const auto result = params::SetSettingText(link, state, *key, text, params::SpeedTextsOf(state));
    if (session->reportLost(context)) {
        context.err << "sequaflow-cli: the change of " << key->key << " may have been sent only in part\n";
        return kPortError;
    }
    if (!result) {
        context.err << "sequaflow-cli: param: " << key->key << ": " << result.error().detail << '\n';
        if (link.framesSent() != framesBefore)
            context.err << "sequaflow-cli: what was sent before it stopped stays sent; 'param show' tells what the "
                           "controller holds\n";
        return kUsage;
    }
    // The key as it now shows, then every other value the operation changed (coupled editors, the words a
    // list writes beside its own).
    const auto shownAfter = ShowAllSettings(state);
    for (const auto& s : shownAfter)
        if (s.key == key) PrintSettingLine(context.out, s);
    for (std::size_t i = 0; i < shownAfter.size(); ++i) {
        const auto& a = shownAfter[i];
        const auto& b = shownBefore[i];
        if (a.key != key && (a.raw != b.raw || a.text != b.text || a.index != b.index)) PrintSettingLine(context.out, a);
    }
    return kOk;
}

}  // namespace

int RunParam(Context& context, Args args) {
    if (!args.empty() && args[0] == "show") return Show(context, args.subspan(1));
    if (args.size() == 4 && args[0] == "set" && args[2] == "--text") return SetText(context, args[1], args[3]);
    const bool get = args.size() == 2 && args[0] == "get";
    const bool set = args.size() == 3 && args[0] == "set";
    if (!get && !set) return UsageError(context, kParamUsage);
    const auto index = ParseInteger(args[1], 0, 63);
    if (!index) return UsageError(context, "param: the parameter number must be 0..63, got '" + args[1] + "'");
    std::optional<long> value;
    if (set) {
        value = ParseInteger(args[2], -32768, 65535);
        if (!value)
            return UsageError(context, "param: VALUE must be a 16-bit number (-32768..65535), got '" + args[2] + "'");
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto& link = session->link();
    const auto n = static_cast<std::uint8_t>(*index);
    if (get) {
        link.discardStaleInput();
        const auto word = link::ReadParamWord(link, n);
        if (!word) {
            if (session->reportLost(context)) return kPortError;
            context.err << "sequaflow-cli: no valid answer to the read of parameter " << *index << '\n';
            return kNoAnswer;
        }
        // Signed parameters print signed, as `read` and `param show` print them.
        context.out << params::SlotFromWord(n, *word) << '\n';
        return kOk;
    }
    // Negative values go out as their two's-complement pattern.
    link::WriteParamSequence(link, n, static_cast<std::uint16_t>(*value & 0xFFFF));
    if (session->reportLost(context)) return kPortError;
    return kOk;
}

}  // namespace sequaflow::cli
