#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "link/commands.h"
#include "maps/map_model.h"
#include "params/config_compare.h"
#include "params/parameter_file.h"
#include "params/parameter_image.h"
#include "params/program_state.h"
#include "params/progress.h"

// What the configuration commands read, print and compare; an element that could not be read is empty.
namespace sequaflow::cli {

// The parameters, points and cells are the core's Configuration; a read adds what only a controller has.
struct ConfigSnapshot : params::Configuration {
    bool fromController = false;
    SequenceResult sequence;
    std::optional<link::Identification> identification;
    std::optional<std::uint16_t> serial;
    std::array<std::optional<std::uint16_t>, 64> recordWords{};

    // Names of the elements that stayed unread ("parameter 7", "advanced map cell 3,2" ...).
    std::vector<std::string> missing() const;
    // How the snapshot came to be, in the terms the save rule judges.
    params::ReadStatus readStatus() const;
};

// Reads everything without writing: identification, serial number, the 64 parameters, the points and both
// maps (with their single retries), the vehicle-record words 0..63. The image and the model take the values
// that were read.
ConfigSnapshot ReadSnapshot(link::Link& link, params::ParameterImage& image, maps::MapModel& model,
                            const SequenceControl& control);
ConfigSnapshot SnapshotOfFile(const params::ParameterFileContent& content);

// The state the screens would show for a snapshot whose 64 parameters were all read; nullopt otherwise.
std::optional<params::ProgramState> StateOfSnapshot(const ConfigSnapshot& s);

// The snapshot as one JSON object; "settings" holds the parameters under their keys (see `param show`).
void PrintJson(std::ostream& out, const ConfigSnapshot& s);
void PrintText(std::ostream& out, const ConfigSnapshot& s);

// One line per value the controller holds differently or did not confirm: "parameter 9 (param_9): sent 109,
// the controller holds 7", "point 3: no valid answer (the file has 1728)"; `expected` names the other side.
std::vector<std::string> ReadBackLines(std::span<const params::Difference> differences, std::string_view expected);
// What the controller holds against what was sent.
std::vector<std::string> CompareWithSent(const params::ParameterImage& sent, const maps::MapModel& sentModel,
                                         const ConfigSnapshot& readBack);

// A progress bar with the phase name on standard error, only when it is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(Context& context) : context_(context) {}
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    params::ProgressFn callback();
    void finish();

private:
    Context& context_;
    bool drawn_ = false;
};

// Runs a long sequence with the progress bar and the Ctrl+C stop; the exit code, kOk when it finished (the
// reason and how far it got printed otherwise). `what` names it in messages; `writes` says whether it sends
// configuration.
template <typename Sequence>
[[nodiscard]] int RunWithProgress(Context& context, Session& session, ProgressBar& bar, std::string_view what,
                                  bool writes, Sequence&& sequence) {
    SequenceTrail trail;
    const SequenceControl control = context.control(trail.watch(bar.callback()));
    const SequenceResult result = sequence(control);
    bar.finish();
    return session.reportSequence(context, result, trail, what, writes);
}

// The read-only read of everything with its progress bar, into `image` and `model`; nullopt (the reason
// printed, the exit code in `exitCode`) when the device went away or the user stopped it.
std::optional<ConfigSnapshot> ReadWithProgress(Context& context, Session& session, params::ParameterImage& image,
                                               maps::MapModel& model, int& exitCode);

// Reads again, once, each parameter, point and map cell of `s` that got no answer, into `s` (`model` converts
// the map bytes). A value that did answer is not asked again, even when it is not the one sent.
SequenceResult RereadUnanswered(link::Link& link, ConfigSnapshot& s, maps::MapModel& model,
                                const SequenceControl& control);

struct ReadBackResult {
    SequenceResult sequence;
    // Each value the controller holds other than expected or did not confirm, and the same as lines.
    std::vector<params::Difference> held;
    std::vector<std::string> differences;
};
// The read of everything after a write, a second try for what did not answer, and the comparison with
// what the controller should hold (params::CompareHeld); `expectedLabel` ("sent", "the file has") names it.
ReadBackResult ReadBack(link::Link& link, const params::Configuration& expected, std::string_view expectedLabel,
                        const SequenceControl& control);
ReadBackResult ReadBack(link::Link& link, const params::ParameterImage& sent, const maps::MapModel& sentModel,
                        const SequenceControl& control);

// Reads back and names every value the controller does not hold as expected; the exit code: kOk,
// kHeldDifferently when it holds other values, kNoAnswer when values only stayed unconfirmed.
int ReportReadBack(Context& context, Session& session, const params::Configuration& expected,
                   std::string_view expectedLabel, ProgressBar& bar);
int ReportReadBack(Context& context, Session& session, const params::ParameterImage& sent,
                   const maps::MapModel& sentModel, ProgressBar& bar);

// Checks that a file holds a configuration the program could have written. An implausible one is refused
// (true: the first wrong values printed, exit 5) unless `force`, which prints them as a warning and lets it be
// `what` ("sent", "shown").
bool RefuseImplausible(Context& context, const params::ParameterFileContent& content, std::string_view path,
                       bool force, std::string_view what);

// Reads and checks a parameter file, printing the reason on failure; nullopt means exit 5.
std::optional<params::ParameterFileContent> LoadFileOrReport(Context& context, const std::string& path);

}  // namespace sequaflow::cli
