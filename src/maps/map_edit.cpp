#include "maps/map_edit.h"

// Placeholder bodies: the lead replaces this file with the real operations shortly.
namespace sequaflow::maps {
namespace {
MapEditResult Pending() {
    MapEditResult r;
    r.error = EditError::NotANumber;
    r.message = "not built yet";
    return r;
}
}  // namespace

bool IsValid(const GridBlock& b) {
    return b.left >= 1 && b.right <= kColumns && b.top >= 1 && b.bottom <= kRows && b.left <= b.right &&
           b.top <= b.bottom;
}
bool IsValid(const StripRun& r) { return r.first >= 0 && r.last < kStdCells && r.first <= r.last; }
std::optional<int> ReadWholeNumber(std::string_view) { return std::nullopt; }
int LimitCell(int value, int) { return value; }
int StepCell(int value, int, int) { return value; }
std::vector<GridCell> StepOrder(const GridBlock&) { return {}; }
int GradientRings(int) { return 0; }
std::vector<GradientVisit> PlanGradient(const GridBlock&, int) { return {}; }
MapEditResult StepAdvanced(link::Link&, MapModel&, const GridBlock&, int, const SequenceControl&) { return Pending(); }
MapEditResult SetAdvanced(link::Link&, MapModel&, const GridBlock&, std::string_view, const SequenceControl&) { return Pending(); }
MapEditResult GradientAdvanced(link::Link&, MapModel&, const GridBlock&, std::string_view, const SequenceControl&) { return Pending(); }
MapEditResult SetStandardCell(link::Link&, MapModel&, int, std::string_view, const SequenceControl&) { return Pending(); }
MapEditResult StepStandard(link::Link&, MapModel&, const StripRun&, int, const SequenceControl&) { return Pending(); }
MapEditResult SetStandard(link::Link&, MapModel&, const StripRun&, std::string_view, const SequenceControl&) { return Pending(); }
std::string CopyAdvanced(const MapModel&, const GridBlock&) { return {}; }
std::string CopyStandard(const MapModel&, const StripRun&) { return {}; }
std::optional<PastedBlock> ParsePastedBlock(std::string_view, std::string*) { return std::nullopt; }
MapEditResult PasteAdvanced(link::Link&, MapModel&, const GridCell&, std::string_view, const SequenceControl&) { return Pending(); }
MapEditResult PasteStandard(link::Link&, MapModel&, int, std::string_view, const SequenceControl&) { return Pending(); }
void EditHistory::record(const std::vector<CellChange>&) {}
void EditHistory::clear() { undo_.clear(); redo_.clear(); }
MapEditResult EditHistory::undo(link::Link&, MapModel&, const SequenceControl&) { return Pending(); }
MapEditResult EditHistory::redo(link::Link&, MapModel&, const SequenceControl&) { return Pending(); }
const std::array<PointPreset, kPresetCount> kPointPresets{};
std::string PresetTimeText(int, char) { return {}; }

}  // namespace sequaflow::maps
