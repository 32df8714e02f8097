#pragma once

#include <QWidget>

#include <array>

#include "maps/map_edit.h"
#include "maps/map_graph.h"
#include "ui/page.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace sequaflow::ui {

class ConfigurationModel;
class IdleSlider;
class LiveFeed;
class MapEditor;
class MapGraphImage;
class MapValueDialog;
class ParameterControls;
class VerticalBar;

// Page TabSheet7 ("Mapa"): the standard map as a bar graph to click into, twelve fields, a strip to step or
// type into, the live petrol time marking the segment the engine is in, and the idle-correction slider.
// Every edit is one of the map operations, run through the map editor; the page redraws from the model.
class StandardMapPage final : public QWidget, public Page {
    Q_OBJECT
public:
    StandardMapPage(ConfigurationModel& model, const LiveFeed& feed, MapEditor& editor, ParameterControls& controls,
                    QWidget* parent = nullptr);

    // TForm7, created with the other dialogs after the pages.
    void setValueDialog(MapValueDialog* dialog) { dialog_ = dialog; }

    int markedSegment() const { return marked_; }
    int pointerSegment() const { return pointerSegment_; }
    const maps::GraphGeometry& geometry() const { return geometry_; }
    MapGraphImage* graph() const { return graph_; }
    QTableWidget* strip() const { return strip_; }
    // The strip's selected run (the current cell when nothing is selected).
    maps::StripRun selectedRun() const;

    void shown() override;
    // The window is closing: leaving a field no longer sends it.
    void shutDown() { shutDown_ = true; }

signals:
    void editPointsRequested();
    void exitRequested();

public slots:
    void showReadings();
    void showMaps();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawGraph();
    void pointerAt(int x, int y);
    void clickAt(int y);
    void takeField(int k);
    void stepStrip(int delta);
    void typeIntoStrip(const maps::StripRun& run);
    void copyStrip();
    void pasteStrip();
    void apply(const std::function<maps::MapEditResult(link::Link&, maps::MapModel&, const SequenceControl&)>& op);

    ConfigurationModel& model_;
    const LiveFeed& feed_;
    MapEditor& editor_;
    MapValueDialog* dialog_ = nullptr;
    MapGraphImage* graph_;
    VerticalBar* bar_;
    QTableWidget* strip_;
    IdleSlider* slider_;
    std::array<QLabel*, 12> headers_{};
    std::array<QLineEdit*, 12> cells_{};
    QLabel* labelX_;
    QLabel* labelY_;
    QLabel* labelValue_;
    QLabel* labelSegment_;
    maps::GraphGeometry geometry_;
    int pointerSegment_ = 0;
    int marked_ = -1;
    bool shutDown_ = false;
};

}  // namespace sequaflow::ui
