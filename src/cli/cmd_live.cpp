#include <ostream>

#include "cli/cli_commands.h"
#include "link/commands.h"
#include "live/conversions.h"
#include "live/live_csv.h"
#include "live/live_frame.h"
#include "params/parameter_numbers.h"

namespace sequaflow::cli {
namespace {

constexpr int kTickMs = 25;
constexpr std::uint32_t kClockFlagBit = 1u << 12;

enum class Format { Text, Json, Csv };

std::string Num(double v, int decimals) { return live::FixedText(v, decimals); }

void Print(std::ostream& out, const live::LiveReading& r, Format format) {
    const auto f = [](float v) { return Num(static_cast<double>(v), 3); };
    if (format == Format::Csv) {
        out << live::CsvRow(r);
        return;
    }
    if (format == Format::Json) {
        out << "{\"time_s\":" << Num(r.timeS, 3) << ",\"rpm\":" << r.rpm << ",\"pressure_bar\":" << f(r.pressureBar)
            << ",\"reducer_c\":" << r.reducerC << ",\"gas_c\":" << r.gasC << ",\"lambda1_v\":" << f(r.lambda1)
            << ",\"lambda2_v\":" << f(r.lambda2) << ",\"tank_v\":" << Num(static_cast<double>(r.tankV), 2)
            << ",\"on_gas\":" << (r.onGas ? "true" : "false") << ",\"errors_current\":" << r.errorsCurrent
            << ",\"errors_stored\":" << r.errorsStored << ",\"injector_faults\":" << r.injectorFaults
            << ",\"test_mask\":" << r.testMask << ",\"petrol_ms\":[";
        for (int c = 0; c < 8; ++c) out << (c ? "," : "") << f(r.petrolMs[c]);
        out << "],\"gas_ms\":[";
        for (int c = 0; c < 8; ++c) out << (c ? "," : "") << f(r.gasMs[c]);
        out << "]}\n";
        return;
    }
    out << Num(r.timeS, 3) << " s  " << r.rpm << " rpm  " << live::FormatFixed(r.pressureBar, 3, 2, '.') << " bar  "
        << "reducer " << r.reducerC << " C  gas " << r.gasC << " C  lambda " << live::FormatFixed(r.lambda1, 3, 2, '.')
        << '/' << live::FormatFixed(r.lambda2, 3, 2, '.') << " V  tank " << Num(static_cast<double>(r.tankV), 2)
        << " V  " << (r.onGas ? "GAS" : "PETROL") << "  petrol " << live::FormatFixed(r.petrolMs[0], 4, 2, '.')
        << " ms  gas " << live::FormatFixed(r.gasMs[0], 4, 2, '.') << " ms";
    if (r.errorsCurrent || r.errorsStored || r.injectorFaults)
        out << "  errors " << r.errorsCurrent << '/' << r.errorsStored << '/' << r.injectorFaults;
    out << '\n';
}

}  // namespace

int RunLive(Context& context, Args args) {
    Format format = Format::Text;
    std::optional<long> count;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json" || args[i] == "--csv") {
            const Format asked = args[i] == "--json" ? Format::Json : Format::Csv;
            // The last one would win silently, and a script would read a format it did not ask for.
            if (format != Format::Text && format != asked)
                return UsageError(context, "live: --json and --csv cannot be used together");
            format = asked;
        } else if (args[i] == "--count" && i + 1 < args.size()) {
            count = ParseInteger(args[++i], 1, 100'000'000);
            if (!count) return UsageError(context, "live: --count needs a number of frames (at least 1)");
        } else {
            return UsageError(context, "live: unknown option '" + args[i] + "'");
        }
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto& link = session->link();
    auto& pacer = session->pacer();
    link.setConnected(true);

    // Speeds need the ignition type and times the clock flag, exactly as the program converts them.
    link.discardStaleInput();
    const auto ignition = link::ReadParamWord(link, params::pn::IgnitionType);
    const auto flags = ignition ? link::ReadParamWord(link, params::pn::FirstFlags) : std::nullopt;
    if (!ignition || !flags) {
        if (session->reportLost(context)) return kPortError;
        context.err << "sequaflow-cli: no valid answer to the parameter read on " << session->path() << '\n';
        return kNoAnswer;
    }
    const bool fastClock = (*flags & kClockFlagBit) != 0;

    if (format == Format::Csv) context.out << live::CsvHeader();
    live::LiveWords words{};
    long accepted = 0, missed = 0;
    const auto start = pacer.now();
    FixedRate rate(pacer, std::chrono::milliseconds(kTickMs));
    while (!context.stopRequested() && (!count || accepted < *count)) {
        link::ReadLiveFrame(link);
        link.receiveWait(link::kLiveFrameSize);
        if (live::DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), words)) {
            ++accepted;
            const double t = std::chrono::duration<double>(pacer.now() - start).count();
            Print(context.out, live::MakeReading(words, t, static_cast<int>(*ignition), fastClock), format);
            context.out.flush();
        } else {
            ++missed;
        }
        if (!link.portOpen()) break;
        rate.wait();
    }
    const double elapsed = std::chrono::duration<double>(pacer.now() - start).count();
    context.err << "frames: " << accepted << " accepted, " << missed << " missed in " << Num(elapsed, 2) << " s ("
                << Num(elapsed > 0 ? static_cast<double>(accepted) / elapsed : 0.0, 1) << " per second)\n";
    if (session->reportLost(context)) return kPortError;
    if (accepted == 0) return kNoAnswer;
    return kOk;
}

}  // namespace sequaflow::cli
