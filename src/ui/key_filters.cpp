#include "ui/key_filters.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QWidget>

namespace sequaflow::ui {

NumberKeyFilter::NumberKeyFilter(live::KeyFilter kind, char localeSeparator, QObject* parent)
    : QObject(parent), kind_(kind), separator_(localeSeparator), other_(live::OtherSeparator(localeSeparator)) {}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Navigation, shortcuts and editing keys without text are the edit's own business.
    if (text.isEmpty() || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return false;
    const QChar c = text.at(0);
    if (text.size() != 1 || c.unicode() > 127) return true;
    const char accepted = live::FilterKey(kind_, static_cast<char>(c.unicode()), separator_, other_);
    if (accepted == 0) return true;
    if (accepted != c.toLatin1()) {
        // The other separator typed: insert the locale's instead.
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) edit->insert(QString(QChar(accepted)));
        return true;
    }
    return false;
}

bool FocusKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_PageDown: {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &tab);
            return true;
        }
        case Qt::Key_PageUp: {
            QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
            QCoreApplication::sendEvent(w, &backtab);
            return true;
        }
        default: return false;
    }
}

char LocaleDecimalSeparator() {
    const QString s = QLocale().toString(1.5, 'f', 1);
    return s.size() >= 2 && s.at(1).unicode() < 128 ? static_cast<char>(s.at(1).unicode()) : ',';
}

}  // namespace sequaflow::ui
