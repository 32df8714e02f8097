#pragma once

#include <QColor>
#include <QString>

#include "ui/widgets/range_widget.h"

namespace sequaflow::ui {

// A glass thermometer: bulb, column in the chosen colour, a scale with numbers beside the tube and
// the temperature as large text above it. Drawn in a design box scaled to the widget.
class Thermometer final : public RangeWidget {
    Q_OBJECT
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(QString unitText READ unitText WRITE setUnitText)

public:
    explicit Thermometer(QWidget* parent = nullptr);

    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);
    QString unitText() const { return unitText_; }
    void setUnitText(const QString& text);
    // Labelled intervals of the scale (1..20).
    int majorTicks() const { return majorTicks_; }
    void setMajorTicks(int intervals);
    bool valueTextVisible() const { return valueTextVisible_; }
    void setValueTextVisible(bool visible);
    // The read-out as drawn: whole degrees and the unit.
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_{0xd3, 0x2f, 0x2f};
    QString unitText_ = QStringLiteral("°C");
    int majorTicks_ = 7;
    bool valueTextVisible_ = true;
};

}  // namespace sequaflow::ui
