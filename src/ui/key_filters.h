#pragma once

#include <QObject>

#include "live/key_filter.h"

namespace sequaflow::ui {

// Installed on an edit: drops the keys the number rule refuses and turns the other decimal separator
// into the locale's.
class NumberKeyFilter final : public QObject {
    Q_OBJECT
public:
    NumberKeyFilter(live::KeyFilter kind, char localeSeparator, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    live::KeyFilter kind_;
    char separator_;
    char other_;
};

// Enter and PageDown move the focus to the next control, PageUp to the previous one.
class FocusKeyFilter final : public QObject {
    Q_OBJECT
public:
    explicit FocusKeyFilter(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The locale's decimal separator, found by formatting 1.5.
char LocaleDecimalSeparator();

}  // namespace sequaflow::ui
