#pragma once

#include <csignal>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_log.h"
#include "link/link.h"
#include "link/pacer.h"
#include "link/port_table.h"
#include "link/posix_serial_port.h"
#include "params/progress.h"

namespace sequaflow::params {
class ParameterImage;
struct ParameterReadReport;
}  // namespace sequaflow::params

namespace sequaflow::cli {

// kDifferent: `diff` found differences; kHeldDifferently: after a load or a reset the controller holds values
// other than those given.
enum Exit : int {
    kOk = 0,
    kDifferent = 1,
    kUsage = 2,
    kPortError = 3,
    kNoAnswer = 4,
    kFileError = 5,
    kCancelled = 6,
    kHeldDifferently = 7,
};

struct GlobalOptions {
    std::optional<std::string> device;  // --device PATH
    std::optional<int> comIndex;        // --com N, as index 0..24
    std::optional<std::string> trace;   // --trace FILE
    link::PortTable ports;              // with the --map overrides applied
    std::string startDir = ".";         // home of parametry/backup/, as for the desktop program
    std::string deviceRoot = "/";       // where `ports` looks for /dev and /proc (a test's own tree)
};

// What a command gets: its own arguments (after the command name), the streams and the global options.
struct Context {
    std::ostream& out;
    std::ostream& err;
    GlobalOptions options;
    bool errIsTerminal = false;
    // The signal number that the executable's SIGINT/SIGTERM handler stores; long sequences stop cleanly when
    // it turns non-zero.
    const volatile std::sig_atomic_t* interrupted = nullptr;

    bool stopRequested() const { return interrupted && *interrupted != 0; }
    int stopSignal() const { return interrupted ? static_cast<int>(*interrupted) : 0; }
    // Progress on the terminal and a stop on Ctrl+C or SIGTERM, for a long sequence.
    SequenceControl control(params::ProgressFn progress) const {
        return SequenceControl(std::move(progress), [this] { return stopRequested(); });
    }
};

using Args = std::span<const std::string>;
using CommandFn = int (*)(Context&, Args);

struct CommandInfo {
    std::string_view name;
    std::string_view usage;    // arguments after the name
    std::string_view summary;  // one line
    CommandFn run;
};

// The commands, in the order --help lists them.
std::span<const CommandInfo> Commands();

// The whole tool: parses the global options, picks the command and runs it. Returns the exit code.
int RunCli(const std::vector<std::string>& args, Context& context);
// The global options into context.options and the command with its arguments into `rest`; an exit code
// when there is nothing to run (--help, a usage error, no command).
std::optional<int> ParseGlobalOptions(const std::vector<std::string>& args, Context& context,
                                      std::vector<std::string>& rest);
// Parses a command line as RunCli would, without opening a port or a file: for the fuzzer and for checks.
// The exit code RunCli would give for a usage error, else kOk.
int CheckArguments(const std::vector<std::string>& args, Context& context);

// The phases a long sequence went through and how far into each, as its progress reported them: the
// user is told what was sent in full and where it stopped.
class SequenceTrail {
public:
    struct Run {
        std::string phase;
        int position = 0;
        int maximum = 0;
    };
    // A progress callback that notes every step here and passes it on to `forward` (which may be empty).
    params::ProgressFn watch(params::ProgressFn forward);
    void note(const params::ProgressStep& step);
    const std::vector<Run>& runs() const { return runs_; }

private:
    std::vector<Run> runs_;
};

// How a stopped sequence is told to the user: the lines to print (without the program name) and the exit
// code. `signal` is the one that cancelled it, `lost` why the port went away.
struct StopReport {
    std::vector<std::string> lines;
    int exitCode = kOk;
};
StopReport DescribeStop(const SequenceResult& result, const SequenceTrail& trail, std::string_view what, bool writes,
                        int signal, const std::optional<link::PortError>& lost, std::string_view path);
// "the controller's port went away (PATH: ...)" with the reason in the user's words and the system's.
std::string LostPortText(std::string_view path, const std::optional<link::PortError>& lost);
// " by Ctrl+C", " by a stop request (SIGTERM)", or nothing for another signal.
std::string CancelledBy(int signal);

// A busy controller now and then misses a reply: each parameter of `which` (every parameter when empty) that
// gave no valid answer in `report` is asked once more, stored when it answers and marked valid. Asks nothing
// more once a stop is requested.
void RetryUnansweredParameters(const Context& context, link::Link& link, params::ParameterImage& image,
                               params::ParameterReadReport& report, std::span<const int> which = {});

// An open connection to the controller for one command: the port, the pacer, the link and the --trace log.
class Session {
public:
    // Opens the port chosen by --device or --com; on failure prints the reason and gives the exit code.
    static std::unique_ptr<Session> Open(Context& context, int& exitCode);
    ~Session();

    link::Link& link() { return link_; }
    link::Pacer& pacer() { return pacer_; }
    const std::string& path() const { return path_; }
    // Prints why the device went away, if it did; true when it did.
    bool reportLost(Context& context) const;
    // Prints how a long sequence ended when it did not finish, in the user's words, saying what was already
    // written when it writes; the exit code, or kOk when it finished.
    int reportSequence(Context& context, const SequenceResult& result, const SequenceTrail& trail,
                       std::string_view what, bool writes) const;

private:
    Session();
    link::PosixSerialPort port_;
    link::RealPacer pacer_;
    link::Link link_;
    std::string path_;
    std::unique_ptr<std::ostream> traceFile_;
    std::unique_ptr<link::FrameLog> trace_;
};

// A command on the line: its options parsed first (a usage error opens nothing and sends nothing), then the
// port opened, then `run` on the session with the options.
template <typename Parse, typename Run>
int RunOnSession(Context& context, Args args, Parse parse, Run run) {
    const auto options = parse(context, args);
    if (!options) return kUsage;
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    return run(*session, *options);
}

// A timer of fixed rate for the command loops: a tick that ran late is not made up for, as with a GUI
// timer.
class FixedRate {
public:
    FixedRate(link::Pacer& pacer, std::chrono::milliseconds period)
        : pacer_(pacer), period_(period), next_(pacer.now()) {}
    // Waits for the next tick.
    void wait();

private:
    link::Pacer& pacer_;
    std::chrono::milliseconds period_;
    std::chrono::microseconds next_;
};

// Helpers for argument parsing in the commands.
std::optional<long> ParseInteger(std::string_view text, long min, long max);
int UsageError(Context& context, std::string_view message);
// Opens the --trace file (if any) and attaches it to a link that a command manages itself.
bool AttachTrace(Context& context, link::Link& link, std::unique_ptr<std::ostream>& file,
                 std::unique_ptr<link::FrameLog>& log);

}  // namespace sequaflow::cli
