#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "cli/setting_output.h"
#include "params/config_compare.h"

namespace sequaflow::cli {
namespace {

constexpr std::string_view kController = "controller";
constexpr std::string_view kUsageText = "diff: use 'diff A B [--json]', A and B a parameter file or 'controller'";

// Reads everything once, asking again what did not answer; nullopt (the reason printed, the exit code in
// `rc`) when the read did not finish or values stayed unanswered, as half a read would show false differences.
std::optional<params::Configuration> ReadController(Context& context, int& rc) {
    auto session = Session::Open(context, rc);
    if (!session) return std::nullopt;
    params::ParameterImage image;
    maps::MapModel model;
    auto read = ReadWithProgress(context, *session, image, model, rc);
    if (!read) return std::nullopt;
    ProgressBar bar(context);
    rc = RunWithProgress(context, *session, bar, "the read", false, [&](const SequenceControl& control) {
        return RereadUnanswered(session->link(), *read, model, control);
    });
    if (rc != kOk) return std::nullopt;
    if (!read->completeForFile()) {
        for (const auto& name : read->missing()) context.err << "sequaflow-cli: no valid answer for " << name << '\n';
        context.err << "sequaflow-cli: the controller's configuration could not be read whole; nothing compared\n";
        rc = kNoAnswer;
        return std::nullopt;
    }
    return static_cast<const params::Configuration&>(*read);
}

}  // namespace

int RunDiff(Context& context, Args args) {
    bool json = false;
    std::vector<std::string> sides;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else if (!a.empty() && a[0] != '-' && sides.size() < 2) sides.push_back(a);
        else return UsageError(context, kUsageText);
    }
    if (sides.size() != 2) return UsageError(context, kUsageText);

    // Files first: a bad file opens no port.
    std::array<std::optional<params::Configuration>, 2> config;
    for (std::size_t i = 0; i < 2; ++i) {
        if (sides[i] == kController) continue;
        const auto content = LoadFileOrReport(context, sides[i]);
        if (!content) return kFileError;
        config[i] = params::ConfigurationOfFile(*content);
    }
    if (!config[0] || !config[1]) {
        int rc = kOk;
        const auto held = ReadController(context, rc);
        if (!held) return rc;
        for (auto& c : config)
            if (!c) c = held;
    }

    const auto differences = params::Compare(*config[0], *config[1], kCliDecimalSeparator);
    if (json) {
        context.out << "{\"a\":";
        params::PrintJsonText(context.out, sides[0]);
        context.out << ",\"b\":";
        params::PrintJsonText(context.out, sides[1]);
        context.out << ",\"equal\":" << (differences.empty() ? "true" : "false") << ",\"count\":" << differences.size()
                    << ",\"differences\":[";
        for (std::size_t i = 0; i < differences.size(); ++i) {
            if (i) context.out << ',';
            params::PrintDifferenceJson(context.out, differences[i]);
        }
        context.out << "]}\n";
    } else {
        for (const auto& d : differences) context.out << params::DifferenceLine(d) << '\n';
        if (differences.empty()) context.err << "sequaflow-cli: no differences\n";
        else context.err << "sequaflow-cli: " << differences.size() << " difference(s) (" << sides[0] << " -> " << sides[1] << ")\n";
    }
    return differences.empty() ? kOk : kDifferent;
}

}  // namespace sequaflow::cli
