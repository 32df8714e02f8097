#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "maps/map_edit.h"

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// Where both map pages send their edits: runs a core map operation on the line through the sequence runner
// (progress bar, stop check, busy guard), inside a model change so every page repaints from the model, keeps
// the undo history of the session and says what went wrong in the status bar.
class MapEditor final : public QObject {
    Q_OBJECT
public:
    MapEditor(ConfigurationModel& model, SequenceRunner& runner, QObject* parent = nullptr);

    using Operation = std::function<maps::MapEditResult(link::Link&, maps::MapModel&, const SequenceControl&)>;
    // Runs one edit. Returns its result; an edit refused because another sequence holds the line, or because
    // no controller is connected, sends nothing and says so.
    maps::MapEditResult apply(const Operation& operation);

    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    maps::MapEditResult undo();
    maps::MapEditResult redo();

signals:
    // The undo or redo side changed (menu items follow it).
    void historyChanged();

private:
    maps::MapEditResult runOnLine(const Operation& operation, bool record);
    void report(const maps::MapEditResult& result);
    void clearHistory();
    // The cells as the last edit left them: a change of the maps by anything else (a read, the
    // adaptation's results) ends what an undo could restore.
    std::vector<std::uint8_t> cellsNow() const;

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    maps::EditHistory history_;
    std::vector<std::uint8_t> cellsAfterEdit_;
    bool editing_ = false;
};

}  // namespace sequaflow::ui
