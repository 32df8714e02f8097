#include "maps/map_edit.h"

#include <algorithm>
#include <cstdlib>

#include "link/sequence_run.h"
#include "maps/map_transfer.h"
#include "params/number_text.h"

namespace sequaflow::maps {
namespace {

constexpr std::string_view kGridPhase = "Mapa 1p";
constexpr std::string_view kStdPhase = "Mapa 2";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string NotANumberText(std::string_view text) { return "'" + std::string(text) + "' is not a whole number"; }

MapEditResult Refused(EditError error, std::string message) {
    MapEditResult r;
    r.error = error;
    r.message = std::move(message);
    return r;
}

// One operation under way: the sequence run plus the record of what went out.
class Edit {
public:
    Edit(link::Link& link, MapModel& model, const SequenceControl& control)
        : link_(link), model_(model), run_(link, control) {}

    bool step(std::string_view phase, int position, int maximum) { return run_.step(phase, position, maximum); }

    // Screen coordinates (column 1..7, row 1..12).
    void sendAdvanced(const GridCell& at, int value) {
        const int r = at.row - 1;
        const int c = at.column - 1;
        const std::uint8_t before = model_.cellByte(r, c);
        model_.setCell(r, c, value);
        WriteAdvancedCell(link_, model_, r, c);
        result_.sent.push_back({MapKind::Advanced, r, c, before, model_.cellByte(r, c)});
    }
    void sendStandard(int k, std::uint8_t before) {
        WriteStandardCell(link_, model_, k);
        result_.sent.push_back({MapKind::Standard, 0, k, before, model_.stdByte(k)});
    }
    void sendStandard(int k, int value) {
        const std::uint8_t before = model_.stdByte(k);
        model_.setStdCell(k, value);
        sendStandard(k, before);
    }
    // Restores one recorded byte with the cell's own write sequence.
    void sendByte(const CellChange& change, std::uint8_t byte) {
        if (change.map == MapKind::Advanced) {
            const std::uint8_t before = model_.cellByte(change.row, change.column);
            model_.setCellByte(change.row, change.column, byte);
            WriteAdvancedCell(link_, model_, change.row, change.column);
            result_.sent.push_back({MapKind::Advanced, change.row, change.column, before, byte});
        } else {
            const std::uint8_t before = model_.stdByte(change.column);
            model_.setStdByte(change.column, byte);
            sendStandard(change.column, before);
        }
    }

    MapModel& model() { return model_; }
    int maximum() const { return model_.cellMaximum(); }

    MapEditResult finish() {
        run_.finish();
        result_.sequence = run_.result();
        return std::move(result_);
    }

private:
    link::Link& link_;
    MapModel& model_;
    link::SequenceRun run_;
    MapEditResult result_;
};

int CellAt(const MapModel& model, const GridCell& at) { return model.cell(at.row - 1, at.column - 1); }

}  // namespace

bool IsValid(const GridBlock& b) {
    return b.left >= 1 && b.right <= kColumns && b.top >= 1 && b.bottom <= kRows && b.left <= b.right &&
           b.top <= b.bottom;
}

bool IsValid(const StripRun& r) { return r.first >= 0 && r.last < kStdCells && r.first <= r.last; }

std::optional<int> ReadWholeNumber(std::string_view text) {
    const auto value = params::ParseWhole(text);
    // Nine digits at most: beyond that no cell, field or typed value means anything, and it must fit an int.
    if (!value || *value > 999'999'999 || *value < -999'999'999) return std::nullopt;
    return static_cast<int>(*value);
}

int LimitCell(int value, int maximum) { return std::clamp(value, kCellMinimum, std::max(kCellMinimum, maximum)); }

int StepCell(int value, int delta, int maximum) {
    const int v = value + delta;
    if (delta > 0) return std::min(v, maximum);
    if (delta < 0) return std::max(v, kCellMinimum);
    return v;
}

std::vector<GridCell> StepOrder(const GridBlock& block) {
    std::vector<GridCell> order;
    if (!IsValid(block)) return order;
    for (int c = block.right; c >= block.left; --c)
        for (int r = block.bottom; r >= block.top; --r) order.push_back({c, r});
    return order;
}

int GradientRings(int step) {
    int a = std::abs(step);
    int n = 0;
    while (a > 1) {
        a /= 2;
        ++n;
    }
    return n;
}

std::vector<GradientVisit> PlanGradient(const GridBlock& block, int step) {
    std::vector<GradientVisit> plan;
    if (!IsValid(block)) return plan;
    for (int c = block.left; c <= block.right; ++c)
        for (int r = block.top; r <= block.bottom; ++r) plan.push_back({{c, r}, step, 0, true});
    const auto column = [](int c) { return c >= 1 && c <= kColumns; };
    const auto row = [](int r) { return r >= 1 && r <= kRows; };
    int h = step / 2;  // C++ division truncates towards zero, as the rings need for negative steps
    for (int ring = 1; h != 0; ++ring, h /= 2) {
        for (int k = block.left - ring; k <= block.right + ring; ++k) {
            plan.push_back({{k, block.top - ring}, h, ring, column(k) && block.top - ring >= 1});
            plan.push_back({{k, block.bottom + ring}, h, ring, column(k) && block.bottom + ring <= kRows});
        }
        for (int l = block.top - ring + 1; l <= block.bottom + ring - 1; ++l) {
            plan.push_back({{block.left - ring, l}, h, ring, row(l) && block.left - ring >= 1});
            plan.push_back({{block.right + ring, l}, h, ring, row(l) && block.right + ring <= kColumns});
        }
    }
    return plan;
}

MapEditResult StepAdvanced(link::Link& link, MapModel& model, const GridBlock& block, int delta,
                           const SequenceControl& control) {
    Edit edit(link, model, control);
    const auto order = StepOrder(block);
    const int n = static_cast<int>(order.size());
    for (int i = 0; i < n; ++i) {
        const auto& at = order[static_cast<std::size_t>(i)];
        if (!edit.step(kGridPhase, i + 1, n)) break;
        edit.sendAdvanced(at, StepCell(CellAt(model, at), delta, edit.maximum()));
    }
    return edit.finish();
}

MapEditResult SetAdvanced(link::Link& link, MapModel& model, const GridBlock& block, std::string_view typed,
                          const SequenceControl& control) {
    const auto value = ReadWholeNumber(typed);
    if (!value) return Refused(EditError::NotANumber, NotANumberText(typed));
    Edit edit(link, model, control);
    const auto order = StepOrder(block);
    const int n = static_cast<int>(order.size());
    const int v = LimitCell(*value, edit.maximum());
    for (int i = 0; i < n; ++i) {
        if (!edit.step(kGridPhase, i + 1, n)) break;
        edit.sendAdvanced(order[static_cast<std::size_t>(i)], v);
    }
    return edit.finish();
}

MapEditResult GradientAdvanced(link::Link& link, MapModel& model, const GridBlock& block, std::string_view typed,
                               const SequenceControl& control) {
    int step = 1;
    if (!Trim(typed).empty()) {
        const auto value = ReadWholeNumber(typed);
        if (!value) return Refused(EditError::NotANumber, NotANumberText(typed));
        step = LimitCell(*value, model.cellMaximum());
    }
    Edit edit(link, model, control);
    const auto plan = PlanGradient(block, step);
    const int n = static_cast<int>(plan.size());
    for (int i = 0; i < n; ++i) {
        const auto& visit = plan[static_cast<std::size_t>(i)];
        if (!edit.step(kGridPhase, i + 1, n)) break;
        if (visit.inside) edit.sendAdvanced(visit.cell, LimitCell(CellAt(model, visit.cell) + visit.delta, edit.maximum()));
    }
    return edit.finish();
}

MapEditResult SetStandardCell(link::Link& link, MapModel& model, int cell, std::string_view typed,
                              const SequenceControl& control) {
    if (cell < 0 || cell >= kStdCells) return Refused(EditError::DoesNotFit, "no standard-map cell " + std::to_string(cell));
    const auto value = ReadWholeNumber(typed);
    if (!value) return Refused(EditError::NotANumber, NotANumberText(typed));
    Edit edit(link, model, control);
    if (edit.step(kStdPhase, 1, 1)) edit.sendStandard(cell, LimitCell(*value, edit.maximum()));
    return edit.finish();
}

MapEditResult StepStandard(link::Link& link, MapModel& model, const StripRun& run, int delta,
                           const SequenceControl& control) {
    if (!IsValid(run)) return Refused(EditError::DoesNotFit, "no such standard-map cells");
    std::array<std::uint8_t, kStdCells> before{};
    for (int k = 0; k < kStdCells; ++k) before[static_cast<std::size_t>(k)] = model.stdByte(k);
    // The strip sends all twelve cells, the ones it did not step included.
    for (int k = run.first; k <= run.last; ++k) model.setStdCell(k, LimitCell(model.stdCell(k) + delta, model.cellMaximum()));
    Edit edit(link, model, control);
    for (int k = 0; k < kStdCells; ++k) {
        if (!edit.step(kStdPhase, k + 1, kStdCells)) {
            // Cells not reached keep what the controller still holds.
            for (int j = k; j < kStdCells; ++j) model.setStdByte(j, before[static_cast<std::size_t>(j)]);
            break;
        }
        edit.sendStandard(k, before[static_cast<std::size_t>(k)]);
    }
    return edit.finish();
}

MapEditResult SetStandard(link::Link& link, MapModel& model, const StripRun& run, std::string_view typed,
                          const SequenceControl& control) {
    if (!IsValid(run)) return Refused(EditError::DoesNotFit, "no such standard-map cells");
    const auto value = ReadWholeNumber(typed);
    if (!value) return Refused(EditError::NotANumber, NotANumberText(typed));
    Edit edit(link, model, control);
    const int v = LimitCell(*value, edit.maximum());
    const int n = run.last - run.first + 1;
    for (int k = run.first; k <= run.last; ++k) {
        if (!edit.step(kStdPhase, k - run.first + 1, n)) break;
        edit.sendStandard(k, v);
    }
    return edit.finish();
}

std::string CopyAdvanced(const MapModel& model, const GridBlock& block) {
    std::string text;
    if (!IsValid(block)) return text;
    for (int r = block.top; r <= block.bottom; ++r) {
        for (int c = block.left; c <= block.right; ++c) {
            if (c > block.left) text += '\t';
            text += std::to_string(model.cell(r - 1, c - 1));
        }
        text += '\n';
    }
    return text;
}

std::string CopyStandard(const MapModel& model, const StripRun& run) {
    std::string text;
    if (!IsValid(run)) return text;
    for (int k = run.first; k <= run.last; ++k) {
        if (k > run.first) text += '\t';
        text += std::to_string(model.stdCell(k));
    }
    return text + '\n';
}

std::optional<PastedBlock> ParsePastedBlock(std::string_view text, std::string* why) {
    const auto fail = [&](std::string message) -> std::optional<PastedBlock> {
        if (why != nullptr) *why = std::move(message);
        return std::nullopt;
    };
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    if (lines.empty()) return fail("the clipboard holds no numbers");
    PastedBlock block;
    block.rows = static_cast<int>(lines.size());
    for (int r = 0; r < block.rows; ++r) {
        std::string_view line = lines[static_cast<std::size_t>(r)];
        int columns = 0;
        while (true) {
            const auto tab = line.find('\t');
            const std::string_view cell = line.substr(0, tab);
            const auto value = ReadWholeNumber(cell);
            if (!value) {
                return fail("line " + std::to_string(r + 1) + ", cell " + std::to_string(columns + 1) + ": " +
                            NotANumberText(Trim(cell)));
            }
            block.values.push_back(*value);
            ++columns;
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        if (r == 0) block.columns = columns;
        else if (columns != block.columns) {
            return fail("line " + std::to_string(r + 1) + " has " + std::to_string(columns) + " cells, the first line " +
                        std::to_string(block.columns));
        }
    }
    return block;
}

MapEditResult PasteAdvanced(link::Link& link, MapModel& model, const GridCell& at, std::string_view text,
                            const SequenceControl& control) {
    std::string why;
    const auto block = ParsePastedBlock(text, &why);
    if (!block) return Refused(EditError::NotANumber, "nothing pasted: " + why);
    const GridBlock target{at.column, at.row, at.column + block->columns - 1, at.row + block->rows - 1};
    if (!IsValid(target)) {
        return Refused(EditError::DoesNotFit,
                       "nothing pasted: a block of " + std::to_string(block->rows) + " x " +
                           std::to_string(block->columns) + " does not fit at row " + std::to_string(at.row) +
                           ", column " + std::to_string(at.column) + " of the 12 x 7 map");
    }
    Edit edit(link, model, control);
    const auto order = StepOrder(target);
    const int n = static_cast<int>(order.size());
    for (int i = 0; i < n; ++i) {
        const auto& cell = order[static_cast<std::size_t>(i)];
        if (!edit.step(kGridPhase, i + 1, n)) break;
        const auto index = static_cast<std::size_t>((cell.row - at.row) * block->columns + (cell.column - at.column));
        edit.sendAdvanced(cell, LimitCell(block->values[index], edit.maximum()));
    }
    return edit.finish();
}

MapEditResult PasteStandard(link::Link& link, MapModel& model, int first, std::string_view text,
                            const SequenceControl& control) {
    std::string why;
    const auto block = ParsePastedBlock(text, &why);
    if (!block) return Refused(EditError::NotANumber, "nothing pasted: " + why);
    if (block->rows != 1 && block->columns != 1) {
        return Refused(EditError::DoesNotFit, "nothing pasted: the standard map takes one row or one column of values, not " +
                                                  std::to_string(block->rows) + " x " + std::to_string(block->columns));
    }
    const int n = static_cast<int>(block->values.size());
    if (!IsValid(StripRun{first, first + n - 1})) {
        return Refused(EditError::DoesNotFit, "nothing pasted: " + std::to_string(n) + " values do not fit from cell " +
                                                  std::to_string(first + 1) + " of the 12");
    }
    Edit edit(link, model, control);
    for (int i = 0; i < n; ++i) {
        if (!edit.step(kStdPhase, i + 1, n)) break;
        edit.sendStandard(first + i, LimitCell(block->values[static_cast<std::size_t>(i)], edit.maximum()));
    }
    return edit.finish();
}

void EditHistory::record(const std::vector<CellChange>& sent) {
    Entry entry;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(entry),
                 [](const CellChange& c) { return c.before != c.after; });
    if (entry.empty()) return;
    undo_.push_back(std::move(entry));
    if (undo_.size() > kDepth) undo_.pop_front();
    redo_.clear();
}

void EditHistory::clear() {
    undo_.clear();
    redo_.clear();
}

MapEditResult EditHistory::undo(link::Link& link, MapModel& model, const SequenceControl& control) {
    if (undo_.empty()) return Refused(EditError::NothingToUndo, "nothing to undo");
    Entry entry = std::move(undo_.back());
    undo_.pop_back();
    Edit edit(link, model, control);
    const int n = static_cast<int>(entry.size());
    int done = 0;
    for (int i = n - 1; i >= 0; --i) {
        if (!edit.step(kGridPhase, n - i, n)) break;
        edit.sendByte(entry[static_cast<std::size_t>(i)], entry[static_cast<std::size_t>(i)].before);
        ++done;
    }
    // The restored tail can be redone; what the line did not reach stays to be undone.
    Entry restored(entry.end() - done, entry.end());
    entry.resize(entry.size() - static_cast<std::size_t>(done));
    if (!entry.empty()) undo_.push_back(std::move(entry));
    if (!restored.empty()) redo_.push_back(std::move(restored));
    return edit.finish();
}

MapEditResult EditHistory::redo(link::Link& link, MapModel& model, const SequenceControl& control) {
    if (redo_.empty()) return Refused(EditError::NothingToUndo, "nothing to redo");
    Entry entry = std::move(redo_.back());
    redo_.pop_back();
    Edit edit(link, model, control);
    const int n = static_cast<int>(entry.size());
    int done = 0;
    for (int i = 0; i < n; ++i) {
        if (!edit.step(kGridPhase, i + 1, n)) break;
        edit.sendByte(entry[static_cast<std::size_t>(i)], entry[static_cast<std::size_t>(i)].after);
        ++done;
    }
    Entry redone(entry.begin(), entry.begin() + done);
    entry.erase(entry.begin(), entry.begin() + done);
    if (!entry.empty()) redo_.push_back(std::move(entry));
    if (!redone.empty()) undo_.push_back(std::move(redone));
    return edit.finish();
}

const std::array<PointPreset, kPresetCount> kPointPresets{{
    {{1000, 2000, 3000, 4000, 5000, 6000},
     {15, 20, 30, 45, 60, 80, 100, 120, 140, 160, 180},
     "Standard (18 ms, 6000 rpm)"},
    {{1000, 2000, 3000, 4000, 5000, 6000},
     {15, 20, 30, 50, 70, 100, 140, 180, 220, 250, 300},
     "Długie wtryski (30 ms, 6000 rpm)"},
    {{1000, 2500, 5000, 6500, 7500, 9000},
     {15, 20, 30, 40, 60, 80, 110, 130, 160, 180, 200},
     "Silnik wysokoobrotowy (20 ms, 9000 rpm)"},
    {{1000, 1500, 2500, 3000, 4000, 5000},
     {15, 20, 30, 45, 60, 80, 100, 150, 180, 220, 250},
     "Silnik niskoobrotowy (25ms, 5000)"},
}};

std::string PresetTimeText(int tenthsMs, char decimalSeparator) {
    std::string text = std::to_string(tenthsMs / 10);
    if (tenthsMs % 10 != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + std::abs(tenthsMs % 10));
    }
    return text;
}

}  // namespace sequaflow::maps
