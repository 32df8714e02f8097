#include "ui/widgets/vertical_bar.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

constexpr int kCaptionGap = 3;

QColor TrackColour() { return {0xe4, 0xe8, 0xeb}; }
QColor FrameColour() { return {0x8a, 0x96, 0xa0}; }

}  // namespace

VerticalBar::VerticalBar(QWidget* parent)
    : RangeWidget(0.0, 100.0, parent), startColour_(0, 128, 0), endColour_(0, 128, 0) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void VerticalBar::setEndColours(const QColor& start, const QColor& end) {
    if (start == startColour_ && end == endColour_) return;
    startColour_ = start;
    endColour_ = end;
    update();
}

void VerticalBar::setCaption(const QString& text) {
    if (text == caption_) return;
    caption_ = text;
    updateGeometry();
    update();
}

void VerticalBar::setOrientation(Qt::Orientation orientation) {
    if (orientation == orientation_) return;
    orientation_ = orientation;
    setSizePolicy(orientation == Qt::Vertical
                      ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding)
                      : QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
    updateGeometry();
    update();
}

QSize VerticalBar::sizeHint() const {
    const QFontMetrics fm(font());
    const int captionWidth = caption_.isEmpty() ? 0 : fm.horizontalAdvance(caption_);
    if (orientation_ == Qt::Vertical) {
        const int extra = caption_.isEmpty() ? 0 : fm.height() + kCaptionGap;
        return {std::max(26, captionWidth + 4), 160 + extra};
    }
    const int extra = caption_.isEmpty() ? 0 : captionWidth + kCaptionGap + 2;
    return {200 + extra, std::max(22, fm.height() + 4)};
}

QSize VerticalBar::minimumSizeHint() const {
    const QFontMetrics fm(font());
    if (orientation_ == Qt::Vertical) {
        const int extra = caption_.isEmpty() ? 0 : fm.height() + kCaptionGap;
        return {10, 30 + extra};
    }
    const int extra = caption_.isEmpty() ? 0 : fm.horizontalAdvance(caption_) + kCaptionGap + 2;
    return {40 + extra, 10};
}

QRectF VerticalBar::trackRect() const {
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (!caption_.isEmpty()) {
        const QFontMetrics fm(font());
        if (orientation_ == Qt::Vertical)
            r.setBottom(r.bottom() - fm.height() - kCaptionGap);
        else
            r.setRight(r.right() - fm.horizontalAdvance(caption_) - kCaptionGap - 2);
    }
    return r;
}

void VerticalBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = trackRect();
    if (track.width() < 2 || track.height() < 2) return;
    const bool vertical = orientation_ == Qt::Vertical;
    const double radius = std::min(3.0, std::min(track.width(), track.height()) / 4);

    p.setPen(QPen(FrameColour(), 1.0));
    p.setBrush(TrackColour());
    p.drawRoundedRect(track, radius, radius);

    // Quarter marks make the level readable at a glance.
    const QRectF inner = track.adjusted(2, 2, -2, -2);
    p.setPen(QPen(QColor(0xc5, 0xcc, 0xd2), 1.0));
    for (int q = 1; q < 4; ++q) {
        if (vertical) {
            const double y = inner.bottom() - inner.height() * q / 4.0;
            p.drawLine(QPointF(inner.left(), y), QPointF(inner.right(), y));
        } else {
            const double x = inner.left() + inner.width() * q / 4.0;
            p.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));
        }
    }

    const double f = fraction();
    if (f > 0.0 && inner.width() > 0 && inner.height() > 0) {
        QRectF fill = inner;
        QLinearGradient gradient;
        if (vertical) {
            fill.setTop(inner.bottom() - inner.height() * f);
            gradient = QLinearGradient(inner.bottomLeft(), inner.topLeft());
        } else {
            fill.setRight(inner.left() + inner.width() * f);
            gradient = QLinearGradient(inner.topLeft(), inner.topRight());
        }
        gradient.setColorAt(0.0, startColour_);
        gradient.setColorAt(1.0, endColour_);
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        const double fillRadius = std::max(0.0, radius - 1.5);
        p.drawRoundedRect(fill, fillRadius, fillRadius);
    }

    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        QRectF box = QRectF(rect());
        if (vertical) {
            box.setTop(track.bottom() + kCaptionGap);
            p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, caption_);
        } else {
            box.setLeft(track.right() + kCaptionGap + 2);
            p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, caption_);
        }
    }
}

}  // namespace sequaflow::ui
