#include "ui/map_editor.h"

#include "i18n/message_ids.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

MapEditor::MapEditor(ConfigurationModel& model, SequenceRunner& runner, QObject* parent)
    : QObject(parent), model_(model), runner_(runner) {
    // The history undoes the session's own edits: after a read or a load the controller holds something
    // else, and an undo would send values that were never its earlier ones.
    connect(&model_, &ConfigurationModel::readFinished, this, &MapEditor::clearHistory);
    connect(&model_, &ConfigurationModel::mapsChanged, this, [this] {
        if (!editing_ && cellsNow() != cellsAfterEdit_) clearHistory();
    });
}

void MapEditor::clearHistory() {
    const bool had = history_.canUndo() || history_.canRedo();
    history_.clear();
    if (had) emit historyChanged();
}

std::vector<std::uint8_t> MapEditor::cellsNow() const {
    const auto& maps = model_.maps();
    std::vector<std::uint8_t> cells(maps.advanced().begin(), maps.advanced().end());
    cells.insert(cells.end(), maps.standard().begin(), maps.standard().end());
    return cells;
}

maps::MapEditResult MapEditor::apply(const Operation& operation) { return runOnLine(operation, true); }

maps::MapEditResult MapEditor::undo() {
    return runOnLine([this](link::Link& link, maps::MapModel& maps,
                            const SequenceControl& control) { return history_.undo(link, maps, control); },
                     false);
}

maps::MapEditResult MapEditor::redo() {
    return runOnLine([this](link::Link& link, maps::MapModel& maps,
                            const SequenceControl& control) { return history_.redo(link, maps, control); },
                     false);
}

maps::MapEditResult MapEditor::runOnLine(const Operation& operation, bool record) {
    maps::MapEditResult edit;
    const bool couldUndo = history_.canUndo();
    const bool couldRedo = history_.canRedo();
    const auto sequence =
        runner_.run(i18n::SequenceKind::MapEdit, [&](link::Link& link, const SequenceControl& control) {
            editing_ = true;
            edit = model_.change([&](params::ProgramState& state) { return operation(link, state.maps, control); });
            editing_ = false;
            return edit.sequence;
        });
    cellsAfterEdit_ = cellsNow();
    if (!sequence) {
        // Another sequence holds the line: nothing was sent, and its status line stays.
        edit.sequence.stopped = StopReason::Cancelled;
        return edit;
    }
    edit.sequence = *sequence;
    if (record) history_.record(edit.sent);
    report(edit);
    if (history_.canUndo() != couldUndo || history_.canRedo() != couldRedo || (record && !edit.sent.empty()))
        emit historyChanged();
    return edit;
}

void MapEditor::report(const maps::MapEditResult& result) {
    if (!result.error || result.message.empty()) return;
    // The runner's line says how far the line got; the reason the edit stopped is what the installer needs.
    runner_.say(Text(runner_.messages(), i18n::msg::SequenceMapEdit) + QStringLiteral(": ") +
                QString::fromStdString(result.message));
}

}  // namespace sequaflow::ui
