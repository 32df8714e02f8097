#include "sim/sim_options.h"

#include <charconv>

#include "sim/engine_driver.h"

namespace sequaflow::sim {

namespace {

Error<std::string> Fail(std::string text) { return {"", std::move(text)}; }

// Decimal, or hexadecimal with 0x, within [0, max].
bool ParseNumber(const std::string& text, std::uint64_t max, std::uint64_t& out) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last) return false;
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, hex ? 16 : 10);
    if (ec != std::errc{} || end != last || v > max) return false;
    out = v;
    return true;
}

}  // namespace

const char* SimUsage() {
    return "usage: sequaflow-sim [options]\n"
           "Plays a gas-injection controller on a pseudo-terminal and prints the terminal's path.\n"
           "\n"
           "  --link PATH       also make PATH a symbolic link to the terminal (removed on exit)\n"
           "  --hardware N      hardware byte of the identification (default 0x43)\n"
           "  --software N      software byte of the identification (default 37)\n"
           "  --blank           a controller never programmed (used when the state file is new)\n"
           "  --state FILE      keep the controller's lasting stores in FILE across runs\n"
           "  --line-rate       send at the pace of 57600 baud, with the controller's processing time\n"
           "  --faults SPEC     reply faults, e.g. drop=0.02,truncate=0.01,corrupt=0.01,late=0.01,stray=0.005;\n"
           "                    also vanish (the terminal closes, a new one comes up behind --link after 0.3 s)\n"
           "                    and edge (a reply trickles in, its last bytes around the end of the receive wait)\n"
           "  --seed N          seed of the engine and of the faults (default 1)\n"
           "  --log FILE        append every frame received and sent, with timestamps\n"
           "  --truth FILE      write the controller's values and the fault counts to FILE on SIGUSR1 and at exit\n"
           "  --rpm N           hold the engine at N rpm from the start (0..8000; 0 lets it run free)\n"
           "  --reducer C       start with the reducer at C degrees Celsius (-40..130)\n"
           "  --help            show this text\n"
           "  --version         print the version and the build, then exit\n"
           "\n"
           "Reads what the driver does from its standard input, one command a line:\n"
           "  rpm N             hold the engine at N rpm (0 lets it idle and rev by itself)\n"
           "  pump on|off       stab the accelerator pedal about once a second, or stop\n"
           "  reducer C         warm or cool the reducer to C degrees Celsius\n"
           "  fuel petrol|auto|gas  the car's fuel switch, as the controller's own commands set it\n"
           "  quit              stop the simulator\n"
           "\n"
           "Serves until interrupted (Ctrl+C), terminated or told to quit; the end of the standard input\n"
           "does not stop it. With --faults it prints the counts of the faults it made when it stops.\n";
}

Result<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args) {
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) -> bool {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        std::uint64_t n = 0;
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--blank") {
            o.controller.blank = true;
        } else if (arg == "--line-rate") {
            o.server.lineRate = true;
        } else if (arg == "--link" || arg == "--state" || arg == "--log" || arg == "--truth") {
            if (!value(v) || v.empty()) return Fail(arg + " needs a path");
            (arg == "--link"    ? o.server.linkPath
             : arg == "--state" ? o.server.statePath
             : arg == "--log"   ? o.server.logPath
                                : o.truthPath) = v;
        } else if (arg == "--hardware" || arg == "--software") {
            if (!value(v)) return Fail(arg + " needs a byte value");
            if (!ParseNumber(v, 255, n)) return Fail(arg + ": \"" + v + "\" is not a byte (0..255 or 0x00..0xFF)");
            (arg == "--hardware" ? o.controller.hardware : o.controller.software) = static_cast<std::uint8_t>(n);
        } else if (arg == "--seed") {
            if (!value(v)) return Fail("--seed needs a number");
            if (!ParseNumber(v, 0xFFFFFFFFu, n)) return Fail("--seed: \"" + v + "\" is not a number 0..4294967295");
            o.controller.seed = static_cast<std::uint32_t>(n);
            o.server.faultSeed = static_cast<std::uint32_t>(n);
        } else if (arg == "--rpm" || arg == "--reducer") {
            const bool rpm = arg == "--rpm";
            if (!value(v)) return Fail(arg + (rpm ? " needs an engine speed 0..8000" : " needs a temperature -40..130"));
            auto parsed = rpm ? ParseDriverRpm(v) : ParseReducerCelsius(v);
            if (!parsed) return Fail("--" + parsed.error().detail);
            (rpm ? o.rpm : o.reducer) = *parsed;
        } else if (arg == "--faults") {
            if (!value(v)) return Fail("--faults needs a list such as drop=0.02,late=0.01");
            auto spec = ParseFaultSpec(v);
            if (!spec) return Fail("--faults: " + spec.error().detail);
            o.server.faults = *spec;
        } else {
            return Fail("unknown option \"" + arg + "\" (see --help)");
        }
    }
    return o;
}

}  // namespace sequaflow::sim
