#include "ui/widgets/colour_button.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

constexpr int kPad = ColourButton::kTextPadding;

}  // namespace

// WA_Hover repaints on entering and leaving, for the lighter face under the pointer.
ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
}

ColourButton::ColourButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAttribute(Qt::WA_Hover);
}

void ColourButton::setFaceColour(const QColor& colour) {
    if (colour == face_ || (!colour.isValid() && !face_.isValid())) return;
    face_ = colour;
    update();
}

QColor ColourButton::effectiveFaceColour() const {
    return face_.isValid() ? face_ : palette().color(QPalette::Button);
}

void ColourButton::setCaption(const QString& caption) {
    if (caption == text()) return;
    setText(caption);
}

void ColourButton::setOnText(const QString& text) {
    if (text == onText_) return;
    onText_ = text;
    updateGeometry();
    update();
}

QFont ColourButton::captionFont() const {
    QFont f = font();
    if (onText_.isEmpty()) {
        f.setBold(true);
        if (f.pixelSize() > 0)
            f.setPixelSize(f.pixelSize() + 2);
        else
            f.setPointSizeF(f.pointSizeF() * 1.15);
    }
    return f;
}

QFont ColourButton::onTextFont() const {
    QFont f = font();
    f.setBold(true);
    if (f.pixelSize() > 0)
        f.setPixelSize(f.pixelSize() * 3 / 2);
    else
        f.setPointSizeF(f.pointSizeF() * 1.5);
    return f;
}

QSize ColourButton::textSize() const {
    const QFontMetrics cm(captionFont());
    int w = text().isEmpty() ? 0 : cm.horizontalAdvance(text());
    int h = text().isEmpty() ? 0 : cm.height();
    if (!onText_.isEmpty()) {
        const QFontMetrics om(onTextFont());
        w = std::max(w, om.horizontalAdvance(onText_));
        h += om.height();
    }
    return {w, h};
}

QSize ColourButton::sizeHint() const {
    const QSize t = textSize();
    return {std::max(80, t.width() + 3 * kPad), std::max(32, t.height() + 2 * kPad)};
}

QSize ColourButton::minimumSizeHint() const {
    // The on-text elides, so it may be cut; the caption is drawn whole or clipped at both ends, so its
    // width is the least the button can take. Every line of text must fit in height.
    const int caption = text().isEmpty() ? 0 : QFontMetrics(captionFont()).horizontalAdvance(text()) + 2 * kPad;
    return {std::max(std::min(sizeHint().width(), 48), caption), textSize().height() + 6};
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QColor face = effectiveFaceColour();
    if (!isEnabled())
        face = MixColours(face, palette().color(QPalette::Window), 0.6);
    else if (isDown() || isChecked())
        face = face.darker(118);
    else if (underMouse())
        face = face.lighter(108);

    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0.0, face.lighter(isDown() ? 100 : 112));
    shade.setColorAt(1.0, face.darker(isDown() ? 100 : 108));
    p.setPen(QPen(face.darker(160), 1.0));
    p.setBrush(shade);
    p.drawRoundedRect(r, 4, 4);

    if (hasFocus()) {
        p.setPen(QPen(ContrastTextColour(face), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 2, 2);
    }

    QColor ink = ContrastTextColour(face);
    if (!isEnabled()) ink = MixColours(ink, face, 0.5);
    p.setPen(ink);
    const QRect area = rect().adjusted(kPad, 2, -kPad, -2);
    const int shift = isDown() ? 1 : 0;

    if (onText_.isEmpty()) {
        p.setFont(captionFont());
        p.drawText(area.translated(shift, shift), Qt::AlignCenter | Qt::TextShowMnemonic, text());
        return;
    }
    const QFont cf = captionFont();
    const QFont of = onTextFont();
    const int ch = text().isEmpty() ? 0 : QFontMetrics(cf).height();
    const int oh = QFontMetrics(of).height();
    const int top = area.top() + (area.height() - ch - oh) / 2 + shift;
    if (ch > 0) {
        p.setFont(cf);
        p.drawText(QRect(area.left() + shift, top, area.width(), ch), Qt::AlignCenter | Qt::TextShowMnemonic,
                   text());
    }
    p.setFont(of);
    const QString shown = QFontMetrics(of).elidedText(onText_, Qt::ElideRight, area.width());
    p.drawText(QRect(area.left() + shift, top + ch, area.width(), oh), Qt::AlignCenter, shown);
}

}  // namespace sequaflow::ui
