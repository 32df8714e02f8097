#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/config_snapshot.h"
#include "link/link.h"
#include "maps/map_edit.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"

// `map` and `points`: the correction maps and the characteristic points from a script. Every edit calls the
// operation the map pages call, so the controller gets the same cells with the same sequences in the same
// order. Split from the port so that the tests drive them against the in-process simulator in virtual time.
namespace sequaflow::cli {

struct MapOptions {
    enum class Action { Show, SetAdvanced, SetStandard, StepAdvanced, StepStandard, Gradient, Mode };
    Action action = Action::Show;
    bool json = false;
    maps::GridBlock block;    // columns and rows as on screen, 1-based
    maps::StripRun run;       // standard cells 0..11
    std::string typed;        // the value of a set or a gradient, as the dialog would hold it
    int delta = 0;            // the step of a step
    int mode = 0;             // 0 none, 1 advanced, 2 standard
};
// The command's own arguments; nullopt after a usage error was printed (nothing opened, nothing sent).
std::optional<MapOptions> ParseMapArgs(Context& context, Args args);
int RunMapOn(Context& context, link::Link& link, const MapOptions& options);

struct PointsOptions {
    enum class Action { Show, Set, Preset };
    Action action = Action::Show;
    bool json = false;
    // The breakpoints given, as typed ('.' as the decimal point); a group not given keeps the controller's.
    std::optional<std::array<std::string, maps::kTimePoints>> ms;
    std::optional<std::array<std::string, maps::kSpeedPoints>> rpm;
    int preset = 0;  // 0..3, in the order of the point editor's buttons
};
std::optional<PointsOptions> ParsePointsArgs(Context& context, Args args);
int RunPointsOn(Context& context, link::Link& link, const PointsOptions& options);

// What the map and points commands read before they print or send: the ignition type and the first flags
// word (the conversions of the points), the second flags word (map mode, turbo maximum), then the points and
// both maps with one more question for each element that did not answer. `answered` tells what did.
struct MapRead {
    params::ParameterImage image;
    maps::MapModel model;
    ConfigSnapshot answered;  // points, advanced, standard and the three parameters above
};
// Nothing is written. nullopt (the reason printed, the exit code in `exitCode`) when the line went away or
// the user stopped it.
std::optional<MapRead> ReadForMaps(Context& context, link::Link& link, int& exitCode);

// The points as `points show` prints them: {"ms":[T1..T11],"rpm":[R1..R6],"raw":[17 words]} and two lines
// of text; a point that did not answer is null or "?".
void PrintPointsJson(std::ostream& out, const MapRead& read);
void PrintPointsText(std::ostream& out, const MapRead& read);

// How a stopped sequence on `link` is told, as Session::reportSequence tells it; the exit code.
int ReportStopOn(Context& context, const link::Link& link, const SequenceResult& result, const SequenceTrail& trail,
                 std::string_view what, bool writes);

// "4" or "2-5" within 1..last (either order); nullopt otherwise.
std::optional<std::pair<int, int>> ParseSpan(std::string_view text, int last);

}  // namespace sequaflow::cli
