#include "ui/fields.h"

#include <QGraphicsColorizeEffect>

#include <QFontMetrics>

#include "params/parameter_settings.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

QLineEdit* MakeValueField(const QString& name, QWidget* parent, int minimumChars) {
    auto* f = new QLineEdit(parent);
    f->setObjectName(name);
    f->setReadOnly(true);
    f->setFocusPolicy(Qt::NoFocus);
    f->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f->setMinimumWidth(QFontMetrics(f->font()).horizontalAdvance(QLatin1Char('0')) * minimumChars + 12);
    return f;
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

void SetTextIfChanged(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

void SetTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

void LambdaDisplay::show(bool fitted, float volts, const std::string& voltsText) const {
    for (QWidget* w : shownWhenFitted) w->setVisible(fitted);
    if (!fitted) return;
    bar->setValue(volts);
    SetTextIfChanged(text, QString::fromStdString(voltsText));
}

void LambdaDisplay::setType(int item, const QString& absentText) const {
    const params::LambdaDisplay d = params::LambdaDisplayOf(item);
    for (QWidget* w : shownWhenFitted) w->setVisible(d.shown);
    if (!d.shown) {
        SetTextIfChanged(text, absentText);
        return;
    }
    const QColor green(0, 128, 0);
    const QColor red(255, 0, 0);
    bar->setRange(d.lowVolts, d.highVolts);
    if (d.greenAtLow) bar->setEndColours(green, red);
    else bar->setEndColours(red, green);
}

QString Text(const i18n::MessageStore& messages, int id) {
    const std::string_view t = messages.text(id);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

void ShowStale(QWidget* view, bool stale) {
    if (!stale) {
        view->setGraphicsEffect(nullptr);
        return;
    }
    // Painted instruments have no disabled look of their own: take the colour out of the whole view.
    auto* grey = new QGraphicsColorizeEffect(view);
    grey->setColor(QColor(150, 150, 150));
    grey->setStrength(0.85);
    view->setGraphicsEffect(grey);
}

}  // namespace sequaflow::ui
