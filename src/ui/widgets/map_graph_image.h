#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

#include "maps/map_graph.h"

namespace sequaflow::ui {

// The standard map's bar graph (Image1): drawn off screen into an image from the geometry, the twelve values
// and the breakpoint labels, then shown as it is.
QImage DrawMapGraph(const maps::GraphGeometry& g, const std::array<int, maps::kStdCells>& values,
                    const std::array<QString, maps::kTimePoints>& labels);

class MapGraphImage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 678;
    static constexpr int kHeight = 297;
    // Narrower on a small screen: the geometry follows the width it gets.
    static constexpr int kMinimumWidth = 360;

    explicit MapGraphImage(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // The pointer moved over the graph, and the left button pressed on it (both in the graph's pixels).
    std::function<void(int x, int y)> onPointer;
    std::function<void(int x, int y)> onClick;
    // The width changed: the picture must be drawn again for it.
    std::function<void()> onResize;

    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};

}  // namespace sequaflow::ui
