#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include "ui/widgets/range_widget.h"

class QPainter;

namespace sequaflow::ui {

// A coloured band along the scale, e.g. the red range of an engine-speed gauge.
struct MeterZone {
    double from = 0.0;
    double to = 0.0;
    QColor colour;
    friend bool operator==(const MeterZone&, const MeterZone&) = default;
};

// Round gauge with a 270 degree scale: ticks, scale numbers, needle, signal name, unit and a digital
// read-out. Everything is drawn in a 200 x 200 design square scaled to the widget, so it stays crisp at
// any size.
class RoundMeter final : public RangeWidget {
    Q_OBJECT
    Q_PROPERTY(QString signalName READ signalName WRITE setSignalName)
    Q_PROPERTY(QString unitText READ unitText WRITE setUnitText)

public:
    explicit RoundMeter(QWidget* parent = nullptr);

    QString signalName() const { return signalName_; }
    void setSignalName(const QString& text);
    QString unitText() const { return unitText_; }
    void setUnitText(const QString& text);

    // Number of labelled intervals (1..50) and of minor steps inside each (1..20).
    int majorTicks() const { return majorTicks_; }
    void setMajorTicks(int intervals);
    int minorTicks() const { return minorTicks_; }
    void setMinorTicks(int steps);

    QList<MeterZone> zones() const { return zones_; }
    void setZones(const QList<MeterZone>& zones);

    bool valueTextVisible() const { return valueTextVisible_; }
    void setValueTextVisible(bool visible);
    int valueDecimals() const { return valueDecimals_; }
    void setValueDecimals(int decimals);
    // The read-out as drawn, in the current locale.
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintFace(QPainter& p) const;
    void paintScale(QPainter& p) const;
    void paintTexts(QPainter& p) const;
    void paintNeedle(QPainter& p) const;

    QString signalName_;
    QString unitText_;
    int majorTicks_ = 8;
    int minorTicks_ = 4;
    QList<MeterZone> zones_;
    bool valueTextVisible_ = true;
    int valueDecimals_ = 1;
};

}  // namespace sequaflow::ui
