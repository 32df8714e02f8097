#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/cli_commands.h"
#include "cli/diag_command.h"
#include "diag/work_time.h"
#include "i18n/message_store.h"
#include "params/parameter_image.h"

namespace sequaflow::cli {
namespace {

void PrintCount(std::ostream& out, const diag::TimeSplit& t, float share) {
    out << "{\"total_seconds\":" << t.totalSeconds << ",\"days\":" << t.days << ",\"hours\":" << t.hours
        << ",\"minutes\":" << t.minutes << ",\"seconds\":" << t.seconds
        << ",\"share_percent\":" << diag::ShareText(share, '.') << '}';
}

}  // namespace

std::optional<WorkTimeOptions> ParseWorkTimeArgs(Context& context, Args args) {
    WorkTimeOptions o;
    const auto given = [&](std::string_view word) { return std::find(args.begin(), args.end(), word) != args.end(); };
    if (given("reset") && given("--json")) {
        (void)UsageError(context, "worktime: reset and --json cannot be used together (reset prints no counters)");
        return std::nullopt;
    }
    if (!args.empty() && args[0] == "reset") {
        if (args.size() != 2 || (args[1] != "petrol" && args[1] != "gas")) {
            (void)UsageError(context, "worktime reset needs 'petrol' or 'gas'");
            return std::nullopt;
        }
        o.reset = args[1] == "petrol" ? WorkTimeOptions::Reset::Petrol : WorkTimeOptions::Reset::Gas;
        return o;
    }
    for (const auto& a : args) {
        if (a == "--json") o.json = true;
        else {
            (void)UsageError(context, "worktime: unknown argument '" + a + "' (worktime [--json] | worktime reset petrol|gas)");
            return std::nullopt;
        }
    }
    return o;
}

int RunWorkTimeOn(Context& context, link::Link& link, const WorkTimeOptions& options) {
    link.discardStaleInput();
    if (options.reset != WorkTimeOptions::Reset::None) {
        const bool petrol = options.reset == WorkTimeOptions::Reset::Petrol;
        diag::ResetWorkTime(link, petrol ? diag::WorkTimeCounter::Petrol : diag::WorkTimeCounter::Gas);
        if (!link.portOpen()) {
            context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
            return kPortError;
        }
        context.out << (petrol ? "Petrol" : "Gas") << " work time set to zero.\n";
        return kOk;
    }

    params::ParameterImage image;
    const auto read = diag::ReadWorkTime(link, image);
    if (!read.complete()) {
        // Without an answer for every word there is no count to tell: a zero would be a made-up one.
        if (!link.portOpen()) {
            context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
            return kPortError;
        }
        context.err << "sequaflow-cli: only " << read.answered << " of the 4 work-time parameters answered on "
                    << link.portName() << '\n';
        return kNoAnswer;
    }
    const auto time = diag::WorkTimeOf(image);
    if (options.json) {
        context.out << "{\"petrol\":";
        PrintCount(context.out, time.petrol, time.petrolShare);
        context.out << ",\"gas\":";
        PrintCount(context.out, time.gas, time.gasShare);
        context.out << "}\n";
        return kOk;
    }
    const i18n::MessageStore texts;
    context.out << diag::WorkTimeText(time, [&](int id) { return std::string(texts.text(id)); }, '.') << '\n';
    return kOk;
}

int RunWorkTime(Context& context, Args args) {
    return RunOnSession(context, args, ParseWorkTimeArgs, [&](Session& session, const auto& options) {
        return RunWorkTimeOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
