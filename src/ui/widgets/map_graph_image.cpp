#include "ui/widgets/map_graph_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace sequaflow::ui {

namespace {
QColor ColourOf(int value) {
    const auto c = maps::ValueColour(value);
    return QColor(c.red, c.green, c.blue);
}
}  // namespace

QImage DrawMapGraph(const maps::GraphGeometry& g, const std::array<int, maps::kStdCells>& values,
                    const std::array<QString, maps::kTimePoints>& labels) {
    QImage image(std::max(g.width, 1), std::max(g.height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const QColor grey(128, 128, 128);
    const QColor red(255, 0, 0);
    p.setPen(QPen(grey, 2));
    p.setBrush(Qt::white);
    p.drawRect(0, 0, g.width, g.height);
    p.setPen(QPen(grey, 1));
    p.drawLine(0, g.zeroY, g.width, g.zeroY);

    p.setPen(QPen(QColor(192, 192, 192), 2));
    for (std::size_t k = 0; k < values.size(); ++k) {
        p.setBrush(ColourOf(values[k]));
        // A negative value's bar hangs below the zero line.
        p.drawRect(QRect(QPoint(g.barLeft[k], g.barTop[k]), QPoint(g.barRight[k], g.zeroY)).normalized());
    }

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(red, 1));
    p.setBrush(red);
    for (const auto& m : g.marker) p.drawEllipse(QRect(QPoint(m.x - 4, m.y - 4), QPoint(m.x + 4, m.y + 4)));
    p.setPen(QPen(red, 2));
    p.setBrush(Qt::NoBrush);
    QPolygon curve;
    curve << QPoint(0, g.zeroY);
    for (const auto& m : g.marker) curve << QPoint(m.x, m.y);
    curve << QPoint(g.width, g.marker.back().y);
    p.drawPolyline(curve);
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(QPen(red, 5));
    p.setBrush(red);
    for (int x : g.breakpointX) p.drawRect(QRect(QPoint(x - 1, g.zeroY - 1), QPoint(x + 1, g.zeroY + 1)));

    p.setPen(Qt::black);
    QFont small = p.font();
    small.setPointSizeF(7.5);
    p.setFont(small);
    const QFontMetrics fm(small);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const QRect box(QPoint(g.label[k].x, g.label[k].y), fm.size(Qt::TextSingleLine, labels[k]));
        p.fillRect(box, Qt::white);
        p.drawText(box, Qt::AlignLeft | Qt::AlignTop, labels[k]);
    }
    return image;
}

MapGraphImage::MapGraphImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
    setMinimumSize(kMinimumWidth, kHeight);
    setMaximumSize(kWidth, kHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void MapGraphImage::setImage(const QImage& image) {
    image_ = image;
    update();
}

void MapGraphImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void MapGraphImage::mouseMoveEvent(QMouseEvent* event) {
    if (onPointer) onPointer(event->position().toPoint().x(), event->position().toPoint().y());
}

void MapGraphImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    // The press's own position: a click without a movement before it must not use a stale (or no) pointer.
    if (onPointer) onPointer(at.x(), at.y());
    if (onClick) onClick(at.x(), at.y());
}

void MapGraphImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

}  // namespace sequaflow::ui
