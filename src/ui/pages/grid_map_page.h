#pragma once

#include <QTableWidget>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "maps/map_edit.h"
#include "maps/map_model.h"
#include "ui/page.h"

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;
class MapEditor;
class MapValueDialog;

// The grid StringGridMapa: 8 columns x 13 rows, row 0 and column 0 the breakpoint headers. Only data cells
// are selected, as one rectangle, by mouse or keyboard; Enter and the copy and paste keys are handed on.
class MapGrid final : public QTableWidget {
    Q_OBJECT
public:
    explicit MapGrid(QWidget* parent);

    // The selected rectangle of data cells, if any.
    std::optional<maps::GridBlock> selectedBlock() const;
    void selectBlock(const maps::GridBlock& block);

signals:
    void enterPressed();
    void copyPressed();
    void pastePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
};

// Page TabSheet6 ("Map [F5]"): the advanced map as a grid painted by value with the live operating point in
// red, the step, typed-value and gradient operations, copy and paste of blocks. Every edit is a core
// operation run by the map editor; the grid shows what the model holds afterwards.
class GridMapPage final : public QWidget, public Page {
    Q_OBJECT
public:
    GridMapPage(ConfigurationModel& model, const LiveFeed& feed, MapEditor& editor, QWidget* parent = nullptr);

    // TForm7, created with the other dialogs after the pages.
    void setValueDialog(MapValueDialog* dialog) { dialog_ = dialog; }
    // The idle-correction slider AbHSlider2 goes beside its label under the buttons.
    void placeIdleSlider(QWidget* slider);

    MapGrid* grid() const { return grid_; }
    // The cell (screen column 1..7, row 1..12) the live operating point lies in; {0, 0} before a frame.
    maps::GridPosition operatingPoint() const { return marked_; }
    // The 17 header texts R1..R6, T1..T11, as the point editor and the live mark read them.
    const std::array<std::string, maps::kPoints>& pointTexts() const { return pointTexts_; }

    // The operations of the buttons and keys.
    void step(int delta);
    void setTypedValue();
    void gradient();
    void copyBlock();
    void pasteBlock();

signals:
    // The hidden ButtonEditPoints and ButtonExitMap2; the window decides what they lead to.
    void editPointsRequested();
    void exitRequested();

public slots:
    void showMaps();
    void showOperatingPoint();

private:
    void showStartupTexts();
    void setPointTexts(const std::array<std::string, maps::kPoints>& texts);
    void setCellText(int column, int row, const QString& text);
    // Runs an edit with the grid disabled (a typed value or a gradient), then gives the grid back its focus.
    void applyWithGridDisabled(const std::function<void()>& apply);

    ConfigurationModel& model_;
    const LiveFeed& feed_;
    MapEditor& editor_;
    MapValueDialog* dialog_ = nullptr;
    MapGrid* grid_;
    QHBoxLayout* sliderRow_;
    QLabel* sliderLabel_;
    std::array<std::string, maps::kPoints> pointTexts_;
    std::optional<maps::Breakpoints> breakpoints_;
    maps::GridPosition marked_;
    bool live_ = false;  // a frame has come: the words are the engine's, not zeros
};

}  // namespace sequaflow::ui
