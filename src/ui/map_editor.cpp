#include "ui/map_editor.h"

#include "ui/configuration_model.h"
#include "ui/sequence_runner.h"

// Placeholder bodies: the grid-page engineer fills this in.
namespace sequaflow::ui {

MapEditor::MapEditor(ConfigurationModel& model, SequenceRunner& runner, QObject* parent)
    : QObject(parent), model_(model), runner_(runner) {}

maps::MapEditResult MapEditor::apply(const Operation& operation) { return runOnLine(operation, true); }
maps::MapEditResult MapEditor::undo() { return {}; }
maps::MapEditResult MapEditor::redo() { return {}; }
maps::MapEditResult MapEditor::runOnLine(const Operation&, bool) { return {}; }
void MapEditor::report(const maps::MapEditResult&) {}

}  // namespace sequaflow::ui
