#pragma once

#include <QColor>
#include <QString>

#include "ui/widgets/range_widget.h"

namespace sequaflow::ui {

// A bar that fills from its start (bottom, or left when horizontal) towards its end. Its colour runs
// from the start colour to the end colour along the whole scale, so the colour at the tip tells where
// on the scale the value lies (lambda: green lean end, red rich end). One colour gives a plain bar.
class VerticalBar final : public RangeWidget {
    Q_OBJECT
    Q_PROPERTY(QColor startColour READ startColour)
    Q_PROPERTY(QColor endColour READ endColour)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    explicit VerticalBar(QWidget* parent = nullptr);

    QColor startColour() const { return startColour_; }
    QColor endColour() const { return endColour_; }
    void setBarColour(const QColor& colour) { setEndColours(colour, colour); }
    void setEndColours(const QColor& start, const QColor& end);

    // Optional text under the bar (beside it when horizontal), e.g. the cylinder number.
    QString caption() const { return caption_; }
    void setCaption(const QString& text);

    Qt::Orientation orientation() const { return orientation_; }
    void setOrientation(Qt::Orientation orientation);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF trackRect() const;

    QColor startColour_;
    QColor endColour_;
    QString caption_;
    Qt::Orientation orientation_ = Qt::Vertical;
};

}  // namespace sequaflow::ui
