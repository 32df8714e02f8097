#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/link.h"
#include "maps/map_model.h"
#include "params/progress.h"

// The editing operations of both correction maps. Each changes the model, sends every cell it changes at
// once with the cell's write sequence, and tells exactly which cells went out, so the screens, the command
// line and the undo history work from the same record. The screens only choose the cells and show the result.
namespace sequaflow::maps {

// A block of the advanced map as on screen: columns 1..7 (engine speed), rows 1..12 (injection time),
// both ends included.
struct GridBlock {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;
    bool operator==(const GridBlock&) const = default;
};
// Whether the block lies inside the grid with left <= right and top <= bottom.
bool IsValid(const GridBlock& block);

// A run of standard-map cells 0..11, both ends included.
struct StripRun {
    int first = 0;
    int last = 0;
    bool operator==(const StripRun&) const = default;
};
bool IsValid(const StripRun& run);

enum class MapKind { Advanced, Standard };

// One cell an operation sent: where, and its stored byte before and after.
struct CellChange {
    MapKind map = MapKind::Advanced;
    int row = 0;     // advanced: 0..11; standard: 0
    int column = 0;  // advanced: 0..6; standard: cell 0..11
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    bool operator==(const CellChange&) const = default;
};

// Why an operation changed nothing or stopped early, besides the line (which the sequence result tells).
enum class EditError {
    NotANumber,     // a typed or pasted text is not a whole number
    DoesNotFit,     // a pasted block reaches outside the map
    NothingToUndo,  // (or redo)
};

struct MapEditResult {
    SequenceResult sequence;
    // The cells sent, in the order they went out (an interrupted operation lists those before the stop).
    std::vector<CellChange> sent;
    std::optional<EditError> error;
    std::string message;  // English, for the error; empty without one

    bool ok() const { return !error && sequence.completed(); }
};

// ---- Pure rules ----

// A whole number as the grid, the fields and the dialog hold it: optional sign ("+15" is 15), digits, nothing
// else (spaces around it are ignored); nullopt for "", "+", "1.5", "abc" or more than nine digits.
std::optional<int> ReadWholeNumber(std::string_view text);
// Limited to the cell range -25..maximum.
int LimitCell(int value, int maximum);
// A step limits only at the end it moves towards: +5 on +48 gives +50 with maximum 50, -1 on +60 gives +59.
int StepCell(int value, int delta, int maximum);

struct GridCell {
    int column = 1;  // 1..7
    int row = 1;     // 1..12
    bool operator==(const GridCell&) const = default;
};
// The cells of a step or a typed value in the order they are sent: columns right to left, inside each
// column rows bottom to top.
std::vector<GridCell> StepOrder(const GridBlock& block);

// One position a gradient visits: a cell of the block or of a ring around it. Ring positions outside the
// grid are listed with inside = false: they are skipped but still count for the progress bar.
struct GradientVisit {
    GridCell cell;
    int delta = 0;
    int ring = 0;  // 0 = the block itself
    bool inside = true;
};
// The number of rings a gradient of step g draws: 10 -> 3, 8 -> 3, 7 -> 2, 1 or 0 -> 0.
int GradientRings(int step);
// Every position in visiting order: the block (columns left to right, rows top down) with step g, then ring
// r = 1.. with g halved r times towards zero, each ring its top and bottom rows (left to right, the top
// position before the bottom one), then its sides (top down, the left position before the right one).
std::vector<GradientVisit> PlanGradient(const GridBlock& block, int step);

// ---- Operations on the advanced map (row/column of the model = screen row/column - 1) ----

// Steps every cell of the block by delta (+5, +1, -1, -5 on screen; any delta from the command line).
MapEditResult StepAdvanced(link::Link& link, MapModel& model, const GridBlock& block, int delta,
                           const SequenceControl& control = {});
// Sets every cell of the block to the typed value, limited to -25..maximum. A text that is not a whole
// number sends nothing.
MapEditResult SetAdvanced(link::Link& link, MapModel& model, const GridBlock& block, std::string_view typed,
                          const SequenceControl& control = {});
// The block by g, each ring around it by half the step of the ring inside it (an empty text is a step of 1).
MapEditResult GradientAdvanced(link::Link& link, MapModel& model, const GridBlock& block, std::string_view typed,
                               const SequenceControl& control = {});

// ---- Operations on the standard map ----

// The typed value of one field (Enter, leaving it, a click into the graph): limited and sent.
MapEditResult SetStandardCell(link::Link& link, MapModel& model, int cell, std::string_view typed,
                              const SequenceControl& control = {});
// Steps the cells of the run by delta, limited at both ends, then sends all twelve cells in order.
MapEditResult StepStandard(link::Link& link, MapModel& model, const StripRun& run, int delta,
                           const SequenceControl& control = {});
// Sets the cells of the run to the typed value, limited, each sent.
MapEditResult SetStandard(link::Link& link, MapModel& model, const StripRun& run, std::string_view typed,
                          const SequenceControl& control = {});

// ---- Copy and paste as tab-separated text (rows by line, cells by tab), as spreadsheets exchange it ----

// The block's values as plain numbers ("15\t-5\n0\t0\n").
std::string CopyAdvanced(const MapModel& model, const GridBlock& block);
std::string CopyStandard(const MapModel& model, const StripRun& run);
// A pasted block of whole numbers; a trailing newline and "\r\n" lines are accepted. Ragged rows, an empty
// text or a text that is not a number are an error naming the first bad place.
struct PastedBlock {
    int rows = 0;
    int columns = 0;
    std::vector<int> values;  // row-major
};
[[nodiscard]] std::optional<PastedBlock> ParsePastedBlock(std::string_view text, std::string* why = nullptr);
// Pastes with the top-left corner at `at`; values limited as typed ones. A block that reaches outside the
// map or a text that is not numbers changes and sends nothing and says why.
MapEditResult PasteAdvanced(link::Link& link, MapModel& model, const GridCell& at, std::string_view text,
                            const SequenceControl& control = {});
// Pastes one row (or one column) of values into the strip from `first` on.
MapEditResult PasteStandard(link::Link& link, MapModel& model, int first, std::string_view text,
                            const SequenceControl& control = {});

// ---- Undo and redo ----

// The session's map edits. An undo sends the earlier bytes of exactly the cells the edit changed (cells it
// sent unchanged are not sent again), in the reverse order; a redo sends the later bytes in the original
// order; both with the cells' own write sequences. Reading or loading a configuration clears it.
class EditHistory {
public:
    static constexpr std::size_t kDepth = 100;

    // Records an edit's changed cells; an edit that changed nothing is not recorded. Clears the redo side.
    void record(const std::vector<CellChange>& sent);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void clear();

    // An undo (redo) cut short by the line keeps the cells it did not reach on its own side and moves the
    // ones it sent to the other side, so nothing of what the controller holds is forgotten.
    MapEditResult undo(link::Link& link, MapModel& model, const SequenceControl& control = {});
    MapEditResult redo(link::Link& link, MapModel& model, const SequenceControl& control = {});

private:
    using Entry = std::vector<CellChange>;
    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
};

// ---- Characteristic points ----

// The four presets of the point editor: engine speeds R1..R6 in rpm, injection times T1..T11 in tenths of a
// millisecond (15 = 1.5 ms), and the caption of their button.
struct PointPreset {
    std::array<int, kSpeedPoints> rpm;
    std::array<int, kTimePoints> tenthsMs;
    std::string_view caption;
};
inline constexpr std::size_t kPresetCount = 4;
extern const std::array<PointPreset, kPresetCount> kPointPresets;
// The editor's text of a preset time: "1,5", "4,5" with the separator, whole numbers without a decimal.
std::string PresetTimeText(int tenthsMs, char decimalSeparator);

}  // namespace sequaflow::maps
